// Load time of settings files with 2,000 and 16,000 exclude folders: the
// "Spec" section and the exclude list as a run loads them, beside Python's
// configparser reading the same file in the same run.
// Usage: bench_exclude_load
#include "../common/BenchSupport.h"

#include "copyjob/CopySetting.h"
#include "platform/HostServices.h"

#include <QFile>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    const std::string root = temp.path().toStdString();
    CHostServices::Get().SetProgramFolder(root);
    for (const int count : {2000, 16000}) {
        const std::string name = "Ex" + std::to_string(count);
        QByteArray text = "[Spec]\r\nSrcDir=E:\\Work\r\nDstDir=D:\\Backup\r\nOutDirChk=1\r\n"
                          "[OutDirList]\r\nCount=" +
                          QByteArray::number(count) + "\r\n";
        for (int i = 0; i < count; ++i)
            text += "OutDir" + QByteArray::number(i) + "=E:\\Work\\cache\\" +
                    QByteArray::number(i) + "\r\n";
        const std::string path = root + "/" + name + ".def";
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return 1;
        file.close();
        double best = 1e9;
        int loaded = 0;
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer timer;
            timer.start();
            CCopySetting setting(name);
            loaded = setting.LoadOutDirList();
            best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e9);
        }
        const double python = TimeCommand(
            "python3 -c 'import configparser,sys; c=configparser.RawConfigParser(strict=False); "
            "c.read(sys.argv[1], encoding=\"cp932\"); "
            "[c[\"OutDirList\"][\"OutDir%d\" % i] for i in "
            "range(int(c[\"OutDirList\"][\"Count\"]))]' '" +
            path + "'");
        std::printf("%5d exclude folders (%d loaded, best of 3): tidewell %.4f s   "
                    "python3 configparser %.4f s (with interpreter start)\n",
                    count, loaded, best, python);
    }
    return 0;
}
