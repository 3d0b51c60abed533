// The copy run: works through the collected files under the progress
// window, asking before overwrites, and ends with an end code and a final
// message.
#include "copyjob/CopyAhead.h"
#include "copyjob/CopyJob.h"
#include "copyjob/OverwriteTexts.h"
#include "copyjob/RunTexts.h"

#include "files/NumberFormat.h"
#include "files/PathUtils.h"
#include "platform/ErrorCodes.h"
#include "platform/FileCopy.h"
#include "platform/FileSystem.h"
#include "platform/MessageBoxService.h"

namespace {
const char kNothingToCopy[] = "ｺﾋﾟｰ対象となるﾌｧｲﾙが１件もありません．";
const char kCopyingCaption[] = "ｺﾋﾟｰ中です．．．．．";
const char kCopyingStatus[] = "%s を %s にｺﾋﾟｰ中です.....";
const char kCopyFinished[] = "ｺﾋﾟｰ処理を終了しました．";
const char kCopyFailed[] = "ｺﾋﾟｰ処理は異常終了しました．終了ｺｰﾄﾞ[%d]";
const char kCopyHistory[] = "ｺﾋﾟｰ履歴";

// Both places are found in the text itself, so a "%s" in a file name
// stays as it is.
std::string CopyingStatus(const std::string& source, const std::string& folder) {
    const std::string_view format = kCopyingStatus;
    const size_t first = format.find("%s");
    const size_t second = format.find("%s", first + 2);
    std::string text(format.substr(0, first));
    text.append(source).append(format.substr(first + 2, second - first - 2)).append(folder);
    return text.append(format.substr(second + 2));
}

// Brings the item's destination facts up to date before the question: the
// file may have appeared, changed or been replaced since the collection.
void RefreshForQuestion(CCopyItem& item, const std::string& srcPath, const CFileEntry& dst) {
    CFileEntry src;
    if (GetEntry(srcPath, src) == 0) {
        item.SrcTime = src.writeTime;
        item.SrcSize = src.size;
    }
    item.DstTime = dst.writeTime;
    item.DstSize = dst.size;
}
} // namespace

int CCopyJob::EndEarly(int result) {
    m_aPendingLogLines.clear();
    SetStatus(m_bRenzoku ? RunText::kContinuousStatus : RunText::kIdleStatus);
    return result;
}

