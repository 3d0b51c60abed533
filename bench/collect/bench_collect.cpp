// Times the collection of an up-to-date tree (100,000 small files in 1,000
// folders, newer-only on: nothing to copy) beside rsync's dry run over the
// same two trees, with the window's event pumping on and off; medians of
// alternating rounds.
// Usage: bench_collect [folders] [files per folder] [rounds]
//        bench_collect --memory [folders] [files per folder]
// The second form reports the peak memory of collecting every file of a
// tree (10,000 folders of 100 files by default) for an empty destination.
#include "../common/BenchSupport.h"

#include "copyjob/CopyJob.h"
#include "platform/HostServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <vector>

namespace {
double TimeCollection(CCopyJob& job, size_t expected) {
    QElapsedTimer timer;
    timer.start();
    const int r = job.ScanFiles();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (r != 0 || job.m_aCopyItems.size() != expected)
        std::fprintf(stderr, "unexpected: result %d, %zu items\n", r, job.m_aCopyItems.size());
    return seconds;
}

// A value of /proc/self/status in MB ("VmHWM:", "VmRSS:").
double StatusMb(const char* key) {
    QFile file("/proc/self/status");
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(static_cast<qsizetype>(std::strlen(key)))
                       .trimmed()
                       .split(' ')[0]
                       .toDouble() /
                   1024;
    return -1;
}

void Prepare(CCopyJob& job) {
    job.m_pSetting->SrcDir = "S:\\";
    job.m_pSetting->DstDir = "D:\\";
    job.m_pSetting->WildList = "*.*";
    job.m_pSetting->NewChk = 1;
}

int MeasureMemory(const std::string& root, int folders, int perFolder) {
    std::printf("building %d files in %d folders under %s ...\n", folders * perFolder, folders,
                root.c_str());
    std::fflush(stdout);
    BuildTree(root + "/src", folders, perFolder, 16);
    QDir().mkpath(QString::fromStdString(root + "/dst"));
    CBenchRunHost host(true);
    CCopyJob job(host);
    Prepare(job);
    // The peak so far is dropped, so the figure is the collection's own.
    QFile reset("/proc/self/clear_refs");
    if (reset.open(QIODevice::WriteOnly))
        reset.write("5");
    reset.close();
    const double before = StatusMb("VmRSS:");
    const double seconds = TimeCollection(job, static_cast<size_t>(folders) * perFolder);
    std::printf("collection of %zu files for an empty destination: %.3f s\n",
                job.m_aCopyItems.size(), seconds);
    std::printf("  memory before %.1f MB, peak %.1f MB, after %.1f MB\n", before,
                StatusMb("VmHWM:"), StatusMb("VmRSS:"));
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool memory = argc > 1 && std::strcmp(argv[1], "--memory") == 0;
    const int first = memory ? 2 : 1;
    const int folders = argc > first ? std::atoi(argv[first]) : memory ? 10000 : 1000;
    const int perFolder = argc > first + 1 ? std::atoi(argv[first + 1]) : 100;
    const int rounds = argc > first + 2 ? std::atoi(argv[first + 2]) : 3;
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    CHostServices& services = CHostServices::Get();
    services.SetProgramFolder(root);
    services.DriveMap().Map('S', root + "/src");
    services.DriveMap().Map('D', root + "/dst");
    services.SetMessageBoxService(std::make_shared<CSilentMessageBoxes>());
    if (memory)
        return MeasureMemory(root, folders, perFolder);

    std::printf("building %d files in %d folders under %s ...\n", folders * perFolder, folders,
                root.c_str());
    BuildTree(root + "/src", folders, perFolder, 64);
    TimeCommand("cp -a '" + root + "/src' '" + root + "/dst'");

    std::vector<double> pumped, quiet, rsync;
    const auto collect = [&](bool pump) {
        CBenchRunHost host(pump);
        CCopyJob job(host);
        Prepare(job);
        (pump ? pumped : quiet).push_back(TimeCollection(job, 0));
    };
    const auto dryRun = [&] {
        rsync.push_back(
            TimeCommand("rsync -a --dry-run '" + root + "/src/' '" + root + "/dst/' > /dev/null"));
    };
    for (int round = 0; round < rounds; ++round) {
        if (round % 2)
            dryRun();
        collect(true);
        collect(false);
        if (round % 2 == 0)
            dryRun();
    }
    std::printf("medians of %d alternating rounds\n", rounds);
    std::printf("collection, events pumped:   %.3f s\n", Median(pumped));
    std::printf("collection, no pumping:      %.3f s\n", Median(quiet));
    std::printf("rsync -a --dry-run:          %.3f s\n", Median(rsync));
    std::printf("ratio collection/rsync:      %.2f (pumped), %.2f (not pumped)\n",
                Median(pumped) / Median(rsync), Median(quiet) / Median(rsync));
    return 0;
}
