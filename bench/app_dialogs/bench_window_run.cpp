// What the window costs a run: the same copy of many small files (50,000 of
// 100 bytes in 100 folders by default) run from the main window (offscreen,
// shown, run button, progress window and all) and by the program's own
// command line `tidewell --run` over the same setting, into an emptied
// destination each time, with `cp -r` of the same tree beside them. Prints
// the median wall and CPU seconds of each and the window's ratio to the
// command line. Builds its data in a temporary folder (under $TMPDIR or
// /tmp) and removes it at the end.
//
// Usage: QT_QPA_PLATFORM=offscreen bench_window_run [files] [rounds]
#include "../common/BenchSupport.h"

#include "platform/HostServices.h"
#include "ui/app/CopyMainDlg.h"
#include "ui/copyjob/CopyConfirmDlg.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct CCost {
    double wall = 0;
    double cpu = 0;
};

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

double CpuOf(const rusage& usage) {
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

// A program run to its end: wall time and the CPU time of the child itself.
CCost RunProcess(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (std::string& arg : argv)
        args.push_back(arg.data());
    args.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "%s exited with %d\n", argv[0].c_str(), WEXITSTATUS(status));
    return {static_cast<double>(timer.nsecsElapsed()) / 1e9, CpuOf(usage)};
}

// The window's run: its run button, with the confirmation before copying
// started as a user would. CPU is this process's, threads included.
CCost RunWindow(CCopyMainDlg& dlg) {
    QTimer confirm;
    QObject::connect(&confirm, &QTimer::timeout, [] {
        if (auto* pDlg = qobject_cast<CCopyConfirmDlg*>(QApplication::activeModalWidget()))
            pDlg->EndDialog(CCopyConfirmDlg::IDC_START);
    });
    confirm.start(5);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer timer;
    timer.start();
    dlg.Control<QPushButton>(CCopyMainDlg::IDC_RUN)->click();
    const double wall = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    getrusage(RUSAGE_SELF, &after);
    return {wall, CpuOf(after) - CpuOf(before)};
}

// The profile of the program folder with D: mapped to the destination.
bool WriteProfile(const QString& program, const QString& src, const QString& dst) {
    QFile ini(program + "/Tidewell.Ini");
    return ini.open(QIODevice::WriteOnly) && ini.write(("[Drives]\r\nS=" + src + "\r\nD=" + dst +
                                                        "\r\n[CopyInfo]\r\nUsedDef=Bench\r\n")
                                                           .toUtf8()) > 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::max(100, std::atoi(argv[1])) : 50000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QTemporaryDir dir;
    const QString src = dir.filePath("src"), program = dir.filePath("program");
    QDir().mkpath(program);
    const int folders = std::max(1, files / 500);
    BuildTree(src.toStdString(), folders, files / folders, 100);

    // One program folder for both: the setting, the drive map, the log.
    QFile def(program + "/Bench.def");
    if (!WriteProfile(program, src, dir.filePath("dst")) || !def.open(QIODevice::WriteOnly) ||
        def.write("[Spec]\r\nSrcDir=S:\\\r\nDstDir=D:\\\r\nWildList=*.*\r\nNewChk=0\r\n"
                  "DustChk=0\r\n") < 0)
        return 1;
    def.close();
    CHostServices& services = CHostServices::Get();
    services.SetProgramFolder(program.toStdString() + "/");
    services.SetMessageBoxService(std::make_shared<CSilentMessageBoxes>());
    services.DriveMap().Map('S', src.toStdString());

    CCopyMainDlg dlg;
    dlg.show();
    QApplication::processEvents();
    const std::string tidewell = TIDEWELL_BIN_DIR "/tidewell";
    // Every run writes into a new, empty folder: deleting 50,000 files
    // just before a run would slow the file system's next creations and
    // weigh on whichever run comes next.
    int fresh = 0;
    const auto freshDestination = [&] {
        const QString dst = dir.filePath(QString("dst%1").arg(++fresh));
        QDir().mkpath(dst);
        WriteProfile(program, src, dst);
        services.DriveMap().Map('D', dst.toStdString());
        return dst;
    };
    std::vector<double> windowWall, windowCpu, lineWall, lineCpu, cpWall;
    for (int round = 0; round < rounds; ++round) {
        // Each goes first in turn.
        for (int which : round % 2 ? std::vector<int>{1, 0, 2} : std::vector<int>{0, 1, 2}) {
            const QString dst = freshDestination();
            const auto copiedAll = [&] {
                return QFile::exists(dst +
                                     QString("/d%1/f0000.dat").arg(folders - 1, 4, 10, QChar('0')));
            };
            if (which == 0) {
                const CCost window = RunWindow(dlg);
                windowWall.push_back(window.wall);
                windowCpu.push_back(window.cpu);
                if (!copiedAll())
                    std::fprintf(stderr, "the window's run did not copy everything\n");
            } else if (which == 1) {
                const CCost line = RunProcess(
                    {tidewell, "--folder", program.toStdString(), "--quiet", "--run", "Bench"});
                lineWall.push_back(line.wall);
                lineCpu.push_back(line.cpu);
                if (!copiedAll())
                    std::fprintf(stderr, "tidewell --run did not copy everything\n");
            } else {
                cpWall.push_back(
                    RunProcess({"/bin/cp", "-r", (src + "/.").toStdString(), dst.toStdString()})
                        .wall);
            }
        }
    }
    for (int round = 0; round < rounds; ++round)
        std::printf("round %d: window %.2f s (CPU %.2f), --run %.2f s (CPU %.2f), cp -r %.2f s\n",
                    round + 1, windowWall[round], windowCpu[round], lineWall[round], lineCpu[round],
                    cpWall[round]);
    const int copied = static_cast<int>(dlg.Job().m_aCopyItems.size());
    std::printf("%d files of 100 bytes in %d folders, %d rounds, platform %s; medians:\n", copied,
                folders, rounds, qPrintable(QGuiApplication::platformName()));
    std::printf("%-34s %9s %9s\n", "", "wall s", "CPU s");
    std::printf("%-34s %9.2f %9.2f\n", "window (offscreen, run button)", Median(windowWall),
                Median(windowCpu));
    std::printf("%-34s %9.2f %9.2f\n", "tidewell --run (same setting)", Median(lineWall),
                Median(lineCpu));
    std::printf("%-34s %9.2f %9s\n", "cp -r (same tree)", Median(cpWall), "-");
    std::printf("window / --run: wall %.2f, CPU %.2f (target: wall at most 1.1)\n",
                Median(windowWall) / Median(lineWall), Median(windowCpu) / Median(lineCpu));
    return 0;
}
