// Times a continuous run of five settings, each over its own tree of 20,000
// small files that is already up to date (newer-only on: nothing to copy),
// log included, beside five sequential rsync -a runs over the same trees.
// Usage: bench_continuous [folder for the data] (default: a temporary folder)
#include "../common/BenchSupport.h"

#include "app/SettingFiles.h"
#include "continuous/ContinuousRun.h"
#include "continuous/RenzokuSet.h"
#include "copyjob/CopyJob.h"
#include "platform/HostServices.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>

namespace {

constexpr int kSettings = 5;
constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 200; // 20,000 files a tree

// Runs continuous set 0 and returns the seconds; the end code in endCode.
double TimeContinuous(int& endCode) {
    CBenchRunHost host(true);
    CCopyJob job(host);
    CSettingFileSteps steps(job, ListSettingFiles());
    QElapsedTimer timer;
    timer.start();
    endCode = RunRenzokuSet(job, 0, steps).nEndCode;
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temp(argc > 1 ? QString(argv[1]) + "/bench_continuous-XXXXXX" : QString());
    const std::string root = temp.path().toStdString();
    CHostServices& services = CHostServices::Get();
    services.SetProgramFolder(root + "/");
    services.SetMessageBoxService(std::make_shared<CSilentMessageBoxes>());
    services.DriveMap().Map('S', root);
    services.DriveMap().Map('D', root);
    std::printf("data under %s: %d trees of %d files\n", root.c_str(), kSettings,
                kFolders * kFilesPerFolder);

    std::vector<std::string> aNames;
    std::string rsyncRuns = "true";
    for (int i = 0; i < kSettings; ++i) {
        const std::string n = std::to_string(i);
        BuildTree(root + "/src" + n, kFolders, kFilesPerFolder, 200);
        CCopySetting setting;
        setting.SrcDir = "S:\\src" + n;
        setting.DstDir = "D:\\dst" + n;
        setting.WildList = "*.*";
        setting.NewChk = 1;
        setting.DustChk = 0;
        setting.SaveSpec("step" + n);
        aNames.push_back("step" + n);
        rsyncRuns += " && rsync -a '" + root + "/src" + n + "/' '" + root + "/rsync" + n + "/'";
    }
    SaveRenzokuSet(0, aNames);

    // The first runs copy everything; the timed ones find nothing to do.
    int endCode = 0;
    const double firstContinuous = TimeContinuous(endCode);
    const double firstRsync = TimeCommand(rsyncRuns);
    std::printf("first runs (copying everything): continuous %.3f s, 5 x rsync -a %.3f s\n",
                firstContinuous, firstRsync);
    double continuous = 1e9, rsync = 1e9;
    for (int round = 0; round < 3; ++round) {
        continuous = std::min(continuous, TimeContinuous(endCode));
        if (endCode != 0)
            std::fprintf(stderr, "the continuous run ended with %d\n", endCode);
        rsync = std::min(rsync, TimeCommand(rsyncRuns));
    }
    std::printf("up to date, best of 3:\n  continuous run of 5 settings (log included) %.3f s\n"
                "  5 x rsync -a %.3f s (continuous run speed %.2fx rsync)\n",
                continuous, rsync, rsync / continuous);
    return endCode == 0 && rsync > 0 ? 0 : 1;
}
