// Times Tidewell's copy run beside cp -a and rsync -a on the same data:
// one 1 GiB file; 20,000 files of 4 KiB in 200 folders; and an update run
// over that tree with newer-only on after 1% of the files changed.
// Usage: bench_copy [folder for the data] (default: a temporary folder)
#include "../common/BenchSupport.h"

#include "copyjob/CopyJob.h"
#include "platform/HostServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <random>
#include <vector>

namespace {

struct CResult {
    double tidewell = 0, cp = 0, rsync = 0;
};

std::string g_root;

// Runs a copy setting from S:\<from> to D:\<to> and returns the seconds.
double TimeTidewell(const std::string& from, const std::string& to, bool newerOnly) {
    CHostServices& services = CHostServices::Get();
    services.DriveMap().Map('S', g_root);
    services.DriveMap().Map('D', g_root);
    CBenchRunHost host(true);
    CCopyJob job(host);
    job.m_pSetting->SrcDir = "S:\\" + from;
    job.m_pSetting->DstDir = "D:\\" + to;
    job.m_pSetting->WildList = "*.*";
    job.m_pSetting->NewChk = newerOnly ? 1 : 0;
    job.m_pSetting->DustChk = 0;
    QElapsedTimer timer;
    timer.start();
    const int endCode = job.RunCopyJob();
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (endCode != 0)
        std::fprintf(stderr, "tidewell run ended with %d\n", endCode);
    return seconds;
}

void Remove(const std::string& relative) {
    QDir(QString::fromStdString(g_root + "/" + relative)).removeRecursively();
}

std::string Q(const std::string& relative) {
    return "'" + g_root + "/" + relative + "'";
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

CResult BestOf(int rounds, const std::function<CResult()>& round) {
    CResult best{1e9, 1e9, 1e9};
    for (int i = 0; i < rounds; ++i) {
        const CResult r = round();
        best.tidewell = std::min(best.tidewell, r.tidewell);
        best.cp = std::min(best.cp, r.cp);
        best.rsync = std::min(best.rsync, r.rsync);
    }
    return best;
}

void Print(const char* title, const CResult& r, bool withCp) {
    std::printf("%s\n  tidewell %.3f s", title, r.tidewell);
    if (withCp)
        std::printf("   cp -a %.3f s (tidewell speed %.2fx cp)", r.cp, r.cp / r.tidewell);
    std::printf("   rsync -a %.3f s (tidewell speed %.2fx rsync)\n", r.rsync, r.rsync / r.tidewell);
}

void TouchOnePercent(const std::string& tree, int folders, int perFolder) {
    const QByteArray changed(4096, 'z');
    for (int d = 0; d < folders; ++d)
        for (int f = 0; f < perFolder; f += 100) {
            QFile file(QString::fromStdString(g_root + "/" + tree) +
                       QString("/d%1/f%2.dat").arg(d, 4, 10, QChar('0')).arg(f, 4, 10, QChar('0')));
            if (file.open(QIODevice::WriteOnly))
                file.write(changed);
            file.close();
            // A clearly newer time than the copies, whatever the clock's grain.
            const QDateTime later = QDateTime::currentDateTime().addSecs(60);
            file.open(QIODevice::ReadWrite);
            file.setFileTime(later, QFileDevice::FileModificationTime);
        }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temp(argc > 1 ? QString(argv[1]) + "/bench_copy-XXXXXX" : QString());
    g_root = temp.path().toStdString();
    CHostServices::Get().SetProgramFolder(g_root);
    CHostServices::Get().SetMessageBoxService(std::make_shared<CSilentMessageBoxes>());
    std::printf("data under %s\n", g_root.c_str());

    // TIDEWELL_BENCH_SMALL_ONLY=1 skips the large file while tuning.
    const bool bigToo = qEnvironmentVariableIntValue("TIDEWELL_BENCH_SMALL_ONLY") == 0;
    QDir().mkpath(QString::fromStdString(g_root + "/big"));
    if (bigToo)
        WriteBigFile(g_root + "/big/one.bin", qint64{1} << 30);
    Sync();
    const CResult big = BestOf(bigToo ? 3 : 0, [] {
        CResult r;
        Remove("t");
        Remove("c");
        Remove("r");
        Sync();
        r.tidewell = TimeTidewell("big", "t", false);
        Sync();
        r.cp = TimeCommand("cp -a " + Q("big") + " " + Q("c"));
        Sync();
        r.rsync = TimeCommand("rsync -a " + Q("big/") + " " + Q("r"));
        return r;
    });
    Remove("big");
    Remove("t");
    Remove("c");
    Remove("r");

    const int folders = 200, perFolder = 100;
    BuildTree(g_root + "/small", folders, perFolder, 4096);
    Sync();
    const CResult small = BestOf(3, [] {
        CResult r;
        Remove("t");
        Remove("c");
        Remove("r");
        Sync();
        r.tidewell = TimeTidewell("small", "t", false);
        Sync();
        r.cp = TimeCommand("cp -a " + Q("small") + " " + Q("c"));
        Sync();
        r.rsync = TimeCommand("rsync -a " + Q("small/") + " " + Q("r"));
        return r;
    });

    // Both destinations hold a full copy now; change 1% of the source.
    TouchOnePercent("small", folders, perFolder);
    Sync();
    CResult update;
    update.tidewell = TimeTidewell("small", "t", true);
    update.rsync = TimeCommand("rsync -a " + Q("small/") + " " + Q("r"));

    Print("one 1 GiB file (best of 3):", big, true);
    Print("20,000 files of 4 KiB in 200 folders (best of 3):", small, true);
    Print("update run after 1% of the files changed (newer-only on):", update, false);
    return 0;
}
