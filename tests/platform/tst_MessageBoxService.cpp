// The console message boxes (safe answers, printed texts), the scripted
// responder the other tests rely on, and replacing services in the host.
#include "platform/ConsoleMessageBox.h"
#include "platform/HostServices.h"
#include "support/ScriptedMessageBox.h"

#include <QTest>

#include <sstream>

class TestMessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void consoleGivesTheSafeAnswer_data();
    void consoleGivesTheSafeAnswer();
    void consolePrintsCaptionTextAndAnswer();
    void scriptedAnswersInOrderAndRecords();
    void scriptedMatchesTextAndStyle();
    void scriptedReportsSurprisesAndLeftovers();
    void scriptedSurpriseFailsTheTest();
    void scopedServiceIsPutBack();
    void nullServicesFallBackToDefaults();
};

void TestMessageBoxes::consoleGivesTheSafeAnswer_data() {
    QTest::addColumn<unsigned>("style");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("printed");
    QTest::newRow("OK") << unsigned(MB_OK | MB_ICONEXCLAMATION) << int(IDOK) << "OK";
    QTest::newRow("OK/Cancel") << unsigned(MB_OKCANCEL | MB_ICONQUESTION) << int(IDCANCEL)
                               << "Cancel";
    QTest::newRow("Retry/Cancel") << unsigned(MB_RETRYCANCEL | MB_ICONHAND) << int(IDCANCEL)
                                  << "Cancel";
    QTest::newRow("Yes/No/Cancel")
        << unsigned(MB_YESNOCANCEL | MB_DEFBUTTON2) << int(IDCANCEL) << "Cancel";
    QTest::newRow("Yes/No") << unsigned(MB_YESNO | MB_ICONQUESTION) << int(IDNO) << "No";
    QTest::newRow("Abort/Retry/Ignore") << unsigned(MB_ABORTRETRYIGNORE) << int(IDABORT) << "Abort";
}

void TestMessageBoxes::consoleGivesTheSafeAnswer() {
    QFETCH(unsigned, style);
    QFETCH(int, answer);
    QFETCH(QString, printed);
    std::ostringstream out;
    CConsoleMessageBoxService console(&out);
    QCOMPARE(console.Show("x", "c", style), answer);
    QVERIFY(QString::fromStdString(out.str()).endsWith(printed + "\n"));
}

void TestMessageBoxes::consolePrintsCaptionTextAndAnswer() {
    std::ostringstream out;
    CConsoleMessageBoxService console(&out);
    console.Show("ﾌｫﾙﾀﾞが見つかりません。", "", MB_OK);
    console.Show("上書きしますか？", "確認", MB_YESNO);
    const std::string text = out.str();
    QVERIFY(text.rfind(std::string(kAppTitle) + ": ﾌｫﾙﾀﾞが見つかりません。\n", 0) == 0);
    QVERIFY(text.find("確認: 上書きしますか？\n") != std::string::npos);
    QCOMPARE(std::string(kAppTitle), std::string("Tidewell"));
    console.Beep(MB_ICONEXCLAMATION); // a stream that is no terminal gets no bell
    QVERIFY(out.str().find('\a') == std::string::npos);
}

void TestMessageBoxes::scriptedAnswersInOrderAndRecords() {
    CScriptedMessageBox box;
    box.Expect("上書き", IDYES).Expect("中断", IDCANCEL, MB_OKCANCEL | MB_ICONQUESTION);
    QCOMPARE(box.Show("a.txt を上書きしますか？", "", MB_YESNO), IDYES);
    box.Beep(MB_ICONEXCLAMATION);
    QCOMPARE(box.Show("中断しますか？", "Cap", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    QVERIFY(box.VerifyAllUsed());
    QCOMPARE(box.Shown().size(), size_t(2));
    QCOMPARE(box.Shown()[1].strCaption, std::string("Cap"));
    QCOMPARE(box.Shown()[1].nStyle, unsigned(MB_OKCANCEL | MB_ICONQUESTION));
    QCOMPARE(box.Beeps(), std::vector<unsigned>{MB_ICONEXCLAMATION});
}

void TestMessageBoxes::scriptedMatchesTextAndStyle() {
    CScriptedMessageBox box(false);
    box.ExpectExact("全部", IDOK);
    QCOMPARE(box.Show("全部です", "", MB_OK), IDOK); // not exact: a surprise, safe answer
    QCOMPARE(box.Pending(), size_t(1));              // and the entry is still queued
    QCOMPARE(box.Show("全部", "", MB_OK), IDOK);
    box.Expect("x", IDYES, MB_YESNO);
    QCOMPARE(box.Show("x", "", MB_OKCANCEL), IDCANCEL); // wrong buttons
    QCOMPARE(box.Show("x", "", MB_YESNO), IDYES);
    QCOMPARE(box.Failures().size(), size_t(2));
    QVERIFY(box.Shown()[0].bSurprise && !box.Shown()[1].bSurprise);
}

void TestMessageBoxes::scriptedReportsSurprisesAndLeftovers() {
    CScriptedMessageBox box(false);
    QCOMPARE(box.Show("nobody asked", "", MB_ABORTRETRYIGNORE), IDABORT);
    QCOMPARE(box.Failures().size(), size_t(1));
    QVERIFY(box.Failures()[0].find("nobody asked") != std::string::npos);
    box.Expect("never shown", IDOK);
    QVERIFY(!box.VerifyAllUsed());
    QVERIFY(box.Failures().back().find("never shown") != std::string::npos);
}

void TestMessageBoxes::scriptedSurpriseFailsTheTest() {
    CScriptedMessageBox box; // failing for real
    QEXPECT_FAIL("", "a surprise box must fail the test", Continue);
    box.Show("surprise", "", MB_OK);
    QCOMPARE(box.Failures().size(), size_t(1));
}

void TestMessageBoxes::scopedServiceIsPutBack() {
    auto previous = CHostServices::Get().MessageBoxService();
    {
        auto scripted = std::make_shared<CScriptedMessageBox>();
        scripted->Expect("hello", IDRETRY);
        CScopedMessageBoxService scope(scripted);
        QCOMPARE(CHostServices::Get().MessageBoxes().Show("hello", "", MB_RETRYCANCEL), IDRETRY);
        QVERIFY(scripted->VerifyAllUsed());
    }
    QCOMPARE(CHostServices::Get().MessageBoxService(), previous);
}

void TestMessageBoxes::nullServicesFallBackToDefaults() {
    CHostServices& services = CHostServices::Get();
    services.SetMessageBoxService(nullptr);
    QVERIFY(dynamic_cast<CConsoleMessageBoxService*>(&services.MessageBoxes()));
    services.SetVolumeSource(nullptr);
    QVERIFY(dynamic_cast<CHostVolumeSource*>(&services.Volumes()));
}

QTEST_GUILESS_MAIN(TestMessageBoxes)
#include "tst_MessageBoxService.moc"
