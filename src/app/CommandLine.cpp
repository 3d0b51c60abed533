#include "app/CommandLine.h"

#include "app/ConsoleRunHost.h"
#include "app/SettingFiles.h"
#include "app/SettingListing.h"
#include "app/SettingNames.h"
#include "continuous/ContinuousRun.h"
#include "continuous/RenzokuSet.h"
#include "copyjob/CopyJob.h"
#include "copyjob/FolderValidation.h"
#include "copyjob/SettingFileName.h"
#include "files/PathUtils.h"
#include "platform/ConsoleMessageBox.h"
#include "platform/HostServices.h"

#include <cstdio>
#include <memory>

namespace {

const char kUsage[] =
    "使い方 (usage):\n"
    "  tidewell                 ウィンドウを開きます (opens the window)\n"
    "  tidewell --run NAME      設定ファイル NAME.def を実行します\n"
    "                           (runs the settings file NAME.def of the program folder)\n"
    "  tidewell --list          設定の一覧 (the settings, one a line)\n"
    "  tidewell --show NAME     設定 NAME の内容 (the values of setting NAME)\n"
    "  tidewell --continuous N  連続実行設定 N (0 ～ 4) を実行します\n"
    "                           (runs continuous execution set N)\n"
    "  --folder DIR             設定・履歴のﾌｫﾙﾀﾞを DIR にします (any start; the settings folder)\n"
    "  tidewell --help          この説明 (this text)\n"
    "  tidewell --version       版数 (the version)\n"
    "  --quiet                  エラーだけを表示します (only errors go to standard error)\n"
    "終了状態 (exit status): 0 = 終了コード 0 (コピー元のファイルがすべて最新のときも),\n"
    "  1 = その他の終了コード (コピー元に対象のファイルが１件もないときも), 2 = 引数の誤り\n"
    "  (0: end code 0, also when every matching file is up to date; 1: any other end\n"
    "  code, also when the source holds no matching file; 2: bad arguments)\n";

int BadArguments(const std::string& message) {
    std::fprintf(stderr, "tidewell: %s\n%s", message.c_str(), kUsage);
    return 2;
}

// The settings name of a --run argument ("Daily" or "Daily.def"), or empty
// when it cannot name a settings file of the program folder.
std::string SettingNameOf(const std::string& argument) {
    const std::string name = SettingNameOfFile(argument).value_or(argument);
    if (name.empty() || CheckSettingName(name) != ESettingNameProblem::None)
        return {};
    return name;
}

// Boxes are printed on standard error; quiet, only warnings and errors.
void SetConsoleMessageBoxes(bool bQuiet) {
    CHostServices::Get().SetMessageBoxService(
        bQuiet ? std::shared_ptr<IMessageBoxService>(std::make_shared<CQuietMessageBoxService>())
               : std::make_shared<CConsoleMessageBoxService>());
}

int RunSetting(const std::string& name, bool bQuiet) {
    SetConsoleMessageBoxes(bQuiet);
    CConsoleRunHost host(bQuiet);
    CCopyJob job(host);
    // A nightly run over a source that has not changed is no failure.
    job.m_bUpToDateIsSuccess = true;
    host.onInterrupt = [&job] {
        job.RequestCancel();
    };
    job.m_pSetting = std::make_unique<CCopySetting>(name);
    if (ValidateFolders(*job.m_pSetting, 0, host) != 0) {
        std::fprintf(stderr, "tidewell: 実行できません (the run was refused)\n");
        return 1;
    }
    const int endCode = job.Execute();
    if (!bQuiet || endCode != 0)
        std::fprintf(stderr, "終了ｺｰﾄﾞ %d\n", endCode);
    return endCode == 0 ? 0 : 1;
}

// The set's order goes to standard output in place of the confirmation;
// every box, step end and the final text to standard error.
int RunContinuous(int nIndex, bool bQuiet) {
    SetConsoleMessageBoxes(bQuiet);
    CConsoleRunHost host(bQuiet);
    CCopyJob job(host);
    host.onInterrupt = [&job] {
        job.RequestCancel();
    };
    CSettingFileSteps steps(job, ListSettingFiles());
    steps.onConfirm = [](const std::vector<std::string>& aSet) {
        std::printf("この処理順で連続処理を実行します．\n");
        for (size_t i = 0; i < aSet.size(); ++i)
            std::printf("%s\n", RenzokuOrderLine(static_cast<int>(i) + 1, aSet[i]).c_str());
        std::fflush(stdout);
        return true;
    };
    steps.onStepEnded = [bQuiet](const std::string& name, int endCode) {
        if (!bQuiet || endCode != 0)
            std::fprintf(stderr, "%s 終了 終了ｺｰﾄﾞ %d\n", name.c_str(), endCode);
    };
    steps.onStepSkipped = [](const std::string& line) {
        std::fprintf(stderr, "%s\n", line.c_str());
    };
    const CRenzokuOutcome outcome = RunRenzokuSet(job, nIndex, steps);
    // A step that could not run is no success for a scheduled run.
    const bool bAllRan = outcome.nStepsRun > 0 && outcome.nStepsSkipped == 0;
    return outcome.bStarted && outcome.nEndCode == 0 && bAllRan ? 0 : 1;
}

// The set number of a --continuous argument, or -1.
int SetNumberOf(const std::string& argument) {
    return argument.size() == 1 && argument[0] >= '0' && argument[0] < '0' + kRenzokuSetCount
               ? argument[0] - '0'
               : -1;
}

// The setting as the window would show it, on standard output; values the
// file holds in a damaged form are named on standard error.
int ShowSetting(const std::string& name) {
    CCopySetting setting(name);
    setting.LoadOutDirList();
    setting.LoadLha();
    std::fputs(SettingShowText(setting).c_str(), stdout);
    if (const std::string refused = setting.RefusedKeysMessage(); !refused.empty())
        std::fprintf(stderr, "tidewell: %s\n", refused.c_str());
    return 0;
}

} // namespace

