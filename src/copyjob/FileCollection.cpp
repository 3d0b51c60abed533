// The collection phase of a copy run: walks the source tree and records
// every file that the copy list and the selection options choose.
#include "copyjob/CopyJob.h"
#include "copyjob/RunTexts.h"

#include "copyjob/FolderValidation.h"
#include "files/DriveUtils.h"
#include "files/FileQueries.h"
#include "files/NumberFormat.h"
#include "files/PathUtils.h"
#include "platform/FileSystem.h"
#include "platform/FolderScan.h"
#include "platform/MessageBoxService.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace {

// Every entry of a folder, listed once and shared by the pattern matching,
// the destination lookups and the subfolder walk.
std::vector<CFileEntry> ListFolder(std::string folder, int* error = nullptr,
                                   std::vector<std::string>* unnamable = nullptr) {
    AddBackslash(folder);
    std::vector<CFileEntry> entries;
    const int rc = FindEntries(folder + "*", entries, unnamable);
    if (error)
        *error = rc;
    return entries;
}

// Why an entry that is neither file nor folder is not copied.
const char* SpecialReason(EEntryKind kind) {
    switch (kind) {
    case EEntryKind::Fifo:
        return RunText::kReasonFifo;
    case EEntryKind::Socket:
        return RunText::kReasonSocket;
    case EEntryKind::Device:
        return RunText::kReasonDevice;
    case EEntryKind::BrokenLink:
        return RunText::kReasonBrokenLink;
    case EEntryKind::LinkLoop:
        return RunText::kReasonLinkLoop;
    case EEntryKind::File:
    case EEntryKind::Folder:
        break;
    }
    return nullptr;
}

// Subfolders a walk enters: visible ones, never a symbolic link (so a link
// to an ancestor cannot make the walk endless).
std::vector<std::string> VisibleSubfolders(const std::vector<CFileEntry>& entries) {
    constexpr uint32_t kSkipped =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY;
    std::vector<std::string> names;
    for (const CFileEntry& e : entries)
        if (e.IsFolder() && !(e.attributes & kSkipped) && !e.isSymlink)
            names.push_back(e.name);
    return names;
}

std::string JoinPath(std::string folder, const std::string& name) {
    AddBackslash(folder);
    return folder + name;
}

std::string JoinRelative(const std::string& rel, const std::string& name) {
    return rel.empty() ? name : rel + "\\" + name;
}

// The destination side of a folder of the walk.
struct CDestinationFolder {
    bool bExists = false;
    bool bLittered = false; // holds a name a copy's temporary file may have
    std::vector<CFileEntry> entries;
};

// The drive was found ready when the collection began; below the top
// folder a plain look-up answers without asking the volume again.
CDestinationFolder ReadDestinationFolder(const std::string& dst, bool bTop) {
    CDestinationFolder folder;
    CFileEntry entry;
    folder.bExists = bTop ? FolderExists(dst) != 0 : GetEntry(dst, entry) == 0 && entry.IsFolder();
    if (folder.bExists)
        folder.entries = ListFolder(dst);
    folder.bLittered =
        std::any_of(folder.entries.begin(), folder.entries.end(),
                    [](const CFileEntry& e) { return e.name.starts_with(".tidewell-"); });
    return folder;
}