int CCopyJob::RunCopy() {
    const CCopySetting& setting = *m_pSetting;
    // The collection's lines (folders it could not read, files it left)
    // stay pending for the header.
    m_strLastMadeFolder.clear();
    m_strLastCheckedFolder.clear();
    m_strLastReportedLink.clear();
    m_aSweptFolders.clear();
    int result = 0;
    // A folder missing from the collection would be missing from the
    // destination for good once it is cleared.
    if (setting.AllClrChk && m_nUnreadFolders > 0) {
        // The history says which folders could not be read.
        if (!m_bRenzoku) {
            OpenLog();
            WriteLogHeader(kCopyHistory);
        }
        WriteLogLine(RunText::kSourceIncomplete);
        if (!m_bRenzoku)
            CloseLog();
        WarningBox(RunText::kSourceIncomplete);
        return EndEarly(END_CANCELLED);
    }
    // Nothing collected (an unmounted or emptied source, a list matching
    // nothing) must never cost the destination its files.
    if (setting.AllClrChk && !m_aCopyItems.empty()) {
        result = ClearDestination();
        if (result != 0)
            return EndEarly(result);
    }
    if (setting.CopyDirChk) {
        result = CreateFolderStructure();
        if (result != 0)
            return EndEarly(result);
    }
    if (m_aCopyItems.empty()) {
        const bool bTrouble = m_nUnreadFolders + m_nNotCopied > 0;
        if (m_bRenzoku) {
            WriteLogLine(kNothingToCopy);
            return EndEarly(bTrouble ? END_COPY_FAILED : 0);
        }
        // A source whose matching files are all up to date is no failure
        // for a scheduled run; an empty (or unmounted) source is.
        if (m_bUpToDateIsSuccess && m_nMatchedFiles > 0 && !bTrouble) {
            m_host.MessageBox(kNothingToCopy, MB_ICONASTERISK);
            return EndEarly(0);
        }
        WarningBox(kNothingToCopy);
        return EndEarly(END_CANCELLED);
    }
    m_host.EnableClose(false);
    if (ConfirmCopy() == CONFIRM_CANCEL) {
        m_host.EnableClose(true);
        return EndEarly(END_CANCELLED);
    }
    m_host.Redraw();
    if (!m_bRenzoku) {
        // Another run may hold the log: this one waits for it (or stops
        // when cancelled meanwhile), so its history is never lost.
        result = OpenLog();
        WriteLogHeader(kCopyHistory);
    }
    {
        std::unique_ptr<IProgressDisplay> progress = m_host.CreateProgress(kCopyingCaption);
        progress->SetProgressRange(0, static_cast<int>(m_aCopyItems.size()));
        progress->SetProgressStep(1);
        progress->SetProgressPos(0);
        m_transfer = CTransferState{};
        m_transfer.nFilesTotal = static_cast<int64_t>(m_aCopyItems.size());
        for (const CCopyItem& item : m_aCopyItems)
            m_transfer.nBytesTotal += item.SrcSize;
        progress->ShowTransfer(m_transfer);
        // The overwrite question and the trash act between copies where the
        // user sees it: then the loop copies alone.
        const int threads = m_nCopyThreads > 0 ? m_nCopyThreads : CCopyAhead::DefaultThreads();
        if (threads > 1 && !setting.AnsChk && !setting.DustChk && m_aCopyItems.size() > 1)
            m_pAhead = std::make_unique<CCopyAhead>(threads);
        m_nAheadNext = 0;
        for (size_t index = 0; index < m_aCopyItems.size(); ++index) {
            const CCopyItem& item = m_aCopyItems[index];
            if (result == END_CANCELLED)
                break;
            m_host.PumpEvents();
            progress->StepProgress();
            if (progress->TakeCancelRequest()) {
                result = END_CANCELLED;
                break;
            }
            if (CopyOneItem(index, *progress, result))
                break;
            // Copied, or skipped by the user's answer: either way handled.
            ++m_transfer.nFilesDone;
            m_transfer.nBytesDone += item.SrcSize;
        }
        m_pAhead.reset(); // copies made ahead of a stop vanish
        m_pFolders.reset();
        m_transfer.strCurrentFile.clear();
        progress->ShowTransfer(m_transfer);
        // What the run could not copy, each named in the log, is a failure
        // too, though the rest went on.
        if (result == 0 && m_nUnreadFolders + m_nNotCopied > 0)
            result = END_COPY_FAILED;
        // A run whose history could not be written does not end as a success.
        if (!m_bRenzoku) {
            const int logError = CloseLog();
            if (result == 0)
                result = logError;
        }
    }                      // the progress window closes here, which enables the main window again
    FlushItemStatus(true); // the file the run ended at, under the final message
    ShowFinalMessage(result);
    m_host.EnableClose(true);
    return EndEarly(result);
}

void CCopyJob::CopyAhead(size_t index) {
    const size_t kWindow = 64;
    const CCopyItem& current = m_aCopyItems[index];
    size_t next = std::max(m_nAheadNext, index + 1);
    for (; next < m_aCopyItems.size() && next <= index + kWindow; ++next) {
        const CCopyItem& item = m_aCopyItems[next];
        // A new folder is made, checked and swept at its first file's turn.
        if (item.DstFolder != current.DstFolder || item.SrcFolder != current.SrcFolder)
            break;
        if (item.SrcSize > CCopyAhead::kMaxBytes)
            continue;
        m_pAhead->Add(next, m_pFolders, item.FileName);
    }
    m_nAheadNext = next;
}

