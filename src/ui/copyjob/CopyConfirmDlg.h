#pragma once
// The confirmation before copying (template 148): source, destination drive
// and its capacity, the number of files, the change and what will remain. It
// refuses to start when the remaining capacity would be negative.

#include "copyjob/CopyConfirmTexts.h"
#include "ui/framework/DialogBase.h"

class CCopyConfirmDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 148 };
    enum : int {
        IDC_START = 1,  // "ｺﾋﾟｰ開始", answer 1; disabled when the room is lacking
        IDC_CANCEL = 2, // "ｷｬﾝｾﾙ", answer 2 (also Escape)
        IDC_SRC_DIR = 1062,
        IDC_DST_DIR = 1063,
        IDC_DRIVE_TYPE = 1064,
        IDC_TOTAL = 1047,
        IDC_FREE = 1065,
        IDC_FILES = 1069,
        IDC_CHANGE = 1066,
        IDC_REMAINING = 1067,
        IDC_MESSAGE = 1004,
        IDC_ICON = 1068, // question icon, or the stop icon when copying cannot start
    };

    // Builds the dialog with the texts shown (fixed-pitch font, so the figures
    // line up); it has no close box.
    CCopyConfirmDlg(const CCopyConfirmTexts& texts, QWidget* parent);

    // 1 start or 2 cancel. In a continuous run (bRenzoku) with enough room the
    // answer is 1 at once and nothing is shown; a lack of room is always shown.
    int DoModal(bool bRenzoku = false);

private:
    static const CMessageEntry<CCopyConfirmDlg> s_aMessageMap[];
    void BuildLayout();
    void OnStart();
    void OnCancel() { EndDialog(IDC_CANCEL); }
    bool m_bCanStart;
};
