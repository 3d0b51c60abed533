// The drive-letter dialog: edits, refusals, the round trip through section "Drives".

#include "app/AppProfile.h"
#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "ui/files/DriveLettersDlg.h"

#include <QComboBox>

#include <deque>

using Dlg = CDriveLettersDlg;

namespace {

QString Rows(Dlg& dlg) {
    auto* pList = ControlAs<QListWidget>(&dlg, Dlg::IDC_LIST);
    QStringList rows;
    for (int i = 0; i < pList->count(); ++i)
        rows << pList->item(i)->text();
    return rows.join('|');
}

} // namespace

class CDriveLettersDlgTest : public QObject {
    Q_OBJECT
private slots:
    void editAndStore() {
        CTestProgramFolder program;
        CScriptedBoxes boxes;
        const std::string head = "[CopyInfo]\r\nUsedDef=A\r\n[Drives]\r\n";
        QVERIFY(program.WriteFile("Tidewell.Ini", head + "D=/nowhere\r\n"));
        CHostServices::Get().SetProgramFolder(program.HostPath() + "/");
        QTemporaryDir a, b;
        const QString aHost = a.path(), bHost = b.path();
        std::deque<QString> picks{aHost + "/", "", bHost + "/gone", bHost};
        Dlg dlg(nullptr);
        dlg.m_fnPickFolder = [&](const std::string&) {
            const QString pick = picks.front();
            picks.pop_front();
            return pick.toStdString();
        };
        QCOMPARE(dlg.windowTitle() + "|" + Rows(dlg), "ドライブの割り当て|C:  /|D:  /nowhere");
        // (button or letter, rows afterwards, warning expected)
        const std::tuple<int, QString, const char*> steps[] = {
            {Dlg::IDC_ADD, "C:  /|D:  /nowhere|E:  " + aHost, nullptr},
            {Dlg::IDC_ADD, "C:  /|D:  /nowhere|E:  " + aHost, nullptr}, // nothing picked
            {Dlg::IDC_ADD, "C:  /|D:  /nowhere|E:  " + aHost, "ﾌｫﾙﾀﾞが見つかりません．\n"},
            {'E', "C:  /|D:  /nowhere|E:  " + aHost, "ﾄﾞﾗｲﾌﾞ E: は既に割り当てられています．"},
            {'F', "C:  /|E:  " + aHost + "|F:  /nowhere", nullptr},
            {Dlg::IDC_CHANGE, "C:  /|E:  " + aHost + "|F:  " + bHost, nullptr},
            {Dlg::IDC_REMOVE, "C:  /|E:  " + aHost, nullptr}};
        for (const auto& [action, rows, warning] : steps) {
            if (warning)
                boxes->Expect(warning, IDOK);
            if (action < 'Z') {
                ControlAs<QListWidget>(&dlg, Dlg::IDC_LIST)->setCurrentRow(1);
                ControlAs<QComboBox>(&dlg, Dlg::IDC_LETTER)->setCurrentIndex(action - 'A');
                emit ControlAs<QComboBox>(&dlg, Dlg::IDC_LETTER)->activated(action - 'A');
            } else {
                ClickControl(&dlg, action);
            }
            QCOMPARE(Rows(dlg), rows);
            QVERIFY(boxes->VerifyAllUsed());
        }
        QCOMPARE(ControlAs<QComboBox>(&dlg, Dlg::IDC_LETTER)->currentText(), "E:"); // the row after
        ClickControl(&dlg, Dlg::IDC_OK);
        QCOMPARE(QString::fromStdString(program.ReadFile("Tidewell.Ini")),
                 QString::fromStdString(head) + "E=" + aHost + "\r\n");
        // At the next start; a folder proposed takes the first free letter.
        CHostServices::Get().SetProgramFolder(program.HostPath() + "/");
        Dlg proposed(nullptr, bHost.toStdString() + "/");
        QCOMPARE(Rows(proposed) + "|" + Texts(&proposed, {Dlg::IDC_FOLDER}),
                 "C:  /|D:  " + bHost + "|E:  " + aHost + "|" + bHost);
        VerifyNothingCut(proposed);
    }
};

QTEST_MAIN(CDriveLettersDlgTest)
#include "tst_DriveLettersDlg.moc"
