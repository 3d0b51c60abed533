// Section "CopyInfo" of "Tidewell.Ini": what the main window remembers.

#include "app/AppProfile.h"
#include "support/ProgramFolder.h"

#include <QTest>

class TestAppProfile : public QObject {
    Q_OBJECT

private slots:
    void missingFileGivesDefaults();
    void readsReferenceProfile();
    void integersAsTheProfileReaderTakesThem_data();
    void integersAsTheProfileReaderTakesThem();
    void writeCreatesFileAndKeepsOtherSections();
    void writeNegativeAndLargeIntegers();
    void unstorableNameKeepsOldNameAndWritesIntegers();
};

void TestAppProfile::missingFileGivesDefaults() {
    CTestProgramFolder program;
    const CAppProfile profile = ReadAppProfile();
    QCOMPARE(profile.m_strUsedDef, std::string());
    QCOMPARE(profile.m_bRenzoku, 0);
    QCOMPARE(profile.m_nRenzokuIndex, 0);
    // A file without the section reads the same.
    QVERIFY(program.WriteFile("Tidewell.Ini", "[Renzoku0]\r\nCount=0\r\n"));
    const CAppProfile other = ReadAppProfile();
    QCOMPARE(other.m_strUsedDef, std::string());
    QCOMPARE(other.m_nRenzokuIndex, 0);
}

void TestAppProfile::readsReferenceProfile() {
    CTestProgramFolder program;
    QVERIFY(program.CopyTestData("Tidewell.Ini"));
    const CAppProfile profile = ReadAppProfile();
    QCOMPARE(profile.m_strUsedDef, std::string("Daily"));
    QCOMPARE(profile.m_bRenzoku, 0);
    QCOMPARE(profile.m_nRenzokuIndex, 2);
}

void TestAppProfile::integersAsTheProfileReaderTakesThem_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << "1" << 1;
    QTest::newRow("leading digits") << "3abc" << 3;
    QTest::newRow("no digits") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("negative") << "-2" << -2;
}

void TestAppProfile::integersAsTheProfileReaderTakesThem() {
    QFETCH(QString, value);
    QFETCH(int, expected);
    CTestProgramFolder program;
    QVERIFY(program.WriteFile("Tidewell.Ini", "[CopyInfo]\r\nRenzoku=" + value.toStdString() +
                                                  "\r\nRenzokuIndex=" + value.toStdString() +
                                                  "\r\n"));
    const CAppProfile profile = ReadAppProfile();
    QCOMPARE(profile.m_bRenzoku, expected);
    QCOMPARE(profile.m_nRenzokuIndex, expected);
}

void TestAppProfile::writeCreatesFileAndKeepsOtherSections() {
    CTestProgramFolder program;
    CAppProfile profile;
    profile.m_strUsedDef = "資料";
    profile.m_bRenzoku = 1;
    profile.m_nRenzokuIndex = 4;
    QCOMPARE(WriteAppProfile(profile), 0);
    // CP932 with CR LF, as the program's files always were.
    QCOMPARE(program.ReadFile("Tidewell.Ini"),
             std::string("[CopyInfo]\r\nUsedDef=\x8E\x91\x97\xBF\r\nRenzoku=1\r\n"
                         "RenzokuIndex=4\r\n"));
    // Over the reference profile: the other sections stay byte for byte.
    CTestProgramFolder second;
    QVERIFY(second.CopyTestData("Tidewell.Ini"));
    const std::string before = second.ReadFile("Tidewell.Ini");
    profile.m_strUsedDef = "Daily";
    profile.m_bRenzoku = 0;
    profile.m_nRenzokuIndex = 2;
    QCOMPARE(WriteAppProfile(profile), 0);
    QCOMPARE(second.ReadFile("Tidewell.Ini"), before);
}

void TestAppProfile::writeNegativeAndLargeIntegers() {
    CTestProgramFolder program;
    CAppProfile profile;
    profile.m_nRenzokuIndex = -7;
    profile.m_bRenzoku = 2147483647;
    QCOMPARE(WriteAppProfile(profile), 0);
    const CAppProfile back = ReadAppProfile();
    QCOMPARE(back.m_nRenzokuIndex, -7);
    QCOMPARE(back.m_bRenzoku, 2147483647);
    QVERIFY(program.ReadFile("Tidewell.Ini").find("RenzokuIndex=-7\r\n") != std::string::npos);
}

void TestAppProfile::unstorableNameKeepsOldNameAndWritesIntegers() {
    CTestProgramFolder program;
    QVERIFY(program.WriteFile("Tidewell.Ini", "[CopyInfo]\r\nUsedDef=Old\r\n"));
    CAppProfile profile;
    profile.m_strUsedDef = "\xF0\x9F\x98\x80"; // an emoji: CP932 has no form for it
    profile.m_bRenzoku = 1;
    profile.m_nRenzokuIndex = 3;
    QVERIFY(WriteAppProfile(profile) != 0);
    const CAppProfile back = ReadAppProfile();
    QCOMPARE(back.m_strUsedDef, std::string("Old"));
    QCOMPARE(back.m_bRenzoku, 1);
    QCOMPARE(back.m_nRenzokuIndex, 3);
}

QTEST_GUILESS_MAIN(TestAppProfile)
#include "tst_AppProfile.moc"