// Reads folders on threads of its own, a few ahead of the walk, so the
// threads are never left waiting for the next; the walk takes the results
// in its own order.
template <typename T> class CReadAhead {
public:
    // Folders read ahead and not taken yet, at most.
    static constexpr size_t kMaxAhead = 16;

    // One thread per core (at most four): each waits for the file system
    // much of the time.
    CReadAhead() {
        const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
        for (unsigned i = 0; i < threads; ++i)
            m_threads.emplace_back([this] { Work(); });
    }
    ~CReadAhead() {
        {
            std::lock_guard lock(m_mutex);
            m_bStop = true;
        }
        m_wake.notify_all();
        for (std::thread& thread : m_threads)
            thread.join();
    }
    CReadAhead(const CReadAhead&) = delete;
    CReadAhead& operator=(const CReadAhead&) = delete;

    // Starts read, whose result Take(folder) then gives, unless enough are
    // read ahead already.
    void Post(const std::string& folder, std::function<T()> read) {
        if (m_posted.size() >= kMaxAhead || m_posted.count(folder))
            return;
        std::packaged_task<T()> task(std::move(read));
        m_posted.emplace(folder, task.get_future());
        {
            std::lock_guard lock(m_mutex);
            m_tasks.push_back(std::move(task));
        }
        m_wake.notify_one();
    }
    // The folder as a Post read it, or (not posted) as read reads it now.
    T Take(const std::string& folder, const std::function<T()>& read) {
        const auto found = m_posted.find(folder);
        if (found == m_posted.end())
            return read();
        T result = found->second.get();
        m_posted.erase(found);
        return result;
    }
    // A posted folder the walk will not take after all.
    void Forget(const std::string& folder) { m_posted.erase(folder); }

private:
    void Work() {
        for (;;) {
            std::packaged_task<T()> task;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [&] { return m_bStop || !m_tasks.empty(); });
                if (m_bStop)
                    return;
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            task();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::packaged_task<T()>> m_tasks;
    bool m_bStop = false;
    // The loop's side: the folders posted and not taken.
    std::unordered_map<std::string, std::future<T>> m_posted;
    std::vector<std::thread> m_threads;
};

// A source folder's listing.
struct CSourceFolder {
    std::vector<CFileEntry> entries;
    int error = 0;
    std::vector<std::string> unnamable; // names no drive-letter path can hold
};

CSourceFolder ReadSourceFolder(const std::string& folder) {
    CSourceFolder result;
    result.entries = ListFolder(folder, &result.error, &result.unnamable);
    return result;
}

} // namespace

// The source and the destination folders of the collection, each side read
// on threads of its own a few folders ahead of the walk.
class CCollectionReaders {
public:
    CReadAhead<CSourceFolder> m_source;
    CReadAhead<CDestinationFolder> m_destination;
};

void CCopyJob::LogNotCopied(const std::string& src, const std::string& name, const char* why) {
    AddRunLogLine(JoinPath(src, name) + why);
}

void CCopyJob::ClearCopyItems() {
    m_aCopyItems.clear();
    m_aUnlitteredFolders.clear();
}

bool CCopyJob::PumpAndTakeCancel() {
    m_host.PumpEvents();
    FlushItemStatus();
    if (!m_bCancel)
        return false;
    m_bCancel = 0;
    return true;
}

bool CCopyJob::WaitForDrive(const std::string& path, const char* message) {
    CDriveInfo info;
    while (!CheckDrive(path, info)) {
        if (m_host.MessageBox(message, MB_RETRYCANCEL | MB_ICONEXCLAMATION) != IDRETRY)
            return false;
    }
    return true;
}

int CCopyJob::ScanFiles() {
    CCopySetting& setting = *m_pSetting;
    if (!WaitForDrive(setting.SrcDir, RunText::kSourceNotReady))
        return END_CANCELLED;
    m_host.SetCloseCaption(RunText::kAbortCaption);
    if (!WaitForDrive(setting.DstDir, RunText::kDestNotReady) || CheckRunFolders(setting) != 0) {
        m_host.SetCloseCaption(RunText::kCloseCaption);
        return END_CANCELLED;
    }
    m_host.ShowBusy(true, RunText::kCollectingBusy);
    SetStatus(RunText::kCollectingStatus);
    ClearCopyItems();
    m_aDstFolders.clear();
    m_aPendingLogLines.clear();
    m_nUnreadFolders = 0;
    m_nNotCopied = 0;
    m_nFailReason = 0;
    m_nMatchedFiles = 0;
    SplitWildList(m_aPatterns);
    if (setting.OutDirChk)
        setting.LoadOutDirList();

    int r;
    {
        CCollectionReaders readers;
        m_pReaders = &readers;
        r = ScanFolderTree("");
        m_pReaders = nullptr;
    }

    m_host.ShowBusy(false);
    SetStatus(RunText::kIdleStatus);
    m_host.SetCloseCaption(RunText::kCloseCaption);
    return r;
}

int CCopyJob::SplitWildList(std::vector<std::string>& list) const {
    list.clear();
    const std::string& wild = m_pSetting->WildList;
    size_t start = 0;
    while (start <= wild.size()) {
        size_t end = wild.find('/', start);
        if (end == std::string::npos)
            end = wild.size();
        if (end > start)
            list.push_back(wild.substr(start, end - start));
        start = end + 1;
    }
    return static_cast<int>(list.size());
}

