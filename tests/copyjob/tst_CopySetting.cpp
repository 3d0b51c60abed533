// Settings files: reading the files users already have, writing them back
// byte for byte, and the defaults of missing keys.
#include "copyjob/CopySetting.h"
#include "platform/ErrorCodes.h"
#include "support/ProgramFolder.h"

#include <QTest>

class TestCopySetting : public QObject {
    Q_OBJECT

private slots:
    void readsDailyFile();
    void readsJapaneseFileWithGapsInExcludeList();
    void missingFileReadsAsDefaults();
    void newRecordHasItsOwnDefaults();
    void savingReproducesDailyFileByteForByte();
    void savingUnderNewNameLeavesOldFileAlone();
    void roundTripsEveryField();
    void emptyExcludeListRemovesSection();
    void hostileValuesReadSafely();
    void textWithoutShiftJisFormIsRefusedNotCorrupted();
    void invalidShiftJisBytesAreRefusedOnLoad();
    void excludedFolderMatching_data();
    void excludedFolderMatching();
};

void TestCopySetting::readsDailyFile() {
    CTestProgramFolder program;
    QVERIFY(program.CopyTestData("Daily.def"));
    CCopySetting setting("Daily");
    QCOMPARE(setting.m_strSettingName, std::string("Daily"));
    QCOMPARE(setting.SrcDir, std::string("E:\\Work"));
    QCOMPARE(setting.DstDir, std::string("D:\\Backup"));
    QCOMPARE(setting.WildList, std::string("*.doc/*.txt"));
    QCOMPARE(setting.NewChk, 1);
    QCOMPARE(setting.DustChk, 1);
    QCOMPARE(setting.OutDirChk, 1);
    QCOMPARE(setting.UsedChk + setting.SubDirChk + setting.AllClrChk + setting.AnsChk +
                 setting.LhaChk + setting.CopyDirChk,
             0);
    // Creation reads only the "Spec" section.
    QVERIFY(setting.LhaName.empty());
    QVERIFY(setting.m_aOutDirs.empty());
    QCOMPARE(setting.LoadLha(), 1);
    QCOMPARE(setting.LhaName, std::string("*.LZH"));
    QCOMPARE(setting.LhaNewChk, 1);
    QCOMPARE(setting.LoadOutDirList(), 2);
    QCOMPARE(setting.m_aOutDirs,
             (std::vector<std::string>{"E:\\Work\\tmp", "E:\\Work\\old\\cache"}));
}

void TestCopySetting::readsJapaneseFileWithGapsInExcludeList() {
    CTestProgramFolder program;
    QVERIFY(program.CopyTestData("資料.def"));
    CCopySetting setting("資料");
    QCOMPARE(setting.SrcDir, std::string("E:\\資料\\表ソ"));
    QCOMPARE(setting.DstDir, std::string("F:\\控え\\ﾊﾞｯｸｱｯﾌﾟ"));
    QCOMPARE(setting.WildList, std::string("*.txt/*.予定"));
    QCOMPARE(setting.AnsChk, 1);
    QCOMPARE(setting.CopyDirChk, 1);
    QCOMPARE(setting.DustChk, 0);
    // Count=3 with no OutDir1: the gap shrinks the list.
    QCOMPARE(setting.LoadOutDirList(), 2);
    QCOMPARE(setting.m_aOutDirs[0], std::string("E:\\資料\\表ソ\\古い"));
    QCOMPARE(setting.m_aOutDirs[1], std::string("E:\\資料\\表ソ\\ソ\\"));
    // No "LHA" section: its keys read as their defaults.
    setting.LoadLha();
    QCOMPARE(setting.LhaName, std::string("*.LZH"));
    QCOMPARE(setting.LhaNewChk, 1);
    QCOMPARE(setting.AutoFileChk, 0);
}

void TestCopySetting::missingFileReadsAsDefaults() {
    CTestProgramFolder program;
    CCopySetting setting("Nowhere");
    QVERIFY(setting.SrcDir.empty());
    QVERIFY(setting.DstDir.empty());
    QCOMPARE(setting.WildList, std::string("*.*"));
    QCOMPARE(setting.NewChk, 1);
    QCOMPARE(setting.DustChk, 0); // unlike a new record
    QCOMPARE(setting.LoadOutDirList(), 0);
    QVERIFY(!QFile::exists(QString::fromStdString(program.HostFile("Nowhere.def"))));
}

void TestCopySetting::newRecordHasItsOwnDefaults() {
    CTestProgramFolder program;
    CCopySetting setting;
    QVERIFY(setting.WildList.empty());
    QCOMPARE(setting.NewChk, 1);
    QCOMPARE(setting.DustChk, 1);
    QCOMPARE(setting.LhaNewChk, 1);
    QVERIFY(setting.LhaName.empty());
}

