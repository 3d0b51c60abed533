// Times the collection of an up-to-date tree (100,000 small files in 1,000
// folders, newer-only on: nothing to copy) beside rsync's dry run over the
// same two trees, with the window's event pumping on and off.
#include "../common/BenchSupport.h"

#include "copyjob/CopyJob.h"
#include "platform/HostServices.h"

#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace {
double TimeCollection(CCopyJob& job) {
    QElapsedTimer timer;
    timer.start();
    const int r = job.ScanFiles();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (r != 0 || !job.m_aCopyItems.empty())
        std::fprintf(stderr, "unexpected: result %d, %zu items\n", r, job.m_aCopyItems.size());
    return seconds;
}

double Best(std::vector<double> v) {
    return *std::min_element(v.begin(), v.end());
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int folders = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int perFolder = argc > 2 ? std::atoi(argv[2]) : 100;
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    std::printf("building %d files in %d folders under %s ...\n", folders * perFolder, folders,
                root.c_str());
    BuildTree(root + "/src", folders, perFolder, 64);
    TimeCommand("cp -a '" + root + "/src' '" + root + "/dst'");

    CHostServices& services = CHostServices::Get();
    services.SetProgramFolder(root);
    services.DriveMap().Map('S', root + "/src");
    services.DriveMap().Map('D', root + "/dst");
    services.SetMessageBoxService(std::make_shared<CSilentMessageBoxes>());

    std::vector<double> pumped, quiet, rsync;
    for (int round = 0; round < 3; ++round) {
        for (const bool pump : {true, false}) {
            CBenchRunHost host(pump);
            CCopyJob job(host);
            job.m_pSetting->SrcDir = "S:\\";
            job.m_pSetting->DstDir = "D:\\";
            job.m_pSetting->WildList = "*.*";
            job.m_pSetting->NewChk = 1;
            (pump ? pumped : quiet).push_back(TimeCollection(job));
        }
        rsync.push_back(
            TimeCommand("rsync -a --dry-run '" + root + "/src/' '" + root + "/dst/' > /dev/null"));
    }
    std::printf("collection, events pumped:   %.3f s (best of 3)\n", Best(pumped));
    std::printf("collection, no pumping:      %.3f s\n", Best(quiet));
    std::printf("rsync -a --dry-run:          %.3f s\n", Best(rsync));
    std::printf("ratio collection/rsync:      %.2f (pumped), %.2f (not pumped)\n",
                Best(pumped) / Best(rsync), Best(quiet) / Best(rsync));
    return 0;
}
