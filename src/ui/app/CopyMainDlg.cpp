// The main window's construction, its start (settings list, profile, the
// setting of the last close), its close and the profile it keeps.
#include "ui/app/CopyMainDlg.h"

#include "app/AppProfile.h"
#include "copyjob/RunTexts.h"
#include "files/PathUtils.h"
#include "lha/UnLha32.h"
#include "platform/MessageBoxService.h"
#include "ui/app/AboutDlg.h"
#include "ui/app/CopyApp.h"
#include "ui/app/HelpViewer.h"
#include "ui/app/LogViewerDlg.h"
#include "ui/continuous/RenzokuDlg.h"
#include "ui/framework/Resources.h"
#include "ui/lha/LhaSettingDlg.h"

#include <QComboBox>
#include <QIcon>
#include <QPushButton>

namespace {
const char kProfileNameLost[] = "設定ﾌｧｲﾙ名にTidewell.Iniへ保存できない文字が含まれているため、"
                                "次回の起動時にはこの設定ﾌｧｲﾙは選択されません．";
const char kFirstStartHint[] = "はじめに ｺﾋﾟｰ元とｺﾋﾟｰ先を入力し、[保存]で設定を保存してください．";
} // namespace

const CDialogBase::CMessageEntry<CCopyMainDlg> CCopyMainDlg::s_aMessageMap[] = {
    {IDC_SAVE, ENotify::Clicked, &CCopyMainDlg::OnSaveSetting},
    {IDC_SETTING_LIST, ENotify::SelChange, &CCopyMainDlg::OnSelchangeSettingList},
    {IDC_BROWSE_SRC, ENotify::Clicked, &CCopyMainDlg::OnBrowseSource},
    {IDC_BROWSE_DST, ENotify::Clicked, &CCopyMainDlg::OnBrowseDest},
    {IDC_DELETE, ENotify::Clicked, &CCopyMainDlg::OnDeleteSetting},
    {IDC_RUN, ENotify::Clicked, &CCopyMainDlg::OnRun},
    {IDC_LHA_CHK, ENotify::Clicked, &CCopyMainDlg::OnLhaCheck},
    {IDC_CANDIDATES, ENotify::Clicked, &CCopyMainDlg::OnCandidates},
    {IDC_SRC_DIR, ENotify::Changed, &CCopyMainDlg::OnFieldChanged},
    {IDC_DST_DIR, ENotify::Changed, &CCopyMainDlg::OnFieldChanged},
    {IDC_WILD_LIST, ENotify::Changed, &CCopyMainDlg::OnFieldChanged},
    {IDC_ALLCLR_CHK, ENotify::Clicked, &CCopyMainDlg::OnClearCheck},
    {IDC_ANS_CHK, ENotify::Clicked, &CCopyMainDlg::OnFieldChanged},
    {IDC_COPYDIR_CHK, ENotify::Clicked, &CCopyMainDlg::OnFieldChanged},
    {IDC_DUST_CHK, ENotify::Clicked, &CCopyMainDlg::OnFieldChanged},
    {IDC_NEW_CHK, ENotify::Clicked, &CCopyMainDlg::OnFieldChanged},
    {IDC_SUBDIR_CHK, ENotify::Clicked, &CCopyMainDlg::OnFieldChanged},
    {IDC_USED_CHK, ENotify::Clicked, &CCopyMainDlg::OnFieldChanged},
    {IDC_LOG, ENotify::Clicked, &CCopyMainDlg::OnLog},
    {IDC_HELP, ENotify::Clicked, &CCopyMainDlg::OnHelpButton},
    {IDC_LHA_SETTING, ENotify::Clicked, &CCopyMainDlg::OnLhaSetting},
    {IDC_OUTDIR_CHK, ENotify::Clicked, &CCopyMainDlg::OnExcludeCheck},
    {IDC_OUTDIR_SETTING, ENotify::Clicked, &CCopyMainDlg::OnExcludeSetting},
    {IDC_RENZOKU_CHK, ENotify::Clicked, &CCopyMainDlg::OnRenzokuCheck},
    {IDC_RENZOKU_SETTING, ENotify::Clicked, &CCopyMainDlg::OnRenzokuSetting},
    {IDC_CLOSE, ENotify::Clicked, &CCopyMainDlg::OnCancel},
};

