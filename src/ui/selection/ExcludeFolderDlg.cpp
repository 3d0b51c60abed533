#include "ui/selection/ExcludeFolderDlg.h"

#include "files/PathUtils.h"
#include "selection/ExcludeFolders.h"
#include "ui/framework/CheckListBox.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char kEmptyList[] = "ﾌｫﾙﾀﾞﾘｽﾄが空です．";
} // namespace

const CDialogBase::CMessageEntry<CExcludeFolderDlg> CExcludeFolderDlg::s_aMessageMap[] = {
    {CExcludeFolderDlg::IDC_SELECT_ALL, ENotify::Clicked, &CExcludeFolderDlg::OnSelectAll},
    {CExcludeFolderDlg::IDC_CLEAR_ALL, ENotify::Clicked, &CExcludeFolderDlg::OnClearAll},
    {CExcludeFolderDlg::IDC_OK, ENotify::Clicked, &CExcludeFolderDlg::OnOK},
    {CExcludeFolderDlg::IDC_CANCEL, ENotify::Clicked, &CExcludeFolderDlg::OnCancel},
};

CExcludeFolderDlg::CExcludeFolderDlg(const std::vector<std::string>& aCandidates,
                                     std::vector<std::string>& aOutDirs, QWidget* parent)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent), m_aCandidates(aCandidates),
      m_aOutDirs(aOutDirs) {
    setWindowTitle(QStr("ｺﾋﾟｰ除外ﾌｫﾙﾀﾞの指定(除外するﾌｫﾙﾀﾞにﾏｰｸをつけてください．)"));
    BuildLayout();
    VerifyControls({IDC_OK, IDC_CANCEL, IDC_SELECT_ALL, IDC_CLEAR_ALL, IDC_FOLDERS});
    ConnectMessageMap(s_aMessageMap);
    CCheckListBox& list = *Folders();
    for (const CExcludeLine& line : ExcludeLines(m_aCandidates, m_aOutDirs)) {
        const int nameAt = static_cast<int>(QStr(line.strText.substr(0, line.nNameAt)).size());
        const int row = list.AddString(QStr(line.strText), line.nDepth, nameAt);
        list.SetCheck(row, line.bChecked);
    }
    list.setCurrentRow(0);
    list.setFocus();
    Control<QPushButton>(IDC_OK)->setDefault(true);
}

void CExcludeFolderDlg::BuildLayout() {
    auto* pList = new CCheckListBox(this);
    BindControl(IDC_FOLDERS, pList);
    // The template's 327 x 125 units, less the buttons' column.
    pList->setMinimumSize(Units().X(264), Units().Y(111));

    auto* pButtons = new QVBoxLayout;
    pButtons->addWidget(MakeButton(IDC_OK, "OK"));
    pButtons->addWidget(MakeButton(IDC_CANCEL, "ｷｬﾝｾﾙ"));
    pButtons->addSpacing(Units().Y(8));
    pButtons->addWidget(MakeButton(IDC_SELECT_ALL, "全選択(&A)"));
    pButtons->addWidget(MakeButton(IDC_CLEAR_ALL, "全解除(&D)"));
    pButtons->addStretch(1);

    auto* pMain = new QHBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addWidget(pList, 1);
    pMain->addLayout(pButtons);
}

CCheckListBox* CExcludeFolderDlg::Folders() const {
    return Control<CCheckListBox>(IDC_FOLDERS);
}

int CExcludeFolderDlg::DoModal() {
    if (m_aCandidates.empty()) {
        WarningBox(kEmptyList);
        return IDC_CANCEL;
    }
    return exec();
}

void CExcludeFolderDlg::OnSelectAll() {
    Folders()->SetAllChecks(1);
}

void CExcludeFolderDlg::OnClearAll() {
    Folders()->SetAllChecks(0);
}

void CExcludeFolderDlg::OnOK() {
    const CCheckListBox& list = *Folders();
    if (list.count() == 0)
        return;
    std::vector<bool> aChecked;
    for (int row = 0; row < list.count(); ++row)
        aChecked.push_back(list.GetCheck(row) != 0);
    m_aOutDirs = CheckedFolders(m_aCandidates, aChecked);
    EndDialog(IDC_OK);
}
