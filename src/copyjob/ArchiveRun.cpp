// The archive run: packs the source into one LZH archive through the
// archiver library instead of copying.
#include "copyjob/CopyJob.h"
#include "copyjob/ResponseFile.h"
#include "copyjob/RunTexts.h"
#include "lha/UnLha32.h"

#include "files/PathUtils.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/HostServices.h"
#include "platform/MessageBoxService.h"
#include "platform/TempFile.h"

#include <algorithm>

namespace {
const char kNoDestination[] = "保存先ﾌｫﾙﾀﾞが作成できません．";
const char kCompressingCaption[] = "圧縮中です．．．";
const char kArchiveHistory[] = "圧縮履歴";
const char kArchiveFinished[] = "圧縮処理を終了しました．";
const char kResponseUnwritable[] = "圧縮の指示ファイルが作成できません．";
const char kNoShiftJisForm[] =
    "フォルダ名または圧縮の設定に、書庫の指示ファイルに書けない文字が含まれています．";
constexpr uint32_t kReportBytes = 0xFFFF;
} // namespace

int CCopyJob::RunArchive() {
    CCopySetting& setting = *m_pSetting;
    setting.LoadLha();
    if (!FolderExists(setting.DstDir) && CreateFolderTree(setting.DstDir) != 0) {
        WarningBox(kNoDestination);
        return END_COPY_FAILED;
    }
    const std::time_t now = CHostServices::Get().Now();
    if (!setting.AutoFileChk) {
        const std::string archive = ArchivePath(setting, now);
        if (FileExists(archive) && setting.LhaAllClrChk) {
            if (const int r = DeleteFile(archive); r != 0) {
                WarningBox(GetSystemErrorText(r));
                return END_COPY_FAILED;
            }
        }
    }
    std::vector<std::string> patterns;
    SplitWildList(patterns);
    // A text without a CP932 form cannot go into the response file; the run
    // stops before anything is touched rather than pack the wrong folder.
    const std::optional<std::string> response =
        Utf8ToCp932(ResponseFileText(setting, patterns, now));
    if (!response) {
        WarningBox(kNoShiftJisForm);
        return END_COPY_FAILED;
    }
    const std::string responsePath = MakeTempFileName();
    if (responsePath.empty() || WriteHostFile(responsePath, *response) != 0) {
        RemoveHostFile(responsePath);
        WarningBox(kResponseUnwritable);
        return END_COPY_FAILED;
    }

    m_host.EnableClose(false);
    int result = 0;
    {
        std::unique_ptr<IProgressDisplay> progress = m_host.CreateProgress(kCompressingCaption);
        if (!m_bRenzoku) {
            OpenLog();
            WriteLogHeader(kArchiveHistory);
        }
        std::string report(kReportBytes, '\0');
        try {
            CUnLha32 archiver(m_strLhaLibrary);
            result = archiver.CallUnlha(nullptr, "@" + responsePath, report.data(), kReportBytes);
        } catch (const CUnLha32Exception& e) {
            WarningBox(e.m_strMessage);
            result = e.m_nCode;
        }
        report.resize(std::min(report.find('\0'), report.size()));
        WriteLogText(Cp932ToUtf8(report));
        if (!m_bRenzoku)
            CloseLog();
    }
    RemoveHostFile(responsePath);
    if (result == 0 && !m_bRenzoku)
        m_host.MessageBox(kArchiveFinished, MB_ICONASTERISK);
    m_host.EnableClose(true);
    m_host.SetStatusText(m_bRenzoku ? RunText::kContinuousStatus : RunText::kIdleStatus);
    return result;
}
