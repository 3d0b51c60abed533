#include "ui/app/SaveSettingDlg.h"

#include "app/SettingNames.h"
#include "files/PathUtils.h"
#include "platform/HostServices.h"
#include "platform/MessageBoxService.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

const CDialogBase::CMessageEntry<CSaveSettingDlg> CSaveSettingDlg::s_aMessageMap[] = {
    {CSaveSettingDlg::IDC_NAME, ENotify::Changed, &CSaveSettingDlg::OnUpdateName},
    {CSaveSettingDlg::IDC_OK, ENotify::Clicked, &CSaveSettingDlg::OnOK},
    {CSaveSettingDlg::IDC_CANCEL, ENotify::Clicked, &CSaveSettingDlg::OnCancel},
};

CSaveSettingDlg::CSaveSettingDlg(const std::string& proposal, QWidget* parent)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent), m_strName(proposal) {
    setWindowTitle(QStr("設定の保存"));
    BuildLayout();
    VerifyControls({IDC_OK, IDC_CANCEL, IDC_NAME});
    ConnectMessageMap(s_aMessageMap);
    SetNameText(m_strName);
    auto* pOk = Control<QPushButton>(IDC_OK);
    pOk->setDefault(true);
    auto* pEdit = Control<QLineEdit>(IDC_NAME);
    pEdit->selectAll();
    pEdit->setFocus();
}

void CSaveSettingDlg::BuildLayout() {
    // The group "保存名称" holds the edit; OK and Cancel stand at its right.
    auto* pGroup = new QGroupBox(QStr("保存名称"), this);
    auto* pEdit = new QLineEdit(pGroup);
    pEdit->setMinimumWidth(Units().X(165));
    BindControl(IDC_NAME, pEdit);
    auto* pGroupLayout = new QVBoxLayout(pGroup);
    pGroupLayout->addWidget(pEdit);

    auto* pButtons = new QVBoxLayout;
    pButtons->addWidget(MakeButton(IDC_OK, "OK"));
    pButtons->addWidget(MakeButton(IDC_CANCEL, "ｷｬﾝｾﾙ"));
    pButtons->addStretch(1);

    auto* pMain = new QHBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addWidget(pGroup, 1);
    pMain->addLayout(pButtons);
    // Wider is allowed (a long name stays readable), taller is not.
    setMinimumWidth(Units().X(239));
    pMain->setSizeConstraint(QLayout::SetMinimumSize);
}

// Puts a text into the edit without raising OnUpdateName: the text put back
// after a refusal must not be judged again (a refused proposal would
// otherwise warn without end).
void CSaveSettingDlg::SetNameText(const std::string& text) {
    auto* pEdit = Control<QLineEdit>(IDC_NAME);
    const QSignalBlocker blocker(pEdit);
    pEdit->setText(QStr(text));
}

void CSaveSettingDlg::OnUpdateName() {
    const std::string text = StdStr(Control<QLineEdit>(IDC_NAME)->text());
    const ESettingNameProblem problem = CheckSettingName(text);
    // "." and ".." are on the way to a name such as ".old": OK judges them.
    if (problem == ESettingNameProblem::None || problem == ESettingNameProblem::DotName) {
        m_strName = text;
        return;
    }
    WarningBox(SettingNameWarning(problem), "CSaveSettingDlg::OnUpdateName()");
    SetNameText(m_strName);
}

// Only a refused proposal, or "." and "..", can reach here with a bad name:
// every other typed change was judged already.
void CSaveSettingDlg::OnOK() {
    const ESettingNameProblem problem = CheckSettingName(m_strName);
    if (problem != ESettingNameProblem::None) {
        WarningBox(SettingNameWarning(problem), "CSaveSettingDlg::OnOK()");
        Control<QLineEdit>(IDC_NAME)->setFocus();
        return;
    }
    if (IsHiddenSettingName(m_strName) &&
        CHostServices::Get().MessageBoxes().Show(HiddenSettingNote(m_strName), "",
                                                 MB_OKCANCEL | MB_ICONASTERISK) != IDOK) {
        Control<QLineEdit>(IDC_NAME)->setFocus();
        return;
    }
    EndDialog(IDC_OK);
}
