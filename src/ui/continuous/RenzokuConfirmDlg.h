#pragma once
// The confirmation before a continuous run (template 155): the set's
// settings in the order they will run; OK starts the run.

#include "ui/framework/DialogBase.h"

#include <string>
#include <vector>

class CRenzokuConfirmDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 155 };
    enum : int {
        IDC_OK = 1,
        IDC_CANCEL = 2, // also Escape and the close box
        IDC_ORDER = 1031,
    };

    // aSet: the settings file names (with ".def") in run order.
    CRenzokuConfirmDlg(const std::vector<std::string>& aSet, QWidget* parent);

    // Runs the dialog modally: 1 (OK) or 2.
    int DoModal() { return exec(); }

private:
    static const CMessageEntry<CRenzokuConfirmDlg> s_aMessageMap[];
    void BuildLayout();
    void OnOK() { EndDialog(IDC_OK); }
    void OnCancel() { EndDialog(IDC_CANCEL); }
};
