#include "ui/selection/ExtCandidateDlg.h"

#include "platform/HostServices.h"
#include "selection/ExtensionCandidates.h"
#include "ui/framework/ListMoves.h"
#include "ui/framework/Resources.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char kHint[] = "ﾀﾞﾌﾞﾙｸﾘｯｸまたはボタンで選択してください．";
const char kFilesTitle[] = "ﾌｧｲﾙの個別選択(複数選択可)";
// Every name is offered: "*.*" would hide names without a dot here.
const char kFilesFilter[] = "全ﾌｧｲﾙ(*.*) (*)";

} // namespace

const CDialogBase::CMessageEntry<CExtCandidateDlg> CExtCandidateDlg::s_aMessageMap[] = {
    {CExtCandidateDlg::IDC_TO_CHOSEN, ENotify::Clicked, &CExtCandidateDlg::OnToChosen},
    {CExtCandidateDlg::IDC_CANDIDATES, ENotify::DblClk, &CExtCandidateDlg::OnToChosen},
    {CExtCandidateDlg::IDC_TO_CANDIDATES, ENotify::Clicked, &CExtCandidateDlg::OnToCandidates},
    {CExtCandidateDlg::IDC_CHOSEN, ENotify::DblClk, &CExtCandidateDlg::OnToCandidates},
    {CExtCandidateDlg::IDC_CANDIDATES, ENotify::SelChange, &CExtCandidateDlg::UpdateButtons},
    {CExtCandidateDlg::IDC_CHOSEN, ENotify::SelChange, &CExtCandidateDlg::UpdateButtons},
    {CExtCandidateDlg::IDC_SELECT_ALL, ENotify::Clicked, &CExtCandidateDlg::OnSelectAll},
    {CExtCandidateDlg::IDC_CLEAR_ALL, ENotify::Clicked, &CExtCandidateDlg::OnClearAll},
    {CExtCandidateDlg::IDC_FILES, ENotify::Clicked, &CExtCandidateDlg::OnFiles},
    {CExtCandidateDlg::IDC_OK, ENotify::Clicked, &CExtCandidateDlg::OnOK},
    {CExtCandidateDlg::IDC_CANCEL, ENotify::Clicked, &CExtCandidateDlg::OnCancel},
};

CExtCandidateDlg::CExtCandidateDlg(const std::vector<std::string>& aCollected,
                                   const std::vector<std::string>& aChosen,
                                   const std::string& strSrcDir, QWidget* parent)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent),
      m_aCandidates(CandidatePatterns(aCollected, aChosen)), m_aChosen(aChosen),
      m_strSrcDir(strSrcDir) {
    InitResources();
    setWindowTitle(QStr("拡張子候補の選択"));
    BuildLayout();
    VerifyControls({IDC_OK, IDC_CANCEL, IDC_TO_CANDIDATES, IDC_CANDIDATES, IDC_CHOSEN,
                    IDC_TO_CHOSEN, IDC_SELECT_ALL, IDC_CLEAR_ALL, IDC_FILES});
    for (const std::string& pattern : m_aChosen)
        InsertSorted(*Chosen(), QStr(pattern));
    for (const std::string& pattern : m_aCandidates)
        InsertSorted(*Candidates(), QStr(pattern));
    SelectNear(*Chosen(), 0);
    SelectNear(*Candidates(), 0);
    ConnectMessageMap(s_aMessageMap);
    UpdateButtons();
    Control<QPushButton>(IDC_OK)->setDefault(true);
}

