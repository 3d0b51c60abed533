// Creating folder trees and deleting them, with the messages a failed
// deletion shows.

#include "files/FolderTree.h"
#include "platform/ErrorCodes.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempTree.h"

#include <QtTest>

#include <filesystem>

namespace {
const unsigned kWarning = MB_OK | MB_ICONEXCLAMATION;
}

class TestFolderTree : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void createsMissingAncestors();
    void createTreeResults_data();
    void createTreeResults();
    void createsNamesEndingInSo();
    void createFolderRefusesAFileOfThatName();

    void deletesWholeTree();
    void drivesRootIsEmptiedNotRemoved();
    void readOnlyFileStopsWithAccessDenied();
    void symlinkToOutsideFolderKeepsTarget();
    void folderThatIsASymlinkKeepsTarget();
    void symlinkLoopEnds();
    void entriesVanishingDuringTheWalk();
    void missingFolderShowsFolderMessage();

private:
    std::shared_ptr<CScriptedMessageBox> m_pBoxes;
    std::unique_ptr<CScopedMessageBoxService> m_pScoped;
};

void TestFolderTree::init() {
    m_pBoxes = std::make_shared<CScriptedMessageBox>();
    m_pScoped = std::make_unique<CScopedMessageBoxService>(m_pBoxes);
}

void TestFolderTree::cleanup() {
    QVERIFY(m_pBoxes->VerifyAllUsed());
    m_pScoped.reset();
    m_pBoxes.reset();
}

void TestFolderTree::createsMissingAncestors() {
    CTempTree tree;
    QVERIFY(tree.AddFolder("one"));
    QCOMPARE(CreateFolderTree(tree.DrivePath("one/two/three")), 0);
    QCOMPARE(tree.Read(), (std::vector<CTreeItem>{{"one/"}, {"one/two/"}, {"one/two/three/"}}));
    QCOMPARE(CreateFolderTree(tree.DrivePath("one/two/three")), 0); // again: nothing to do
    QCOMPARE(CreateFolderTree(tree.DrivePath("one/two/four/")), 0);
    QVERIFY(tree.Exists("one/two/four"));
}

void TestFolderTree::createTreeResults_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("code");
    QTest::newRow("two bytes") << "T:" << -2;
    QTest::newRow("one byte") << "T" << -2;
    QTest::newRow("empty") << "" << -2;
    QTest::newRow("drive root") << "T:\\" << 0;
    QTest::newRow("unmapped drive") << "Q:\\a\\b" << int(ERROR_PATH_NOT_FOUND);
    QTest::newRow("a file in the way") << "T:\\file\\sub" << int(ERROR_ALREADY_EXISTS);
}

void TestFolderTree::createTreeResults() {
    QFETCH(QString, path);
    QFETCH(int, code);
    CTempTree tree('T');
    QVERIFY(tree.AddFile("file", "x"));
    const std::vector<CTreeItem> before = tree.Read();
    QCOMPARE(CreateFolderTree(path.toStdString()), code);
    QCOMPARE(tree.Read(), before);
}

void TestFolderTree::createsNamesEndingInSo() {
    // In CP932 the so ends in byte 0x5C; the name must survive whole.
    CTempTree tree;
    QCOMPARE(CreateFolderTree(tree.DrivePath("表ソ/ソ")), 0);
    QCOMPARE(tree.Read(), (std::vector<CTreeItem>{{"表ソ/"}, {"表ソ/ソ/"}}));
}

void TestFolderTree::createFolderRefusesAFileOfThatName() {
    CTempTree tree;
    QVERIFY(tree.Build({{"file", "x"}, {"dir/", {}}}));
    QCOMPARE(CreateFolder(tree.DrivePath("dir")), 0);
    QCOMPARE(CreateFolder(tree.DrivePath("file")), int(ERROR_ALREADY_EXISTS));
    QCOMPARE(CreateFolder(tree.DrivePath("no/dir")), int(ERROR_PATH_NOT_FOUND));
    QCOMPARE(CreateFolderTree(tree.DrivePath("file")), int(ERROR_ALREADY_EXISTS));
}

void TestFolderTree::deletesWholeTree() {
    CTempTree tree;
    QVERIFY(tree.Build({{"keep.txt", "k"},
                        {"del/.hidden", "h"},
                        {"del/a/b/c.txt", "c"},
                        {"del/a/empty/", {}},
                        {"del/ソ/x", "x"}}));
    int pumps = 0;
    QCOMPARE(DeleteFolderTree(tree.DrivePath("del"), [&] { ++pumps; }), 0);
    QCOMPARE(CTempTree::WithoutTimes(tree.Read()), (std::vector<CTreeItem>{{"keep.txt", "k"}}));
    QCOMPARE(pumps, 7); // .hidden, a, a/b, a/b/c.txt, a/empty, ソ, ソ/x
    QVERIFY(m_pBoxes->Shown().empty());
}

