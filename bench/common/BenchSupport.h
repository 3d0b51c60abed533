#pragma once
// Shared pieces of the benches: a run host that answers everything at once
// (optionally pumping Qt events like the window does), data builders and a
// stopwatch for outside commands.

#include "copyjob/RunHost.h"
#include "platform/EventPump.h"
#include "platform/MessageBoxService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <cstdio>
#include <string>
#include <vector>

class CBenchRunHost : public IRunHost {
public:
    explicit CBenchRunHost(bool pump) : m_bPump(pump) {}
    void SetStatusText(const std::string&) override {}
    void ShowBusy(bool, const std::string& = {}) override {}
    void SetCloseCaption(const std::string&) override {}
    void EnableClose(bool) override {}
    void SetWaitCursor(bool) override {}
    void Redraw() override {}
    // Pumps the way the main window does.
    void PumpEvents() override {
        if (m_bPump)
            m_pump.Pump();
    }
    int MessageBox(const std::string&, unsigned) override { return IDOK; }
    int AskOverwrite(const COverwriteTexts&) override { return 1; }
    int AskCopyConfirm(const CCopyConfirmTexts&) override { return 1; }
    std::unique_ptr<IProgressDisplay> CreateProgress(const std::string&) override;

private:
    bool m_bPump;
    CEventPump m_pump;
};

class CSilentMessageBoxes : public IMessageBoxService {
public:
    int Show(const std::string&, const std::string&, unsigned) override { return IDOK; }
    void Beep(unsigned) override {}
};

// Seconds a shell command takes; -1 when it fails.
inline double TimeCommand(const std::string& command) {
    QElapsedTimer timer;
    timer.start();
    const int rc = QProcess::execute("/bin/sh", {"-c", QString::fromStdString(command)});
    return rc == 0 ? static_cast<double>(timer.nsecsElapsed()) / 1e9 : -1.0;
}

// The middle value (the mean of the two middle ones for an even count).
double Median(std::vector<double> values);

// Writes count files of size bytes into folders folders under root.
void BuildTree(const std::string& root, int folders, int filesPerFolder, size_t size);
