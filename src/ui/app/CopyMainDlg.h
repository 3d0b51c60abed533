#pragma once
// The program's one window (template 102): the user edits one copy setting,
// manages the list of saved settings, starts runs and opens the other
// dialogs. The run itself belongs to the CCopyJob the window holds; the
// window answers the job as its IRunHost (status line, busy animation,
// close button, questions and progress window).
//
// The class's work is split by theme: CopyMainDlg.cpp (construction, start,
// close and profile), MainDlgLayoutGui.cpp (controls and layout),
// MainDlgOptionsGui.cpp (option rules and the changed state),
// MainDlgRunGui.cpp (run request and run host), MainDlgSettingsGui.cpp
// (settings list: select, save, delete), MainDlgSelection.cpp (extension
// candidates and exclude folders).

#include "continuous/ContinuousRun.h"
#include "copyjob/CopyJob.h"
#include "copyjob/RunHost.h"
#include "platform/EventPump.h"
#include "ui/framework/DialogBase.h"

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QMovie;
class QScrollArea;

class CCopyMainDlg : public CDialogBase, public IRunHost, public IRenzokuSteps {
    Q_OBJECT

public:
    enum : int { IDD = 102 };
    enum : int {
        IDC_CLOSE = 2, // the cancel command: close, or during a run: cancel
        IDC_SRC_DIR = 1000,
        IDC_DST_DIR = 1001,
        IDC_BROWSE_SRC = 1002,
        IDC_BROWSE_DST = 1004,
        IDC_CANDIDATES = 1005,
        IDC_LHA_SETTING = 1007,
        IDC_RUN = 1013,
        IDC_NEW_CHK = 1014, // NewChk
        IDC_HELP = 1015,
        IDC_LOG = 1016,
        IDC_SUBDIR_CHK = 1017,  // SubDirChk
        IDC_ANS_CHK = 1019,     // AnsChk
        IDC_DUST_CHK = 1021,    // DustChk
        IDC_RENZOKU_CHK = 1023, // continuous mode
        IDC_STATUS = 1024,
        IDC_ALLCLR_CHK = 1025, // AllClrChk
        IDC_RENZOKU_SETTING = 1028,
        IDC_WILD_LIST = 1030,
        IDC_SETTING_LIST = 1031,
        IDC_DELETE = 1033,
        IDC_SAVE = 1034,
        IDC_USED_CHK = 1035, // UsedChk
        IDC_BUSY_ANIMATION = 1037,
        IDC_IDLE_PICTURE = 1038,
        IDC_BUSY_CAPTION = 1039,
        IDC_LHA_CHK = 1041,     // LhaChk
        IDC_COPYDIR_CHK = 1042, // CopyDirChk
        IDC_OUTDIR_CHK = 1087,  // OutDirChk
        IDC_OUTDIR_SETTING = 1088,
    };
    // The system menu's version entry.
    enum : unsigned { IDM_ABOUTBOX = 0x10 };

    // Builds the window and initialises it (settings list, profile, the
    // setting shown at the last close). Nothing is shown yet.
    explicit CCopyMainDlg(QWidget* parent = nullptr);
    ~CCopyMainDlg() override;

    CCopyJob& Job() { return m_job; }
    CCopySetting& Setting() { return *m_job.m_pSetting; }
    bool IsRunning() const { return m_job.m_bRunning != 0; }
    bool IsRenzoku() const { return m_job.m_bRenzoku != 0; }

    // --- controls and state (MainDlgOptionsGui.cpp) ---
    // Shows the current setting in the controls; when idle also applies the
    // option rules and clears the changed state.
    void SettingToControls();
    // Copies the controls into the current setting without any test.
    void ControlsToSetting();
    void EnableControls(int e);
    // SetRunState(0) disables everything but the close button before a run;
    // SetRunState(1) restores the idle state with the option rules.
    void SetRunState(int e);
    void ApplyClearOption(int clear, int e);
    void ApplyLhaOption(int lha, int e);
    void ApplyRenzokuMode();
    // The changed state: set, with the save button enabled.
    void MarkChanged();

    // --- settings list (MainDlgSettingsGui.cpp) ---
    // Fills m_aDefFiles from the program folder; returns the count.
    int ScanSettingFiles();
    // Rebuilds the list from the folder; nothing is selected afterwards.
    // Returns the number of entries.
    int FillSettingList();
    // Position of the first entry (in display order) whose text equals name
    // ignoring ASCII letter case, or -1.
    int FindSettingEntry(const std::string& name) const;
    void OnSelchangeSettingList();
    void OnSaveSetting();
    void OnDeleteSetting();
    // IDYES without asking when nothing changed; otherwise asks and, on yes,
    // saves through the save dialog. Returns IDYES, IDNO or IDCANCEL.
    int AskSaveChanges(int withCancel);

    // The settings file (name with ".def", letter case ignored) of the
    // list's entries, selected and loaded as by the user's choice, with the
    // changed state cleared; the entry's position, or -1 (nothing changes).
    int SelectSettingByName(const std::string& name) override;

