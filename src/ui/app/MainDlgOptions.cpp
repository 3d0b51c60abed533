// The main window's option rules (clear, LHA, exclude, continuous mode),
// the exchange between the controls and the current setting, and the
// changed state.
#include "ui/app/CopyMainDlg.h"

#include "copyjob/FolderValidation.h"
#include "files/PathUtils.h"
#include "platform/MessageBoxService.h"

#include <QComboBox>

namespace {

const char kClearRefused[] =
    "ｺﾋﾟｰ元ﾌｫﾙﾀﾞにｺﾋﾟｰ先ﾌｫﾙﾀﾞが含まれるか、ｺﾋﾟｰ先ﾌｫﾙﾀﾞにｺﾋﾟｰ元ﾌｫﾙﾀﾞが含まれるか、"
    "ｺﾋﾟｰ元ﾌｫﾙﾀﾞまたはｺﾋﾟｰ先ﾌｫﾙﾀﾞが指定されていないため、"
    "[ｺﾋﾟｰ前にｺﾋﾟｰ先ﾌｫﾙﾀﾞを全ｸﾘｱする]ｵﾌﾟｼｮﾝは使用できません．";
const char kLhaUnavailable[] = "圧縮を実行するにはUNLHA32.DLLが必要です．";

// The copy options that clearing the destination rules out.
constexpr int kClearExcluded[] = {CCopyMainDlg::IDC_USED_CHK, CCopyMainDlg::IDC_ANS_CHK,
                                  CCopyMainDlg::IDC_NEW_CHK, CCopyMainDlg::IDC_DUST_CHK};
// The copy options an archive run does not use.
constexpr int kLhaExcluded[] = {CCopyMainDlg::IDC_NEW_CHK,     CCopyMainDlg::IDC_SUBDIR_CHK,
                                CCopyMainDlg::IDC_ALLCLR_CHK,  CCopyMainDlg::IDC_USED_CHK,
                                CCopyMainDlg::IDC_COPYDIR_CHK, CCopyMainDlg::IDC_ANS_CHK,
                                CCopyMainDlg::IDC_DUST_CHK};

} // namespace

void CCopyMainDlg::SettingToControls() {
    const CCopySetting& setting = Setting();
    SetText(IDC_SRC_DIR, setting.SrcDir);
    SetText(IDC_DST_DIR, setting.DstDir);
    SetText(IDC_WILD_LIST, setting.WildList);
    SetCheck(IDC_USED_CHK, setting.UsedChk);
    SetCheck(IDC_SUBDIR_CHK, setting.SubDirChk);
    SetCheck(IDC_NEW_CHK, setting.NewChk);
    SetCheck(IDC_DUST_CHK, setting.DustChk);
    SetCheck(IDC_ANS_CHK, setting.AnsChk);
    SetCheck(IDC_COPYDIR_CHK, setting.CopyDirChk);
    SetCheck(IDC_ALLCLR_CHK, setting.AllClrChk);
    SetCheck(IDC_LHA_CHK, setting.LhaChk);
    SetCheck(IDC_OUTDIR_CHK, setting.OutDirChk);
    // A continuous run loads settings while running and keeps the run's
    // enabling; it resets the changed state itself.
    if (IsRunning())
        return;
    SetCheck(IDC_RENZOKU_CHK, m_job.m_bRenzoku);
    if (IsRenzoku()) {
        ApplyRenzokuMode();
    } else {
        EnableControls(1);
        if (setting.AllClrChk)
            ApplyClearOption(1, 1);
        if (setting.LhaChk)
            ApplyLhaOption(1, 1);
    }
    Redraw();
    // Writing the edits above marked the window changed on the way.
    m_bChanged = 0;
    EnableControl(IDC_SAVE, false);
}

void CCopyMainDlg::ControlsToSetting() {
    CCopySetting& setting = Setting();
    setting.m_strSettingName = StdStr(SettingList()->currentText());
    setting.SrcDir = GetText(IDC_SRC_DIR);
    setting.DstDir = GetText(IDC_DST_DIR);
    setting.WildList = GetText(IDC_WILD_LIST);
    setting.UsedChk = GetCheck(IDC_USED_CHK);
    setting.SubDirChk = GetCheck(IDC_SUBDIR_CHK);
    setting.NewChk = GetCheck(IDC_NEW_CHK);
    setting.DustChk = GetCheck(IDC_DUST_CHK);
    setting.AnsChk = GetCheck(IDC_ANS_CHK);
    setting.LhaChk = GetCheck(IDC_LHA_CHK);
    setting.CopyDirChk = GetCheck(IDC_COPYDIR_CHK);
    setting.AllClrChk = GetCheck(IDC_ALLCLR_CHK);
    setting.OutDirChk = GetCheck(IDC_OUTDIR_CHK);
}

