#pragma once
// The drive information dialog (template 137): label, file system, free
// space, its share in percent and the total size of the drive of a path.
// A query that fails shows "不明" (unknown) in its fields.

#include "ui/framework/DialogBase.h"

#include <string>

class CDriveInfoDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 137 };
    enum : int {
        IDC_OK = 1,
        IDC_DRIVE = 1001,       // "D:"
        IDC_LABEL = 1002,       // volume label
        IDC_FILE_SYSTEM = 1003, // file system name
        IDC_FREE = 1004,        // free space, FormatSize
        IDC_FREE_PERCENT = 1005,
        IDC_TOTAL = 1006, // total size, FormatSize
    };

    // Only the first three characters of path (the drive root) are used.
    CDriveInfoDlg(const std::string& path, QWidget* parent);

    int DoModal() { return exec(); }

    std::string m_strPath;

private:
    static const CMessageEntry<CDriveInfoDlg> s_aMessageMap[];
    void BuildLayout();
    void OnInitDialog();
    void OnOK() { EndDialog(IDC_OK); }
    void SetField(int id, const std::string& text);
};
