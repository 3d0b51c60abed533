#pragma once
// The version dialog (template 100): the program's version and the version
// of the archiver library, which is loaded only for the query, and the
// folder of the settings in use (beside the program or the user's own).

#include "lha/UnLha32.h"
#include "ui/framework/DialogBase.h"

#include <string>

class CAboutDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 100 };
    enum : int {
        IDC_OK = 1,
        IDC_DLL_VERSION = 1103,     // the library's version (m_strDllVersion)
        IDC_SETTINGS_FOLDER = 1104, // where settings, profile and log live
    };

    // libraryName lets tests point at another file.
    explicit CAboutDlg(QWidget* parent, const std::string& libraryName = kLhaLibraryName);

    int DoModal() { return exec(); }

    std::string m_strDllVersion;

private:
    static const CMessageEntry<CAboutDlg> s_aMessageMap[];
    void BuildLayout();
    void OnOK() { EndDialog(IDC_OK); }
};
