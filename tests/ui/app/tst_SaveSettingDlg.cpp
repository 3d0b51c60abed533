// The save dialog: captions, ways to leave it, bad names refused as typed, pasted and at OK.
#include "files/PathUtils.h"
#include "platform/Cp932.h"
#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "ui/app/SaveSettingDlg.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace {
const char kWarning[] = "保存名称はﾌｧｲﾙ名称として使用するため、下記の文字を含んではいけません．\n\n"
                        "使用出来ない文字 (半角のみ)  ；：？，＜＞＊￥｜／";

QLineEdit* NameEdit(QWidget* pDlg) {
    return ControlAs<QLineEdit>(pDlg, CSaveSettingDlg::IDC_NAME);
}
} // namespace

class CSaveSettingDlgTest : public QObject {
    Q_OBJECT
private slots:
    void captionsAndWaysToLeave() {
        CSaveSettingDlg dlg("月次バックアップ", nullptr);
        QCOMPARE(dlg.windowTitle() + Texts(&dlg, {CSaveSettingDlg::IDC_NAME, 1, 2}) +
                     qobject_cast<QGroupBox*>(NameEdit(&dlg)->parentWidget())->title() +
                     QFontInfo(dlg.font()).family(),
                 "設定の保存月次バックアップ|OK|ｷｬﾝｾﾙ保存名称IPAPGothic");
        QVERIFY(dlg.Control<QPushButton>(CSaveSettingDlg::IDC_OK)->isDefault());
        VerifyNothingCut(dlg);
        // Enter accepts, Escape and Cancel leave; the selected name is replaced by what is typed.
        for (int key : {int(Qt::Key_Return), int(Qt::Key_Escape), 0}) {
            CScriptedBoxes boxes;
            CSaveSettingDlg asked("Daily", nullptr);
            AnswerNextModal([key](QWidget* pDlg) {
                TypeText(NameEdit(pDlg), "X.v2");
                key ? QTest::keyClick(NameEdit(pDlg), Qt::Key(key))
                    : ClickControl(pDlg, CSaveSettingDlg::IDC_CANCEL);
            });
            QCOMPARE(asked.DoModal(), key == Qt::Key_Return ? 1 : 2);
            QCOMPARE(asked.m_strName, std::string("X.v2"));
        }
    }

    void badNamesAreRefused() {
        CTestProgramFolder folder;
        // Proposal, typed, pasted, what stays, warned; 表 and ソ end in 0x5C; full-width is fine.
        const std::tuple<const char*, QString, QString, QString, bool> cases[] = {
            {"", "表ab;c", "", "表abc", true},
            {"", "表\\", "", "表", true},
            {"Daily", "", "新しい名前?2", "Daily", true},
            {"", "表ソ；：？，＜＞＊￥｜／ﾃｽﾄ.\"x\"", "", "表ソ；：？，＜＞＊￥｜／ﾃｽﾄ.\"x\"",
             false},
            {"", "..old", "", "..old", false}}; // "." and ".." on the way are no refusal
        for (const auto& [proposal, typed, pasted, kept, bWarned] : cases) {
            CScriptedBoxes boxes;
            if (bWarned)
                boxes->ExpectExact(kWarning, IDOK, MB_OK | MB_ICONEXCLAMATION);
            CSaveSettingDlg dlg(proposal, nullptr);
            NameEdit(&dlg)->selectAll();
            TypeText(NameEdit(&dlg), typed);
            NameEdit(&dlg)->insert(pasted);
            QCOMPARE(NameEdit(&dlg)->text() + "|" + QString::fromStdString(dlg.m_strName),
                     kept + "|" + kept);
            QVERIFY(boxes->VerifyAllUsed() && boxes->Beeps().size() == size_t(bWarned ? 1 : 0));
        }
        // At OK: a proposed "a?b" is refused; a name one byte over the path limit is not taken
        // as typed; ".." is refused; a leading "." makes a hidden file: the user may go back.
        const char kHidden[] =
            "保存名称が「.」で始まるため、設定ﾌｧｲﾙ .old.def は隠しﾌｧｲﾙになります．";
        CScriptedBoxes boxes;
        boxes->ExpectExact(kWarning, IDOK, MB_OK | MB_ICONEXCLAMATION)
            .Expect("長すぎ", IDOK, MB_OK | MB_ICONEXCLAMATION)
            .Expect("「.」や「..」", IDOK, MB_OK | MB_ICONEXCLAMATION)
            .Expect(kHidden, IDCANCEL, MB_OKCANCEL | MB_ICONASTERISK)
            .Expect(kHidden, IDOK, MB_OKCANCEL | MB_ICONASTERISK);
        CSaveSettingDlg dlg("a?b", nullptr);
        const QString fits(259 - Cp932ByteLength(GetProgramFolder()) - 4, 'a');
        QString kept, open; // the name kept, whether the dialog stayed after each OK
        AnswerNextModal([&](QWidget* pDlg) {
            ClickControl(pDlg, CSaveSettingDlg::IDC_OK);
            NameEdit(pDlg)->setText(fits);
            TypeText(NameEdit(pDlg), "b");
            kept = NameEdit(pDlg)->text();
            for (const char* name : {"..", ".old", ".old"}) {
                NameEdit(pDlg)->setText(name);
                ClickControl(pDlg, CSaveSettingDlg::IDC_OK);
                open += QString::number(pDlg->isVisible());
            }
        });
        QCOMPARE(dlg.DoModal(), 1);
        QVERIFY(boxes->VerifyAllUsed() && kept == fits);
        QCOMPARE(open, "110");
        QCOMPARE(dlg.m_strName, std::string(".old"));
    }
};

QTEST_MAIN(CSaveSettingDlgTest)
#include "tst_SaveSettingDlg.moc"
