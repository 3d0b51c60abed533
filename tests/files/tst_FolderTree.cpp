// Creating folder trees and deleting them, with the message a failed deletion shows.
#include "files/FolderTree.h"
#include "platform/ErrorCodes.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempTree.h"

#include <QtTest>
#include <filesystem>

class TestFolderTree : public QObject {
    Q_OBJECT
private slots:
    void createFolderTree() {
        CTempTree tree('T');
        QVERIFY(tree.Build({{"a/"}, {"file", "x"}}));
        for (const char* path :
             {"T:\\a\\b\\", "T:\\a\\b\\c", "T:\\a\\b\\c", "T:\\表ソ\\ソ", "T:\\"})
            QVERIFY2(CreateFolderTree(path) == 0, path);
        const QString made = "a/ a/b/ a/b/c/ 表ソ/ 表ソ/ソ/ file=x";
        QCOMPARE(tree.Listing(), made);
        QCOMPARE(CreateFolderTree("T:") + CreateFolderTree(""), -4); // too short: nothing made
        QCOMPARE(CreateFolderTree("Q:\\a\\b"), int(ERROR_PATH_NOT_FOUND));
        QCOMPARE(CreateFolderTree("T:\\file"), int(ERROR_ALREADY_EXISTS)); // a file holds the name
        QCOMPARE(CreateFolderTree("T:\\file\\sub"), int(ERROR_ALREADY_EXISTS));
        QCOMPARE(tree.Listing(), made);
    }

    // Links are removed as links, never followed; a drive root is emptied and kept.
    void deletesTrees() {
        CTempTree outside('U');
        QVERIFY(outside.Build({{"keep/data", "d"}, {"file", "f"}}));
        CTempTree tree;
        // clang-format off
        QVERIFY(tree.Build({{"k", "k"}, {"d/.h"}, {"d/a/b/c"}, {"d/a/e/"}, {"d/ソ/x"}}));
        QVERIFY(tree.AddSymlink("d/a/in", outside.HostPath("keep")) && tree.AddSymlink("d/s", "s"));
        QVERIFY(tree.AddSymlink("d/f", outside.HostPath("file")) && tree.AddSymlink("d/a/up", tree.HostPath("d")));
        QVERIFY(tree.AddSymlink("top", outside.HostPath("keep")));
        // clang-format on
        int pumps = 0;
        QCOMPARE(DeleteFolderTree(tree.DrivePath("d"), [&] { ++pumps; }), 0);
        QCOMPARE(pumps, 11);                                    // once per entry
        QCOMPARE(DeleteFolderTree(tree.DrivePath("top\\")), 0); // the folder itself is a link
        QCOMPARE(tree.Listing(), "k=k");
        QCOMPARE(outside.Listing(), "keep/ file=f keep/data=d");
        QCOMPARE(DeleteFolderTree(tree.DriveRoot()), 0);
        QVERIFY(tree.Read().empty() && std::filesystem::is_directory(tree.HostRoot()));
        // The first failure stops the walk with one message.
        QVERIFY(tree.Build({{"d/a", "a"}, {"d/b", "b"}, {"d/c", "c"}}) &&
                tree.SetMode("d/b", 0444));
        auto boxes = std::make_shared<CScriptedMessageBox>();
        CScopedMessageBoxService scoped(boxes);
        boxes->ExpectExact("ファイルが削除出来ません. Error = 5", IDOK, MB_ICONEXCLAMATION);
        QCOMPARE(DeleteFolderTree(tree.DrivePath("d")), int(ERROR_ACCESS_DENIED));
        QCOMPARE(tree.Listing(), "d/ d/b=b d/c=c"); // in name order, up to the failure
        boxes->ExpectExact("フォルダが削除出来ません. Error = 2", IDOK, MB_ICONEXCLAMATION);
        QCOMPARE(DeleteFolderTree(tree.DrivePath("missing")), int(ERROR_FILE_NOT_FOUND));
        QVERIFY(boxes->VerifyAllUsed());
    }
};

QTEST_GUILESS_MAIN(TestFolderTree)
#include "tst_FolderTree.moc"
