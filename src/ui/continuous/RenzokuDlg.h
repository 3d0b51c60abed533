#pragma once
// The continuous execution settings (template 154): one of the five sets is
// chosen in the combo box, and its settings files are moved from the sorted
// candidate list into the chosen list, whose display order is the run
// order. The set chosen here becomes the main window's current set on OK.

#include "ui/framework/DialogBase.h"

#include <string>
#include <vector>

class CDragListBox;
class QListWidget;

class CRenzokuDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 154 };
    enum : int {
        IDC_OK = 1,
        IDC_CANCEL = 2, // also Escape and the close box
        IDC_TO_CANDIDATES = 1033,
        IDC_SET_LIST = 1031,
        IDC_CANDIDATES = 1056,
        IDC_CHOSEN = 1057,
        IDC_TO_CHOSEN = 1058,
        IDC_CLEAR_ALL = 1096,
        IDC_SELECT_ALL = 1097,
        // Reordering without a mouse (also Ctrl+Up / Ctrl+Down in the list).
        IDC_MOVE_UP = 1101,
        IDC_MOVE_DOWN = 1102,
    };

    // nRenzokuIndex: the main window's current set (0 to 4; another number
    // starts on set 0); aDefFiles: the settings files of the program folder
    // (with ".def"), read only, which must outlive the dialog.
    CRenzokuDlg(int nRenzokuIndex, const std::vector<std::string>& aDefFiles, QWidget* parent);

    // Runs the dialog modally: 1 (OK: the set is saved) or 2.
    int DoModal() { return exec(); }

    // Writes the chosen list as the current set; on failure the user is
    // told and the error code returned.
    int SaveRenzokuSet();

    int m_nRenzokuIndex;                    // the current set
    std::vector<std::string> m_aRenzokuSet; // its settings file names, with ".def"

private:
    static const CMessageEntry<CRenzokuDlg> s_aMessageMap[];
    void BuildLayout();
    QListWidget* Candidates() const;
    CDragListBox* Chosen() const;
    // Fills both lists from m_aRenzokuSet and the settings files.
    void FillLists();
    void UpdateButtons();
    void EnableControl(int id, bool bEnable) { FindControl(id)->setEnabled(bEnable); }

    void OnSelchangeSet();
    void OnToChosen();
    void OnToCandidates();
    void OnSelectAll();
    void OnClearAll();
    void OnMoveUp();
    void OnMoveDown();
    void OnOK();
    void OnCancel() { EndDialog(IDC_CANCEL); }

    const std::vector<std::string>& m_aDefFiles;
};
