// Times the window build from process start to its first paint: the program
// and the archiver library are copied into a temporary program folder with
// 200 settings files and a profile naming one of them, then started with
// TIDEWELL_EXIT_AFTER_PAINT set, which makes the window close right after
// its first paint and print the milliseconds since main() began. The wall
// time of the whole process (start to exit) is measured here as well.
//
// Usage: bench_startup [runs]   (default 15; the offscreen platform unless
// QT_QPA_PLATFORM or DISPLAY says otherwise)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSettingsFiles = 200;

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool BuildProgramFolder(const QString& folder) {
    const QString bin = QStringLiteral(TIDEWELL_BIN_DIR);
    for (const char* name : {"tidewell", "libunlha32.so"}) {
        const QString target = folder + "/" + name;
        if (!QFile::copy(bin + "/" + name, target))
            return false;
        QFile::setPermissions(target, QFile::permissions(bin + "/" + name));
    }
    for (int i = 0; i < kSettingsFiles; ++i) {
        const QByteArray spec = "[Spec]\r\nSrcDir=C:\\tmp\\source" + QByteArray::number(i) +
                                "\r\nDstDir=C:\\tmp\\dest\r\nWildList=*.doc/*.txt\r\n"
                                "NewChk=1\r\nDustChk=0\r\nOutDirChk=0\r\n";
        const QString name = QStringLiteral("Setting %1.def").arg(i, 3, 10, QLatin1Char('0'));
        if (!WriteBytes(folder + "/" + name, spec))
            return false;
    }
    return WriteBytes(folder + "/Tidewell.Ini",
                      "[CopyInfo]\r\nUsedDef=Setting 150\r\nRenzoku=0\r\nRenzokuIndex=0\r\n");
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QTemporaryDir dir;
    if (!dir.isValid() || !BuildProgramFolder(dir.path())) {
        std::fprintf(stderr, "cannot build the program folder\n");
        return 1;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TIDEWELL_EXIT_AFTER_PAINT", "1");
    if (!env.contains("QT_QPA_PLATFORM") && !env.contains("DISPLAY"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    const QRegularExpression figure(QStringLiteral("first paint after ([0-9.]+) ms"));
    std::vector<double> inside, wall;
    for (int i = 0; i < runs + 1; ++i) { // the first run only warms the caches
        QProcess process;
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(dir.path() + "/tidewell", {});
        if (!process.waitForFinished(30000) || process.exitCode() != 0) {
            std::fprintf(stderr, "run %d failed: %s\n", i,
                         process.readAllStandardError().constData());
            return 1;
        }
        const double elapsed = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        const auto match = figure.match(QString::fromUtf8(process.readAllStandardOutput()));
        if (!match.hasMatch()) {
            std::fprintf(stderr, "run %d printed no figure\n", i);
            return 1;
        }
        if (i == 0)
            continue;
        inside.push_back(match.captured(1).toDouble());
        wall.push_back(elapsed);
    }
    std::printf("start-up to first paint, %d settings files, platform %s, %d runs\n",
                kSettingsFiles,
                qPrintable(env.value("QT_QPA_PLATFORM", QStringLiteral("(display)"))), runs);
    std::printf("  main() to first paint : median %7.1f ms  best %7.1f ms  worst %7.1f ms\n",
                Median(inside), *std::min_element(inside.begin(), inside.end()),
                *std::max_element(inside.begin(), inside.end()));
    std::printf("  process start to exit : median %7.1f ms  best %7.1f ms  worst %7.1f ms\n",
                Median(wall), *std::min_element(wall.begin(), wall.end()),
                *std::max_element(wall.begin(), wall.end()));
    std::printf("  target: under 300 ms\n");
    return 0;
}
