#pragma once
// The LHA settings dialog (template 151): the archive fields of the current
// setting, saved at once into the "LHA" section of its settings file on OK.
// Under the format field a preview shows the name the automatic format gives
// now, or why it gives none; OK refuses a name the archiver cannot take.

#include "ui/framework/DialogBase.h"

#include <cstdint>
#include <functional>
#include <string>

class CCopySetting;

class CLhaSettingDlg : public CDialogBase {
    Q_OBJECT

public:
    enum : int { IDD = 151 };
    enum : int {
        IDC_OK = 1,
        IDC_CANCEL = 2,           // also Escape and the close box
        IDC_NEW_CHK = 1014,       // newer only ("NewChk")
        IDC_SUBDIR_CHK = 1017,    // no subfolders ("SubDirChk")
        IDC_ALLCLR_CHK = 1025,    // delete the existing archive first ("AllClrChk")
        IDC_BROWSE = 1069,        // picks the archive name
        IDC_LHA_NAME = 1072,      // archive file name ("LhaName")
        IDC_HELP = 1077,          // the help at its LHA section
        IDC_OPTIONS = 1086,       // additional options ("OptionStr")
        IDC_AUTO_FILE_CHK = 1099, // automatic name ("AutoFileChk")
        IDC_FILE_HEDER = 1100,    // automatic name format ("FileHeder")
        IDC_NAME_PREVIEW = 1101,  // the name the format gives now
    };
    // Proposed when the stored format is empty.
    static constexpr const char* kProposedFormat = "TDWL%m%d%H%M.LZH";

    // Re-reads the "LHA" section of the setting's file and shows it. help
    // opens the help at the LHA section; without it the help button is
    // disabled.
    CLhaSettingDlg(CCopySetting& setting, QWidget* parent, std::function<void()> help = {});

    // Runs the dialog modally; 1 after OK (the section is saved), else 2.
    int DoModal() { return exec(); }

    // One member per control.
    std::string m_strLhaName;
    int32_t m_bAutoFileChk = 0;
    std::string m_strFileHeder;
    int32_t m_bSubDirChk = 0;
    int32_t m_bNewChk = 0;
    int32_t m_bAllClrChk = 0;
    std::string m_strOptionStr;

private:
    static const CMessageEntry<CLhaSettingDlg> s_aMessageMap[];
    void BuildLayout();
    void OnInitDialog();
    // The controls into the members, or the members into the controls.
    void UpdateData(bool bSave);
    void ApplyAutoName();
    void UpdatePreview();

    void OnNewCheck();
    void OnAllClrCheck();
    void OnAutoFileCheck();
    void OnBrowse();
    void OnHelp();
    void OnOK();
    void OnCancel() { EndDialog(IDC_CANCEL); }

    CCopySetting& m_setting;
    std::function<void()> m_fnHelp;
};
