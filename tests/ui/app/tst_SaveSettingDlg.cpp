// The save dialog driven through its control ids: accepting, cancelling,
// and the refusal of forbidden characters as they are typed or pasted.

#include "files/PathUtils.h"
#include "platform/Cp932.h"
#include "platform/MessageBoxService.h"
#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "ui/app/SaveSettingDlg.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// The warning as the user must read it, character for character.
const std::string kWarningText =
    "保存名称はﾌｧｲﾙ名称として使用するため、下記の文字を含んではいけません．\n\n"
    "使用出来ない文字 (半角のみ)  ；：？，＜＞＊￥｜／";
constexpr unsigned kWarningStyle = MB_OK | MB_ICONEXCLAMATION;

QLineEdit* NameEdit(CSaveSettingDlg& dlg) {
    return dlg.Control<QLineEdit>(CSaveSettingDlg::IDC_NAME);
}

void Click(CDialogBase& dlg, int id) {
    QTest::mouseClick(dlg.FindControl(id), Qt::LeftButton);
}

} // namespace

class CSaveSettingDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_pFolder = std::make_unique<CTestProgramFolder>(); }
    void cleanup() { m_pFolder.reset(); }

    void showsTheProposal();
    void okReturnsTheTypedName();
    void enterAcceptsAndCancelLeaves_data();
    void enterAcceptsAndCancelLeaves();
    void typedForbiddenCharIsTakenBack_data();
    void typedForbiddenCharIsTakenBack();
    void pastedTextWithForbiddenCharRestoresWholeText();
    void doubleByteAndFullWidthCharsAreAccepted();
    void emptyNameIsAccepted();
    void overlongNameIsRefusedWithItsOwnWarning();
    void refusedProposalWarnsOnlyAtOk();

private:
    std::unique_ptr<CTestProgramFolder> m_pFolder;
};

void CSaveSettingDlgTest::showsTheProposal() {
    CSaveSettingDlg dlg("月次バックアップ", nullptr);
    QCOMPARE(dlg.TemplateId(), 130);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("設定の保存"));
    QCOMPARE(NameEdit(dlg)->text(), QStringLiteral("月次バックアップ"));
    QCOMPARE(dlg.m_strName, std::string("月次バックアップ"));
    auto* pGroup = qobject_cast<QGroupBox*>(NameEdit(dlg)->parentWidget());
    QVERIFY(pGroup);
    QCOMPARE(pGroup->title(), QStringLiteral("保存名称"));
    auto* pOk = dlg.Control<QPushButton>(CSaveSettingDlg::IDC_OK);
    QCOMPARE(pOk->text(), QStringLiteral("OK"));
    QVERIFY(pOk->isDefault());
    QCOMPARE(dlg.Control<QPushButton>(CSaveSettingDlg::IDC_CANCEL)->text(),
             QStringLiteral("ｷｬﾝｾﾙ"));
    QCOMPARE(QFontInfo(dlg.font()).family(), QStringLiteral("IPAPGothic"));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(dlg.width() >= dlg.Units().X(239));
    QVERIFY(NameEdit(dlg)->width() >=
            NameEdit(dlg)->fontMetrics().horizontalAdvance(NameEdit(dlg)->text()));
}

void CSaveSettingDlgTest::okReturnsTheTypedName() {
    CScriptedBoxes boxes;
    CSaveSettingDlg dlg("Daily", nullptr);
    OnNextModal([](QWidget* pModal) {
        auto* pDlg = qobject_cast<CSaveSettingDlg*>(pModal);
        QVERIFY(pDlg);
        NameEdit(*pDlg)->selectAll();
        TypeText(NameEdit(*pDlg), QStringLiteral("Weekly.v2"));
        Click(*pDlg, CSaveSettingDlg::IDC_OK);
    });
    QCOMPARE(dlg.DoModal(), 1);
    QCOMPARE(dlg.m_strName, std::string("Weekly.v2"));
    QVERIFY(boxes->Shown().empty());
}

void CSaveSettingDlgTest::enterAcceptsAndCancelLeaves_data() {
    QTest::addColumn<int>("action"); // 0 Enter, 1 Escape, 2 the cancel button
    QTest::addColumn<int>("answer");
    QTest::newRow("enter") << 0 << 1;
    QTest::newRow("escape") << 1 << 2;
    QTest::newRow("cancel button") << 2 << 2;
}

void CSaveSettingDlgTest::enterAcceptsAndCancelLeaves() {
    QFETCH(int, action);
    QFETCH(int, answer);
    CScriptedBoxes boxes;
    CSaveSettingDlg dlg("Daily", nullptr);
    OnNextModal([action](QWidget* pModal) {
        auto* pDlg = qobject_cast<CSaveSettingDlg*>(pModal);
        QVERIFY(pDlg);
        TypeText(NameEdit(*pDlg), QStringLiteral("X"));
        if (action == 0)
            QTest::keyClick(NameEdit(*pDlg), Qt::Key_Return);
        else if (action == 1)
            QTest::keyClick(NameEdit(*pDlg), Qt::Key_Escape);
        else
            Click(*pDlg, CSaveSettingDlg::IDC_CANCEL);
    });
    QCOMPARE(dlg.DoModal(), answer);
    // The name was selected at start, so the typed letter replaced it.
    QCOMPARE(dlg.m_strName, std::string("X"));
}

