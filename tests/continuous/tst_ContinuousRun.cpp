// The continuous run over settings files of a test program folder: one log
// for all steps, the stop at the first failure, steps whose file went, and
// an archive step.
#include "continuous/ContinuousRun.h"
#include "continuous/RenzokuSet.h"
#include "copyjob/RunTexts.h"
#include "platform/HostServices.h"
#include "support/CopyJobFixture.h"

namespace {
const char kDone[] = "連続処理を終了しました．";
const char kNoSet[] = "連続実行するための設定ファイルが選択されていません．";

// A: S:\one to D:\one; B: S:\two to D:\two; Bad: into a folder below a
// file, where nothing can be copied; Z: S:\one packed into D:\Z.LZH.
struct CRunFixture : CCopyJobFixture {
    CRunFixture() {
        const std::tuple<const char*, const char*, const char*> settings[] = {
            {"A", "S:\\one", "D:\\one"},
            {"B", "S:\\two", "D:\\two"},
            {"Bad", "S:\\one", "D:\\blocker\\x"},
            {"Z", "S:\\one", "D:\\"}};
        for (const auto& [name, src, dst] : settings) {
            CCopySetting s;
            s.SrcDir = src;
            s.DstDir = dst;
            s.WildList = "*.*";
            s.NewChk = 0;
            s.LhaChk = name[0] == 'Z';
            s.LhaName = "Z.LZH";
            s.SaveSpec(name);
            s.SaveLha(name);
        }
        source.Build({{"one/a.txt", "a"}, {"two/b.txt", "b"}});
        dest.Build({{"blocker", "a file"}});
        CHostServices::Get().SetClock([] { return std::time_t(1704132245); });
    }
    ~CRunFixture() { CHostServices::Get().SetClock(nullptr); }
    // Runs set 0 holding the names; onConfirm answers the order.
    CRenzokuOutcome Run(const QStringList& names, std::function<bool()> onConfirm = {}) {
        std::vector<std::string> aNames;
        for (const QString& name : names)
            aNames.push_back(name.toStdString());
        SaveRenzokuSet(0, aNames);
        CSettingFileSteps steps(job, {"A.def", "B.def", "Bad.def", "Z.def"});
        steps.onConfirm = [&](const std::vector<std::string>&) {
            return !onConfirm || onConfirm();
        };
        return RunRenzokuSet(job, 0, steps);
    }
};
} // namespace

class TestContinuousRun : public QObject {
    Q_OBJECT

private slots:
    // The whole log, byte for byte: one header, each step between its two
    // lines, CP932 with CR LF.
    void logOfTwoSteps() {
        CRunFixture f;
        f.boxes->ExpectExact(kDone, IDOK, MB_ICONASTERISK);
        const CRenzokuOutcome outcome = f.Run({"A", "B"});
        QVERIFY(f.boxes->VerifyAllUsed());
        QVERIFY(outcome.bStarted && outcome.nEndCode == 0 && outcome.nStepsRun == 2);
        const char* kLog = "-- Tidewall.Exe  連続実行履歴 [2024/01/02 03:04:05] --\r\n"
                           "\r\n設定ﾌｧｲﾙ  == A.def\r\n"
                           "Copying  S:\\one\\a.txt -> D:\\one\\\r\n"
                           "\r\nA.def 終了 終了ｺｰﾄﾞ 0\r\n"
                           "\r\n設定ﾌｧｲﾙ  == B.def\r\n"
                           "Copying  S:\\two\\b.txt -> D:\\two\\\r\n"
                           "\r\nB.def 終了 終了ｺｰﾄﾞ 0\r\n";
        QCOMPARE(f.program.ReadFile("Tidewall.log"), Utf8ToCp932(kLog).value());
        QCOMPARE(f.host.statusTexts.back(), std::string(RunText::kIdleStatus));
        QCOMPARE(f.host.closeCaption, std::string(RunText::kCloseCaption));
        QVERIFY(!f.job.m_bRunning && !f.job.IsLogOpen());
    }

