// File and folder questions on a temporary tree behind a drive letter, the
// program folder and the warning box.

#include "files/PathUtils.h"
#include "platform/HostServices.h"
#include "support/FakeVolumeSource.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempTree.h"

#include <QtTest>

#include <filesystem>

class TestFileQueries : public QObject {
    Q_OBJECT
private slots:
    void fileExistsLooksAtTheFirstMatchOnly();
    void fileExistsFillsTheEntry();
    void listFilesEmptiesFirstAndSkipsFolders();
    void listSubfoldersAppendsVisibleRealFolders();
    void listSubfoldersOfUnreadableFolders_data();
    void listSubfoldersOfUnreadableFolders();
    void folderExists_data();
    void folderExists();
    void folderExistsNeedsAReadyDrive();
    void programFolder();
    void programFolderAtADriveRoot();
    void warningBox();
};

void TestFileQueries::fileExistsLooksAtTheFirstMatchOnly() {
    CTempTree tree;
    QVERIFY(tree.Build({{"a.txt.d/", {}}, {"b.txt", "b"}, {"dir/", {}}}));
    // "a.txt.d" is a folder and comes first for "*.*": files later do not count.
    QCOMPARE(FileExists(tree.DrivePath("*.*")), 0);
    QCOMPARE(FileExists(tree.DrivePath("*.txt")), 1);
    QCOMPARE(FileExists(tree.DrivePath("dir")), 0);
    QCOMPARE(FileExists(tree.DrivePath("B.TXT")), 1);
    QCOMPARE(FileExists(tree.DrivePath("c.txt")), 0);
    QCOMPARE(FileExists(tree.DrivePath("none/b.txt")), 0);
    QCOMPARE(FileExists("Q:\\b.txt"), 0);
}

void TestFileQueries::fileExistsFillsTheEntry() {
    CTempTree tree;
    QVERIFY(tree.Build({{".hidden", "1234567", 1500000000}}));
    CFileEntry entry;
    QCOMPARE(FileExists(tree.DrivePath(".hidden"), &entry), 1);
    QCOMPARE(entry.name, std::string(".hidden"));
    QCOMPARE(entry.size, uint64_t(7));
    QCOMPARE(entry.writeTime, int64_t(1500000000));
    QVERIFY(entry.attributes & FILE_ATTRIBUTE_HIDDEN);
}

void TestFileQueries::listFilesEmptiesFirstAndSkipsFolders() {
    CTempTree tree;
    QVERIFY(tree.Build({{"x.def", ""}, {".y.def", ""}, {"z.def/", {}}, {"w.txt", ""}}));
    std::vector<std::string> list{"old"};
    QCOMPARE(ListFiles(tree.DrivePath("*.def"), list), 2);
    QCOMPARE(list, (std::vector<std::string>{".y.def", "x.def"}));
    QCOMPARE(ListFiles(tree.DrivePath("missing/*.*"), list), 0);
    QVERIFY(list.empty());
}

void TestFileQueries::listSubfoldersAppendsVisibleRealFolders() {
    CTempTree tree;
    QVERIFY(tree.Build(
        {{"src/B/", {}}, {"src/a/", {}}, {"src/.git/", {}}, {"src/file", "f"}, {"outside/", {}}}));
    QVERIFY(tree.AddSymlink("src/link", tree.HostPath("outside")));
    QVERIFY(tree.AddSymlink("src/loop", tree.HostPath("src")));
    std::vector<std::string> list{"kept"};
    QCOMPARE(ListSubfolders(tree.DrivePath("src"), list), 3);
    QCOMPARE(list, (std::vector<std::string>{"kept", "B", "a"}));
    QCOMPARE(ListSubfolders(tree.DrivePath("src/"), list), 5); // with "\" too, and appends again
}

void TestFileQueries::listSubfoldersOfUnreadableFolders_data() {
    QTest::addColumn<QString>("folder");
    QTest::newRow("missing folder") << "gone";
    QTest::newRow("a file where a folder is expected") << "file";
    QTest::newRow("a folder removed before the walk reaches it") << "vanishing";
}

