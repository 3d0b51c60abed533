// Times the profile service on files it builds itself in a temporary
// folder, and prints one line per case (best of several runs).
#include "platform/HostServices.h"
#include "platform/IniFile.h"
#include "platform/Profile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

double BestMilliseconds(int runs, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

bool WriteBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

std::string BigProfile() {
    std::string big = "[Big]\r\n";
    for (int i = 0; big.size() < 10u * 1024u * 1024u; ++i)
        big += "Key" + std::to_string(i) + "=" + std::string(60, 'v') + "\r\n";
    return big + "[Spec]\r\nSrcDir=E:\\Last\r\n";
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !CHostServices::Get().DriveMap().Map('T', dir.path().toStdString()))
        return 1;
    if (!WriteBytes(dir.filePath("big.ini"), BigProfile()) ||
        !WriteBytes(dir.filePath("garbage.ini"),
                    "[Spec]\r\nSrcDir=" + std::string(10u * 1024u * 1024u, '\xFF') + "\r\n"))
        return 1;
    QFile::copy(QStringLiteral(TIDEWELL_BENCH_DATA "/Daily.def"), dir.filePath("Daily.def"));

    std::printf("10 MB file, one GetProfileString:       %8.1f ms\n",
                BestMilliseconds(5, [] { GetProfileString("Spec", "SrcDir", "", "T:\\big.ini"); }));
    std::printf("10 MB file, one WriteProfileString:     %8.1f ms\n", BestMilliseconds(5, [] {
                    WriteProfileString("Spec", "NewChk", "1", "T:\\big.ini");
                }));
    std::printf("10 MB undecodable line, read and cut:   %8.1f ms\n", BestMilliseconds(5, [] {
                    GetProfileString("Spec", "SrcDir", "", "T:\\garbage.ini");
                }));
    const char* keys[] = {"SrcDir", "DstDir",  "WildList", "UsedChk", "SubDirChk",  "AllClrChk",
                          "NewChk", "DustChk", "AnsChk",   "LhaChk",  "CopyDirChk", "OutDirChk"};
    std::printf("Daily.def, 12 reads of [Spec]:          %8.3f ms\n", BestMilliseconds(20, [&] {
                    for (const char* key : keys)
                        GetProfileString("Spec", key, "", "T:\\Daily.def");
                }));
    std::printf("Daily.def, one WriteProfileString:      %8.3f ms\n", BestMilliseconds(20, [] {
                    WriteProfileString("Spec", "NewChk", "1", "T:\\Daily.def");
                }));
    return 0;
}
