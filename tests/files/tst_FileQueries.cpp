// File and folder questions on a temporary tree behind a drive letter.
#include "files/PathUtils.h"
#include "support/FakeVolumeSource.h"
#include "support/TempTree.h"

#include <QtTest>
#include <filesystem>

using CNames = std::vector<std::string>;

class TestFileQueries : public QObject {
    Q_OBJECT
private slots:
    void filesFoldersAndLists() {
        CTempTree tree('T');
        // clang-format off
        QVERIFY(tree.Build({{"a.txt.d/"}, {"b.txt", "b"}, {".y.def", "1234567", 1500000000},
                            {"src/B/"}, {"src/a/"}, {"src/.git/"}, {"src/f"}, {"表ソ/"}}));
        // clang-format on
        QCOMPARE(FileExists("T:\\*.txt*"), 0); // the first match is a folder
        QCOMPARE(FileExists("T:\\B.TXT"), 1);
        CFileEntry entry;
        QVERIFY(FileExists("T:\\*.def", &entry) == 1 && entry.writeTime == 1500000000);
        CNames list{"old"};
        QCOMPARE(ListFiles("T:\\*.*", list), 2); // emptied first, no folders
        QCOMPARE(list, (CNames{".y.def", "b.txt"}));
        // Subfolders are appended; hidden ones and links (a loop, a way out) left out.
        QVERIFY(tree.AddSymlink("src/out", tree.HostPath("a.txt.d")) &&
                tree.AddSymlink("src/loop", tree.HostPath("src")));
        QCOMPARE(ListSubfolders("T:\\src/", list), 4);
        QCOMPARE(list, (CNames{".y.def", "b.txt", "B", "a"}));
        for (const char* path : {"t:\\", "T:\\SRC\\", "T:\\表ソ", "T:\\src\\out"})
            QVERIFY2(FolderExists(path) == 1, path);
        for (const char* path : {"T:\\b.txt", "T:\\No", "Q:\\", "\\\\server\\share"})
            QVERIFY2(FolderExists(path) == 0, path);
        std::filesystem::remove_all(tree.HostPath("src/a")); // gone since it was listed
        for (const char* unreadable : {"none", "b.txt", "src/a"})
            QCOMPARE(ListSubfolders(tree.DrivePath(unreadable), list), 4);
        auto fake = std::make_shared<CFakeVolumeSource>();
        CScopedVolumeSource scoped(fake);
        fake->Set('T', CFakeVolumeSource::NoMedium());
        QCOMPARE(FolderExists("T:\\") + FolderExists("T:\\src"), 0); // the drive is not ready
        fake->Set('T', CFakeVolumeSource::Full());
        QCOMPARE(FolderExists("T:\\src"), 1); // full is still ready
    }
};

QTEST_GUILESS_MAIN(TestFileQueries)
#include "tst_FileQueries.moc"
