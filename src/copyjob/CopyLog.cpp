// The run log "Tidewall.log": recreated by every run, so it always holds
// the history of the last run only.
#include "copyjob/CopyJob.h"
#include "copyjob/RunTexts.h"

#include "platform/HostServices.h"
#include "platform/LogFile.h"

#include <ctime>

void CCopyJob::OpenLog() {
    // The outcome is not examined: a log that cannot be opened (a read-only
    // program folder, another writer) stays closed and its lines are skipped.
    m_pLog->Open(m_strLogPath);
    if (m_pLog->IsOpen() && m_pLog->ReplacedLink())
        m_aPendingLogLines.insert(m_aPendingLogLines.begin(),
                                  m_strLogPath + RunText::kLogLinkReplaced);
}

void CCopyJob::WriteLogLine(const std::string& text) {
    m_pLog->WriteLine(text);
}

void CCopyJob::WriteLogText(const std::string& text) {
    m_pLog->WriteText(text);
}

void CCopyJob::CloseLog() {
    m_pLog->Close();
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
