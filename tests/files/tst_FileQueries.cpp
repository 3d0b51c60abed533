// File and folder questions on a temporary tree behind a drive letter, the
// program folder and the warning box.

#include "files/PathUtils.h"
#include "platform/HostServices.h"
#include "support/FakeVolumeSource.h"
#include "support/ProgramFolder.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempTree.h"

#include <QtTest>

#include <filesystem>

using CNames = std::vector<std::string>;

class TestFileQueries : public QObject {
    Q_OBJECT
private slots:
    void filesAndLists() {
        CTempTree tree;
        // clang-format off
        QVERIFY(tree.Build({{"a.txt.d/"}, {"b.txt", "b"}, {".y.def", "1234567", 1500000000},
                            {"src/B/"}, {"src/a/"}, {"src/.git/"}, {"src/f"}}));
        // clang-format on
        QCOMPARE(FileExists(tree.DrivePath("*.txt*")), 0); // the first match is a folder
        QCOMPARE(FileExists(tree.DrivePath("B.TXT")), 1);
        CFileEntry entry;
        QCOMPARE(FileExists(tree.DrivePath("*.def"), &entry), 1);
        QCOMPARE(entry.writeTime, int64_t(1500000000));
        QVERIFY(entry.attributes & FILE_ATTRIBUTE_HIDDEN);
        CNames list{"old"};
        QCOMPARE(ListFiles(tree.DrivePath("*.*"), list), 2); // emptied first, no folders
        QCOMPARE(list, (CNames{".y.def", "b.txt"}));
        // Subfolders are appended; hidden ones and links (a loop, a way out) left out.
        QVERIFY(tree.AddSymlink("src/out", tree.HostPath("a.txt.d")));
        QVERIFY(tree.AddSymlink("src/loop", tree.HostPath("src")));
        QCOMPARE(ListSubfolders(tree.DrivePath("src/"), list), 4);
        QCOMPARE(list, (CNames{".y.def", "b.txt", "B", "a"}));
        std::filesystem::remove_all(tree.HostPath("src/a")); // gone since it was listed
        for (const char* unreadable : {"none", "b.txt", "src/a"})
            QCOMPARE(ListSubfolders(tree.DrivePath(unreadable), list), 4);
    }

    void folderExists() {
        CTempTree tree('T');
        QVERIFY(tree.Build({{"Data/a.txt", "a"}, {"表ソ/", {}}}));
        QVERIFY(tree.AddSymlink("link", tree.HostPath("Data")));
        for (const char* path : {"t:\\", "T:\\DATA\\", "T:\\表ソ", "T:\\link"})
            QVERIFY2(FolderExists(path) == 1, path);
        for (const char* path : {"T:\\Data\\a.txt", "T:\\No", "Q:\\", "\\\\server\\share"})
            QVERIFY2(FolderExists(path) == 0, path);
        auto fake = std::make_shared<CFakeVolumeSource>();
        CScopedVolumeSource scoped(fake);
        fake->Set('T', CFakeVolumeSource::NoMedium());
        QCOMPARE(FolderExists("T:\\") + FolderExists("T:\\Data"), 0); // the drive is not ready
        fake->Set('T', CFakeVolumeSource::Full());
        QCOMPARE(FolderExists("T:\\Data"), 1); // full is still ready
    }

    void programFolderAndWarningBox() {
        CTestProgramFolder program;
        QString expected = QString::fromStdString("C:" + program.HostPath() + "/");
        QCOMPARE(QString::fromStdString(GetProgramFolder()), expected.replace('/', '\\'));
        CHostServices::Get().DriveMap().Map('P', program.HostPath());
        QCOMPARE(GetProgramFolder(), std::string("P:\\")); // a drive root
        auto boxes = std::make_shared<CScriptedMessageBox>();
        CScopedMessageBoxService scoped(boxes);
        boxes->ExpectExact("コピー元フォルダがありません", IDOK, MB_OK | MB_ICONEXCLAMATION);
        WarningBox("コピー元フォルダがありません", "not shown");
        QVERIFY(boxes->VerifyAllUsed() && boxes->Shown()[0].strCaption.empty());
        QCOMPARE(boxes->Beeps(), std::vector<unsigned>{MB_ICONEXCLAMATION});
    }
};

QTEST_GUILESS_MAIN(TestFileQueries)
#include "tst_FileQueries.moc"
