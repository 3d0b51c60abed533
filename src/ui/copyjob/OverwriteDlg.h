#pragma once
// The overwrite question (template 135): both files side by side with sizes,
// dates and words comparing the destination with the source, and four
// answers that steer the copy loop.

#include "copyjob/OverwriteTexts.h"
#include "ui/framework/DialogBase.h"

class COverwriteDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 135 };
    enum : int {
        IDC_YES = 1,         // answer 1: replace this file
        IDC_NO = 2,          // answer 2: skip this file (also Escape)
        IDC_ABORT = 3,       // answer 3: stop the run
        IDC_COPY_ALL = 1047, // answer 1047: replace, and ask no more in this run
        IDC_SRC_PATH = 1048,
        IDC_SRC_SIZE = 1049,
        IDC_SRC_DATE = 1050,
        IDC_DST_PATH = 1051,
        IDC_DST_SIZE = 1052,
        IDC_DST_DATE = 1053,
        IDC_SIZE_COMPARE = 1054,
        IDC_DATE_COMPARE = 1055,
    };

    // Builds the dialog with the texts shown; it has no close box.
    COverwriteDlg(const COverwriteTexts& texts, QWidget* parent);

    // Runs the question modally and returns the answer (1, 2, 3 or 1047).
    int DoModal() { return exec(); }

private:
    static const CMessageEntry<COverwriteDlg> s_aMessageMap[];
    void BuildLayout();
    void OnYes() { EndDialog(IDC_YES); }
    void OnNo() { EndDialog(IDC_NO); }
    void OnAbort() { EndDialog(IDC_ABORT); }
    void OnCopyAll() { EndDialog(IDC_COPY_ALL); }
};
