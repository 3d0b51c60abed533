// The console message boxes, and the console as the host's fallback.
#include "platform/ConsoleMessageBox.h"
#include "platform/HostServices.h"

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
        CHostServices::Get().SetMessageBoxService(nullptr); // back to the console, never none
        QVERIFY(dynamic_cast<CConsoleMessageBoxService*>(&CHostServices::Get().MessageBoxes()));
    }
};

QTEST_GUILESS_MAIN(TestMessageBoxes)
#include "tst_MessageBoxService.moc"