void TestCopySetting::savingReproducesDailyFileByteForByte() {
    CTestProgramFolder program;
    QVERIFY(program.CopyTestData("Daily.def"));
    CCopySetting loaded("Daily");
    loaded.LoadLha();
    loaded.LoadOutDirList();
    loaded.SaveSpec("Copy");
    loaded.SaveLha();
    loaded.SaveOutDirList();
    QCOMPARE(loaded.m_strSettingName, std::string("Copy"));
    QCOMPARE(program.ReadFile("Copy.def"), CTestProgramFolder::ReadTestData("Daily.def"));
}

void TestCopySetting::savingUnderNewNameLeavesOldFileAlone() {
    CTestProgramFolder program;
    QVERIFY(program.CopyTestData("Daily.def"));
    const std::string before = program.ReadFile("Daily.def");
    CCopySetting setting("Daily");
    setting.SrcDir = "E:\\Other";
    setting.SaveSpec("Weekly");
    QCOMPARE(program.ReadFile("Daily.def"), before);
    // The new file holds only "Spec": a run meanwhile sees no exclude folders
    // and the default archive options.
    CCopySetting weekly("Weekly");
    QCOMPARE(weekly.SrcDir, std::string("E:\\Other"));
    QCOMPARE(weekly.LoadOutDirList(), 0);
    weekly.LoadLha();
    QCOMPARE(weekly.LhaName, std::string("*.LZH"));
    QVERIFY(program.ReadFile("Weekly.def").find("[LHA]") == std::string::npos);
}

void TestCopySetting::roundTripsEveryField() {
    CTestProgramFolder program;
    CCopySetting out;
    out.SrcDir = "E:\\資料\\表ソ";
    out.DstDir = "F:\\ﾊﾞｯｸｱｯﾌﾟ\\";
    out.WildList = "*.予定/ a b.txt";
    out.UsedChk = 1;
    out.SubDirChk = 1;
    out.NewChk = 0;
    out.DustChk = 0;
    out.AnsChk = 1;
    out.LhaChk = 1;
    out.CopyDirChk = 1;
    out.AllClrChk = 1;
    out.OutDirChk = 1;
    out.LhaName = "週報.LZH";
    out.OptionStr = "-r1 -x1";
    out.FileHeder = "BK";
    out.LhaSubDirChk = 1;
    out.LhaNewChk = 0;
    out.LhaAllClrChk = 1;
    out.AutoFileChk = 1;
    out.m_aOutDirs = {"E:\\資料\\表ソ\\古い", "E:\\x"};
    out.SaveSpec("全部");
    out.SaveLha();
    out.SaveOutDirList();
    QCOMPARE(out.LastSaveError(), 0);

    CCopySetting in("全部");
    in.LoadLha();
    in.LoadOutDirList();
    QCOMPARE(in.SrcDir, out.SrcDir);
    QCOMPARE(in.DstDir, out.DstDir);
    QCOMPARE(in.WildList, out.WildList);
    const std::vector<int> flagsOut = {
        out.UsedChk,   out.SubDirChk,    out.NewChk,     out.DustChk,   out.AnsChk,
        out.LhaChk,    out.CopyDirChk,   out.AllClrChk,  out.OutDirChk, out.LhaSubDirChk,
        out.LhaNewChk, out.LhaAllClrChk, out.AutoFileChk};
    const std::vector<int> flagsIn = {
        in.UsedChk,   in.SubDirChk,    in.NewChk,     in.DustChk,   in.AnsChk,
        in.LhaChk,    in.CopyDirChk,   in.AllClrChk,  in.OutDirChk, in.LhaSubDirChk,
        in.LhaNewChk, in.LhaAllClrChk, in.AutoFileChk};
    QCOMPARE(flagsIn, flagsOut);
    QCOMPARE(in.LhaName, out.LhaName);
    QCOMPARE(in.OptionStr, out.OptionStr);
    QCOMPARE(in.FileHeder, out.FileHeder);
    QCOMPARE(in.m_aOutDirs, out.m_aOutDirs);
}

void TestCopySetting::emptyExcludeListRemovesSection() {
    CTestProgramFolder program;
    QVERIFY(program.CopyTestData("Daily.def"));
    CCopySetting setting("Daily");
    setting.LoadOutDirList();
    setting.m_aOutDirs.clear();
    QCOMPARE(setting.SaveOutDirList(), 0);
    QVERIFY(program.ReadFile("Daily.def").find("OutDirList") == std::string::npos);
    QCOMPARE(setting.LoadOutDirList(), 0);
}