bool CCopyJob::CopyOneItem(size_t index, IProgressDisplay& progress, int& result) {
    CCopySetting& setting = *m_pSetting;
    CCopyItem& item = m_aCopyItems[index];
    std::string srcPath = item.SrcFolder;
    AddBackslash(srcPath);
    srcPath += item.FileName;
    ShowItemStatus(CopyingStatus(srcPath, item.DstFolder));
    m_transfer.strCurrentFile = srcPath;
    progress.ShowTransfer(m_transfer);
    std::string dstFolder = item.DstFolder;
    RemoveBackslash(dstFolder);
    if (dstFolder != m_strLastCheckedFolder) {
        m_strLinkInFolder = LinkBelowDestination(dstFolder);
        m_strLastCheckedFolder = dstFolder;
    }
    if (!m_strLinkInFolder.empty()) {
        ++m_nNotCopied; // never written through a link planted in the destination
        return false;
    }
    if (!setting.CopyDirChk) {
        // Items come folder by folder: a folder made for the previous item
        // needs no second look. A failing status is caught below.
        if (dstFolder != m_strLastMadeFolder) {
            result = CreateFolderTree(dstFolder);
            m_strLastMadeFolder = result == 0 ? dstFolder : std::string();
        } else {
            result = 0;
        }
    }
    std::string dstPath = dstFolder;
    AddBackslash(dstPath);
    dstPath += item.FileName;
    // A run killed while copying into this folder may have left its
    // temporary files; the first copy into the folder clears them.
    if (!m_aUnlitteredFolders.count(item.DstFolder) && m_aSweptFolders.insert(dstFolder).second)
        RemoveStaleCopyTemporaries(dstFolder);
    // Opened once the folder is made; one that failed is tried again.
    if (!m_pFolders || !m_pFolders->Are(item.SrcFolder, dstFolder) || !m_pFolders->IsOpen())
        m_pFolders = std::make_shared<const CCopyFolders>(item.SrcFolder, dstFolder);

    // The copy writes this exact name, so only this exact name can be
    // replaced (a name differing in letter case is another file here).
    // Copies made ahead wait for the folder's first file: by then it is made
    // (or failed to be), checked for links and swept.
    CStagedCopy staged;
    int stagedResult = -1;
    if (m_pAhead) {
        if (result == 0)
            CopyAhead(index);
        if (m_pAhead->Has(index))
            stagedResult = m_pAhead->Take(index, staged);
    }
    CFileEntry existing;
    bool toTrash = false;
    // Only the question and the trash need to know of an existing file.
    if ((setting.AnsChk || setting.DustChk || result != 0) && GetEntry(dstPath, existing) == 0 &&
        !existing.IsFolder()) {
        if (setting.AnsChk) {
            FlushItemStatus(true); // the question is about the file the status names
            RefreshForQuestion(item, srcPath, existing);
            const int answer = m_host.AskOverwrite(BuildOverwriteTexts(item));
            if (answer == OVERWRITE_NO)
                return false;
            if (answer == OVERWRITE_ABORT)
                result = END_CANCELLED;
            else if (answer == OVERWRITE_ALL)
                setting.AnsChk = 0;
        }
        if (result != 0)
            return true;
        toTrash = setting.DustChk != 0;
    }

    bool cancelled = false;
    int trashed = 0;
    // The old file goes to the trash only once its replacement is complete:
    // a copy that fails leaves it where it was.
    std::function<int()> beforeReplace;
    if (toTrash)
        beforeReplace = [&] {
            return trashed = SendToRecycleBin(dstPath);
        };
    int copied = stagedResult;
    if (stagedResult == 0)
        copied = staged.Commit(beforeReplace);
    else if (stagedResult < 0 || stagedResult == ERROR_OPERATION_ABORTED)
        copied = CopyFileReplacing(
            m_pFolders, item.FileName,
            [&] {
                progress.PumpPendingMessages();
                FlushItemStatus();
                cancelled = progress.TakeCancelRequest() != 0;
                return !cancelled;
            },
            beforeReplace);
    if (trashed != 0) {
        result = trashed;
        return true;
    }
    if (copied != 0) {
        // A cancel during a long file stops the run as a cancel at the next
        // item would; the old destination file is left as it was.
        result = cancelled ? END_CANCELLED : END_COPY_FAILED;
        if (!cancelled)
            NoteFailReason(copied);
        return true;
    }
    WriteLogLine("Copying  " + srcPath + " -> " + item.DstFolder);
    return false;
}

void CCopyJob::ShowFinalMessage(int result) {
    if (result == 0) {
        if (!m_bRenzoku)
            m_host.MessageBox(kCopyFinished, MB_ICONASTERISK);
        return;
    }
    std::string text = kCopyFailed;
    text.replace(text.find("%d"), 2, IntToText(result));
    // The end code names the reason itself unless it is the failed copy's 1
    // (or the user's 9999, which needs none): the system's text says it.
    const int reason = result == END_COPY_FAILED ? m_nFailReason
                       : result == END_CANCELLED ? 0
                                                 : result;
    const std::string why = reason > 0 ? GetSystemErrorText(reason) : std::string();
    if (!why.empty())
        text += "\n" + why;
    WarningBox(text);
}

void CCopyJob::NoteFailReason(int code) {
    if (m_nFailReason == 0)
        m_nFailReason = code;
}
