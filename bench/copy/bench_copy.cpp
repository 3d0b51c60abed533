// Times Tidewell's copy run beside cp -a and rsync -a on the same data:
// one 1 GiB file; the same file on a loop-mounted btrfs, where a copy can
// be a clone (needs mkfs.btrfs, a loop device and the right to mount:
// skipped with the reason otherwise); 20,000 files of 4 KiB in 200
// folders; and an update run over that tree with newer-only on after 1% of
// the files changed. Every round copies into fresh folders (deleting tens
// of thousands of files slows the next creations on ext4 for minutes) and
// the order of the tools turns from round to round; the table shows
// medians and the time ratios to the peers of the same run.
// Usage: bench_copy [folder for the data] (default: a temporary folder;
// bench/common/on_fresh_ext4.sh runs it on a newly made file system)
// TIDEWELL_BENCH_ROUNDS=n (default 3) rounds per case;
// TIDEWELL_BENCH_SMALL_ONLY=1 skips the large files;
// TIDEWELL_BENCH_THREADS=n copy threads (1: none beside the loop; default:
// as the run chooses);
// TIDEWELL_BENCH_ONLY=name runs only the tool of that name (for strace -c
// or perf on one tool).
#include "../common/BenchSupport.h"

#include "copyjob/CopyJob.h"
#include "platform/HostServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

