#include "ui/continuous/RenzokuDlg.h"

#include "continuous/RenzokuSet.h"
#include "files/PathUtils.h"
#include "platform/AsciiCase.h"
#include "ui/framework/DragListBox.h"
#include "ui/framework/ListMoves.h"
#include "ui/framework/Resources.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

const char kGuide[] =
    "  連続実行する設定ﾌｧｲﾙを候補ﾘｽﾄから選択ﾘｽﾄに移動してください．\n"
    "  実行順序は選択ﾘｽﾄの表示順です．実行順序を変更するには、選択ﾘｽﾄ内でﾄﾞﾗｯｸﾞ・ﾄﾞﾛｯﾌﾟして"
    "表示順を変更します．";
const char kLimit[] = "連続実行の設定は５個まで登録できます．また、ここで選択されている設定が"
                      "連続実行の対象となります．";
const char kSaveFailed[] = "連続実行の設定をTidewell.Iniに保存できません．";
const char kCannotStore[] = "保存できない文字が含まれています．";

} // namespace

const CDialogBase::CMessageEntry<CRenzokuDlg> CRenzokuDlg::s_aMessageMap[] = {
    {CRenzokuDlg::IDC_SET_LIST, ENotify::SelChange, &CRenzokuDlg::OnSelchangeSet},
    {CRenzokuDlg::IDC_TO_CHOSEN, ENotify::Clicked, &CRenzokuDlg::OnToChosen},
    {CRenzokuDlg::IDC_CANDIDATES, ENotify::DblClk, &CRenzokuDlg::OnToChosen},
    {CRenzokuDlg::IDC_TO_CANDIDATES, ENotify::Clicked, &CRenzokuDlg::OnToCandidates},
    {CRenzokuDlg::IDC_CHOSEN, ENotify::DblClk, &CRenzokuDlg::OnToCandidates},
    {CRenzokuDlg::IDC_SELECT_ALL, ENotify::Clicked, &CRenzokuDlg::OnSelectAll},
    {CRenzokuDlg::IDC_CLEAR_ALL, ENotify::Clicked, &CRenzokuDlg::OnClearAll},
    {CRenzokuDlg::IDC_MOVE_UP, ENotify::Clicked, &CRenzokuDlg::OnMoveUp},
    {CRenzokuDlg::IDC_MOVE_DOWN, ENotify::Clicked, &CRenzokuDlg::OnMoveDown},
    {CRenzokuDlg::IDC_OK, ENotify::Clicked, &CRenzokuDlg::OnOK},
    {CRenzokuDlg::IDC_CANCEL, ENotify::Clicked, &CRenzokuDlg::OnCancel},
};

CRenzokuDlg::CRenzokuDlg(int nRenzokuIndex, const std::vector<std::string>& aDefFiles,
                         QWidget* parent)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent),
      m_nRenzokuIndex(nRenzokuIndex >= 0 && nRenzokuIndex < kRenzokuSetCount ? nRenzokuIndex : 0),
      m_aDefFiles(aDefFiles) {
    InitResources();
    setWindowTitle(QStr("連続実行の設定"));
    BuildLayout();
    VerifyControls({IDC_OK, IDC_CANCEL, IDC_TO_CANDIDATES, IDC_SET_LIST, IDC_CANDIDATES, IDC_CHOSEN,
                    IDC_TO_CHOSEN, IDC_CLEAR_ALL, IDC_SELECT_ALL, IDC_MOVE_UP, IDC_MOVE_DOWN});
    ConnectMessageMap(s_aMessageMap);
    auto* pSets = Control<QComboBox>(IDC_SET_LIST);
    for (int i = 0; i < kRenzokuSetCount; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%02d", i);
        pSets->addItem(QStr(std::string("連続実行設定 ") + text));
    }
    pSets->setCurrentIndex(m_nRenzokuIndex);
    LoadRenzokuSet(m_nRenzokuIndex, m_aRenzokuSet);
    FillLists();
    // The button states are first worked out by the first move.
    Control<QPushButton>(IDC_OK)->setDefault(true);
}