bool WantsCommandLine(const std::vector<std::string>& args) {
    // Qt's own window options ("-platform", "-style") start with one dash.
    return args.size() > 1 && (args[1].rfind("--", 0) == 0 || args[1] == "-h");
}

int RunCommandLine(const std::vector<std::string>& arguments) {
    // "--quiet" may stand anywhere.
    std::vector<std::string> args = arguments;
    const bool bQuiet = std::erase(args, std::string("--quiet")) > 0;
    if (args.size() < 2)
        return BadArguments("引数がありません (no arguments)");
    const std::string& option = args[1];
    if (option == "--help" || option == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (option == "--version") {
        std::printf("Tidewell %s\n", TIDEWELL_VERSION);
        return 0;
    }
    if (option == "--continuous") {
        if (args.size() < 3)
            return BadArguments("設定番号がありません (--continuous needs a set number)");
        if (args.size() > 3)
            return BadArguments("余分な引数があります (unexpected argument): " + args[3]);
        const int nIndex = SetNumberOf(args[2]);
        if (nIndex < 0)
            return BadArguments("設定番号は 0 ～ 4 です (a set number is 0 to 4): " + args[2]);
        return RunContinuous(nIndex, bQuiet);
    }
    if (option == "--list") {
        if (args.size() > 2)
            return BadArguments("余分な引数があります (unexpected argument): " + args[2]);
        for (const std::string& name : SettingNamesInListOrder())
            std::printf("%s\n", name.c_str());
        return 0;
    }
    if (option != "--run" && option != "--show")
        return BadArguments("不明なオプションです (unknown option): " + option);
    if (args.size() < 3)
        return BadArguments("設定名がありません (" + option + " needs a settings name)");
    if (args.size() > 3)
        return BadArguments("余分な引数があります (unexpected argument): " + args[3]);
    const std::string name = SettingNameOf(args[2]);
    if (name.empty())
        return BadArguments("設定名が不正です (not a settings name): " + args[2]);
    const std::string path = SettingFilePath(name);
    if (!FileExists(path))
        return BadArguments("設定ファイルがありません (no settings file): " + path);
    return option == "--run" ? RunSetting(name, bQuiet) : ShowSetting(name);
}