void CSaveSettingDlgTest::typedForbiddenCharIsTakenBack_data() {
    QTest::addColumn<QString>("typed");
    for (const char* c : {";", ":", "?", ",", "<", ">", "*", "\\", "|", "/"})
        QTest::newRow(c) << QString::fromLatin1(c);
}

void CSaveSettingDlgTest::typedForbiddenCharIsTakenBack() {
    QFETCH(QString, typed);
    CScriptedBoxes boxes;
    boxes->ExpectExact(kWarningText, IDOK, kWarningStyle);
    CSaveSettingDlg dlg("", nullptr);
    TypeText(NameEdit(dlg), QStringLiteral("表ab"));
    TypeText(NameEdit(dlg), typed);
    QCOMPARE(NameEdit(dlg)->text(), QStringLiteral("表ab"));
    QCOMPARE(dlg.m_strName, std::string("表ab"));
    QVERIFY(boxes->VerifyAllUsed());
    QCOMPARE(boxes->Beeps().size(), size_t(1));
    // Typing goes on from the restored text.
    TypeText(NameEdit(dlg), QStringLiteral("c"));
    QCOMPARE(dlg.m_strName, std::string("表abc"));
}

void CSaveSettingDlgTest::pastedTextWithForbiddenCharRestoresWholeText() {
    CScriptedBoxes boxes;
    boxes->ExpectExact(kWarningText, IDOK, kWarningStyle);
    CSaveSettingDlg dlg("Daily", nullptr);
    NameEdit(dlg)->selectAll();
    NameEdit(dlg)->insert(QStringLiteral("新しい名前?2"));
    QCOMPARE(NameEdit(dlg)->text(), QStringLiteral("Daily"));
    QCOMPARE(dlg.m_strName, std::string("Daily"));
    QVERIFY(boxes->VerifyAllUsed());
}

void CSaveSettingDlgTest::doubleByteAndFullWidthCharsAreAccepted() {
    CScriptedBoxes boxes;
    CSaveSettingDlg dlg("", nullptr);
    // 表 and ソ end in the byte 0x5C in CP932; the full-width forms are not
    // the forbidden half-width characters.
    const QString text = QStringLiteral("表ソ；：？，＜＞＊￥｜／ﾃｽﾄ.\"x\"");
    TypeText(NameEdit(dlg), text);
    QCOMPARE(NameEdit(dlg)->text(), text);
    QCOMPARE(dlg.m_strName, text.toStdString());
    QVERIFY(boxes->Shown().empty());
}

void CSaveSettingDlgTest::emptyNameIsAccepted() {
    CScriptedBoxes boxes;
    CSaveSettingDlg dlg("Daily", nullptr);
    OnNextModal([](QWidget* pModal) {
        auto* pDlg = qobject_cast<CSaveSettingDlg*>(pModal);
        QVERIFY(pDlg);
        NameEdit(*pDlg)->clear();
        Click(*pDlg, CSaveSettingDlg::IDC_OK);
    });
    QCOMPARE(dlg.DoModal(), 1);
    QCOMPARE(dlg.m_strName, std::string());
}

void CSaveSettingDlgTest::overlongNameIsRefusedWithItsOwnWarning() {
    CScriptedBoxes boxes;
    boxes->Expect("長すぎ", IDOK, kWarningStyle);
    // Just within the 259-byte path limit, then one letter more.
    const size_t room = 259 - Cp932ByteLength(GetProgramFolder()) - 4;
    const std::string fits(room, 'a');
    CSaveSettingDlg dlg(fits, nullptr);
    NameEdit(dlg)->end(false);
    TypeText(NameEdit(dlg), QStringLiteral("b"));
    QCOMPARE(dlg.m_strName, fits);
    QCOMPARE(NameEdit(dlg)->text().toStdString(), fits);
    QVERIFY(boxes->VerifyAllUsed());
}

void CSaveSettingDlgTest::refusedProposalWarnsOnlyAtOk() {
    CScriptedBoxes boxes;
    // A file another program named "a?b.def" is listed and proposed as is.
    CSaveSettingDlg dlg("a?b", nullptr);
    QVERIFY(boxes->Shown().empty());
    QCOMPARE(NameEdit(dlg)->text(), QStringLiteral("a?b"));
    boxes->ExpectExact(kWarningText, IDOK, kWarningStyle);
    OnNextModal([&boxes](QWidget* pModal) {
        auto* pDlg = qobject_cast<CSaveSettingDlg*>(pModal);
        QVERIFY(pDlg);
        Click(*pDlg, CSaveSettingDlg::IDC_OK);
        QVERIFY(pDlg->isVisible());
        QVERIFY(boxes->VerifyAllUsed());
        NameEdit(*pDlg)->selectAll();
        TypeText(NameEdit(*pDlg), QStringLiteral("ab"));
        Click(*pDlg, CSaveSettingDlg::IDC_OK);
    });
    QCOMPARE(dlg.DoModal(), 1);
    QCOMPARE(dlg.m_strName, std::string("ab"));
}

QTEST_MAIN(CSaveSettingDlgTest)
#include "tst_SaveSettingDlg.moc"
