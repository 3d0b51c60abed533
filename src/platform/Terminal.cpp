#include "platform/Terminal.h"

#include <csignal>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t g_interrupts = 0;

void OnInterrupt(int signal) {
    if (g_interrupts > 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    g_interrupts = g_interrupts + 1;
}
} // namespace

bool IsStandardErrorTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A closed terminal or ssh session: the run stops as after Ctrl+C, at
    // a point where no temporary file is left behind.
    sigaction(SIGHUP, &action, nullptr);
}

int InterruptCount() {
    return static_cast<int>(g_interrupts);
}