void CRenzokuDlg::BuildLayout() {
    auto* pSets = new QComboBox(this);
    pSets->setMinimumWidth(Units().X(110));
    BindControl(IDC_SET_LIST, pSets);
    auto* pCandidates = new QListWidget(this);
    BindControl(IDC_CANDIDATES, pCandidates);
    auto* pChosen = new CDragListBox(this);
    BindControl(IDC_CHOSEN, pChosen);
    for (QListWidget* pList : {pCandidates, static_cast<QListWidget*>(pChosen)})
        pList->setMinimumSize(Units().X(110), Units().Y(100));

    auto* pMiddle = MakeMoveColumn(
        {IDC_TO_CHOSEN, IDC_TO_CANDIDATES, IDC_SELECT_ALL, IDC_CLEAR_ALL, "全解除(&Z)", 24});
    auto* pOrder = new QVBoxLayout;
    pOrder->addStretch(1);
    pOrder->addWidget(MakeArrowButton(IDC_MOVE_UP, Qt::UpArrow, "上へ移動 (Ctrl+↑)", 24));
    pOrder->addWidget(MakeArrowButton(IDC_MOVE_DOWN, Qt::DownArrow, "下へ移動 (Ctrl+↓)", 24));
    pOrder->addStretch(1);

    auto labelFor = [this](const char* text, QWidget* pBuddy) {
        QLabel* pLabel = MakeLabel(text);
        pLabel->setBuddy(pBuddy);
        return pLabel;
    };
    auto* pLists = new QGridLayout;
    pLists->addWidget(labelFor("候補リスト(&K)", pCandidates), 0, 0);
    pLists->addWidget(labelFor("選択リスト(&S)", pChosen), 0, 2);
    pLists->addWidget(pCandidates, 1, 0);
    pLists->addLayout(pMiddle, 1, 1);
    pLists->addWidget(pChosen, 1, 2);
    pLists->addLayout(pOrder, 1, 3);
    pLists->setColumnStretch(0, 1);
    pLists->setColumnStretch(2, 1);

    auto* pTop = new QHBoxLayout;
    pTop->addWidget(labelFor("連続実行設定名称(&T)", pSets));
    pTop->addWidget(pSets);
    pTop->addStretch(1);

    auto* pButtons = new QHBoxLayout;
    pButtons->addWidget(MakeLabel(kLimit), 1);
    pButtons->addWidget(MakeButton(IDC_OK, "OK"));
    pButtons->addWidget(MakeButton(IDC_CANCEL, "ｷｬﾝｾﾙ"));

    auto* pMain = new QVBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addLayout(pTop);
    pMain->addWidget(MakeLabel(kGuide));
    pMain->addLayout(pLists, 1);
    pMain->addLayout(pButtons);
}

QListWidget* CRenzokuDlg::Candidates() const {
    return Control<QListWidget>(IDC_CANDIDATES);
}

CDragListBox* CRenzokuDlg::Chosen() const {
    return Control<CDragListBox>(IDC_CHOSEN);
}

void CRenzokuDlg::FillLists() {
    QListWidget& candidates = *Candidates();
    candidates.clear();
    for (const std::string& file : m_aDefFiles) {
        const bool bInSet =
            std::any_of(m_aRenzokuSet.begin(), m_aRenzokuSet.end(),
                        [&](const std::string& entry) { return EqualsIgnoringCase(entry, file); });
        if (!bInSet)
            InsertSorted(candidates, QStr(RenzokuEntryName(file)));
    }
    SelectNear(candidates, 0);
    CDragListBox& chosen = *Chosen();
    chosen.clear();
    for (const std::string& entry : m_aRenzokuSet)
        chosen.addItem(QStr(RenzokuEntryName(entry)));
    SelectNear(chosen, 0);
}

