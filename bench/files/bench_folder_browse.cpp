// How long the folder browse dialog takes from its construction to a
// painted tree expanded on a folder of many subfolders (every tenth with a
// subfolder of its own, for the expand buttons), and how many inotify
// watches it then holds, as counted by the kernel. Beside it, in the same
// run, find(1) reading the same two levels of folders. Builds its own tree
// in a temporary folder behind drive letter B. Run with
// QT_QPA_PLATFORM=offscreen.

#include "../common/BenchSupport.h"

#include "platform/FolderScan.h"
#include "platform/FolderWatch.h"
#include "platform/HostServices.h"
#include "ui/files/FolderSelectDlg.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <vector>

namespace {

// Watches of every inotify descriptor of the process ("inotify wd:" lines).
int KernelWatches() {
    int watches = 0;
    const QDir fds(QStringLiteral("/proc/self/fdinfo"));
    for (const QString& fd : fds.entryList(QDir::Files)) {
        QFile info(fds.filePath(fd));
        if (info.open(QIODevice::ReadOnly))
            watches += static_cast<int>(info.readAll().count("inotify wd:"));
    }
    return watches;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Ms(const timespec& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
double Ms(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

// Wall time, and processor time of this process and of its finished
// children: on a busy machine the processor time tells what an idle one
// would show.
struct CClock {
    double wall, cpu, children;
    static CClock Now() {
        timespec wall{}, cpu{};
        clock_gettime(CLOCK_MONOTONIC, &wall);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        rusage kids{};
        getrusage(RUSAGE_CHILDREN, &kids);
        return {Ms(wall), Ms(cpu), Ms(kids.ru_utime) + Ms(kids.ru_stime)};
    }
};

struct CFigure {
    explicit CFigure(const char* text) : name(text) {}
    const char* name;
    std::vector<double> wall, cpu;
    void Add(const CClock& from, bool child = false) {
        const CClock to = CClock::Now();
        wall.push_back(to.wall - from.wall);
        cpu.push_back(child ? to.children - from.children : to.cpu - from.cpu);
    }
    void Print() const { std::printf("%-46s %9.1f %9.1f\n", name, Median(wall), Median(cpu)); }
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int folders = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    const QString many = dir.filePath(QStringLiteral("many"));
    for (int i = 0; i < folders; ++i) {
        const QString folder = many + QString("/Folder %1").arg(i, 5, 10, QChar('0'));
        if (!QDir().mkpath(i % 10 == 0 ? folder + "/inner" : folder))
            return 1;
    }
    CHostServices::Get().SetProgramFolder(dir.path().toStdString() + "/");
    CHostServices::Get().DriveMap().Map('B', dir.path().toStdString());

    std::printf("%d subfolders, median of 3 runs  %18s %9s\n", folders, "wall ms", "cpu ms");
    CFigure filled{"browse dialog: tree filled"}, painted{"browse dialog: shown and painted"};
    CFigure scan{"  its reading of the two levels alone"}, watch{"  its watch per subfolder alone"};
    CFigure peer{"find -maxdepth 2 -type d (same two levels)"};
    int watches = 0;
    int kernelWatches = 0;
    for (int run = 0; run < 3; ++run) {
        CClock start = CClock::Now();
        {
            CFolderSelectDlg dlg("", "B:\\many", 1, nullptr);
            filled.Add(start);
            dlg.show();
            QApplication::processEvents();
            dlg.grab(); // paints the visible rows, as the screen would
            painted.Add(start);
            const QTreeWidgetItem* pMany = dlg.Tree()->currentItem();
            if (!pMany || pMany->childCount() != folders || !pMany->isExpanded())
                return 1;
            watches = static_cast<int>(dlg.Watcher().WatchCount());
            kernelWatches = KernelWatches();
        }
        start = CClock::Now();
        std::vector<std::string> names;
        ListFolderNames("B:\\many", names);
        for (const std::string& name : names)
            HasSubfolder("B:\\many\\" + name);
        scan.Add(start);
        start = CClock::Now();
        {
            CFolderWatch watcher(20000);
            for (const std::string& name : names)
                watcher.Watch("B:\\many\\" + name);
            watch.Add(start);
        }
        start = CClock::Now();
        if (TimeCommand("find '" + many.toStdString() +
                        "' -mindepth 1 -maxdepth 2 -type d >/dev/null") < 0)
            return 1;
        peer.Add(start, true);
    }
    for (const CFigure* figure : {&filled, &painted, &scan, &watch, &peer})
        figure->Print();
    std::printf("watches held: %d by the dialog, %d by the kernel's count; %d after closing\n",
                watches, kernelWatches, KernelWatches());
    return 0;
}
