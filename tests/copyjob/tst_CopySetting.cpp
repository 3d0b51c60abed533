// Settings files: reading users' files, writing them back byte for byte, defaults, odd values.
#include "copyjob/CopySetting.h"
#include "platform/ErrorCodes.h"
#include "support/ProgramFolder.h"

#include <QTest>

using Folders = std::vector<std::string>;

class TestCopySetting : public QObject {
    Q_OBJECT

private slots:
    // Creation reads only "Spec"; the other sections on request.
    void readsDailyFile() {
        CTestProgramFolder program;
        QVERIFY(program.CopyTestData("Daily.def"));
        CCopySetting s("Daily");
        QCOMPARE(s.SrcDir + "|" + s.DstDir + "|" + s.WildList,
                 std::string("E:\\Work|D:\\Backup|*.doc/*.txt"));
        QCOMPARE((std::vector<int>{s.NewChk, s.DustChk, s.OutDirChk, s.UsedChk, s.SubDirChk,
                                   s.AllClrChk, s.AnsChk, s.LhaChk, s.CopyDirChk}),
                 (std::vector<int>{1, 1, 1, 0, 0, 0, 0, 0, 0}));
        QVERIFY(s.LhaName.empty() && s.m_aOutDirs.empty());
        QCOMPARE(s.LoadLha(), 1);
        QCOMPARE(s.LhaName, std::string("*.LZH"));
        QCOMPARE(s.LoadOutDirList(), 2);
        QCOMPARE(s.m_aOutDirs, (Folders{"E:\\Work\\tmp", "E:\\Work\\old\\cache"}));
    }

    // Saved back byte for byte; under a new name "Spec" only, and the old file stays.
    void savingReproducesDailyFileByteForByte() {
        CTestProgramFolder program;
        QVERIFY(program.CopyTestData("Daily.def"));
        const std::string daily = CTestProgramFolder::ReadTestData("Daily.def");
        CCopySetting loaded("Daily");
        loaded.LoadLha();
        loaded.LoadOutDirList();
        loaded.SaveSpec("Copy");
        loaded.SaveLha();
        loaded.SaveOutDirList();
        QCOMPARE(loaded.m_strSettingName, std::string("Copy"));
        QCOMPARE(program.ReadFile("Copy.def"), daily);
        loaded.SrcDir = "E:\\Other";
        loaded.SaveSpec("Weekly");
        QCOMPARE(program.ReadFile("Copy.def"), daily);
        CCopySetting weekly("Weekly");
        QCOMPARE(weekly.SrcDir, std::string("E:\\Other"));
        QCOMPARE(weekly.LoadOutDirList(), 0);
        loaded.m_aOutDirs.clear(); // an empty list removes its section
        QCOMPARE(loaded.SaveOutDirList("Daily"), 0);
        QVERIFY(program.ReadFile("Daily.def").find("OutDirList") == std::string::npos);
    }

    void hostileValuesReadSafely() {
        CTestProgramFolder program;
        QVERIFY(program.WriteFile(
            "Odd.def", "[Spec]\r\nNewChk=abc\r\nUsedChk=2\r\nSrcDir=" + std::string(400, 'x') +
                           "\r\n[OutDirList]\r\nCount=99999999\r\nOutDir7=E:\\Seven\r\n"
                           "OutDir0=E:\\Zero\r\nOutDir01=E:\\NotAnIndex\r\n"));
        CCopySetting s("Odd");
        QCOMPARE(s.NewChk, 0);  // leading digits only: none
        QCOMPARE(s.UsedChk, 2); // any non-zero value is on
        QCOMPARE(s.SrcDir, std::string(259, 'x'));
        QCOMPARE(s.LoadOutDirList(), 2);
        QCOMPARE(s.m_aOutDirs, (Folders{"E:\\Zero", "E:\\Seven"}));
        QVERIFY(program.WriteFile("Neg.def", "[OutDirList]\r\nCount=-5\r\nOutDir0=E:\\A\r\n"));
        QCOMPARE(CCopySetting("Neg").LoadOutDirList(), 0);
        CCopySetting missing("Nowhere"); // unlike a new record, with the trash option off
        QVERIFY(missing.WildList == "*.*" && missing.NewChk == 1 && missing.DustChk == 0);
        QVERIFY(!QFile::exists(QString::fromStdString(program.HostFile("Nowhere.def"))));
    }

    void textWithoutShiftJisFormIsRefusedNotCorrupted() {
        CTestProgramFolder program;
        QVERIFY(program.CopyTestData("Daily.def"));
        CCopySetting s("Daily");
        s.SrcDir = "E:\\写真\U0001F600";
        QCOMPARE(s.SaveSpec(), 1);
        QCOMPARE(s.LastSaveError(), static_cast<int>(ERROR_NO_UNICODE_TRANSLATION));
        QCOMPARE(program.ReadFile("Daily.def"), CTestProgramFolder::ReadTestData("Daily.def"));
    }

    // 0x81 0x7F and a final lone lead byte are no CP932: kept and named per section, for refusal.
    void invalidShiftJisBytesAreRefusedOnLoad() {
        CTestProgramFolder program;
        QVERIFY(program.WriteFile(
            "Bad.def", "[Spec]\r\nSrcDir=E:\\\x81\x7F\r\nDstDir=D:\\ok\r\n[OutDirList]\r\n"
                       "Count=2\r\nOutDir0=E:\\\x82\r\nOutDir1=E:\\tmp\r\n"));
        CCopySetting s("Bad");
        QCOMPARE(s.DstDir, std::string("D:\\ok"));
        QCOMPARE(s.LoadOutDirList(), 2);
        QCOMPARE(s.RefusedKeys(), (Folders{"SrcDir", "OutDir0"}));
        QVERIFY(program.WriteFile("Bad.def", "[Spec]\r\nSrcDir=E:\\\r\n"));
        s.LoadSpec();
        QCOMPARE(s.RefusedKeys(), Folders{"OutDir0"});
    }

    // Whole names, letter case and the last separator ignored (ASCII only).
    void excludedFolderMatching() {
        const std::tuple<const char*, const char*, int> cases[] = {
            {"E:\\Work\\Tmp\\", "e:\\work\\tmp", 1},
            {"E:\\Work\\Tm", "E:\\Work\\Tmp", 0},
            {"E:\\資料\\表ソ\\", "E:\\資料\\表ソ", 1},
            {"E:\\ＡＢ", "E:\\ａｂ", 0}};
        for (const auto& [entry, path, excluded] : cases) {
            CCopySetting s;
            s.OutDirChk = 1;
            s.m_aOutDirs = {"E:\\Elsewhere", entry};
            QCOMPARE(s.IsExcludedDir(path), excluded);
        }
    }
};

QTEST_GUILESS_MAIN(TestCopySetting)
#include "tst_CopySetting.moc"
