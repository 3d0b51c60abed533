// The settings list of the main window: every "<name>.def" of the program
// folder as one entry; selecting loads it, the save button writes the
// current setting under a name, the delete button removes a file.
#include "ui/app/CopyMainDlg.h"

#include "app/SettingFiles.h"
#include "app/SettingNames.h"
#include "app/StorableText.h"
#include "copyjob/RunTexts.h"
#include "copyjob/SettingFileName.h"
#include "files/PathUtils.h"
#include "platform/AsciiCase.h"
#include "platform/HostServices.h"
#include "platform/MessageBoxService.h"
#include "ui/app/SaveSettingDlg.h"

#include <QComboBox>

namespace {

const char kAskSave[] = "設定が変更されています、保存しますか．";
const char kAskDelete[] = "設定ﾌｧｲﾙ[%s]を削除しますか．";
const char kDeleteCaption[] = "削除確認";
const char kCannotStore[] = "保存できない文字が含まれています．";

// Position at which a sorted list inserts text: after every entry that
// sorts before it or equal to it, so equal texts keep the listing order.
int SortedPosition(const QComboBox& list, const QString& text) {
    int lower = 0;
    int upper = list.count();
    while (lower < upper) {
        const int middle = (lower + upper) / 2;
        if (QString::compare(list.itemText(middle), text, Qt::CaseInsensitive) <= 0)
            lower = middle + 1;
        else
            upper = middle;
    }
    return lower;
}

// The settings file of a list position, or empty when the position holds
// no entry.
std::string DefFileAt(const QComboBox& list, const std::vector<std::string>& defFiles, int pos) {
    if (pos < 0 || pos >= list.count())
        return {};
    const int index = list.itemData(pos).toInt();
    return index >= 0 && index < static_cast<int>(defFiles.size())
               ? defFiles[static_cast<size_t>(index)]
               : std::string();
}

} // namespace

int CCopyMainDlg::ScanSettingFiles() {
    m_aDefFiles = ListSettingFiles();
    return static_cast<int>(m_aDefFiles.size());
}

int CCopyMainDlg::FillSettingList() {
    const int n = ScanSettingFiles();
    QComboBox* pList = SettingList();
    pList->clear();
    for (int i = 0; i < n; ++i) {
        const QString text =
            QStr(SettingNameOfFile(m_aDefFiles[static_cast<size_t>(i)]).value_or(std::string()));
        pList->insertItem(SortedPosition(*pList, text), text, i);
    }
    // The first entry added became current; the callers choose.
    SelectEntry(-1);
    return n;
}

int CCopyMainDlg::FindSettingEntry(const std::string& name) const {
    const QComboBox* pList = SettingList();
    for (int pos = 0; pos < pList->count(); ++pos) {
        if (EqualsIgnoringCase(StdStr(pList->itemText(pos)), name))
            return pos;
    }
    return -1;
}

void CCopyMainDlg::SelectEntry(int pos) {
    SettingList()->setCurrentIndex(pos);
}

std::string CCopyMainDlg::SettingNameAt(int pos) const {
    return SettingNameOfFile(DefFileAt(*SettingList(), m_aDefFiles, pos)).value_or(std::string());
}

void CCopyMainDlg::OnSelchangeSettingList() {
    QComboBox* pList = SettingList();
    int newPos = pList->currentIndex();
    // The list shows the loaded setting while a question is open.
    SelectEntry(m_nCurSel);
    const std::string chosen = DefFileAt(*pList, m_aDefFiles, newPos);
    if (chosen.empty())
        return;
    if (AskSaveChanges(1) == IDCANCEL) {
        SelectEntry(m_nCurSel);
        return;
    }
    // A save above rebuilt the list, which may have moved the chosen entry.
    const int found = FindSettingEntry(SettingNameOfFile(chosen).value_or(std::string()));
    if (found >= 0)
        newPos = found;
    const std::string file = DefFileAt(*pList, m_aDefFiles, newPos);
    if (file.empty()) {
        SelectEntry(m_nCurSel);
        return;
    }
    SelectEntry(newPos);
    m_strUsedDef = SettingNameOfFile(file).value_or(std::string());
    LoadSetting(m_strUsedDef);
    m_nCurSel = newPos;
    SettingToControls();
}

