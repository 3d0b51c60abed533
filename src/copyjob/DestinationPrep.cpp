// What the copy run does to the destination besides copying: emptying it
// first, recreating the source's folder structure, and moving replaced files
// to the trash.
#include "copyjob/CopyJob.h"

#include "copyjob/RunTexts.h"
#include "files/NumberFormat.h"
#include "files/PathUtils.h"
#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "platform/MessageBoxService.h"
#include "platform/Trash.h"

namespace {
const char kClearingStatus[] = "ｺﾋﾟｰ先の下位ﾌｫﾙﾀﾞとﾌｧｲﾙを消去しています.....";
const char kClearingBusy[] = "既存ﾌｧｲﾙ消去中...";
const char kClearIncomplete[] = "下位ﾌｫﾙﾀﾞのｸﾘｱが不完全です．このまま続行しますか？";
const char kStructureStatus[] = "ﾌｫﾙﾀﾞ構造をｺﾋﾟｰ中です.....";
const char kFolderCreated[] = " -->フォルダ作成 終了ｺｰﾄﾞ ";
const char kFolderNotCreated[] = "下位ﾌｫﾙﾀﾞが作成出来ません．";

// The folders a clearing must keep wherever they lie: the program's folder
// (settings, profile) and the folder of the log.
std::vector<CFolderId> FoldersToKeep(const std::string& logPath) {
    std::vector<CFolderId> keep;
    std::vector<CFolderId> chain;
    const size_t cut = logPath.find_last_of("\\/");
    for (const std::string& folder :
         {CHostServices::Get().ProgramFolderHost(),
          cut == std::string::npos ? std::string() : logPath.substr(0, cut + 1)}) {
        if (!folder.empty() && GetFolderChain(folder, chain) == 0)
            keep.push_back(chain.front());
    }
    return keep;
}

const char* KeptText(EKeptReason why) {
    switch (why) {
    case EKeptReason::OtherMount:
        return RunText::kLogLeftOtherMount;
    case EKeptReason::Kept:
        return RunText::kLogLeftProgramFolder;
    case EKeptReason::Trash:
        break;
    }
    return RunText::kLogLeftTrash;
}
} // namespace

int CCopyJob::ClearDestination() {
    const std::string& dst = m_pSetting->DstDir;
    if (!FolderExists(dst))
        return 0;
    SetStatus(kClearingStatus);
    m_host.SetWaitCursor(true);
    m_host.ShowBusy(true, kClearingBusy);
    CClearWalk walk;
    // The close button stays usable while clearing: its cancel stops here.
    walk.keepGoing = [this] {
        return !PumpAndTakeCancel();
    };
    walk.keep = FoldersToKeep(m_strLogPath);
    walk.onKept = [this](const std::string& path, EKeptReason why) {
        AddRunLogLine(path + KeptText(why));
    };
    const int r = ClearFolderTree(dst, walk);
    m_host.ShowBusy(false);
    m_host.SetWaitCursor(false);
    if (r == 0)
        return 0;
    if (r == ERROR_OPERATION_ABORTED)
        return END_CANCELLED;
    const int answer = m_host.MessageBox(kClearIncomplete, MB_YESNO | MB_ICONQUESTION);
    return answer == IDYES ? 0 : END_CANCELLED;
}

int CCopyJob::CreateFolderStructure() {
    if (m_aDstFolders.empty())
        return 0;
    m_host.SetWaitCursor(true);
    SetStatus(kStructureStatus);
    for (const std::string& folder : m_aDstFolders) {
        if (!LinkBelowDestination(folder).empty()) {
            ++m_nNotCopied; // nothing is made inside a folder elsewhere
            continue;
        }
        const int r = CreateFolderTree(folder);
        if (r != 0) {
            WarningBox(kFolderNotCreated);
            m_host.SetWaitCursor(false);
            return r;
        }
        // A single run opens its log only after the confirmation; its
        // structure lines wait and follow the header then.
        AddRunLogLine(folder + kFolderCreated + IntToText(r));
    }
    m_host.SetWaitCursor(false);
    return 0;
}

int CCopyJob::SendToRecycleBin(const std::string& path) {
    const int r = SendToTrash(path);
    if (r != 0)
        AddRunLogLine(path + RunText::kLogTrashFailed + IntToText(r));
    return r;
}

std::string CCopyJob::LinkBelowDestination(const std::string& folder) {
    std::string top = m_pSetting->DstDir;
    RemoveBackslash(top);
    std::string path = folder;
    RemoveBackslash(path);
    std::string link;
    const size_t from = top.back() == '\\' ? top.size() : top.size() + 1;
    if (path.size() > from && path.compare(0, from - 1, top, 0, from - 1) == 0 &&
        path[from - 1] == '\\') {
        for (size_t at = path.find('\\', from);; at = path.find('\\', at + 1)) {
            const std::string part = path.substr(0, at);
            CFileEntry entry;
            if (GetEntry(part, entry) != 0)
                break; // made by this run from here down
            if (entry.isSymlink) {
                link = part;
                break;
            }
            if (at == std::string::npos)
                break;
        }
    }
    if (!link.empty() && link != m_strLastReportedLink) {
        AddRunLogLine(link + RunText::kLogLinkInDestination);
        m_strLastReportedLink = link;
    }
    return link;
}
