// Member times as headers hold them: "u" compares what was stored, so a file past 2106 or
// before 1970 is not newer than its own member forever.
#include "LibraryRun.h"
#include "command/MemberTime.h"
#include "support/TempTree.h"

#include <QTest>

using namespace unlha;

class CMemberTimeTest : public QObject {
    Q_OBJECT

private slots:
    // Level-0/1 members hold local DOS time (the tests run in JST) in 2-second
    // steps: only the dropped odd second is not newer. Level 2: whole seconds.
    void Update_ComparesAtTheHeadersPrecision() {
        const int64_t t = 1614801966, y1980 = 315500400; // 2021-03-04 05:06:06 and 1980-01-01 JST
        QVERIFY(DosTimeOf(t) == 0x526428C3u && DosTimeOf(t + 1) == 0x526428C3u);
        QVERIFY(DosTimeOf(y1980) == 0x00210000u && DosTimeOf(y1980 - 1) == 0); // none before 1980
        const uint32_t dos = DosTimeOf(t), whole = uint32_t(t);
        QVERIFY(!IsNewerThanMember(t + 1, true, dos) && IsNewerThanMember(t + 2, true, dos));
        QVERIFY(!IsNewerThanMember(t - 2, true, dos) && !IsNewerThanMember(-5, false, 0));
        QVERIFY(!IsNewerThanMember(t, false, whole) && IsNewerThanMember(t + 1, false, whole));
    }

    void Update_ComparesStoredTimes_data() {
        QTest::addColumn<qint64>("packed");  // file time when packed
        QTest::addColumn<qint64>("updated"); // file time at the next "u"
        QTest::addColumn<bool>("replaced");
        const qint64 last = 0xFFFFFFFFll; // 2106-02-07 06:28:15 UTC
        QTest::newRow("year 2200") << qint64(7258118400) << qint64(7258118400) << false;
        QTest::newRow("last second, then later") << last << last + 100 << false;
        QTest::newRow("second before last, then later") << last - 1 << last + 100 << true;
        QTest::newRow("before 1970") << qint64(-86400) << qint64(-1) << false;
        QTest::newRow("one second newer") << qint64(1700000000) << qint64(1700000001) << true;
    }
    void Update_ComparesStoredTimes() {
        QFETCH(qint64, packed);
        QFETCH(qint64, updated);
        QFETCH(bool, replaced);
        CTempTree src('S');
        QTemporaryDir out;
        QVERIFY(src.AddFile("Timed.txt", "some bytes\n", packed));
        std::string archive = out.filePath("T.lzh").toStdString(), report;
        std::string update = "u \"" + archive + "\" \"" + src.HostRoot() + "/\" *.*";
        QCOMPARE(RunLibrary(update, report), 0);
        QByteArray before = ReadHostFile(QString::fromStdString(archive));
        QVERIFY(src.SetTime("Timed.txt", updated));
        QCOMPARE(RunLibrary(update, report), 0);
        QCOMPARE(ReadHostFile(QString::fromStdString(archive)) != before, replaced);
        QCOMPARE(report.find("置換 1 件") != std::string::npos, replaced);
    }
};

QTEST_GUILESS_MAIN(CMemberTimeTest)
#include "tst_MemberTime.moc"
