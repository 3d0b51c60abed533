#pragma once
// The extension candidates (template 138): the patterns found in the source
// tree stand in the sorted candidate list, the copy list's patterns in the
// sorted chosen list; the user moves them between the two and may add
// single files by name. OK gives the chosen list as a copy list.

#include "ui/framework/DialogBase.h"

#include <string>
#include <vector>

class QListWidget;

class CExtCandidateDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 138 };
    enum : int {
        IDC_OK = 1,
        IDC_CANCEL = 2, // also Escape and the close box
        IDC_TO_CANDIDATES = 1033,
        IDC_CANDIDATES = 1056,
        IDC_CHOSEN = 1057,
        IDC_TO_CHOSEN = 1058,
        IDC_SELECT_ALL = 1059,
        IDC_CLEAR_ALL = 1060,
        IDC_FILES = 1069,
    };

    // aCollected: the copy list's patterns followed by those the source tree
    // offers (CollectExtensions); aChosen: the copy list's patterns;
    // strSrcDir: the source folder, where the file dialog starts.
    CExtCandidateDlg(const std::vector<std::string>& aCollected,
                     const std::vector<std::string>& aChosen, const std::string& strSrcDir,
                     QWidget* parent);

    // Runs the dialog modally: 1 (OK: m_strResult holds the copy list) or 2.
    int DoModal() { return exec(); }

    std::vector<std::string> m_aCandidates; // collected, not in the copy list
    std::vector<std::string> m_aChosen;     // the copy list's patterns
    std::string m_strSrcDir;
    std::string m_strResult; // the chosen entries joined by "/", set by OK

private:
    static const CMessageEntry<CExtCandidateDlg> s_aMessageMap[];
    void BuildLayout();
    QListWidget* Candidates() const;
    QListWidget* Chosen() const;
    void UpdateButtons();

    void OnToChosen();
    void OnToCandidates();
    void OnSelectAll();
    void OnClearAll();
    void OnFiles();
    void OnOK();
    void OnCancel() { EndDialog(IDC_CANCEL); }
};