    // --- run request (MainDlgRunGui.cpp) ---
    void OnRun();
    // Runs the current continuous execution set (continuous mode's run
    // button): the order is confirmed, each settings file of the set is
    // loaded and run in turn under one log, the previous setting comes back.
    void RunRenzoku();
    // The folder checks of the current setting; focuses the edit the failed
    // check names. 0 when acceptable, 1 when refused (the user was told).
    int ValidateFolders(int sourceOnly);

    // --- start and close (CopyMainDlg.cpp) ---
    void ReadProfile();
    // Writes section "CopyInfo"; warns when the shown name cannot be kept.
    void WriteProfile();
    // The close button, Escape and the close box: during a run only the
    // cancel request; otherwise the save question, the profile, the end.
    void OnCancel();
    // The system menu's commands; the version entry opens the version dialog.
    void OnSysCommand(unsigned command);

    // --- extension candidates and exclude folders (MainDlgSelection.cpp) ---
    // Fills list with the copy list's patterns and those the source tree
    // offers, with the window as during a run: every control but the close
    // button disabled, which stops the walk. 0, or 9999 when stopped.
    int CollectExtensions(std::vector<std::string>& list);

    // IRunHost (MainDlgRunGui.cpp)
    void SetStatusText(const std::string& text) override;
    void ShowBusy(bool on, const std::string& caption = {}) override;
    void SetCloseCaption(const std::string& caption) override;
    void EnableClose(bool enable) override;
    void SetWaitCursor(bool on) override;
    void Redraw() override;
    void PumpEvents() override;
    int MessageBox(const std::string& text, unsigned style) override;
    int AskOverwrite(const COverwriteTexts& texts) override;
    int AskCopyConfirm(const CCopyConfirmTexts& texts) override;
    std::unique_ptr<IProgressDisplay> CreateProgress(const std::string& caption) override;

    // IRenzokuSteps (MainDlgRunGui.cpp)
    bool SaveChangesFirst() override;
    bool ConfirmRenzoku(const std::vector<std::string>& aSet) override;
    void BeginRenzoku() override;
    void EndRenzoku() override;

    // Whether the archiver library can be loaded (replaceable by tests).
    std::function<bool()> m_fnLhaAvailable;

    int m_nCurSel = 0; // list position of the loaded setting; -1 when none
    int m_nRenzokuIndex = 0;
    std::string m_strUsedDef;             // current settings name, without ".def"
    std::vector<std::string> m_aDefFiles; // settings files of the folder, with ".def"
    int m_bChanged = 0;

private:
    static const CMessageEntry<CCopyMainDlg> s_aMessageMap[];

    // MainDlgLayoutGui.cpp
    void BuildControls();
    void BuildLayout();
    void BuildSystemMenu();
    // The window's size: the page of controls, or less with scroll bars
    // when the screen cannot hold it.
    void FitToScreen();
    void showEvent(QShowEvent* pEvent) override;

    void OnInitDialog();
    // Selects a list position (-1: none).
    void SelectEntry(int pos);
    // The settings name (file name less ".def") of a list position; empty
    // when the position holds no entry.
    std::string SettingNameAt(int pos) const;
    // Replaces the current setting with the one of the settings file name
    // (without ".def"; an absent file gives the defaults).
    void LoadSetting(const std::string& name);
    // Warns that the setting could not be written; false when it was not.
    bool ReportSaveError(const CCopySetting& setting);
    void SetCheck(int id, int32_t state);
    int32_t GetCheck(int id) const;
    void EnableControl(int id, bool enable);
    void SetText(int id, const std::string& text);
    std::string GetText(int id) const;
    QComboBox* SettingList() const;

    // Handlers of the message map.
    void OnBrowseSource();
    void OnBrowseDest();
    // MainDlgBrowse.cpp: the browse dialog for a folder field, and host
    // paths dropped or pasted into the fields; the drive-letter dialog in
    // the window's menu.
    void BrowseInto(int id, const char* title);
    void InstallFolderInputs();
    void OnLhaCheck();
    void OnCandidates();
    void OnFieldChanged();
    void OnClearCheck();
    void OnLog();
    void OnHelpButton();
    void OnLhaSetting();
    void OnExcludeCheck();
    void OnExcludeSetting();
    void OnRenzokuCheck();
    void OnRenzokuSetting();
    // Runs a walk of the source tree (body) as a run: controls disabled,
    // the close button saying "中断(&X)" and raising the cancel request.
    int RunSourceWalk(const std::function<int()>& body);

    CCopyJob m_job;
    CEventPump m_pump;
    QMovie* m_pBusyMovie = nullptr;   // created at the first busy display
    QScrollArea* m_pScroll = nullptr; // holds the page of controls
    bool m_bWatchesScreen = false;    // refits when moved to another screen
    int m_nWaitCursor = 0;
    // The settings file shown before a continuous run, shown again after it
    // (empty: none was).
    std::string m_strRenzokuReturn;
};