void CExtCandidateDlg::BuildLayout() {
    auto* pCandidates = new QListWidget(this);
    BindControl(IDC_CANDIDATES, pCandidates);
    auto* pChosen = new QListWidget(this);
    BindControl(IDC_CHOSEN, pChosen);
    for (QListWidget* pList : {pCandidates, pChosen})
        pList->setMinimumSize(Units().X(90), Units().Y(100));

    auto* pMiddle = MakeMoveColumn(
        {IDC_TO_CHOSEN, IDC_TO_CANDIDATES, IDC_SELECT_ALL, IDC_CLEAR_ALL, "全解除(&D)", 40});

    auto labelFor = [this](const char* text, QWidget* pBuddy) {
        QLabel* pLabel = MakeLabel(text);
        pLabel->setBuddy(pBuddy);
        return pLabel;
    };
    auto* pLists = new QGridLayout;
    pLists->addWidget(labelFor("候補ﾘｽﾄ(&K)", pCandidates), 0, 0);
    pLists->addWidget(labelFor("選択ﾘｽﾄ(&S)", pChosen), 0, 2);
    pLists->addWidget(pCandidates, 1, 0);
    pLists->addLayout(pMiddle, 1, 1);
    pLists->addWidget(pChosen, 1, 2);
    pLists->setColumnStretch(0, 1);
    pLists->setColumnStretch(2, 1);

    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(MakeLabel(kHint), 1);
    pButtons->addWidget(MakeButton(IDC_FILES, "ﾌｧｲﾙ個別(&F)"));
    pButtons->addWidget(MakeButton(IDC_OK, "OK"));
    pButtons->addWidget(MakeButton(IDC_CANCEL, "ｷｬﾝｾﾙ"));

    auto* pMain = new QVBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addLayout(pLists, 1);
    pMain->addLayout(pButtons);
}

QListWidget* CExtCandidateDlg::Candidates() const {
    return Control<QListWidget>(IDC_CANDIDATES);
}

QListWidget* CExtCandidateDlg::Chosen() const {
    return Control<QListWidget>(IDC_CHOSEN);
}

void CExtCandidateDlg::UpdateButtons() {
    const QListWidget& candidates = *Candidates();
    const QListWidget& chosen = *Chosen();
    FindControl(IDC_TO_CHOSEN)->setEnabled(candidates.count() > 0 && SelectedRow(candidates) >= 0);
    FindControl(IDC_SELECT_ALL)->setEnabled(candidates.count() > 0);
    FindControl(IDC_TO_CANDIDATES)->setEnabled(chosen.count() > 0 && SelectedRow(chosen) >= 0);
    FindControl(IDC_CLEAR_ALL)->setEnabled(chosen.count() > 0);
}

void CExtCandidateDlg::OnToChosen() {
    const int row = SelectedRow(*Candidates());
    if (row < 0)
        return;
    MoveToSorted(*Candidates(), row, *Chosen());
    UpdateButtons();
}

void CExtCandidateDlg::OnToCandidates() {
    const int row = SelectedRow(*Chosen());
    if (row < 0)
        return;
    MoveToSorted(*Chosen(), row, *Candidates());
    UpdateButtons();
}

void CExtCandidateDlg::OnSelectAll() {
    MoveAllToSorted(*Candidates(), *Chosen());
    UpdateButtons();
}

void CExtCandidateDlg::OnClearAll() {
    MoveAllToSorted(*Chosen(), *Candidates());
    UpdateButtons();
}

// Only the names are taken: the copy list matches names in every folder.
void CExtCandidateDlg::OnFiles() {
    const std::optional<std::string> folder = CHostServices::Get().DriveMap().ToHost(m_strSrcDir);
    QFileDialog dlg(this, QStr(kFilesTitle), folder ? QStr(*folder) : QString(),
                    QStr(kFilesFilter));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFiles);
    dlg.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly |
                   QFileDialog::HideNameFilterDetails);
    if (dlg.exec() != QDialog::Accepted)
        return;
    QListWidget& chosen = *Chosen();
    for (const QString& path : dlg.selectedFiles()) {
        const QString name = path.section('/', -1);
        if (name.isEmpty())
            continue;
        int row = FindEntry(chosen, name);
        if (row < 0)
            row = InsertSorted(chosen, name);
        chosen.setCurrentRow(row);
    }
    // The clear-all button must know the list is no longer empty.
    UpdateButtons();
}

void CExtCandidateDlg::OnOK() {
    std::vector<std::string> aEntries;
    for (int row = 0; row < Chosen()->count(); ++row)
        aEntries.push_back(StdStr(Chosen()->item(row)->text()));
    m_strResult = JoinWildList(aEntries);
    EndDialog(IDC_OK);
}
