// The continuous run: one log for all steps, stop at a failure, missing files, an archive step.
#include "continuous/ContinuousRun.h"
#include "continuous/RenzokuSet.h"
#include "copyjob/RunTexts.h"
#include "support/CopyJobFixture.h"

namespace {
const char kDone[] = "連続処理を終了しました．";

// A: S:\one to D:\one; B: S:\two to D:\two; Bad: below a file; Z: S:\one packed into D:\Z.LZH.
struct CRunFixture : CCopyJobFixture {
    CRunFixture() {
        for (const auto& [name, src, dst] : {std::tuple{"A", "S:\\one", "D:\\one"},
                                             {"B", "S:\\two", "D:\\two"},
                                             {"Bad", "S:\\one", "D:\\blocker\\x"},
                                             {"Z", "S:\\one", "D:\\"}}) {
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
    CRenzokuOutcome Run(const Names& names, std::function<bool()> onConfirm = {}) {
        SaveRenzokuSet(0, names);
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
    // The whole log, byte for byte: one header, each step between its two lines, CP932, CR LF.
    void logOfTwoSteps() {
        CRunFixture f;
        f.boxes->ExpectExact(kDone, IDOK, MB_ICONASTERISK);
        const CRenzokuOutcome outcome = f.Run({"A", "B"});
        QVERIFY(f.boxes->VerifyAllUsed());
        QVERIFY(outcome.bStarted && outcome.nEndCode == 0 && outcome.nStepsRun == 2);
        const char* kLog = "-- Tidewall.Exe  連続実行履歴 [2024/01/02 03:04:05] --\r\n"
                           "\r\n設定ﾌｧｲﾙ  == A.def\r\nCopying  S:\\one\\a.txt -> D:\\one\\\r\n"
                           "\r\nA.def 終了 終了ｺｰﾄﾞ 0\r\n"
                           "\r\n設定ﾌｧｲﾙ  == B.def\r\nCopying  S:\\two\\b.txt -> D:\\two\\\r\n"
                           "\r\nB.def 終了 終了ｺｰﾄﾞ 0\r\n";
        QCOMPARE(f.program.ReadFile("Tidewall.log"), Utf8ToCp932(kLog).value());
        QCOMPARE(f.host.statusTexts.back(), std::string(RunText::kIdleStatus));
        QCOMPARE(f.host.closeCaption, std::string(RunText::kCloseCaption));
        QVERIFY(!f.job.m_bRunning && !f.job.IsLogOpen());
    }

    // The set; at the confirmation "cancel", or a settings file deleted; the progress step that
    // is cancelled; the boxes shown; the log after its header ("|" for CR LF); the destination.
    void stepsAndOutcomes() {
        const QString a =
            "|設定ﾌｧｲﾙ  == A.def|Copying  S:\\one\\a.txt -> D:\\one\\||A.def 終了 終了ｺｰﾄﾞ 0";
        // clang-format off
        const struct { Names set; const char* atConfirm; int cancelAt; QStringList boxes; QString log; const char* dest; } rows[] = {
            {{"A", "Bad", "B"}, "", 0, {"ｺﾋﾟｰ処理は異常終了しました．終了ｺｰﾄﾞ[1]\nディレクトリ名が無効です。", "連続処理は異常終了しました．終了ｺｰﾄﾞ[1]"},
             a + "||設定ﾌｧｲﾙ  == Bad.def||Bad.def 終了 終了ｺｰﾄﾞ 1", "one/ blocker=a file one/a.txt=a"}, // stops at the failure
            {{"A", "B"}, "", 1, {"ｺﾋﾟｰ処理は異常終了しました．終了ｺｰﾄﾞ[9999]", "連続処理は異常終了しました．終了ｺｰﾄﾞ[9999]"},
             "|設定ﾌｧｲﾙ  == A.def||A.def 終了 終了ｺｰﾄﾞ 9999", "blocker=a file"}, // a cancelled step
            // A file gone since the order was shown: said so, the end code kept.
            {{"B", "A"}, "B.def", 0, {kDone}, "|設定ﾌｧｲﾙ  == B.def -->設定ﾌｧｲﾙがないため実行しませんでした|" + a,
             "one/ blocker=a file one/a.txt=a"},
            {{"A"}, "cancel", 0, {}, "", "blocker=a file"},
            {{}, "", 0, {"連続実行するための設定ファイルが選択されていません．"}, "", "blocker=a file"}};
        // clang-format on
        for (const auto& [set, atConfirm, cancelAt, boxes, log, dest] : rows) {
            CRunFixture f;
            for (const QString& text : boxes)
                f.boxes->ExpectExact(text.toStdString(), IDOK);
            f.host.cancelAtStep = cancelAt;
            const CRenzokuOutcome outcome = f.Run(set, [&] {
                if (QString(atConfirm).endsWith(".def"))
                    QFile::remove(QString::fromStdString(f.program.HostFile(atConfirm)));
                return QString(atConfirm) != "cancel";
            });
            QVERIFY(f.boxes->VerifyAllUsed());
            QCOMPARE(outcome.nStepsSkipped, QString(atConfirm).endsWith(".def") ? 1 : 0);
            QStringList got;
            for (const std::string& line : f.LogLines())
                got << QString::fromStdString(line);
            QCOMPARE(got.mid(1).join('|'), log);
            QCOMPARE(got.isEmpty(), log.isEmpty()); // no log file at all
            QCOMPARE(f.dest.Listing(), QString(dest));
        }
    }

    // An archive step writes no header, leaves the log open, shows no message, says it goes on.
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
        QVERIFY(f.boxes->VerifyAllUsed() && f.dest.Exists("Z.LZH") && f.dest.Exists("one/a.txt"));
        const Names lines = f.LogLines();
        QCOMPARE(std::count_if(lines.begin(), lines.end(),
                               [](const std::string& l) { return l.rfind("-- ", 0) == 0; }),
                 1);
        QCOMPARE(lines.at(2), std::string("設定ﾌｧｲﾙ  == Z.def"));
        const auto end = std::find(lines.begin(), lines.end(), "Z.def 終了 終了ｺｰﾄﾞ 0");
        QVERIFY(end != lines.end() && lines.end() - end == 6);
        const auto& status = f.host.statusTexts;
        QVERIFY(std::count(status.begin(), status.end(), RunText::kContinuousStatus) > 0);
    }
};

QTEST_GUILESS_MAIN(TestContinuousRun)
#include "tst_ContinuousRun.moc"