void CCopyMainDlg::EnableControls(int e) {
    const bool bEnable = e != 0;
    for (int id : {IDC_SETTING_LIST, IDC_WILD_LIST, IDC_DST_DIR, IDC_SRC_DIR, IDC_BROWSE_DST,
                   IDC_BROWSE_SRC, IDC_CANDIDATES, IDC_DELETE})
        EnableControl(id, bEnable);
    EnableControl(IDC_SAVE, bEnable && m_bChanged);
    for (int id : {IDC_RUN, IDC_HELP, IDC_LOG, IDC_USED_CHK, IDC_SUBDIR_CHK, IDC_NEW_CHK,
                   IDC_DUST_CHK, IDC_ANS_CHK, IDC_COPYDIR_CHK, IDC_ALLCLR_CHK, IDC_LHA_CHK,
                   IDC_RENZOKU_CHK, IDC_OUTDIR_CHK})
        EnableControl(id, bEnable);
    EnableControl(IDC_RENZOKU_SETTING, bEnable && GetCheck(IDC_RENZOKU_CHK));
    EnableControl(IDC_OUTDIR_SETTING, bEnable && GetCheck(IDC_OUTDIR_CHK));
    // Only the LHA rule enables the LHA settings; the close button is never
    // touched, so a run can always be cancelled.
    EnableControl(IDC_LHA_SETTING, false);
}

void CCopyMainDlg::SetRunState(int e) {
    EnableControls(e);
    if (e) {
        if (GetCheck(IDC_ALLCLR_CHK))
            ApplyClearOption(1, 1);
        EnableControl(IDC_LHA_CHK, true);
        if (GetCheck(IDC_LHA_CHK))
            ApplyLhaOption(1, 1);
    }
    Redraw();
}

void CCopyMainDlg::ApplyClearOption(int clear, int e) {
    if (clear) {
        for (int id : kClearExcluded)
            SetCheck(id, 0);
    }
    if (e) {
        for (int id : kClearExcluded)
            EnableControl(id, !clear);
        EnableControl(IDC_COPYDIR_CHK, true);
        EnableControl(IDC_SUBDIR_CHK, true);
    } else {
        for (int id : kClearExcluded)
            EnableControl(id, false);
        EnableControl(IDC_COPYDIR_CHK, false);
        EnableControl(IDC_SUBDIR_CHK, false);
    }
}

void CCopyMainDlg::ApplyLhaOption(int lha, int e) {
    if (lha) {
        EnableControl(IDC_OUTDIR_CHK, false);
        EnableControl(IDC_OUTDIR_SETTING, false);
        EnableControl(IDC_LHA_SETTING, e != 0);
    } else {
        EnableControl(IDC_OUTDIR_CHK, e != 0);
        EnableControl(IDC_OUTDIR_SETTING, e != 0);
        EnableControl(IDC_LHA_SETTING, false);
    }
    // The copy options keep their check states while disabled.
    for (int id : kLhaExcluded)
        EnableControl(id, e != 0 && !lha);
}

void CCopyMainDlg::ApplyRenzokuMode() {
    if (!IsRenzoku()) {
        SetRunState(1);
        return;
    }
    EnableControls(0);
    for (int id : {IDC_RENZOKU_CHK, IDC_RENZOKU_SETTING, IDC_LOG, IDC_RUN, IDC_HELP})
        EnableControl(id, true);
}

void CCopyMainDlg::MarkChanged() {
    m_bChanged = 1;
    EnableControl(IDC_SAVE, true);
}

void CCopyMainDlg::OnFieldChanged() {
    MarkChanged();
}

void CCopyMainDlg::OnClearCheck() {
    const int state = GetCheck(IDC_ALLCLR_CHK);
    if (state && FoldersOverlap(GetText(IDC_SRC_DIR), GetText(IDC_DST_DIR))) {
        WarningBox(kClearRefused);
        SetCheck(IDC_ALLCLR_CHK, 0);
        return;
    }
    ApplyClearOption(state, 1);
    MarkChanged();
}

void CCopyMainDlg::OnLhaCheck() {
    const int state = GetCheck(IDC_LHA_CHK);
    if (state && !(m_fnLhaAvailable && m_fnLhaAvailable())) {
        WarningBox(kLhaUnavailable);
        SetCheck(IDC_LHA_CHK, 0);
        return;
    }
    ApplyLhaOption(state, 1);
    MarkChanged();
}

void CCopyMainDlg::OnExcludeCheck() {
    EnableControl(IDC_OUTDIR_SETTING, GetCheck(IDC_OUTDIR_CHK));
    MarkChanged();
}

void CCopyMainDlg::OnRenzokuCheck() {
    m_job.SetContinuousMode(GetCheck(IDC_RENZOKU_CHK) != 0);
    // Continuous mode lives in the profile, not in the setting: the changed
    // state is left alone.
    if (m_job.m_bRenzoku && AskSaveChanges(1) == IDCANCEL) {
        m_job.SetContinuousMode(false);
        SetCheck(IDC_RENZOKU_CHK, 0);
        return;
    }
    ApplyRenzokuMode();
}
