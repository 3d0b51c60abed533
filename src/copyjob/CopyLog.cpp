// The run log "Tidewall.log": recreated by every run, so it always holds
// the history of the last run only.
#include "copyjob/CopyJob.h"
#include "copyjob/RunTexts.h"

#include "files/PathUtils.h"
#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "platform/LogFile.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace {
const char kLogBusy[] = "ﾛｸﾞﾌｧｲﾙ Tidewall.log を他の実行が使用中です．終了を待っています.....";
const char kLogUnwritable[] = "ﾛｸﾞﾌｧｲﾙ Tidewall.log に書き込めません．";
} // namespace

int CCopyJob::OpenLog() {
    m_nLogOpenError = m_pLog->Open(m_strLogPath);
    int result = 0;
    if (m_nLogOpenError == ERROR_SHARING_VIOLATION)
        result = WaitForLog();
    if (m_pLog->IsOpen() && m_pLog->ReplacedLink())
        m_aPendingLogLines.insert(m_aPendingLogLines.begin(),
                                  m_strLogPath + RunText::kLogLinkReplaced);
    return result;
}

int CCopyJob::WaitForLog() {
    // Two runs on one program folder: the second one's history would be
    // lost, so it waits until the first one has closed the log.
    SetStatus(kLogBusy);
    m_host.ShowBusy(true, kLogBusy);
    int result = 0;
    while ((m_nLogOpenError = m_pLog->Open(m_strLogPath)) == ERROR_SHARING_VIOLATION) {
        if (PumpAndTakeCancel()) {
            m_nLogOpenError = 0; // nothing was to be written
            result = END_CANCELLED;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_host.ShowBusy(false);
    return result;
}

void CCopyJob::WriteLogLine(const std::string& text) {
    m_pLog->WriteLine(text);
}

void CCopyJob::WriteLogText(const std::string& text) {
    m_pLog->WriteText(text);
}

int CCopyJob::CloseLog() {
    m_pLog->Close();
    const int error = m_nLogOpenError != 0 ? m_nLogOpenError : m_pLog->WriteError();
    m_nLogOpenError = 0;
    if (error != 0) {
        const std::string reason = GetSystemErrorText(error);
        WarningBox(std::string(kLogUnwritable) + "\n" +
                   (reason.empty() ? "ｴﾗｰｺｰﾄﾞ " + std::to_string(error) : reason));
    }
    return error;
}

bool CCopyJob::IsLogOpen() const {
    return m_pLog->IsOpen();
}

void CCopyJob::AddRunLogLine(const std::string& text) {
    if (IsLogOpen())
        WriteLogLine(text);
    else
        m_aPendingLogLines.push_back(text);
}

void CCopyJob::WriteLogHeader(const char* kind) {
    const std::time_t now = CHostServices::Get().Now();
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y/%m/%d %H:%M:%S", &local);
    WriteLogLine(std::string("-- Tidewall.Exe  ") + kind + " [" + stamp + "] --");
    for (const std::string& line : m_aPendingLogLines)
        WriteLogLine(line);
    m_aPendingLogLines.clear();
}