void TestCopySetting::hostileValuesReadSafely() {
    CTestProgramFolder program;
    const std::string longValue(400, 'x');
    QVERIFY(
        program.WriteFile("Odd.def", "[Spec]\r\nNewChk=abc\r\nUsedChk=2\r\nSrcDir=" + longValue +
                                         "\r\n[OutDirList]\r\nCount=99999999\r\n"
                                         "OutDir7=E:\\Seven\r\nOutDir0=E:\\Zero\r\n"
                                         "OutDir01=E:\\NotAnIndex\r\n"));
    CCopySetting setting("Odd");
    QCOMPARE(setting.NewChk, 0);  // leading digits only: none
    QCOMPARE(setting.UsedChk, 2); // any non-zero value is on
    QCOMPARE(setting.SrcDir, std::string(259, 'x'));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(setting.LoadOutDirList(), 2);
    QVERIFY(timer.elapsed() < 5000); // a huge Count costs no more than the keys present
    QCOMPARE(setting.m_aOutDirs, (std::vector<std::string>{"E:\\Zero", "E:\\Seven"}));

    QVERIFY(program.WriteFile("Neg.def", "[OutDirList]\r\nCount=-5\r\nOutDir0=E:\\A\r\n"));
    CCopySetting negative("Neg");
    QCOMPARE(negative.LoadOutDirList(), 0);
}

void TestCopySetting::textWithoutShiftJisFormIsRefusedNotCorrupted() {
    CTestProgramFolder program;
    QVERIFY(program.CopyTestData("Daily.def"));
    const std::string before = program.ReadFile("Daily.def");
    CCopySetting setting("Daily");
    setting.SrcDir = "E:\\写真\U0001F600";
    QCOMPARE(setting.SaveSpec(), 1);
    QCOMPARE(setting.LastSaveError(), static_cast<int>(ERROR_NO_UNICODE_TRANSLATION));
    QCOMPARE(program.ReadFile("Daily.def"), before);
}

void TestCopySetting::invalidShiftJisBytesAreRefusedOnLoad() {
    CTestProgramFolder program;
    // 0x81 0x7F is no CP932 character; a lone lead byte 0x82 ends a value.
    QVERIFY(program.WriteFile("Bad.def", "[Spec]\r\nSrcDir=E:\\\x81\x7F\r\nDstDir=D:\\ok\r\n"
                                         "[OutDirList]\r\nCount=2\r\nOutDir0=E:\\\x82\r\n"
                                         "OutDir1=E:\\tmp\r\n"));
    CCopySetting setting("Bad");
    QCOMPARE(setting.DstDir, std::string("D:\\ok"));
    QCOMPARE(setting.LoadOutDirList(), 2); // kept as read: the run refuses them
    QCOMPARE(setting.RefusedKeys(), (std::vector<std::string>{"SrcDir", "OutDir0"}));
    QVERIFY(program.WriteFile("Bad.def", "[Spec]\r\nSrcDir=E:\\\r\n"));
    setting.LoadSpec();
    QCOMPARE(setting.RefusedKeys(), std::vector<std::string>{"OutDir0"});
}

void TestCopySetting::excludedFolderMatching_data() {
    QTest::addColumn<int>("outDirChk");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("excluded");
    QTest::newRow("case and separator ignored") << 1 << "E:\\Work\\Tmp\\"
                                                << "e:\\work\\tmp" << 1;
    QTest::newRow("subfolder not excluded") << 1 << "E:\\Work\\Tmp\\"
                                            << "E:\\Work\\Tmp\\Sub" << 0;
    QTest::newRow("option off") << 0 << "E:\\Work\\Tmp"
                                << "E:\\Work\\Tmp" << 0;
    QTest::newRow("prefix is not equality") << 1 << "E:\\Work\\Tm"
                                            << "E:\\Work\\Tmp" << 0;
    QTest::newRow("name ending in ソ") << 1 << "E:\\資料\\表ソ\\"
                                       << "E:\\資料\\表ソ" << 1;
    QTest::newRow("full-width letters keep case") << 1 << "E:\\ＡＢ"
                                                  << "E:\\ａｂ" << 0;
}

void TestCopySetting::excludedFolderMatching() {
    QFETCH(int, outDirChk);
    QFETCH(QString, entry);
    QFETCH(QString, path);
    QFETCH(int, excluded);
    CCopySetting setting;
    setting.OutDirChk = outDirChk;
    setting.m_aOutDirs = {"E:\\Elsewhere", entry.toStdString()};
    QCOMPARE(setting.IsExcludedDir(path.toStdString()), excluded);
}

QTEST_GUILESS_MAIN(TestCopySetting)
#include "tst_CopySetting.moc"
