#pragma once
// The drive-letter dialog "ドライブの割り当て": lists which letter names
// which host folder and lets the user add, change and remove mappings with
// a folder picker. A letter given twice and a folder that does not exist
// are refused with a warning. OK makes the list the drive map and writes it
// to section "Drives" of the profile; Cancel forgets the changes.

#include "platform/DriveAssignment.h"
#include "ui/framework/DialogBase.h"

#include <functional>
#include <string>
#include <vector>

class CDriveLettersDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 160 };
    enum : int {
        IDC_OK = 1,
        IDC_CANCEL = 2,
        IDC_LIST = 1001,   // "D:  /media/me/USB", one row per letter
        IDC_LETTER = 1002, // the selected row's letter
        IDC_FOLDER = 1003, // the selected row's folder (read only)
        IDC_ADD = 1004,
        IDC_CHANGE = 1005,
        IDC_REMOVE = 1006,
    };

    // With a proposed folder, the dialog starts with that folder added
    // under the first free letter, selected, for the user to confirm.
    explicit CDriveLettersDlg(QWidget* parent, const std::string& proposedFolder = {});

    int DoModal() { return exec(); }

    // Asks for a host folder, starting at start; empty when none was
    // chosen. A Qt folder picker unless replaced (tests answer it).
    std::function<std::string(const std::string& start)> m_fnPickFolder;

    std::vector<CDriveMapping> m_aMappings; // the rows, in letter order

private:
    static const CMessageEntry<CDriveLettersDlg> s_aMessageMap[];
    void BuildLayout();
    void FillList(int select);
    int Selected() const;
    // Inserts the mapping in letter order; returns its row.
    int InsertSorted(const CDriveMapping& mapping);
    char FreeLetter() const;
    // Warns and returns true when the mapping is refused.
    bool Refused(size_t at, const CDriveMapping& mapping, bool bFolderToo);
    void OnSelchangeList();
    void OnLetterChange();
    void OnAdd();
    void OnChange();
    void OnRemove();
    void OnOK();
    void OnCancel() { EndDialog(IDC_CANCEL); }
};
