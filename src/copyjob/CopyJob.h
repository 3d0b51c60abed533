#pragma once
// The run logic of one main window: the current setting, the files and
// folders of the last collection, the run state flags and the log. The main
// window (or the command line, or a test) drives it through RunCopyJob and
// answers it through IRunHost.

#include "copyjob/CopyItem.h"
#include "copyjob/CopySetting.h"
#include "copyjob/RunHost.h"
#include "copyjob/UpdateThrottle.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

struct CFileEntry;
class CLogFile;
class CCopyAhead;
class CCopyFolders;
class CCollectionReaders;

// End codes of a run besides 0 (success) and platform error codes.
enum : int {
    END_COPY_FAILED = 1,
    END_CANCELLED = 9999,
    END_PATH_TOO_SHORT = -2,
};

// Answers of the confirmation before copying.
enum : int { CONFIRM_START = 1, CONFIRM_CANCEL = 2, CONFIRM_DRIVE_NOT_READY = 7 };

// Answers of the overwrite question.
enum : int { OVERWRITE_YES = 1, OVERWRITE_NO = 2, OVERWRITE_ABORT = 3, OVERWRITE_ALL = 1047 };

class CCopyJob {
public:
    explicit CCopyJob(IRunHost& host);
    ~CCopyJob();
    CCopyJob(const CCopyJob&) = delete;
    CCopyJob& operator=(const CCopyJob&) = delete;

    IRunHost& Host() { return m_host; }

    // The close button during a run: raises the cancel request that the
    // running loop reads (and clears) at its next check.
    void RequestCancel();

    // The one way a front end (the window, the command line, the continuous
    // run) starts work: body runs with the running flag set, after a cancel
    // request left from an earlier phase (the clearing, the copy loop) is
    // dropped so it cannot stop this run at once; both flags are clear when
    // it returns. Returns body's end code; without a body, RunCopyJob's.
    int Execute(const std::function<int()>& body = {});
    // Continuous mode: the runs that follow belong to one continuous run.
    void SetContinuousMode(bool on) { m_bRenzoku = on ? 1 : 0; }

    // Runs the current setting: the archive run when LhaChk is on, else the
    // collection and the copy run. Returns the end code.
    int RunCopyJob();

    // Collection: checks both drives, walks the source tree and fills
    // m_aCopyItems (and m_aDstFolders with CopyDirChk). 0, or 9999 when
    // cancelled.
    int ScanFiles();
    // Cuts WildList at "/" into non-empty patterns; returns their number.
    int SplitWildList(std::vector<std::string>& list) const;
    int ScanFolderTree(const std::string& rel);
    int ScanFolder(const std::string& rel, const std::vector<std::string>& patterns);
    // Records the names (files of src) that the options select. 0 or 9999.
    int AddCopyItems(const std::string& src, const std::string& dst,
                     const std::vector<std::string>& names);
    void ClearCopyItems();
    // Every visible folder of the source tree, the source itself first, as
    // full paths in pre-order. 0, or 9999 when cancelled.
    int CollectSourceFolders(std::vector<std::string>& list);

    // The archive run: packs the source into one LZH archive instead of
    // copying; returns the end code.
    int RunArchive();
    // The copy run over m_aCopyItems; returns the end code.
    int RunCopy();
    // Empties the destination before copying (AllClrChk). 0 to go on, 9999
    // when the user stops after an incomplete clearing.
    int ClearDestination();
    // Creates every folder of m_aDstFolders (CopyDirChk). 0 or the code of
    // the creation that failed.
    int CreateFolderStructure();
    // Moves a destination file that is about to be replaced to the trash.
    // 0 on success, non-zero otherwise.
    int SendToRecycleBin(const std::string& path);
    // The confirmation before copying with the destination's capacity:
    // 1 start, 2 cancel, 7 destination drive not ready.
    int ConfirmCopy();
    // Clusters a file of size bytes takes on the folder's volume; -1 when
    // the drive is not ready.
    int64_t ClustersNeeded(const std::string& folder, uint64_t size);

    // The log of the last run, "Tidewall.log" in the program folder, held
    // exclusively while open. Writing to a log that is not open does nothing.
    // OpenLog waits while another run holds the log (saying so in the busy
    // display and the status line) and returns 0, or 9999 when cancelled
    // meanwhile; a log that cannot be opened for another reason is not
    // waited for: CloseLog then reports it.
    int OpenLog();
    void WriteLogLine(const std::string& text);
    void WriteLogText(const std::string& text);
    // Closes the log. When it could not be opened or written, tells the user
    // and returns the error code; otherwise 0.
    int CloseLog();
    bool IsLogOpen() const;
    // The header line "-- Tidewall.Exe  <kind> [<local time>] --", then the
    // lines held for it.
    void WriteLogHeader(const char* kind);
    // A line of this run's history: written now when the log is open, else
    // held until the header of a single run is written.
    void AddRunLogLine(const std::string& text);

