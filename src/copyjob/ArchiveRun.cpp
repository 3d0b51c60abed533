// The archive run: packs the source into one LZH archive through the
// archiver library instead of copying.
#include "copyjob/ArchiveName.h"
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
const char kFixInLhaSetting[] = "[LHAの設定]で書庫ﾌｧｲﾙ名か自動生成ﾌｫｰﾏｯﾄを直してください．";
constexpr uint32_t kReportBytes = 0xFFFF;
} // namespace

int CCopyJob::RunArchive() {
    CCopySetting& setting = *m_pSetting;
    setting.LoadLha();
    if (RefusesSetting())
        return END_CANCELLED;
    const std::time_t now = CHostServices::Get().Now();
    // A name the archiver cannot take (the stored default "*.LZH" is a
    // pattern, not a file) stops the run before anything is touched; the
    // user would otherwise see only the archiver's error code.
    const std::string refusal =
        ArchiveNameRefusal(setting.AutoFileChk, setting.LhaName, setting.FileHeder, now);
    if (!refusal.empty()) {
        WarningBox(refusal + "\n" + kFixInLhaSetting);
        return END_COPY_FAILED;
    }
    if (!FolderExists(setting.DstDir) && CreateFolderTree(setting.DstDir) != 0) {
        WarningBox(kNoDestination);
        return END_COPY_FAILED;
    }
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
        // The archiver reports nothing until it returns, which takes minutes
        // for a large tree: the progress window keeps the windows painted
        // while it works.
        const auto callArchiver = [&report, library = m_strLhaLibrary,
                                   command = "@" + responsePath] {
            CUnLha32 archiver(library);
            return archiver.CallUnlha(nullptr, command, report.data(), kReportBytes);
        };
        try {
            result = progress->RunBlockingCall(callArchiver);
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
    SetStatus(m_bRenzoku ? RunText::kContinuousStatus : RunText::kIdleStatus);
    return result;
}
