// Tidewell: copies one folder tree onto another by saved copy settings.
#include "app/CommandLine.h"
#include "app/FolderOption.h"
#include "platform/HostServices.h"
#include "platform/ProgramFolderChoice.h"
#include "ui/app/CopyApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The folder of the settings, profile and log, before anything reads them;
// false (with the reason printed) when the folder named cannot be used.
bool SetUpProgramFolder(std::vector<std::string>& args) {
    const CFolderOption option = TakeFolderOption(args);
    const CProgramFolderChoice choice =
        option.error.empty() ? ChooseProgramFolder(option.folder) : CProgramFolderChoice{};
    const std::string error = option.error.empty() ? choice.error : option.error;
    if (!error.empty()) {
        std::fprintf(stderr, "tidewell: %s\n", error.c_str());
        return false;
    }
    CHostServices::Get().SetProgramFolder(choice.hostFolder);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer startTimer;
    startTimer.start();
    std::vector<std::string> args(argv, argv + argc);
    if (!SetUpProgramFolder(args))
        return 2;
    if (WantsCommandLine(args)) {
        QCoreApplication app(argc, argv);
        return RunCommandLine(args);
    }
    QApplication app(argc, argv);
    CCopyApp theApp(startTimer);
    theApp.InitInstance(); // false: the program ends when the main window closes
    return 0;
}
