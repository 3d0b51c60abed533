#include "copyjob/CopyJob.h"
#include "copyjob/CopyAhead.h"

#include "copyjob/RunTexts.h"
#include "files/PathUtils.h"
#include "platform/LogFile.h"

CCopyJob::CCopyJob(IRunHost& host)
    : m_pSetting(std::make_unique<CCopySetting>()), m_host(host),
      m_pLog(std::make_unique<CLogFile>()) {
    m_strLogPath = GetProgramFolder() + "Tidewall.log";
}

CCopyJob::~CCopyJob() = default;

void CCopyJob::RequestCancel() {
    if (m_bRunning)
        m_bCancel = 1;
}

int CCopyJob::Execute(const std::function<int()>& body) {
    m_bCancel = 0;
    m_bRunning = 1;
    const int result = body ? body() : RunCopyJob();
    m_bRunning = 0;
    m_bCancel = 0;
    return result;
}

int CCopyJob::RunCopyJob() {
    if (RefusesSetting())
        return END_CANCELLED;
    if (m_pSetting->LhaChk)
        return RunArchive();
    const int r = ScanFiles();
    if (r != 0)
        return r;
    // The collection loads the exclude list, which may hold refused values.
    if (RefusesSetting()) {
        SetStatus(m_bRenzoku ? RunText::kContinuousStatus : RunText::kIdleStatus);
        return END_CANCELLED;
    }
    return RunCopy();
}

bool CCopyJob::RefusesSetting() {
    const std::string refused = m_pSetting->RefusedKeysMessage();
    if (refused.empty())
        return false;
    WarningBox(refused);
    return true;
}

void CCopyJob::SetStatus(const std::string& text) {
    m_strHeldStatus.clear();
    m_host.SetStatusText(text);
}

void CCopyJob::ShowItemStatus(std::string text) {
    m_strHeldStatus = std::move(text);
    FlushItemStatus();
}

void CCopyJob::FlushItemStatus(bool bNow) {
    if (m_strHeldStatus.empty())
        return;
    if (bNow)
        m_statusThrottle.MarkShown();
    else if (!m_statusThrottle.Due())
        return;
    m_host.SetStatusText(m_strHeldStatus);
    m_strHeldStatus.clear();
}
