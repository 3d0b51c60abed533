// The two exported entry points of libunlha32.so.
#include "unlha32.h"

#include "command/ArchiveUpdate.h"
#include "command/CommandLine.h"
#include "command/DriveTable.h"
#include "command/Report.h"
#include "lzh/ResultCodes.h"

#include <atomic>
#include <new>

namespace {

constexpr uint16_t kVersion = 100; // 1.00

std::atomic<bool> g_bBusy{false};

// One call at a time, as callers of this interface expect.
class CBusyGuard {
public:
    CBusyGuard() : m_bOwner(!g_bBusy.exchange(true)) {}
    ~CBusyGuard() {
        if (m_bOwner)
            g_bBusy.store(false);
    }
    bool Owner() const { return m_bOwner; }

private:
    bool m_bOwner;
};

int Run(const char* cmdLine, unlha::CReport& report) {
    unlha::CDriveTable drives;
    drives.LoadFromProfile(unlha::LibraryFolder() + "Tidewell.Ini");
    unlha::CCommand command;
    if (int rc = unlha::ParseCommandLine(cmdLine, drives, command, report))
        return rc;
    return unlha::RunArchiveCommand(command, drives, report);
}

} // namespace

extern "C" __attribute__((visibility("default"))) int Unlha(void* hwnd, const char* cmdLine,
                                                            char* output, uint32_t outputSize) {
    (void)hwnd; // no dialogs are shown
    if (output != nullptr && outputSize > 0)
        output[0] = '\0';
    CBusyGuard guard;
    if (!guard.Owner())
        return unlha::RESULT_BUSY;
    if (cmdLine == nullptr)
        return unlha::RESULT_BAD_COMMAND;
    unlha::CReport report;
    int rc = unlha::RESULT_OK;
    try {
        rc = Run(cmdLine, report);
    } catch (const std::bad_alloc&) {
        rc = unlha::RESULT_NO_MEMORY;
    } catch (...) {
        rc = unlha::RESULT_ARCHIVE_OPEN;
    }
    try {
        report.CopyTo(output, outputSize);
    } catch (...) {
    }
    return rc;
}

extern "C" __attribute__((visibility("default"))) uint16_t UnlhaGetVersion(void) {
    return kVersion;
}
