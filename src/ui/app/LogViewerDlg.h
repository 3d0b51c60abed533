#pragma once
// The log viewer (template 136): the run log in a resizable window, its
// first line as the window title and every further line as one row of a
// list in a fixed-pitch font, so the log's columns line up. It only reads.

#include "ui/framework/DialogBase.h"

#include <string>

class CDeleteLog : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 136 };
    enum : int { IDC_LOG_LIST = 1020 };

    // logPath is the drive-letter path of the log file.
    CDeleteLog(const std::string& logPath, QWidget* parent);

    // Shows the log modally; the answer is not used. When there is no log
    // file (also when the path names a folder) a warning is shown instead
    // and 2 is returned at once.
    int DoModal();

    // Checks for the log file and fills the list; false when the dialog
    // ended at once (no log file).
    bool OnInitDialog();
    // Fills the title and the list from the file. A file that cannot be
    // read is reported with the system's text for the failure; what was
    // read before it stays shown.
    void SetList();

    std::string m_strLogPath;
};