template <typename Visit>
int CCopyJob::WalkSubfolders(const std::string& rel, const std::vector<std::string>& names,
                             Visit visit) {
    int r = 0;
    for (const std::string& name : names) {
        if (PumpAndTakeCancel())
            return END_CANCELLED;
        const std::string child = JoinRelative(rel, name);
        ShowItemStatus(FormatWithText(RunText::kSearchingFolder, child));
        r = visit(child);
        if (r != 0)
            break;
    }
    return r;
}

std::string CCopyJob::SourceFolder(const std::string& rel) const {
    std::string src = m_pSetting->SrcDir;
    AddBackslash(src);
    return src + rel;
}

int CCopyJob::ScanFolderTree(const std::string& rel) {
    // One listing serves the folder's files and its subfolders.
    const std::string folder = SourceFolder(rel);
    std::string dst = m_pSetting->DstDir;
    AddBackslash(dst);
    if (m_pReaders && !rel.empty()) {
        // The destination folder is read while the source folder is (the
        // top one asks the volume, which is the loop's to ask).
        m_pReaders->m_destination.Post(
            dst + rel, [path = dst + rel] { return ReadDestinationFolder(path, false); });
    }
    const auto read = [&folder] {
        return ReadSourceFolder(folder);
    };
    CSourceFolder source = m_pReaders ? m_pReaders->m_source.Take(folder, read) : read();
    if (source.error != 0) {
        // Its files and subfolders are missing from the copy: say so.
        AddRunLogLine(folder + RunText::kLogFolderUnreadable + IntToText(source.error));
        ++m_nUnreadFolders;
        NoteFailReason(source.error);
    }
    if (m_pSetting->IsExcludedDir(folder))
        source.unnamable.clear(); // nothing of it was to be copied
    for (const std::string& name : source.unnamable) {
        LogNotCopied(folder, name, RunText::kLogNameInexpressible);
        ++m_nNotCopied;
        NoteFailReason(ERROR_INVALID_NAME);
    }
    int r = ScanFolder(rel, m_aPatterns, source.entries);
    if (m_pSetting->SubDirChk || r != 0)
        return r;
    const std::vector<std::string> subfolders = VisibleSubfolders(source.entries);
    source = CSourceFolder(); // not held while the subfolders are walked
    size_t visited = 0;
    size_t posted = 0;
    return WalkSubfolders(rel, subfolders, [&](const std::string& child) {
        // Both sides of the next few subfolders are read while this one is
        // walked.
        for (; m_pReaders && posted < subfolders.size() && posted <= visited + 4; ++posted) {
            const std::string next = JoinRelative(rel, subfolders[posted]);
            m_pReaders->m_source.Post(
                SourceFolder(next), [path = SourceFolder(next)] { return ReadSourceFolder(path); });
            m_pReaders->m_destination.Post(
                dst + next, [path = dst + next] { return ReadDestinationFolder(path, false); });
        }
        ++visited;
        return ScanFolderTree(child);
    });
}

int CCopyJob::ScanFolder(const std::string& rel, const std::vector<std::string>& patterns) {
    return ScanFolder(rel, patterns, ListFolder(SourceFolder(rel)));
}

int CCopyJob::ScanFolder(const std::string& rel, const std::vector<std::string>& patterns,
                         const std::vector<CFileEntry>& sourceEntries) {
    const CCopySetting& setting = *m_pSetting;
    std::string src = setting.SrcDir;
    std::string dst = setting.DstDir;
    AddBackslash(src);
    AddBackslash(dst);
    src += rel;
    dst += rel;
    if (setting.CopyDirChk)
        m_aDstFolders.push_back(dst);
    if (setting.IsExcludedDir(src)) {
        if (m_pReaders)
            m_pReaders->m_destination.Forget(dst);
        return 0;
    }
    // The files each pattern matches, counted before the destination has a
    // say: they tell a source that is up to date from one that is empty.
    std::vector<std::vector<const CFileEntry*>> matches(patterns.size());
    for (size_t i = 0; i < patterns.size(); ++i) {
        for (const CFileEntry& e : sourceEntries)
            if (!e.IsFolder() && !SpecialReason(e.kind) && WildcardMatch(patterns[i], e.name))
                matches[i].push_back(&e);
        m_nMatchedFiles += static_cast<int64_t>(matches[i].size());
    }
    const auto read = [&] {
        return ReadDestinationFolder(dst, rel.empty());
    };
    const CDestinationFolder destination =
        m_pReaders ? m_pReaders->m_destination.Take(dst, read) : read();
    const bool dstExists = destination.bExists;
    if (dstExists && !destination.bLittered)
        m_aUnlitteredFolders.insert(dst);
    if (setting.UsedChk && !dstExists)
        return 0;

    // Only files have contents to copy: the others the copy list selects are
    // named in the log, once each, with the reason.
    for (const CFileEntry& e : sourceEntries) {
        const char* reason = e.IsFolder() ? nullptr : SpecialReason(e.kind);
        if (reason && std::any_of(patterns.begin(), patterns.end(),
                                  [&](const std::string& p) { return WildcardMatch(p, e.name); }))
            LogNotCopied(src, e.name, FormatWithText(RunText::kLogNotCopied, reason).c_str());
    }
    const std::vector<CFileEntry>& destEntries = destination.entries;
    for (const std::vector<const CFileEntry*>& found : matches) {
        if (PumpAndTakeCancel())
            return END_CANCELLED;
        if (!found.empty()) {
            const int r = AddCopyItems(src, dst, found, destEntries);
            if (r != 0)
                return r;
        }
    }
    return 0;
}

