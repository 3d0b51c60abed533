// Times the extension candidates walk and the exclude folders walk over a
// tree of 100,000 files in 5,000 folders (built here, 3 levels deep, 40
// extensions in mixed letter case) or over a host folder given as argument,
// beside `find SRC -type f | sed 's/.*\.//' | sort -u` and `find SRC -type d`
// on the same tree in the same run. Best of 3, warm caches.
// Usage: bench_source_walks [HOST_FOLDER]
#include "../common/BenchSupport.h"

#include "copyjob/CopyJob.h"
#include "platform/HostServices.h"
#include "selection/ExtensionCandidates.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// 50 top folders of 10 of 10: 5,000 folders below the top, 20 files each.
void BuildWalkTree(const QString& root) {
    int n = 0;
    for (int a = 0; a < 50; ++a)
        for (int b = 0; b < 10; ++b)
            for (int c = 0; c < 10; ++c) {
                const QString folder = QString("%1/p%2/q%3/r%4").arg(root).arg(a).arg(b).arg(c);
                QDir().mkpath(folder);
                for (int f = 0; f < 20; ++f, ++n) {
                    const QString ext = QString("e%1").arg(n % 40);
                    QFile(QString("%1/f%2.%3").arg(folder).arg(f).arg(n % 7 ? ext : ext.toUpper()))
                        .open(QIODevice::WriteOnly);
                }
            }
}

double Best(const std::function<double()>& run) {
    double best = 1e9;
    for (int round = 0; round < 3; ++round)
        best = std::min(best, run());
    return best;
}

double Seconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    QString root = argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).absolutePath() : QString();
    if (root.isEmpty()) {
        root = temp.path() + "/src";
        std::printf("building 100,000 files in 5,000 folders under %s ...\n", qPrintable(root));
        BuildWalkTree(root);
    }
    CHostServices& services = CHostServices::Get();
    services.SetProgramFolder(temp.path().toStdString());
    services.DriveMap().Map('S', root.toStdString());
    services.SetMessageBoxService(std::make_shared<CSilentMessageBoxes>());
    const std::string quoted = "'" + root.toStdString() + "'";
    TimeCommand("find " + quoted + " > /dev/null"); // the same warm caches for every contender

    size_t extensions = 0, folders = 0;
    auto walk = [&](bool pump, bool bFolders) {
        return Best([&] {
            CBenchRunHost host(pump);
            CCopyJob job(host);
            job.m_pSetting->SrcDir = "S:\\";
            job.m_pSetting->WildList.clear();
            std::vector<std::string> list;
            QElapsedTimer timer;
            timer.start();
            const int r = bFolders ? job.CollectSourceFolders(list) : CollectExtensions(job, list);
            const double seconds = Seconds(timer);
            (bFolders ? folders : extensions) = list.size();
            return r == 0 ? seconds : -1.0;
        });
    };
    const double extPumped = walk(true, false), extQuiet = walk(false, false);
    const double pipeline = Best([&] {
        return TimeCommand("find " + quoted + " -type f | sed 's/.*\\.//' | sort -u > /dev/null");
    });
    const double dirPumped = walk(true, true);
    const double findDirs =
        Best([&] { return TimeCommand("find " + quoted + " -type d > /dev/null"); });
    std::printf("tree: %s\n", qPrintable(root));
    std::printf("extension walk, events pumped: %.3f s  (%zu patterns)\n", extPumped, extensions);
    std::printf("extension walk, no pumping:    %.3f s\n", extQuiet);
    std::printf("find -type f | sed | sort -u:  %.3f s\n", pipeline);
    std::printf("ratio walk/pipeline:           %.2f (pumped)\n", extPumped / pipeline);
    std::printf("folder walk, events pumped:    %.3f s  (%zu folders)\n", dirPumped, folders);
    std::printf("find -type d:                  %.3f s\n", findDirs);
    return 0;
}
