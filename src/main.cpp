// Tidewell: copies one folder tree onto another by saved copy settings.
#include "app/CommandLine.h"
#include "platform/HostServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>

#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv, argv + argc);
    CHostServices::Get().SetProgramFolder(HostExecutableFolder());
    if (WantsCommandLine(args)) {
        QCoreApplication app(argc, argv);
        return RunCommandLine(args);
    }
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("Tidewell"));
    placeholder.setWindowTitle(QStringLiteral("Tidewell"));
    placeholder.show();
    return app.exec();
}