void CRenzokuDlg::UpdateButtons() {
    const QListWidget& candidates = *Candidates();
    const CDragListBox& chosen = *Chosen();
    EnableControl(IDC_TO_CHOSEN, candidates.count() > 0 && SelectedRow(candidates) >= 0);
    EnableControl(IDC_SELECT_ALL, candidates.count() > 0);
    EnableControl(IDC_TO_CANDIDATES, chosen.count() > 0 && SelectedRow(chosen) >= 0);
    EnableControl(IDC_CLEAR_ALL, chosen.count() > 0);
    EnableControl(IDC_MOVE_UP, chosen.count() > 1);
    EnableControl(IDC_MOVE_DOWN, chosen.count() > 1);
}

int CRenzokuDlg::SaveRenzokuSet() {
    m_aRenzokuSet.clear();
    std::vector<std::string> aNames;
    for (const QString& text : Chosen()->Texts()) {
        aNames.push_back(StdStr(text));
        m_aRenzokuSet.push_back(aNames.back() + ".def");
    }
    const int error = ::SaveRenzokuSet(m_nRenzokuIndex, aNames);
    if (error != 0) {
        const std::string reason =
            error == ERROR_NO_UNICODE_TRANSLATION ? kCannotStore : GetSystemErrorText(error);
        WarningBox(std::string(kSaveFailed) + "\n" +
                   (reason.empty() ? "ｴﾗｰｺｰﾄﾞ " + std::to_string(error) : reason));
    }
    return error;
}

void CRenzokuDlg::OnSelchangeSet() {
    auto* pSets = Control<QComboBox>(IDC_SET_LIST);
    const int nNew = pSets->currentIndex();
    if (nNew == m_nRenzokuIndex || nNew < 0)
        return;
    // A set that could not be saved stays on screen, so its changes are
    // not lost.
    if (SaveRenzokuSet() != 0) {
        pSets->setCurrentIndex(m_nRenzokuIndex);
        return;
    }
    m_nRenzokuIndex = nNew;
    LoadRenzokuSet(m_nRenzokuIndex, m_aRenzokuSet);
    FillLists();
    UpdateButtons();
}

void CRenzokuDlg::OnToChosen() {
    QListWidget& candidates = *Candidates();
    CDragListBox& chosen = *Chosen();
    const int from = SelectedRow(candidates);
    if (from < 0)
        return;
    const QString text = TakeEntry(candidates, from);
    int at = SelectedRow(chosen);
    if (at < 0)
        at = chosen.count();
    chosen.insertItem(at, text);
    chosen.setCurrentRow(at);
    SelectNear(candidates, from);
    UpdateButtons();
}

void CRenzokuDlg::OnToCandidates() {
    QListWidget& candidates = *Candidates();
    CDragListBox& chosen = *Chosen();
    const int from = SelectedRow(chosen);
    if (from < 0)
        return;
    MoveToSorted(chosen, from, candidates);
    UpdateButtons();
}

void CRenzokuDlg::OnSelectAll() {
    QListWidget& candidates = *Candidates();
    CDragListBox& chosen = *Chosen();
    int at = SelectedRow(chosen);
    if (at < 0)
        at = chosen.count();
    // Each goes in where the one before it went, so the block reads in
    // reverse candidate order.
    const bool bAny = candidates.count() > 0;
    while (candidates.count() > 0)
        chosen.insertItem(at, TakeEntry(candidates, 0));
    if (bAny)
        chosen.setCurrentRow(at);
    UpdateButtons();
}

void CRenzokuDlg::OnClearAll() {
    QListWidget& candidates = *Candidates();
    CDragListBox& chosen = *Chosen();
    MoveAllToSorted(chosen, candidates);
    UpdateButtons();
}

void CRenzokuDlg::OnMoveUp() {
    Chosen()->MoveCurrent(-1);
}

void CRenzokuDlg::OnMoveDown() {
    Chosen()->MoveCurrent(1);
}

void CRenzokuDlg::OnOK() {
    if (SaveRenzokuSet() == 0)
        EndDialog(IDC_OK);
}