void TestFileQueries::listSubfoldersOfUnreadableFolders() {
    QFETCH(QString, folder);
    CTempTree tree;
    QVERIFY(tree.Build({{"file", "x"}, {"vanishing/sub/", {}}}));
    std::vector<std::string> top;
    QCOMPARE(ListSubfolders(tree.DriveRoot(), top), 1);
    QCOMPARE(top, std::vector<std::string>{"vanishing"});
    std::filesystem::remove_all(tree.HostPath("vanishing"));
    std::vector<std::string> list{"a", "b"};
    QCOMPARE(ListSubfolders(tree.DrivePath(folder.toStdString()), list), 2);
    QCOMPARE(list.size(), size_t(2));
}

void TestFileQueries::folderExists_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("exists");
    QTest::newRow("drive root") << "T:\\" << 1;
    QTest::newRow("drive root, lower case") << "t:\\" << 1;
    QTest::newRow("folder") << "T:\\Data" << 1;
    QTest::newRow("folder with separator") << "T:\\Data\\" << 1;
    QTest::newRow("other case") << "T:\\DATA" << 1;
    QTest::newRow("folder ending in so") << "T:\\表ソ" << 1;
    QTest::newRow("file") << "T:\\Data\\a.txt" << 0;
    QTest::newRow("missing") << "T:\\Nothing" << 0;
    QTest::newRow("unmapped drive root") << "Q:\\" << 0;
    QTest::newRow("network share") << "\\\\server\\share" << 0;
    QTest::newRow("symlink to a folder") << "T:\\link" << 1;
}

void TestFileQueries::folderExists() {
    QFETCH(QString, path);
    QFETCH(int, exists);
    CTempTree tree('T');
    QVERIFY(tree.Build({{"Data/a.txt", "a"}, {"表ソ/", {}}}));
    QVERIFY(tree.AddSymlink("link", tree.HostPath("Data")));
    QCOMPARE(FolderExists(path.toStdString()), exists);
}

void TestFileQueries::folderExistsNeedsAReadyDrive() {
    CTempTree tree('T');
    QVERIFY(tree.AddFolder("Data"));
    auto fake = std::make_shared<CFakeVolumeSource>();
    fake->Set('T', CFakeVolumeSource::NoMedium());
    CScopedVolumeSource scoped(fake);
    QCOMPARE(FolderExists("T:\\"), 0);
    QCOMPARE(FolderExists("T:\\Data"), 0);
    fake->Set('T', CFakeVolumeSource::Full());
    QCOMPARE(FolderExists("T:\\Data"), 1); // full is still ready
}

void TestFileQueries::programFolder() {
    CHostServices& host = CHostServices::Get();
    const std::string saved = host.ProgramFolderHost();
    CTempTree tree;
    QVERIFY(tree.AddFolder("prog"));
    host.SetProgramFolder(tree.HostPath("prog") + "/");
    std::string expected = "C:" + tree.HostPath("prog") + "/";
    std::replace(expected.begin(), expected.end(), '/', '\\');
    QCOMPARE(GetProgramFolder(), expected);
    host.SetProgramFolder(saved);
}

void TestFileQueries::programFolderAtADriveRoot() {
    CHostServices& host = CHostServices::Get();
    const std::string saved = host.ProgramFolderHost();
    CTempTree tree;
    QVERIFY(tree.AddFolder("prog"));
    host.SetProgramFolder(tree.HostPath("prog"));
    host.DriveMap().Map('P', tree.HostPath("prog"));
    QCOMPARE(GetProgramFolder(), std::string("P:\\"));
    host.SetProgramFolder(saved);
}

void TestFileQueries::warningBox() {
    auto boxes = std::make_shared<CScriptedMessageBox>();
    CScopedMessageBoxService scoped(boxes);
    boxes->ExpectExact("コピー元フォルダがありません", IDOK);
    WarningBox("コピー元フォルダがありません", "not shown");
    QVERIFY(boxes->VerifyAllUsed());
    QCOMPARE(boxes->Shown().size(), size_t(1));
    QCOMPARE(boxes->Shown()[0].nStyle, unsigned(0x30));
    QVERIFY(boxes->Shown()[0].strCaption.empty());
    QCOMPARE(boxes->Beeps(), std::vector<unsigned>{0x30});
}

QTEST_GUILESS_MAIN(TestFileQueries)
#include "tst_FileQueries.moc"