CCopyMainDlg::CCopyMainDlg(QWidget* parent)
    : CDialogBase(IDD, TemplateFont(kProportionalFace, 9), parent), m_job(*this) {
    InitResources();
    m_fnLhaAvailable = [] {
        return IsLhaDllAvailable();
    };
    setWindowTitle(QStringLiteral("Tidewell Ver 1.10"));
    // A main window: title bar with minimise and close boxes, and a task-bar
    // button; its size is fixed by the layout.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    SetEscapeHandler([this] { OnCancel(); });
    BuildControls();
    BuildLayout();
    ConnectMessageMap(s_aMessageMap);
    OnInitDialog();
    InstallFolderInputs();
}

// The current setting and the collected files go with the job.
CCopyMainDlg::~CCopyMainDlg() {
    while (m_nWaitCursor > 0)
        SetWaitCursor(false);
}

void CCopyMainDlg::OnInitDialog() {
    BuildSystemMenu();
    setWindowIcon(QIcon(QString::fromUtf8(kAppIconResource)));
    // A folder without settings is a first start: say how to begin.
    SetStatusText(FillSettingList() == 0 ? kFirstStartHint : RunText::kIdleStatus);
    ReadProfile();
    if (!m_strUsedDef.empty()) {
        m_nCurSel = FindSettingEntry(m_strUsedDef);
        SelectEntry(m_nCurSel);
        // The entry found ignoring case names the file to load: file names
        // here are case-sensitive, and "daily" must open Daily.def.
        if (m_nCurSel >= 0)
            m_strUsedDef = SettingNameAt(m_nCurSel);
    } else {
        // The entry the list shows is the one loaded, not the defaults under
        // its name (a save would then propose an empty name).
        SelectEntry(0);
        m_strUsedDef = SettingNameAt(0);
    }
    LoadSetting(m_strUsedDef);
    SettingToControls();
    m_bChanged = 0;
    EnableControl(IDC_SAVE, false);
}

void CCopyMainDlg::LoadSetting(const std::string& name) {
    m_job.m_pSetting = std::make_unique<CCopySetting>(name);
}

void CCopyMainDlg::ReadProfile() {
    const CAppProfile profile = ReadAppProfile();
    m_job.SetContinuousMode(profile.m_bRenzoku != 0);
    m_nRenzokuIndex = profile.m_nRenzokuIndex;
    m_strUsedDef = profile.m_strUsedDef;
}

void CCopyMainDlg::WriteProfile() {
    CAppProfile profile;
    // The name the list shows, not m_strUsedDef: the user may have picked
    // another entry without loading it being the point.
    profile.m_strUsedDef = StdStr(SettingList()->currentText());
    profile.m_bRenzoku = m_job.m_bRenzoku;
    profile.m_nRenzokuIndex = m_nRenzokuIndex;
    // Other failures of the profile write are not reported, as before; a
    // name that cannot be stored would otherwise be lost without a word.
    if (WriteAppProfile(profile) == ERROR_NO_UNICODE_TRANSLATION)
        WarningBox(kProfileNameLost);
}

void CCopyMainDlg::OnCancel() {
    if (IsRunning()) {
        m_job.RequestCancel();
        return;
    }
    if (AskSaveChanges(1) == IDCANCEL)
        return;
    WriteProfile();
    if (CCopyApp* pApp = CCopyApp::Instance())
        pApp->WinHelp(0, CCopyApp::HELP_QUIT);
    EndDialog(IDC_CLOSE);
}

void CCopyMainDlg::OnSysCommand(unsigned command) {
    if ((command & 0xFFF0u) == IDM_ABOUTBOX) {
        CAboutDlg dlg(this, m_job.m_strLhaLibrary);
        dlg.DoModal();
    }
}

void CCopyMainDlg::OnLog() {
    CDeleteLog dlg(m_job.m_strLogPath, this);
    dlg.DoModal();
}

void CCopyMainDlg::OnLhaSetting() {
    CLhaSettingDlg dlg(Setting(), this, [&dlg] { ShowHelp(&dlg, "lha"); });
    dlg.DoModal();
}

void CCopyMainDlg::OnHelpButton() {
    if (CCopyApp* pApp = CCopyApp::Instance())
        pApp->WinHelp(0, CCopyApp::HELP_FORCEFILE);
}

void CCopyMainDlg::OnRenzokuSetting() {
    CRenzokuDlg dlg(m_nRenzokuIndex, m_aDefFiles, this);
    if (dlg.DoModal() == CRenzokuDlg::IDC_OK)
        m_nRenzokuIndex = dlg.m_nRenzokuIndex;
}
