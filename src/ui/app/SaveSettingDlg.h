#pragma once
// The save dialog (template 130): asks for the name a setting is saved
// under. A typed character that the name may not hold is taken back at once
// with a warning, so the edit always shows an acceptable name.

#include "ui/framework/DialogBase.h"

#include <string>

class CSaveSettingDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 130 };
    enum : int {
        IDC_OK = 1,      // accept the name (default button)
        IDC_CANCEL = 2,  // leave without saving (also Escape and the close box)
        IDC_NAME = 1036, // the save name
    };

    // The edit starts with the proposal (no warning is shown for it even
    // when it is refused; OK then warns and keeps the dialog open).
    CSaveSettingDlg(const std::string& proposal, QWidget* parent);

    // Runs the dialog modally; 1 (OK, the name is in m_strName) or 2.
    int DoModal() { return exec(); }

    // The last accepted name; the caller reads it after OK.
    std::string m_strName;

private:
    static const CMessageEntry<CSaveSettingDlg> s_aMessageMap[];
    void BuildLayout();
    void SetNameText(const std::string& text);
    void OnUpdateName();
    void OnOK();
    void OnCancel() { EndDialog(IDC_CANCEL); }
};
