#include "ui/files/DriveLettersDlg.h"

#include "app/AppProfile.h"
#include "files/PathUtils.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace {

const char kLetterTwice[] = "ﾄﾞﾗｲﾌﾞ %c: は既に割り当てられています．";
const char kNoFolder[] = "ﾌｫﾙﾀﾞが見つかりません．\n%s";
const char kNoFreeLetter[] = "空いているﾄﾞﾗｲﾌﾞ文字がありません．";
const char kNotSaved[] = "ﾄﾞﾗｲﾌﾞの割り当てをTidewell.Iniへ保存できません．(Error = %d)";

std::string Format(const char* format, const std::string& text) {
    std::string out(format);
    const size_t at = out.find("%s");
    return at == std::string::npos ? out : out.replace(at, 2, text);
}

std::string Format(const char* format, int value) {
    char text[256];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string WithoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

} // namespace

const CDialogBase::CMessageEntry<CDriveLettersDlg> CDriveLettersDlg::s_aMessageMap[] = {
    {CDriveLettersDlg::IDC_LIST, ENotify::SelChange, &CDriveLettersDlg::OnSelchangeList},
    {CDriveLettersDlg::IDC_LETTER, ENotify::SelChange, &CDriveLettersDlg::OnLetterChange},
    {CDriveLettersDlg::IDC_ADD, ENotify::Clicked, &CDriveLettersDlg::OnAdd},
    {CDriveLettersDlg::IDC_CHANGE, ENotify::Clicked, &CDriveLettersDlg::OnChange},
    {CDriveLettersDlg::IDC_REMOVE, ENotify::Clicked, &CDriveLettersDlg::OnRemove},
    {CDriveLettersDlg::IDC_OK, ENotify::Clicked, &CDriveLettersDlg::OnOK},
    {CDriveLettersDlg::IDC_CANCEL, ENotify::Clicked, &CDriveLettersDlg::OnCancel},
};

CDriveLettersDlg::CDriveLettersDlg(QWidget* parent, const std::string& proposedFolder)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent) {
    setWindowTitle(QStr("ドライブの割り当て"));
    m_fnPickFolder = [this](const std::string& start) {
        return StdStr(QFileDialog::getExistingDirectory(this, QStr("ﾌｫﾙﾀﾞの選択"), QStr(start)));
    };
    BuildLayout();
    VerifyControls(
        {IDC_OK, IDC_CANCEL, IDC_LIST, IDC_LETTER, IDC_FOLDER, IDC_ADD, IDC_CHANGE, IDC_REMOVE});
    ConnectMessageMap(s_aMessageMap);
    m_aMappings = CurrentDriveMappings();
    int select = m_aMappings.empty() ? -1 : 0;
    const CDriveMapping proposal{FreeLetter(), WithoutTrailingSlash(proposedFolder)};
    if (!proposedFolder.empty() && proposal.cLetter &&
        CheckDriveMapping(m_aMappings, m_aMappings.size(), proposal) == EMappingProblem::None)
        select = InsertSorted(proposal);
    FillList(select);
}

void CDriveLettersDlg::BuildLayout() {
    auto* pList = new QListWidget(this);
    pList->setMinimumSize(Units().X(220), Units().Y(80));
    BindControl(IDC_LIST, pList);
    auto* pLetter = new QComboBox(this);
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        pLetter->addItem(QStr(std::string(1, letter) + ":"));
    BindControl(IDC_LETTER, pLetter);
    auto* pFolder = new QLineEdit(this);
    pFolder->setReadOnly(true);
    BindControl(IDC_FOLDER, pFolder);

    auto* pRow = new QGridLayout;
    pRow->addWidget(MakeLabel("ﾄﾞﾗｲﾌﾞ"), 0, 0);
    pRow->addWidget(pLetter, 0, 1);
    pRow->addWidget(MakeLabel("ﾌｫﾙﾀﾞ"), 0, 2);
    pRow->addWidget(pFolder, 0, 3);
    pRow->setColumnStretch(3, 1);

    auto* pButtons = new QVBoxLayout;
    pButtons->addWidget(MakeButton(IDC_ADD, "追加(&A)..."));
    pButtons->addWidget(MakeButton(IDC_CHANGE, "変更(&C)..."));
    pButtons->addWidget(MakeButton(IDC_REMOVE, "削除(&R)"));
    pButtons->addStretch(1);
    QPushButton* pOk = MakeButton(IDC_OK, "OK");
    pOk->setDefault(true);
    pButtons->addWidget(pOk);
    pButtons->addWidget(MakeButton(IDC_CANCEL, "ｷｬﾝｾﾙ"));

    auto* pLeft = new QVBoxLayout;
    pLeft->addWidget(pList, 1);
    pLeft->addLayout(pRow);
    auto* pMain = new QHBoxLayout(this);
    ApplyTemplateMargins(pMain);
    pMain->addLayout(pLeft, 1);
    pMain->addLayout(pButtons);
}

