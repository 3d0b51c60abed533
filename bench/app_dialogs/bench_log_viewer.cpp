// How long the log viewer takes from the button to a painted list, for logs
// of a copy run over many files. Builds its own logs in a temporary program
// folder (drive C is "/"). Run with QT_QPA_PLATFORM=offscreen.

#include "files/PathUtils.h"
#include "platform/Cp932.h"
#include "platform/HostServices.h"
#include "ui/app/LogViewerDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

namespace {

// A log as a copy run writes it: a header and one line per copied file.
std::string MakeLog(int rows) {
    std::string log = *Utf8ToCp932("-- Tidewall.Exe  ｺﾋﾟｰ履歴 [2024/01/02 03:04:05] --") + "\r\n";
    const std::string row = *Utf8ToCp932("S:\\資料\\報告書\\2024年度\\第");
    for (int i = 0; i < rows; ++i)
        log += row + std::to_string(i) + *Utf8ToCp932("回 会議録.doc  -> 完了") + "\r\n";
    return log;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    CHostServices::Get().SetProgramFolder(dir.path().toStdString() + "/");
    const std::string logPath = GetProgramFolder() + "Tidewall.log";
    std::printf("%10s %12s %12s\n", "rows", "read+fill ms", "shown ms");
    for (int rows : {1000, 10000, 100000}) {
        QFile file(dir.filePath(QStringLiteral("Tidewall.log")));
        const std::string bytes = MakeLog(rows);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()))
            return 1;
        file.close();
        QElapsedTimer timer;
        timer.start();
        CDeleteLog dlg(logPath, nullptr);
        if (!dlg.OnInitDialog())
            return 1;
        const qint64 filled = timer.elapsed();
        dlg.show();
        QApplication::processEvents();
        dlg.grab(); // paints the visible rows, as the screen would
        const qint64 shown = timer.elapsed();
        if (dlg.Control<QListWidget>(CDeleteLog::IDC_LOG_LIST)->count() != rows)
            return 1;
        std::printf("%10d %12lld %12lld\n", rows, static_cast<long long>(filled),
                    static_cast<long long>(shown));
    }
    return 0;
}