int CCopyJob::AddCopyItems(const std::string& src, const std::string& dst,
                           const std::vector<const CFileEntry*>& sources,
                           const std::vector<CFileEntry>& destinations) {
    std::unordered_map<std::string_view, const CFileEntry*> byName;
    byName.reserve(destinations.size());
    for (const CFileEntry& e : destinations)
        byName.emplace(e.name, &e);
    const CCopySetting& setting = *m_pSetting;
    const std::string hostSrc = HostPathOf(src);
    const std::string hostDst = HostPathOf(dst);
    for (const CFileEntry* source : sources) {
        if (PumpAndTakeCancel())
            return END_CANCELLED;
        const auto found = byName.find(source->name);
        // A folder of the same name is no destination file to compare with.
        const CFileEntry* dest =
            found != byName.end() && !found->second->IsFolder() ? found->second : nullptr;
        if (setting.UsedChk && !dest)
            continue;
        if (!FitsHostPathLimit(hostSrc, source->name) ||
            !FitsHostPathLimit(hostDst, source->name)) {
            LogNotCopied(src, source->name, RunText::kLogPathTooLong);
            ++m_nNotCopied;
            NoteFailReason(ERROR_FILENAME_EXCED_RANGE);
            continue;
        }
        CCopyItem item{src, dst, source->name};
        item.SrcSize = source->size;
        if (dest) {
            item.SrcTime = source->writeTime;
            item.DstTime = dest->writeTime;
            item.DstSize = dest->size;
            if (setting.NewChk && item.SrcTime <= item.DstTime)
                continue;
        }
        m_aCopyItems.push_back(std::move(item));
    }
    return 0;
}

int CCopyJob::AddCopyItems(const std::string& src, const std::string& dst,
                           const std::vector<std::string>& names) {
    std::vector<CFileEntry> sources;
    std::vector<CFileEntry> destinations;
    for (const std::string& name : names) {
        std::string srcPath = src;
        std::string dstPath = dst;
        AddBackslash(srcPath);
        AddBackslash(dstPath);
        CFileEntry entry;
        if (FileExists(srcPath + name, &entry))
            sources.push_back(entry);
        if (FileExists(dstPath + name, &entry))
            destinations.push_back(entry);
    }
    std::vector<const CFileEntry*> pointers;
    for (const CFileEntry& e : sources)
        pointers.push_back(&e);
    return AddCopyItems(src, dst, pointers, destinations);
}

int CCopyJob::CollectSourceFolders(std::vector<std::string>& list) {
    if (!WaitForDrive(m_pSetting->SrcDir, RunText::kSourceNotGiven))
        return END_CANCELLED;
    m_host.ShowBusy(true, RunText::kCollectingBusy);
    SetStatus(RunText::kCollectingDestStatus);
    m_host.SetWaitCursor(true);
    const int r = CollectFolderTree("", list);
    m_host.SetWaitCursor(false);
    m_host.ShowBusy(false);
    SetStatus(RunText::kIdleStatus);
    return r;
}

int CCopyJob::CollectFolderTree(const std::string& rel, std::vector<std::string>& list) {
    const std::string folder = SourceFolder(rel);
    list.push_back(folder);
    // The names alone: no file of the tree needs a status call.
    CFolderNames names;
    ReadFolderNames(folder, names);
    return WalkSubfolders(rel, names.folders, [this, &list](const std::string& child) {
        return CollectFolderTree(child, list);
    });
}