namespace {

// A tool's run into a fresh destination named by the round; seconds.
struct CTool {
    const char* name;
    std::function<double(const std::string& to)> run;
};

struct CRow {
    std::string title;
    std::vector<std::string> names;
    std::vector<double> medians;
};

std::vector<CRow> g_rows;
int g_nRounds = 3;

// Runs a copy setting from S:\<from> to D:\<to> (both under root) and
// returns the seconds.
double TimeTidewell(const std::string& root, const std::string& from, const std::string& to,
                    bool newerOnly) {
    CHostServices& services = CHostServices::Get();
    services.DriveMap().Map('S', root);
    services.DriveMap().Map('D', root);
    CBenchRunHost host(true);
    CCopyJob job(host);
    job.m_pSetting->SrcDir = "S:\\" + from;
    job.m_pSetting->DstDir = "D:\\" + to;
    job.m_pSetting->WildList = "*.*";
    job.m_pSetting->NewChk = newerOnly ? 1 : 0;
    job.m_pSetting->DustChk = 0;
    job.m_nCopyThreads = qEnvironmentVariableIntValue("TIDEWELL_BENCH_THREADS");
    QElapsedTimer timer;
    timer.start();
    int endCode;
    if (qEnvironmentVariableIsSet("TIDEWELL_BENCH_PHASES")) {
        endCode = job.ScanFiles();
        std::fprintf(stderr, "collection %.3f s, ",
                     static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (endCode == 0)
            endCode = job.RunCopy();
        std::fprintf(stderr, "run %.3f s\n", static_cast<double>(timer.nsecsElapsed()) / 1e9);
    } else {
        endCode = job.RunCopyJob();
    }
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (endCode != 0)
        std::fprintf(stderr, "tidewell run ended with %d\n", endCode);
    return seconds;
}

std::string Q(const std::string& root, const std::string& relative) {
    return "'" + root + "/" + relative + "'";
}

void Sync() {
    QProcess::execute("sync", {});
}

void WriteBigFile(const std::string& path, qint64 bytes) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return;
    std::mt19937_64 random(42);
    std::vector<uint64_t> block(1 << 17); // 1 MiB
    for (qint64 written = 0; written < bytes; written += 1 << 20) {
        for (uint64_t& word : block)
            word = random();
        file.write(reinterpret_cast<const char*>(block.data()), 1 << 20);
    }
}

// Rounds of every tool, the order turning each round; the destination of
// round i is "<letter><i>". prepare runs before each round.
void Measure(const std::string& title, std::vector<CTool> tools,
             const std::function<void(int)>& prepare = {}) {
    const QByteArray only = qgetenv("TIDEWELL_BENCH_ONLY");
    if (!only.isEmpty())
        std::erase_if(tools, [&](const CTool& tool) { return only != tool.name; });
    std::vector<std::vector<double>> times(tools.size());
    for (int round = 0; round < g_nRounds; ++round) {
        if (prepare)
            prepare(round);
        for (size_t k = 0; k < tools.size(); ++k) {
            const size_t t = (k + static_cast<size_t>(round)) % tools.size();
            Sync();
            times[t].push_back(tools[t].run(std::to_string(round)));
        }
    }
    CRow row{title, {}, {}};
    for (size_t t = 0; t < tools.size(); ++t) {
        row.names.push_back(tools[t].name);
        row.medians.push_back(Median(times[t]));
    }
    g_rows.push_back(row);
    std::printf("%s: done\n", title.c_str());
    std::fflush(stdout);
}

void PrintTable() {
    std::printf("\nmedians of %d rounds, order of the tools turning each round\n", g_nRounds);
    for (const CRow& row : g_rows) {
        std::printf("%s\n ", row.title.c_str());
        for (size_t t = 0; t < row.names.size(); ++t)
            std::printf("  %s %.3f s", row.names[t].c_str(), row.medians[t]);
        for (size_t t = 1; t < row.names.size(); ++t)
            std::printf("   tidewell/%s %.2f", row.names[t].c_str(),
                        row.medians[t] > 0 ? row.medians[0] / row.medians[t] : 0.0);
        std::printf("\n");
    }
}

void TouchOnePercent(const std::string& tree, int folders, int perFolder, int round) {
    const QByteArray changed(4096, 'z');
    // Clearly newer than the copies of the round before, whatever the grain.
    const QDateTime later = QDateTime::currentDateTime().addSecs(60 * (round + 1));
    for (int d = 0; d < folders; ++d)
        for (int f = 0; f < perFolder; f += 100) {
            QFile file(QString::fromStdString(tree) +
                       QString("/d%1/f%2.dat").arg(d, 4, 10, QChar('0')).arg(f, 4, 10, QChar('0')));
            if (file.open(QIODevice::WriteOnly))
                file.write(changed);
            file.close();
            file.open(QIODevice::ReadWrite);
            file.setFileTime(later, QFileDevice::FileModificationTime);
        }
}

std::vector<CTool> CopyTools(const std::string& root, const std::string& from, bool withCp) {
    std::vector<CTool> tools{{"tidewell", [root, from](const std::string& n) {
                                  return TimeTidewell(root, from, "t" + n, false);
                              }}};
    if (withCp)
        tools.push_back({"cp -a", [root, from](const std::string& n) {
                             return TimeCommand("cp -a " + Q(root, from) + " " + Q(root, "c" + n));
                         }});
    tools.push_back({"rsync -a", [root, from](const std::string& n) {
                         return TimeCommand("rsync -a " + Q(root, from + "/") + " " +
                                            Q(root, "r" + n));
                     }});
    return tools;
}

// The 1 GiB file on a btrfs made for the bench in a loop-mounted image.
void MeasureClones(const std::string& root) {
    if (geteuid() != 0) {
        std::printf("clone case skipped: mounting a loop device needs root\n");
        return;
    }
    const std::string image = root + "/btrfs.img";
    const std::string mount = root + "/btrfs";
    QDir().mkpath(QString::fromStdString(mount));
    if (TimeCommand("truncate -s 4G '" + image + "' && mkfs.btrfs -q '" + image +
                    "' >/dev/null 2>&1") < 0) {
        std::printf("clone case skipped: mkfs.btrfs (btrfs-progs) is not installed or failed\n");
        return;
    }
    if (TimeCommand("mount -o loop '" + image + "' '" + mount + "' 2>/dev/null") < 0) {
        std::printf("clone case skipped: no loop device could be mounted here\n");
        return;
    }
    QDir().mkpath(QString::fromStdString(mount + "/big"));
    WriteBigFile(mount + "/big/one.bin", qint64{1} << 30);
    // rsync makes no clones: its full copies would only fill the image.
    std::vector<CTool> tools = CopyTools(mount, "big", true);
    tools.pop_back();
    Measure("one 1 GiB file on btrfs (clones)", tools);
    TimeCommand("umount '" + mount + "'");
    QFile::remove(QString::fromStdString(image));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temp(argc > 1 ? QString(argv[1]) + "/bench_copy-XXXXXX" : QString());
    const std::string root = temp.path().toStdString();
    CHostServices::Get().SetProgramFolder(root);
    CHostServices::Get().SetMessageBoxService(std::make_shared<CSilentMessageBoxes>());
    if (const int rounds = qEnvironmentVariableIntValue("TIDEWELL_BENCH_ROUNDS"); rounds > 0)
        g_nRounds = rounds;
    std::printf("data under %s\n", root.c_str());

    if (qEnvironmentVariableIntValue("TIDEWELL_BENCH_SMALL_ONLY") == 0) {
        QDir().mkpath(QString::fromStdString(root + "/big"));
        WriteBigFile(root + "/big/one.bin", qint64{1} << 30);
        Measure("one 1 GiB file", CopyTools(root, "big", true));
        // The copies go before the small files are made; their deletion
        // costs little (few inodes).
        for (int i = 0; i < g_nRounds; ++i)
            for (const char* tool : {"t", "c", "r"})
                QDir(QString::fromStdString(root + "/" + tool + std::to_string(i)))
                    .removeRecursively();
        QDir(QString::fromStdString(root + "/big")).removeRecursively();
        MeasureClones(root);
    }

    const int folders = 200, perFolder = 100;
    BuildTree(root + "/small", folders, perFolder, 4096);
    Measure("20,000 files of 4 KiB in 200 folders", CopyTools(root, "small", true));

    // The first round's copies are full; each round changes 1% of the
    // source again, and each tool brings its own copy up to date.
    Measure("update run after 1% of the files changed (newer-only on)",
            {{"tidewell",
              [&](const std::string&) {
                  return TimeTidewell(root, "small", "t0", true);
              }},
             {"rsync -a",
              [&](const std::string&) {
                  return TimeCommand("rsync -a " + Q(root, "small/") + " " + Q(root, "r0"));
              }}},
            [&](int round) { TouchOnePercent(root + "/small", folders, perFolder, round); });
    PrintTable();
    return 0;
}