void TestFolderTree::drivesRootIsEmptiedNotRemoved() {
    CTempTree tree;
    QVERIFY(tree.Build({{"a/b.txt", "b"}, {"c.txt", "c"}}));
    QCOMPARE(DeleteFolderTree(tree.DriveRoot()), 0);
    QVERIFY(tree.Read().empty());
    QVERIFY(std::filesystem::is_directory(tree.HostRoot()));
}

void TestFolderTree::readOnlyFileStopsWithAccessDenied() {
    CTempTree tree;
    QVERIFY(tree.Build({{"del/a.txt", "a"}, {"del/b.txt", "b"}, {"del/c.txt", "c"}}));
    QVERIFY(tree.SetMode("del/b.txt", 0444));
    m_pBoxes->ExpectExact("ファイルが削除出来ません. Error = 5", IDOK, kWarning);
    QCOMPARE(DeleteFolderTree(tree.DrivePath("del")), int(ERROR_ACCESS_DENIED));
    QVERIFY(m_pBoxes->Shown()[0].strCaption.empty()); // the application's title
    // Name order: a.txt went before the failure, c.txt was never reached.
    QCOMPARE(CTempTree::WithoutTimes(tree.Read()),
             (std::vector<CTreeItem>{{"del/"}, {"del/b.txt", "b"}, {"del/c.txt", "c"}}));
}

void TestFolderTree::symlinkToOutsideFolderKeepsTarget() {
    CTempTree outside('U');
    QVERIFY(outside.Build({{"precious/data.txt", "d"}, {"file.txt", "f"}}));
    CTempTree tree;
    QVERIFY(tree.AddFolder("del/sub"));
    QVERIFY(tree.AddSymlink("del/sub/toFolder", outside.HostPath("precious")));
    QVERIFY(tree.AddSymlink("del/toFile", outside.HostPath("file.txt")));
    QCOMPARE(DeleteFolderTree(tree.DrivePath("del")), 0);
    QVERIFY(!tree.Exists("del"));
    QCOMPARE(
        CTempTree::WithoutTimes(outside.Read()),
        (std::vector<CTreeItem>{{"precious/"}, {"file.txt", "f"}, {"precious/data.txt", "d"}}));
}

void TestFolderTree::folderThatIsASymlinkKeepsTarget() {
    CTempTree outside('U');
    QVERIFY(outside.Build({{"precious/data.txt", "d"}}));
    CTempTree tree;
    QVERIFY(tree.AddSymlink("del", outside.HostPath("precious")));
    QCOMPARE(DeleteFolderTree(tree.DrivePath("del\\")), 0);
    QVERIFY(!tree.Exists("del"));
    QVERIFY(outside.Exists("precious/data.txt"));
}

void TestFolderTree::symlinkLoopEnds() {
    CTempTree tree;
    QVERIFY(tree.AddFolder("del/a"));
    QVERIFY(tree.AddSymlink("del/a/up", tree.HostPath("del")));
    QVERIFY(tree.AddSymlink("del/self", "self"));
    QCOMPARE(DeleteFolderTree(tree.DrivePath("del")), 0);
    QVERIFY(tree.Read().empty());
}

void TestFolderTree::entriesVanishingDuringTheWalk() {
    CTempTree tree;
    QVERIFY(tree.Build({{"del/a.txt", "a"}, {"del/b/x", "x"}, {"del/c.txt", "c"}}));
    int pumps = 0;
    auto pump = [&] {
        if (++pumps == 1) { // something else removes later entries meanwhile
            std::filesystem::remove_all(tree.HostPath("del/b"));
            std::filesystem::remove(tree.HostPath("del/c.txt"));
        }
    };
    QCOMPARE(DeleteFolderTree(tree.DrivePath("del"), pump), 0);
    QVERIFY(tree.Read().empty());
}

void TestFolderTree::missingFolderShowsFolderMessage() {
    CTempTree tree;
    m_pBoxes->ExpectExact("フォルダが削除出来ません. Error = 2", IDOK, kWarning);
    QCOMPARE(DeleteFolderTree(tree.DrivePath("missing")), int(ERROR_FILE_NOT_FOUND));
}

QTEST_GUILESS_MAIN(TestFolderTree)
#include "tst_FolderTree.moc"
