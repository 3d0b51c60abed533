// A 1 GiB sparse file holding 8 KiB of data, copied by Tidewell's file copy
// and by cp -p: time and allocated size of each copy.
// Usage: bench_sparse [folder for the data] (default: a temporary folder)
#include "../common/BenchSupport.h"

#include "platform/FileCopy.h"
#include "platform/HostServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

long long AllocatedBytes(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_blocks) * 512 : -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temp(argc > 1 ? QString(argv[1]) + "/bench_sparse-XXXXXX" : QString());
    const std::string root = temp.path().toStdString();
    CHostServices::Get().DriveMap().Map('S', root);
    std::printf("data under %s\n", root.c_str());

    const qint64 size = qint64{1} << 30;
    {
        QFile file(QString::fromStdString(root + "/sparse.bin"));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
            return 1;
        // Two 4 KiB blocks of data, at the start and in the middle.
        for (qint64 at : {qint64{0}, size / 2}) {
            file.seek(at);
            file.write(QByteArray(4096, 'd'));
        }
    }
    QProcess::execute("sync", {});
    double best = 1e9;
    double bestCp = 1e9;
    for (int round = 0; round < 3; ++round) {
        QFile::remove(QString::fromStdString(root + "/t.bin"));
        QFile::remove(QString::fromStdString(root + "/c.bin"));
        QElapsedTimer timer;
        timer.start();
        const int r = CopyFileReplacing("S:\\sparse.bin", "S:\\t.bin");
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (r != 0)
            std::fprintf(stderr, "tidewell copy failed with %d\n", r);
        bestCp =
            std::min(bestCp, TimeCommand("cp -p '" + root + "/sparse.bin' '" + root + "/c.bin'"));
    }
    std::printf("1 GiB sparse file, 8 KiB of data (best of 3); source allocates %lld bytes\n",
                AllocatedBytes(root + "/sparse.bin"));
    std::printf("  tidewell %.4f s, %lld bytes allocated\n", best, AllocatedBytes(root + "/t.bin"));
    std::printf("  cp -p    %.4f s, %lld bytes allocated\n", bestCp,
                AllocatedBytes(root + "/c.bin"));
    return 0;
}
