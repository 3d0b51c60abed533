#pragma once
// The exclude folders (template 153): every folder of the source tree in a
// check list, the source folder itself first; the checked ones become the
// setting's exclude folders on OK. Lines stand indented by their depth.

#include "ui/framework/DialogBase.h"

#include <string>
#include <vector>

class CCheckListBox;

class CExcludeFolderDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 153 };
    enum : int {
        IDC_OK = 1,
        IDC_CANCEL = 2, // also Escape and the close box
        IDC_SELECT_ALL = 1059,
        IDC_CLEAR_ALL = 1060,
        IDC_FOLDERS = 1089,
    };

    // aCandidates: the folders of CCopyJob::CollectSourceFolders; aOutDirs:
    // the setting's exclude folders, replaced on OK. Both must outlive the
    // dialog.
    CExcludeFolderDlg(const std::vector<std::string>& aCandidates,
                      std::vector<std::string>& aOutDirs, QWidget* parent);

    // Runs the dialog modally: 1 (OK: the exclude folders hold the checked
    // lines) or 2. An empty candidate list is refused with a warning and
    // gives 2 without showing the dialog.
    int DoModal();

private:
    static const CMessageEntry<CExcludeFolderDlg> s_aMessageMap[];
    void BuildLayout();
    CCheckListBox* Folders() const;

    void OnSelectAll();
    void OnClearAll();
    void OnOK();
    void OnCancel() { EndDialog(IDC_CANCEL); }

    const std::vector<std::string> m_aCandidates; // a copy: callers may pass a temporary
    std::vector<std::string>& m_aOutDirs;
};
