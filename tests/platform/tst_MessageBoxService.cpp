// The console message boxes, the scripted responder the other tests rely on,
// and replacing services in the host.
#include "platform/ConsoleMessageBox.h"
#include "platform/HostServices.h"
#include "support/ScriptedMessageBox.h"

#include <QTest>

#include <sstream>

class TestMessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void consoleGivesTheAnswerThatChangesNothing() {
        // clang-format off
        const std::tuple<unsigned, int, const char*> rows[] = {{MB_OK | MB_ICONEXCLAMATION, IDOK, "OK"},
            {MB_OKCANCEL | MB_ICONQUESTION, IDCANCEL, "Cancel"}, {MB_RETRYCANCEL, IDCANCEL, "Cancel"},
            {MB_YESNOCANCEL | MB_DEFBUTTON2, IDCANCEL, "Cancel"}, {MB_YESNO, IDNO, "No"},
            {MB_ABORTRETRYIGNORE, IDABORT, "Abort"}};
        // clang-format on
        for (const auto& [style, answer, name] : rows) {
            std::ostringstream out;
            CConsoleMessageBoxService console(&out);
            QCOMPARE(console.Show("上書きしますか？", "確認", style), answer);
            console.Show("x", "", style);     // no caption: the application's title
            console.Beep(MB_ICONEXCLAMATION); // a stream that is no terminal gets no bell
            QCOMPARE(QString::fromStdString(out.str()),
                     QString("確認: 上書きしますか？\n-> %1\nTidewell: x\n-> %1\n").arg(name));
        }
    }

    void scriptedAnswersInOrderAndReportsSurprises() {
        CScriptedMessageBox box(false); // records failures instead of failing
        box.Expect("上書き", IDYES).ExpectExact("中断", IDRETRY, MB_RETRYCANCEL);
        QCOMPARE(box.Show("a.txt を上書きしますか？", "", MB_YESNO), IDYES);
        QCOMPARE(box.Show("中断です", "", MB_RETRYCANCEL), IDCANCEL); // not exact: a surprise
        QCOMPARE(box.Show("中断", "", MB_YESNO), IDNO);               // other buttons: a surprise
        QCOMPARE(box.Show("中断", "", MB_RETRYCANCEL), IDRETRY);
        box.Expect("never shown", IDOK);
        QVERIFY(!box.VerifyAllUsed() && box.Failures().size() == 3);
        CScriptedMessageBox failing;
        QEXPECT_FAIL("", "a surprise box must fail the test", Continue);
        failing.Show("surprise", "", MB_OK);
    }

    void hostServicesFallBackToTheDefaults() {
        CHostServices& services = CHostServices::Get();
        services.SetMessageBoxService(nullptr);
        QVERIFY(dynamic_cast<CConsoleMessageBoxService*>(&services.MessageBoxes()));
        services.SetVolumeSource(nullptr);
        QVERIFY(dynamic_cast<CHostVolumeSource*>(&services.Volumes()));
    }
};

QTEST_GUILESS_MAIN(TestMessageBoxes)
#include "tst_MessageBoxService.moc"
