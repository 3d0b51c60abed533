// What the copy run does to the destination besides copying: emptying it
// first, recreating the source's folder structure, and moving replaced files
// to the trash.
#include "copyjob/CopyJob.h"

#include "files/NumberFormat.h"
#include "files/PathUtils.h"
#include "platform/MessageBoxService.h"
#include "platform/Trash.h"

namespace {
const char kClearingStatus[] = "ｺﾋﾟｰ先の下位ﾌｫﾙﾀﾞとﾌｧｲﾙを消去しています.....";
const char kClearingBusy[] = "既存ﾌｧｲﾙ消去中...";
const char kClearIncomplete[] = "下位ﾌｫﾙﾀﾞのｸﾘｱが不完全です．このまま続行しますか？";
const char kStructureStatus[] = "ﾌｫﾙﾀﾞ構造をｺﾋﾟｰ中です.....";
const char kFolderCreated[] = " -->フォルダ作成 終了ｺｰﾄﾞ ";
const char kFolderNotCreated[] = "下位ﾌｫﾙﾀﾞが作成出来ません．";
} // namespace

int CCopyJob::ClearDestination() {
    const std::string& dst = m_pSetting->DstDir;
    if (!FolderExists(dst))
        return 0;
    m_host.SetStatusText(kClearingStatus);
    m_host.SetWaitCursor(true);
    m_host.ShowBusy(true, kClearingBusy);
    const int r = DeleteFolderTree(dst, [this] { m_host.PumpEvents(); });
    m_host.ShowBusy(false);
    m_host.SetWaitCursor(false);
    if (r == 0)
        return 0;
    const int answer = m_host.MessageBox(kClearIncomplete, MB_YESNO | MB_ICONQUESTION);
    return answer == IDYES ? 0 : END_CANCELLED;
}

int CCopyJob::CreateFolderStructure() {
    if (m_aDstFolders.empty())
        return 0;
    m_host.SetWaitCursor(true);
    m_host.SetStatusText(kStructureStatus);
    for (const std::string& folder : m_aDstFolders) {
        const int r = CreateFolderTree(folder);
        if (r != 0) {
            WarningBox(kFolderNotCreated);
            m_host.SetWaitCursor(false);
            return r;
        }
        const std::string line = folder + kFolderCreated + IntToText(r);
        // A single run opens its log only after the confirmation; its
        // structure lines wait and follow the header then.
        if (IsLogOpen())
            WriteLogLine(line);
        else
            m_aPendingLogLines.push_back(line);
    }
    m_host.SetWaitCursor(false);
    return 0;
}

int CCopyJob::SendToRecycleBin(const std::string& path) {
    return SendToTrash(path);
}
