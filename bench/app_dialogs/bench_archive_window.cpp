// How long the window stops answering while an archive run packs a large
// tree (500 MB by default) with the real archiver library: the longest gap
// between the ticks of a 10 ms timer and the paints the progress bar gets,
// for the archiver called on a worker thread (the program) and called on
// the window's thread (its peer, the way a plain call would block), with
// "lha a" over the same tree for the time. Builds its own data in a
// temporary folder.
//
// Usage: QT_QPA_PLATFORM=offscreen bench_archive_window [megabytes] [shot.png]
// Under xvfb-run (platform xcb) a shot path saves a grab of the screen taken
// in the middle of the threaded run.

#include "../common/BenchSupport.h"

#include "copyjob/CopyJob.h"
#include "platform/HostServices.h"
#include "ui/copyjob/ProgressDlg.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// The archiver called on the window's thread: the window waits for it.
class CBlockingProgress : public CProgressDlg {
public:
    using CProgressDlg::CProgressDlg;
    int RunBlockingCall(const std::function<int()>& call) override { return call(); }
};

// Shows the real progress window over a window of its own.
class CWindowHost : public CBenchRunHost {
public:
    CWindowHost() : CBenchRunHost(false) { m_owner.show(); }
    bool m_bOnThisThread = false;
    CProgressDlg* m_pShown = nullptr;
    std::unique_ptr<IProgressDisplay> CreateProgress(const std::string& caption) override {
        std::unique_ptr<CProgressDlg> pDlg = m_bOnThisThread
                                                 ? std::make_unique<CBlockingProgress>(caption)
                                                 : std::make_unique<CProgressDlg>(caption);
        pDlg->CreateModeless(&m_owner);
        m_pShown = pDlg.get();
        return pDlg;
    }

private:
    QWidget m_owner;
};

// Counts the paint events of the objects it watches.
struct CPaintCounter : QObject {
    int nPaints = 0;
    bool eventFilter(QObject*, QEvent* pEvent) override {
        nPaints += pEvent->type() == QEvent::Paint;
        return false;
    }
};

// Text-like files (words from a small vocabulary, as documents compress) of
// 8 MiB each under a few folders, total bytes in all.
void BuildText(const QString& root, int64_t total) {
    static const char* const words[] = {"archive ",  "folder ", "copy ",   "setting ", "backup ",
                                        "monthly ",  "report ", "2024 ",   "data ",    "file\r\n",
                                        "Tidewell ", "LZH ",    "source ", "target ",  "log "};
    const int64_t fileSize = int64_t(8) << 20;
    uint32_t seed = 12345;
    for (int64_t made = 0, n = 0; made < total; ++n) {
        QByteArray data;
        data.reserve(static_cast<qsizetype>(fileSize + 16));
        while (data.size() < std::min(fileSize, total - made)) {
            seed = seed * 1103515245u + 12345u;
            data += words[(seed >> 16) % 15];
            if ((seed & 0xFF) == 7)
                data += QByteArray::number(seed % 100000);
        }
        const QString folder = root + QString("/d%1").arg(n / 16);
        QDir().mkpath(folder);
        QFile file(folder + QString("/f%1.txt").arg(n));
        if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
            std::exit(1);
        made += data.size();
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int64_t megabytes = argc > 1 ? std::atoll(argv[1]) : 500;
    const QString shot = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QTemporaryDir dir;
    const QString src = dir.filePath("src"), dst = dir.filePath("dst");
    QDir().mkpath(dst);
    BuildText(src, megabytes << 20);

    // The program folder holds the setting, the log, the library and the
    // library's profile with the drives.
    CHostServices& services = CHostServices::Get();
    services.SetProgramFolder(dir.path().toStdString() + "/");
    services.SetMessageBoxService(std::make_shared<CSilentMessageBoxes>());
    services.DriveMap().Map('S', src.toStdString());
    services.DriveMap().Map('D', dst.toStdString());
    const QString library = dir.filePath("libunlha32.so");
    QFile ini(dir.filePath("Tidewell.Ini"));
    if (!QFile::copy(TIDEWELL_BIN_DIR "/libunlha32.so", library) ||
        !ini.open(QIODevice::WriteOnly) ||
        ini.write(("[Drives]\r\nS=" + src + "\r\nD=" + dst + "\r\n").toUtf8()) < 0)
        return 1;
    ini.close();

    CWindowHost host;
    CCopyJob job(host);
    job.m_strLhaLibrary = library.toStdString();
    CCopySetting& s = *job.m_pSetting;
    s.SrcDir = "S:\\";
    s.DstDir = "D:\\";
    s.WildList = "*.*";
    s.LhaChk = 1;
    s.SaveSpec("Bench");
    s.LhaName = "BENCH.LZH";
    s.LhaNewChk = 0;
    s.LhaAllClrChk = 1; // each run starts from no archive
    s.SaveLha();

    std::printf("%lld MiB of text in %s\n", static_cast<long long>(megabytes),
                qPrintable(QDir::toNativeSeparators(src)));
    std::printf("%-22s %8s %12s %8s %8s %12s\n", "archiver called", "seconds", "max gap ms",
                "ticks", "paints", "archive MiB");
    for (bool bOnThisThread : {false, true}) {
        host.m_bOnThisThread = bOnThisThread;
        host.m_pShown = nullptr;
        CPaintCounter counter;
        QElapsedTimer run, sinceTick;
        qint64 maxGap = 0;
        int ticks = 0;
        bool bShot = false;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            maxGap = std::max(maxGap, sinceTick.restart());
            ++ticks;
            if (!host.m_pShown)
                return;
            host.m_pShown->Control<QWidget>(CProgressDlg::IDC_PROGRESS)
                ->installEventFilter(&counter);
            if (!shot.isEmpty() && !bShot && !bOnThisThread && run.elapsed() > 3000)
                bShot = QGuiApplication::primaryScreen()->grabWindow(0).save(shot);
        });
        run.start();
        sinceTick.start();
        timer.start(10);
        const int code = job.Execute({});
        timer.stop();
        const double seconds = static_cast<double>(run.nsecsElapsed()) / 1e9;
        maxGap = std::max(maxGap, sinceTick.elapsed());
        const double size = static_cast<double>(QFileInfo(dst + "/BENCH.LZH").size()) / 1048576;
        if (code != 0)
            std::printf("end code %d\n", code);
        std::printf("%-22s %8.2f %12lld %8d %8d %12.1f\n",
                    bOnThisThread ? "on the window's thread" : "on a worker thread", seconds,
                    static_cast<long long>(maxGap), ticks, counter.nPaints, size);
    }
    const QString lzh = dir.filePath("peer.lzh");
    const double lha =
        TimeCommand("cd '" + src.toStdString() + "' && lha aq '" + lzh.toStdString() + "' .");
    std::printf("%-22s %8.2f %12s %8s %8s %12.1f\n", "lha a (LHa for UNIX)", lha, "-", "-", "-",
                static_cast<double>(QFileInfo(lzh).size()) / 1048576);
    if (!shot.isEmpty())
        std::printf("screen grab mid-run: %s\n", qPrintable(shot));
    return 0;
}