void CDriveLettersDlg::FillList(int select) {
    auto* pList = Control<QListWidget>(IDC_LIST);
    {
        const QSignalBlocker blocker(pList);
        pList->clear();
        for (const CDriveMapping& mapping : m_aMappings)
            pList->addItem(QStr(std::string(1, mapping.cLetter) + ":  " + mapping.strHostFolder));
        pList->setCurrentRow(select);
    }
    OnSelchangeList();
}

int CDriveLettersDlg::Selected() const {
    const int row = Control<QListWidget>(IDC_LIST)->currentRow();
    return row >= 0 && row < static_cast<int>(m_aMappings.size()) ? row : -1;
}

int CDriveLettersDlg::InsertSorted(const CDriveMapping& mapping) {
    const auto at = std::lower_bound(
        m_aMappings.begin(), m_aMappings.end(), mapping,
        [](const CDriveMapping& a, const CDriveMapping& b) { return a.cLetter < b.cLetter; });
    // The insertion may move the elements: begin() only after it.
    const auto inserted = m_aMappings.insert(at, mapping);
    return static_cast<int>(inserted - m_aMappings.begin());
}

char CDriveLettersDlg::FreeLetter() const {
    for (char letter = 'D'; letter <= 'Z'; ++letter)
        if (std::none_of(m_aMappings.begin(), m_aMappings.end(),
                         [letter](const CDriveMapping& m) { return m.cLetter == letter; }))
            return letter;
    return '\0';
}

bool CDriveLettersDlg::Refused(size_t at, const CDriveMapping& mapping, bool bFolderToo) {
    const EMappingProblem problem = CheckDriveMapping(m_aMappings, at, mapping);
    if (problem == EMappingProblem::LetterTwice)
        WarningBox(Format(kLetterTwice, mapping.cLetter), "CDriveLettersDlg");
    else if (problem == EMappingProblem::NoFolder && bFolderToo)
        WarningBox(Format(kNoFolder, mapping.strHostFolder), "CDriveLettersDlg");
    else
        return false;
    return true;
}

void CDriveLettersDlg::OnSelchangeList() {
    const int row = Selected();
    auto* pLetter = Control<QComboBox>(IDC_LETTER);
    pLetter->setCurrentIndex(row < 0 ? -1 : m_aMappings[row].cLetter - 'A');
    Control<QLineEdit>(IDC_FOLDER)
        ->setText(row < 0 ? QString() : QStr(m_aMappings[row].strHostFolder));
    for (int id : {IDC_LETTER, IDC_CHANGE, IDC_REMOVE})
        FindControl(id)->setEnabled(row >= 0);
}

void CDriveLettersDlg::OnLetterChange() {
    const int row = Selected();
    const int index = Control<QComboBox>(IDC_LETTER)->currentIndex();
    if (row < 0 || index < 0)
        return;
    CDriveMapping mapping = m_aMappings[row];
    mapping.cLetter = static_cast<char>('A' + index);
    // An absent medium's folder is missing: only the letter is judged here.
    if (Refused(row, mapping, false)) {
        OnSelchangeList(); // the letter it had
        return;
    }
    m_aMappings.erase(m_aMappings.begin() + row);
    FillList(InsertSorted(mapping));
}

void CDriveLettersDlg::OnAdd() {
    const std::string folder = WithoutTrailingSlash(m_fnPickFolder(HostHomeFolder()));
    if (folder.empty())
        return;
    const CDriveMapping mapping{FreeLetter(), folder};
    if (!mapping.cLetter) {
        WarningBox(kNoFreeLetter, "CDriveLettersDlg::OnAdd()");
        return;
    }
    if (!Refused(m_aMappings.size(), mapping, true))
        FillList(InsertSorted(mapping));
}

void CDriveLettersDlg::OnChange() {
    const int row = Selected();
    if (row < 0)
        return;
    CDriveMapping mapping = m_aMappings[row];
    mapping.strHostFolder = WithoutTrailingSlash(m_fnPickFolder(mapping.strHostFolder));
    if (mapping.strHostFolder.empty() || Refused(row, mapping, true))
        return;
    m_aMappings[row] = mapping;
    FillList(row);
}

void CDriveLettersDlg::OnRemove() {
    const int row = Selected();
    if (row < 0)
        return;
    m_aMappings.erase(m_aMappings.begin() + row);
    FillList(std::min(row, static_cast<int>(m_aMappings.size()) - 1));
}

void CDriveLettersDlg::OnOK() {
    if (const int rc = StoreDriveMappings(m_aMappings, AppProfilePath()))
        WarningBox(Format(kNotSaved, rc), "CDriveLettersDlg::OnOK()");
    EndDialog(IDC_OK);
}
