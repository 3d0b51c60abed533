#include "continuous/ContinuousRun.h"

#include "continuous/RenzokuSet.h"
#include "copyjob/CopyJob.h"
#include "copyjob/RunTexts.h"
#include "copyjob/SettingFileName.h"
#include "files/NumberFormat.h"
#include "files/PathUtils.h"
#include "platform/AsciiCase.h"
#include "platform/MessageBoxService.h"

namespace {
const char kNoSet[] = "連続実行するための設定ファイルが選択されていません．";
const char kHistory[] = "連続実行履歴";
const char kStepHeader[] = "\n設定ﾌｧｲﾙ  == ";
const char kStepEnd[] = " 終了 終了ｺｰﾄﾞ ";
// A step that could not run says so: the log is how users learn what ran.
const char kStepSkipped[] = " -->設定ﾌｧｲﾙがないため実行しませんでした";
const char kFinished[] = "連続処理を終了しました．";
const char kFailed[] = "連続処理は異常終了しました．終了ｺｰﾄﾞ[";

// Runs the steps in order; the log is open. Fills the outcome's counts and
// returns the end code.
int RunSteps(CCopyJob& job, const std::vector<std::string>& aSet, IRenzokuSteps& steps,
             CRenzokuOutcome& outcome) {
    std::string folder = GetProgramFolder();
    AddBackslash(folder);
    int result = 0;
    for (const std::string& entry : aSet) {
        // The file may have gone since the order was shown; the setting
        // loaded before must not run under its name.
        if (!FileExists(folder + entry) || steps.SelectSettingByName(entry) < 0) {
            const std::string line = kStepHeader + entry + kStepSkipped;
            job.WriteLogLine(line);
            steps.StepSkipped(line.substr(1));
            ++outcome.nStepsSkipped;
            continue;
        }
        job.WriteLogLine(kStepHeader + entry);
        result = job.RunCopyJob();
        ++outcome.nStepsRun;
        job.WriteLogLine("\n" + entry + kStepEnd + IntToText(result));
        steps.StepEnded(entry, result);
        if (result != 0)
            break;
    }
    return result;
}

} // namespace

int CSettingFileSteps::SelectSettingByName(const std::string& name) {
    for (size_t i = 0; i < m_aDefFiles.size(); ++i) {
        if (!EqualsIgnoringCase(m_aDefFiles[i], name))
            continue;
        // The file as the folder spells it: "daily.def" in a set opens Daily.def.
        const std::optional<std::string> setting = SettingNameOfFile(m_aDefFiles[i]);
        if (!setting)
            return -1;
        m_job.m_pSetting = std::make_unique<CCopySetting>(*setting);
        return static_cast<int>(i);
    }
    return -1;
}

CRenzokuOutcome RunRenzokuSet(CCopyJob& job, int nIndex, IRenzokuSteps& steps) {
    CRenzokuOutcome outcome;
    std::vector<std::string> aSet;
    if (LoadRenzokuSet(nIndex, aSet) == 0) {
        WarningBox(kNoSet);
        return outcome;
    }
    if (!steps.SaveChangesFirst() || !steps.ConfirmRenzoku(aSet))
        return outcome;
    outcome.bStarted = true;
    IRunHost& host = job.Host();
    job.SetContinuousMode(true);
    outcome.nEndCode = job.Execute([&] {
        // The window is disabled before the wait for a log another run may
        // hold, which lets events through; a cancel meanwhile ends the run.
        steps.BeginRenzoku();
        int result = job.OpenLog();
        if (result == 0) {
            job.WriteLogHeader(kHistory);
            result = RunSteps(job, aSet, steps, outcome);
        }
        host.SetStatusText(RunText::kIdleStatus);
        // A run whose history could not be written does not end as a success.
        const int logError = job.CloseLog();
        return result == 0 ? logError : result;
    });
    host.SetCloseCaption(RunText::kCloseCaption);
    steps.EndRenzoku();
    if (outcome.nEndCode == 0)
        host.MessageBox(kFinished, MB_ICONASTERISK);
    else
        WarningBox(kFailed + IntToText(outcome.nEndCode) + "]");
    return outcome;
}