int CCopyMainDlg::SelectSettingByName(const std::string& name) {
    QComboBox* pList = SettingList();
    for (int pos = 0; pos < pList->count(); ++pos) {
        if (!EqualsIgnoringCase(DefFileAt(*pList, m_aDefFiles, pos), name))
            continue;
        SelectEntry(pos);
        OnSelchangeSettingList();
        m_bChanged = 0;
        EnableControl(IDC_SAVE, false);
        return pos;
    }
    return -1;
}

bool CCopyMainDlg::ReportSaveError(const CCopySetting& setting) {
    const int error = setting.LastSaveError();
    if (error == 0)
        return true;
    if (error == ERROR_NO_UNICODE_TRANSLATION) {
        const std::string refusal = UnstorableFieldMessage(SpecFields(setting));
        WarningBox(refusal.empty() ? kCannotStore : refusal);
    } else {
        const std::string text = GetSystemErrorText(error);
        WarningBox(text.empty() ? "ｴﾗｰｺｰﾄﾞ " + std::to_string(error) : text);
    }
    return false;
}

void CCopyMainDlg::OnSaveSetting() {
    ControlsToSetting();
    CSaveSettingDlg dlg(m_strUsedDef, this);
    if (dlg.DoModal() != IDOK)
        return;
    const std::string name = dlg.m_strName;
    // The dialog refuses such names as they are typed; a name that still
    // gets here must not reach the folder.
    const ESettingNameProblem problem = CheckSettingName(name);
    if (problem != ESettingNameProblem::None) {
        WarningBox(SettingNameWarning(problem));
        return;
    }
    Setting().SaveSpec(name);
    // A setting that was not written leaves the folder, the list and the
    // changed state as they were.
    if (!ReportSaveError(Setting()))
        return;
    FillSettingList();
    SetStatusText(RunText::kIdleStatus); // past the first start's hint
    if (name.empty())
        return; // no entry is selected and the changed state stays
    m_nCurSel = FindSettingEntry(name);
    SelectEntry(m_nCurSel);
    // The saved file becomes the current one: the next save proposes it and
    // the delete button names and deletes it.
    m_strUsedDef = name;
    m_bChanged = 0;
    EnableControl(IDC_SAVE, false);
}

void CCopyMainDlg::OnDeleteSetting() {
    QComboBox* pList = SettingList();
    if (pList->count() == 0)
        return;
    const std::string question = FormatWithText(kAskDelete, m_strUsedDef);
    if (CHostServices::Get().MessageBoxes().Show(question, kDeleteCaption,
                                                 MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    int pos = pList->currentIndex();
    const int error = DeleteSettingFile(m_strUsedDef);
    if (error != 0) {
        const std::string text = GetSystemErrorText(error);
        WarningBox(text.empty() ? "ｴﾗｰｺｰﾄﾞ " + std::to_string(error) : text);
        return;
    }
    const int n = FillSettingList();
    if (n > 0) {
        // With no entry selected (after a save under an empty name) the
        // first entry is loaded: the list then shows what the window holds.
        if (pos < 0)
            pos = 0;
        SelectEntry(pos < n ? pos : n - 1);
        m_nCurSel = pList->currentIndex();
        OnSelchangeSettingList();
        return;
    }
    m_strUsedDef.clear();
    LoadSetting(m_strUsedDef);
    m_nCurSel = -1;
    SettingToControls();
}

int CCopyMainDlg::AskSaveChanges(int withCancel) {
    if (!m_bChanged)
        return IDYES;
    const unsigned buttons = withCancel ? MB_YESNOCANCEL : MB_YESNO;
    const int answer = MessageBox(kAskSave, buttons | MB_ICONQUESTION);
    if (answer == IDYES)
        OnSaveSetting();
    return answer;
}
