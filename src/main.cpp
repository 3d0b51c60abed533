// Tidewell: copies one folder tree onto another by saved copy settings.
#include "app/CommandLine.h"
#include "ui/app/CopyApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    QElapsedTimer startTimer;
    startTimer.start();
    const std::vector<std::string> args(argv, argv + argc);
    if (WantsCommandLine(args)) {
        QCoreApplication app(argc, argv);
        return RunCommandLine(args);
    }
    QApplication app(argc, argv);
    CCopyApp theApp(startTimer);
    theApp.InitInstance(); // false: the program ends when the main window closes
    return 0;
}
