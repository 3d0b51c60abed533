// The save dialog: its captions, the ways to leave it, and the refusal of
// bad names as they are typed or pasted and at OK.

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

// The warning as the user must read it, character for character.
const char kWarning[] = "保存名称はﾌｧｲﾙ名称として使用するため、下記の文字を含んではいけません．\n\n"
                        "使用出来ない文字 (半角のみ)  ；：？，＜＞＊￥｜／";

QLineEdit* NameEdit(QWidget* pDlg) {
    return ControlAs<QLineEdit>(pDlg, CSaveSettingDlg::IDC_NAME);
}

} // namespace

class CSaveSettingDlgTest : public QObject {
    Q_OBJECT
private slots:
    void captionsAndWaysToLeave();
    void namesAsTyped();
    void refusedAtOk();
};

void CSaveSettingDlgTest::captionsAndWaysToLeave() {
    CSaveSettingDlg dlg("月次バックアップ", nullptr);
    QCOMPARE(QStringList({dlg.windowTitle(), NameEdit(&dlg)->text(),
                          qobject_cast<QGroupBox*>(NameEdit(&dlg)->parentWidget())->title(),
                          ControlOf(&dlg, 1)->property("text").toString(),
                          ControlOf(&dlg, 2)->property("text").toString()}),
             QStringList({"設定の保存", "月次バックアップ", "保存名称", "OK", "ｷｬﾝｾﾙ"}));
    QVERIFY(dlg.Control<QPushButton>(CSaveSettingDlg::IDC_OK)->isDefault());
    QCOMPARE(QFontInfo(dlg.font()).family(), QStringLiteral("IPAPGothic"));
    VerifyNothingCut(dlg);
    QVERIFY(dlg.width() >= dlg.Units().X(239));
    // Enter accepts, Escape and the cancel button leave; the name was
    // selected, so what is typed replaces it.
    for (int key : {int(Qt::Key_Return), int(Qt::Key_Escape), 0}) {
        CScriptedBoxes boxes;
        CSaveSettingDlg asked("Daily", nullptr);
        AnswerNextModal([key](QWidget* pDlg) {
            TypeText(NameEdit(pDlg), "X.v2");
            if (key != 0)
                QTest::keyClick(NameEdit(pDlg), Qt::Key(key));
            else
                ClickControl(pDlg, CSaveSettingDlg::IDC_CANCEL);
        });
        QCOMPARE(asked.DoModal(), key == Qt::Key_Return ? 1 : 2);
        QCOMPARE(asked.m_strName, std::string("X.v2"));
    }
}

void CSaveSettingDlgTest::namesAsTyped() {
    // Proposal, typed one character at a time, pasted, what stays, warned.
    const std::tuple<const char*, QString, QString, QString, bool> cases[] = {
        {"", "表ab;c", "", "表abc", true},
        {"", "表\\", "", "表", true},
        {"Daily", "", "新しい名前?2", "Daily", true},
        // 表 and ソ end in the byte 0x5C in CP932; full-width forms are allowed.
        {"", "表ソ；：？，＜＞＊￥｜／ﾃｽﾄ.\"x\"", "", "表ソ；：？，＜＞＊￥｜／ﾃｽﾄ.\"x\"", false}};
    for (const auto& [proposal, typed, pasted, kept, bWarned] : cases) {
        CScriptedBoxes boxes;
        if (bWarned)
            boxes->ExpectExact(kWarning, IDOK, MB_OK | MB_ICONEXCLAMATION);
        CSaveSettingDlg dlg(proposal, nullptr);
        NameEdit(&dlg)->selectAll();
        TypeText(NameEdit(&dlg), typed);
        NameEdit(&dlg)->insert(pasted);
        QCOMPARE(NameEdit(&dlg)->text(), kept);
        QCOMPARE(QString::fromStdString(dlg.m_strName), kept);
        QVERIFY(boxes->VerifyAllUsed());
        QCOMPARE(boxes->Beeps().size(), size_t(bWarned ? 1 : 0));
    }
}

void CSaveSettingDlgTest::refusedAtOk() {
    CTestProgramFolder folder;
    CScriptedBoxes boxes;
    // A file another program named "a?b.def" is listed and proposed as is:
    // OK warns and stays. Then a name one byte over the path limit is refused.
    CSaveSettingDlg dlg("a?b", nullptr);
    boxes->ExpectExact(kWarning, IDOK, MB_OK | MB_ICONEXCLAMATION);
    boxes->Expect("長すぎ", IDOK, MB_OK | MB_ICONEXCLAMATION);
    const std::string fits(259 - Cp932ByteLength(GetProgramFolder()) - 4, 'a');
    AnswerNextModal([&](QWidget* pDlg) {
        ClickControl(pDlg, CSaveSettingDlg::IDC_OK);
        QVERIFY(pDlg->isVisible());
        NameEdit(pDlg)->setText(QString::fromStdString(fits));
        TypeText(NameEdit(pDlg), "b");
        QCOMPARE(NameEdit(pDlg)->text().toStdString(), fits);
        ClickControl(pDlg, CSaveSettingDlg::IDC_OK);
    });
    QCOMPARE(dlg.DoModal(), 1);
    QVERIFY(boxes->VerifyAllUsed());
    QCOMPARE(dlg.m_strName, fits);
}

QTEST_MAIN(CSaveSettingDlgTest)
#include "tst_SaveSettingDlg.moc"