    // Set, what happens at the confirmation ("cancel", or a file deleted),
    // the progress step that is cancelled, the boxes shown, the log after
    // its header, and the destination.
    void stepsAndOutcomes_data() {
        QTest::addColumn<QStringList>("set");
        QTest::addColumn<QString>("atConfirm");
        QTest::addColumn<int>("cancelAtStep");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("dest");
        const QString a =
            "|設定ﾌｧｲﾙ  == A.def|Copying  S:\\one\\a.txt -> D:\\one\\||A.def 終了 終了ｺｰﾄﾞ 0";
        QTest::newRow("second of three fails")
            << QStringList{"A", "Bad", "B"} << "" << 0
            << QStringList{"ｺﾋﾟｰ処理は異常終了しました．終了ｺｰﾄﾞ[1]",
                           "連続処理は異常終了しました．終了ｺｰﾄﾞ[1]"}
            << (a + "||設定ﾌｧｲﾙ  == Bad.def||Bad.def 終了 終了ｺｰﾄﾞ 1").split('|') << "one/ blocker";
        QTest::newRow("cancelled step ends the run")
            << QStringList{"A", "B"} << "" << 1
            << QStringList{"ｺﾋﾟｰ処理は異常終了しました．終了ｺｰﾄﾞ[9999]",
                           "連続処理は異常終了しました．終了ｺｰﾄﾞ[9999]"}
            << QString("|設定ﾌｧｲﾙ  == A.def||A.def 終了 終了ｺｰﾄﾞ 9999").split('|') << "blocker";
        // A file gone since the order was shown: said so, the end code kept.
        QTest::newRow("file gone before its turn")
            << QStringList{"B", "A"} << "B.def" << 0 << QStringList{kDone}
            << ("|設定ﾌｧｲﾙ  == B.def -->設定ﾌｧｲﾙがないため実行しませんでした|" + a).split('|')
            << "one/ blocker";
        QTest::newRow("confirmation cancelled")
            << QStringList{"A"} << "cancel" << 0 << QStringList{} << QStringList{} << "blocker";
        QTest::newRow("empty set")
            << QStringList{} << "" << 0 << QStringList{kNoSet} << QStringList{} << "blocker";
    }
    void stepsAndOutcomes() {
        QFETCH(QStringList, set);
        QFETCH(QString, atConfirm);
        QFETCH(int, cancelAtStep);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, log);
        QFETCH(QString, dest);
        CRunFixture f;
        for (const QString& text : boxes)
            f.boxes->ExpectExact(text.toStdString(), IDOK);
        f.host.cancelAtStep = cancelAtStep;
        f.Run(set, [&] {
            if (atConfirm.endsWith(".def"))
                QFile::remove(QString::fromStdString(f.program.HostFile(atConfirm.toStdString())));
            return atConfirm != "cancel";
        });
        QVERIFY(f.boxes->VerifyAllUsed());
        Names lines = f.LogLines();
        if (!lines.empty())
            lines.erase(lines.begin()); // the header, checked above
        QStringList got;
        for (const std::string& line : lines)
            got << QString::fromStdString(line);
        QCOMPARE(got, log);
        QCOMPARE(QFile::exists(QString::fromStdString(f.program.HostFile("Tidewall.log"))),
                 !log.isEmpty());
        QStringList top;
        for (const CTreeItem& item : f.Dest())
            if (item.path.find('/') >= item.path.size() - 1)
                top << QString::fromStdString(item.path);
        QCOMPARE(top.join(' '), dest);
    }

    // As a step the archive run writes no header of its own, leaves the log
    // open for the next step, shows no message and says the run goes on.
    void archiveStep() {
        CRunFixture f;
        // The archiver finds the drives in the profile beside it.
        const std::string library = f.program.HostFile("libunlha32.so");
        QVERIFY(QFile::copy(TIDEWELL_BIN_DIR "/libunlha32.so", QString::fromStdString(library)));
        QVERIFY(f.program.WriteFile("Tidewell.Ini", "[Drives]\r\nS=" + f.source.HostRoot() +
                                                        "\r\nD=" + f.dest.HostRoot() + "\r\n"));
        f.job.m_strLhaLibrary = library;
        f.boxes->ExpectExact(kDone, IDOK);
        QCOMPARE(f.Run({"Z", "A"}).nEndCode, 0);
        QVERIFY(f.boxes->VerifyAllUsed());
        QVERIFY(f.dest.Exists("Z.LZH") && f.dest.Exists("one/a.txt"));
        const Names lines = f.LogLines();
        QCOMPARE(std::count_if(lines.begin(), lines.end(),
                               [](const std::string& l) { return l.rfind("-- ", 0) == 0; }),
                 1);
        QCOMPARE(lines.at(2), std::string("設定ﾌｧｲﾙ  == Z.def"));
        const auto end = std::find(lines.begin(), lines.end(), "Z.def 終了 終了ｺｰﾄﾞ 0");
        QVERIFY(end != lines.end() && lines.end() - end == 6);
        QVERIFY(std::find(f.host.statusTexts.begin(), f.host.statusTexts.end(),
                          RunText::kContinuousStatus) != f.host.statusTexts.end());
    }
};

QTEST_GUILESS_MAIN(TestContinuousRun)
#include "tst_ContinuousRun.moc"
