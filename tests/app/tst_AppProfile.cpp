// Section "CopyInfo" of "Tidewell.Ini": what the main window remembers.
#include "app/AppProfile.h"
#include "support/ProgramFolder.h"

#include <QTest>

class TestAppProfile : public QObject {
    Q_OBJECT
private slots:
    void readsAndWrites() {
        const auto read = [] {
            const CAppProfile p = ReadAppProfile();
            return p.m_strUsedDef + " " + std::to_string(p.m_bRenzoku) + " " +
                   std::to_string(p.m_nRenzokuIndex);
        };
        CTestProgramFolder program;
        QCOMPARE(read(), " 0 0"); // no file: the defaults
        QCOMPARE(WriteAppProfile({"資料", 1, -7}), 0);
        // CP932 with CR LF, as the program's files always were.
        QCOMPARE(program.ReadFile("Tidewell.Ini"),
                 "[CopyInfo]\r\nUsedDef=\x8E\x91\x97\xBF\r\nRenzoku=1\r\nRenzokuIndex=-7\r\n");
        QCOMPARE(read(), "資料 1 -7");
        QVERIFY(WriteAppProfile({"\xF0\x9F\x98\x80", 2, 3}) != 0); // CP932 has no emoji
        QCOMPARE(read(), "資料 2 3"); // the old name stays, the integers are written
        // Over the reference profile the same values leave every byte as it was.
        QVERIFY(program.CopyTestData("Tidewell.Ini"));
        QCOMPARE(read(), "Daily 0 2");
        QCOMPARE(WriteAppProfile({"Daily", 0, 2}), 0);
        QCOMPARE(program.ReadFile("Tidewell.Ini"),
                 CTestProgramFolder::ReadTestData("Tidewell.Ini"));
    }
};

QTEST_GUILESS_MAIN(TestAppProfile)
#include "tst_AppProfile.moc"
