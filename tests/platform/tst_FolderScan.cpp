// Subfolder names as the folder tree reads them.
#include "platform/FolderScan.h"
#include "support/TempTree.h"

#include <QtTest>

class TestFolderScan : public QObject {
    Q_OBJECT
private slots:
    void subfoldersOnly() {
        CTempTree tree;
        QVERIFY(tree.Build({{"plain/"}, {".hidden/"}, {"with\\sep/"}, {"file.txt", "x"}}) &&
                tree.Build({{"only-files/a.txt", "x"}, {"deep/er/"}}));
        QVERIFY(tree.AddSymlink("link", tree.HostPath("deep")) &&
                tree.AddSymlink("dangling", tree.HostPath("gone")));
        std::vector<std::string> names{"kept"};
        QCOMPARE(ListFolderNames(tree.DriveRoot(), names), 0);
        std::sort(names.begin() + 1, names.end());
        QCOMPARE(names, (std::vector<std::string>{"kept", ".hidden", "deep", "link", "only-files",
                                                  "plain"}));
        QVERIFY(ListFolderNames(tree.DrivePath("gone"), names) != 0);
        QCOMPARE(names.size(), size_t(6)); // unchanged by a failure
        // name, has a subfolder, is a folder
        const std::tuple<const char*, bool, bool> rows[] = {
            {"", true, true},       {"deep", true, true},        {"link", true, true},
            {"plain", false, true}, {"only-files", false, true}, {"file.txt", false, false},
            {"gone", false, false}, {"dangling", false, false}};
        for (const auto& [name, has, folder] : rows) {
            QVERIFY2(HasSubfolder(tree.DrivePath(name)) == has, name);
            QVERIFY2(IsExistingFolder(tree.DrivePath(name)) == folder, name);
        }
        QVERIFY(!IsExistingFolder("Q:\\")); // no drive behind the letter
    }
};

QTEST_GUILESS_MAIN(TestFolderScan)
#include "tst_FolderScan.moc"