    std::unique_ptr<CCopySetting> m_pSetting;
    std::vector<CCopyItem> m_aCopyItems;
    std::vector<std::string> m_aDstFolders;
    int m_bRunning = 0;
    int m_bCancel = 0;
    int m_bRenzoku = 0;
    // Files of the source the copy list matched in the last collection,
    // before the options dropped any (the newer-only rule, for one): with
    // none, the source is empty or not there at all.
    int64_t m_nMatchedFiles = 0;
    // A single run that finds nothing to copy in a source that does hold
    // matching files (all up to date) tells so as information and ends with
    // 0 instead of the warning and 9999 (the command line's scheduled runs).
    bool m_bUpToDateIsSuccess = false;
    std::string m_strLogPath;
    // Threads that copy small files ahead of the copy loop: 0 as many as
    // the machine has cores (at most four), 1 none (the loop copies alone).
    // Never used while the overwrite question or the trash is on.
    int m_nCopyThreads = 0;
    // The archiver library the archive run loads (its file name, found by
    // the ordinary library search; a test names another file).
    std::string m_strLhaLibrary = "libunlha32.so";

private:
    // One pending event is dispatched; true (and the request cleared) when
    // a cancel request was found.
    bool PumpAndTakeCancel();
    // Asks Retry/Cancel while the drive of path is not ready; false on Cancel.
    bool WaitForDrive(const std::string& path, const char* message);
    int CollectFolderTree(const std::string& rel, std::vector<std::string>& list);
    // Walks the named subfolders of rel; visit is ScanFolderTree's or
    // CollectFolderTree's recursion.
    template <typename Visit>
    int WalkSubfolders(const std::string& rel, const std::vector<std::string>& names, Visit visit);
    std::string SourceFolder(const std::string& rel) const;
    int ScanFolder(const std::string& rel, const std::vector<std::string>& patterns,
                   const std::vector<CFileEntry>& sourceEntries);
    // Read the source and destination folders of the running collection
    // on threads of their own, a few folders ahead of the walk.
    CCollectionReaders* m_pReaders = nullptr;
    int AddCopyItems(const std::string& src, const std::string& dst,
                     const std::vector<const CFileEntry*>& sources,
                     const std::vector<CFileEntry>& destinations);

    // One step of the copy loop, at item number index; result carries the
    // end code from item to item. True when the loop must end.
    bool CopyOneItem(size_t index, IProgressDisplay& progress, int& result);
    // Hands the files after index that go to the same, ready destination
    // folder to the copy-ahead threads.
    void CopyAhead(size_t index);
    // True (and the user told) when the setting holds values its file could
    // not give as text.
    bool RefusesSetting();
    // Ends a run that stopped before the copy loop, leaving the idle text.
    int EndEarly(int result);
    void ShowFinalMessage(int result);
    // Records the system error code behind a failure that the end code
    // itself does not name (a copy failed: end code 1); the first one counts.
    void NoteFailReason(int code);
    // The status line: a text shown now, and the text of one item of a
    // walk or a copy, shown at most about 30 times a second; a held item
    // text is shown once due (FlushItemStatus) or before a question.
    void SetStatus(const std::string& text);
    void ShowItemStatus(std::string text);
    void FlushItemStatus(bool bNow = false);

    IRunHost& m_host;
    std::vector<std::string> m_aPatterns; // of the running collection
    std::unique_ptr<CLogFile> m_pLog;
    // Folder-structure lines of a single run, made before its log opens;
    // they follow the header once it does.
    std::vector<std::string> m_aPendingLogLines;
    // The destination folder the copy loop last made sure of.
    std::string m_strLastMadeFolder;
    // The destination folder the copy loop last checked for links, and the
    // link it found there (empty: none); the link last reported.
    std::string m_strLastCheckedFolder;
    std::string m_strLinkInFolder;
    std::string m_strLastReportedLink;
    // Of the running collection and copy: source folders that could not be
    // listed, and files that could not be copied for their name, path or
    // place (each already in the log). Either makes the end code non-zero.
    int m_nUnreadFolders = 0;
    int m_nNotCopied = 0;
    int m_nFailReason = 0;
    CUpdateThrottle m_statusThrottle;
    std::string m_strHeldStatus;
    CTransferState m_transfer;            // of the running copy, for its progress window
    std::unique_ptr<CCopyAhead> m_pAhead; // of the running copy, when it copies ahead
    // The folders the running copy copies between, open for their files.
    std::shared_ptr<const CCopyFolders> m_pFolders;
    size_t m_nAheadNext = 0; // the first item not handed to it yet

    // The first symbolic link among the existing folders from the
    // destination folder (itself excluded: the user named it) down to
    // folder, reported in the log once; empty when there is none.
    std::string LinkBelowDestination(const std::string& folder);
    // Logs an entry of source folder src that is not copied and why.
    void LogNotCopied(const std::string& src, const std::string& name, const char* why);
    // Waits while another run holds the log; 9999 when cancelled meanwhile.
    int WaitForLog();
    // Destination folders already cleared of stale temporary files.
    std::unordered_set<std::string> m_aSweptFolders;
    // Destination folders (as their items name them) whose listing in the
    // collection held no temporary file of a copy: they need no sweep.
    std::unordered_set<std::string> m_aUnlitteredFolders;
    // Why the open log could not be opened (0 when it could).
    int m_nLogOpenError = 0;
};
