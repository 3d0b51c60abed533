// The main window's two choosers built from the source tree: the extension
// candidates of the copy list and the exclude folders.
#include "ui/app/CopyMainDlg.h"

#include "app/StorableText.h"
#include "copyjob/RunTexts.h"
#include "files/PathUtils.h"
#include "selection/ExtensionCandidates.h"
#include "ui/selection/ExcludeFolderDlg.h"
#include "ui/selection/ExtCandidateDlg.h"

namespace {
const char kCannotStore[] = "保存できない文字が含まれています．";
const char kExcludeLabel[] = "ｺﾋﾟｰ除外ﾌｫﾙﾀﾞ";
} // namespace

int CCopyMainDlg::RunSourceWalk(const std::function<int()>& body) {
    SetRunState(0);
    SetCloseCaption(RunText::kAbortCaption);
    const int r = m_job.Execute(body);
    SetCloseCaption(RunText::kCloseCaption);
    SetRunState(1);
    return r;
}

int CCopyMainDlg::CollectExtensions(std::vector<std::string>& list) {
    return RunSourceWalk([&] { return ::CollectExtensions(m_job, list); });
}

void CCopyMainDlg::OnCandidates() {
    ControlsToSetting();
    if (ValidateFolders(1) != 0)
        return;
    std::vector<std::string> aCollected;
    // A stopped walk opens nothing: half a tree's candidates would look
    // like the whole.
    if (CollectExtensions(aCollected) != 0)
        return;
    std::vector<std::string> aChosen;
    m_job.SplitWildList(aChosen);
    CExtCandidateDlg dlg(aCollected, aChosen, Setting().SrcDir, this);
    if (dlg.DoModal() != CExtCandidateDlg::IDC_OK)
        return;
    SetText(IDC_WILD_LIST, dlg.m_strResult);
    MarkChanged();
}

void CCopyMainDlg::OnExcludeSetting() {
    ControlsToSetting();
    std::vector<std::string> aFolders;
    if (RunSourceWalk([&] { return m_job.CollectSourceFolders(aFolders); }) != 0)
        return;
    CCopySetting& setting = Setting();
    setting.LoadOutDirList();
    CExcludeFolderDlg dlg(aFolders, setting.m_aOutDirs, this);
    if (dlg.DoModal() != CExcludeFolderDlg::IDC_OK)
        return;
    // Stored at once, apart from the save button and the changed state.
    setting.SaveOutDirList();
    if (const int error = setting.LastSaveError(); error != 0) {
        std::vector<CStoredField> fields;
        for (const std::string& folder : setting.m_aOutDirs)
            fields.push_back({kExcludeLabel, folder});
        const std::string unstorable = UnstorableFieldMessage(fields);
        const std::string reason = GetSystemErrorText(error);
        WarningBox(error == ERROR_NO_UNICODE_TRANSLATION
                       ? (unstorable.empty() ? kCannotStore : unstorable)
                       : (reason.empty() ? "ｴﾗｰｺｰﾄﾞ " + std::to_string(error) : reason));
    }
    // What the file holds now (the old list when the save was refused).
    setting.LoadOutDirList();
}
