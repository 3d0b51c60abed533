#include "files/FolderTree.h"

#include "files/PathText.h"
#include "platform/ErrorCodes.h"
#include "platform/FileSystem.h"
#include "platform/HostServices.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

void ShowDeleteError(const char* format, int code) {
    char text[160];
    std::snprintf(text, sizeof text, format, code);
    CHostServices::Get().MessageBoxes().Show(text, "", MB_OK | MB_ICONEXCLAMATION);
}

bool IsGone(int code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

int DeleteTree(const std::string& folder, const std::function<void()>& pump, bool top);

// Removes the folder itself; inside the walk a folder that something else
// removed meanwhile is already where the walk wants it.
int RemoveWalkedFolder(const std::string& folder, bool top) {
    int rc = RemoveFolder(folder);
    if (rc == 0 || (!top && IsGone(rc)))
        return 0;
    ShowDeleteError("フォルダが削除出来ません. Error = %d", rc);
    return rc;
}

int EmptyFolder(const std::string& folder, const std::function<void()>& pump) {
    std::string base = folder;
    AddBackslash(base);
    std::vector<CFileEntry> entries;
    FindEntries(base + "*.*", entries); // an unreadable folder shows up when it is removed
    for (const CFileEntry& entry : entries) {
        if (pump)
            pump();
        const std::string path = base + entry.name;
        if (entry.IsFolder() && !entry.isSymlink) {
            if (int rc = DeleteTree(path, pump, false))
                return rc;
            continue;
        }
        // Files and every symbolic link (to a folder too): the link goes, its
        // target stays. An entry that vanished since the listing is done.
        int rc = DeleteFile(path);
        if (rc != 0 && !IsGone(rc)) {
            ShowDeleteError("ファイルが削除出来ません. Error = %d", rc);
            return rc;
        }
    }
    return 0;
}

int DeleteTree(const std::string& folder, const std::function<void()>& pump, bool top) {
    const bool isRoot = folder.size() <= 3;
    CFileEntry self;
    if (!isRoot && GetEntry(folder, self) == 0 && self.isSymlink)
        return RemoveWalkedFolder(folder, top); // the link only: its target is not ours
    if (int rc = EmptyFolder(folder, pump))
        return rc;
    return isRoot ? 0 : RemoveWalkedFolder(folder, top);
}

// The clearing walk of ClearFolderTree: what it may not enter, and
// whether it left something behind (which keeps the folders above it).
class CClearer {
public:
    CClearer(const CClearWalk& walk, uint64_t device) : m_walk(walk), m_nDevice(device) {}

    // Empties folder; sets kept when something stays in it. 0 or error.
    int Empty(const std::string& folder, bool atVolumeTop, bool& kept) {
        std::string base = folder;
        AddBackslash(base);
        std::vector<CFileEntry> entries;
        FindEntries(base + "*.*", entries); // an unreadable folder shows up when it is removed
        for (const CFileEntry& entry : entries) {
            if (m_walk.keepGoing && !m_walk.keepGoing())
                return ERROR_OPERATION_ABORTED;
            const std::string path = base + entry.name;
            if (!entry.IsFolder() || entry.isSymlink) {
                const int rc = DeleteFile(path);
                if (rc != 0 && !IsGone(rc)) {
                    ShowDeleteError("ファイルが削除出来ません. Error = %d", rc);
                    return rc;
                }
                continue;
            }
            if (const std::optional<EKeptReason> why = LeaveAlone(entry, path, atVolumeTop)) {
                if (m_walk.onKept)
                    m_walk.onKept(path, *why);
                kept = true;
                continue;
            }
            bool keptInside = false;
            if (int rc = Empty(path, false, keptInside))
                return rc;
            if (keptInside) {
                kept = true;
                continue;
            }
            if (int rc = RemoveWalkedFolder(path, false))
                return rc;
        }
        return 0;
    }

private:
    std::optional<EKeptReason> LeaveAlone(const CFileEntry& entry, const std::string& path,
                                          bool atVolumeTop) const {
        if (entry.device != m_nDevice || IsMountRoot(path))
            return EKeptReason::OtherMount;
        const CFolderId id{entry.device, entry.inode};
        if (std::find(m_walk.keep.begin(), m_walk.keep.end(), id) != m_walk.keep.end())
            return EKeptReason::Kept;
        if (atVolumeTop && IsTrashName(entry.name))
            return EKeptReason::Trash;
        return std::nullopt;
    }

    // ".Trash" (an administrator's shared trash) and ".Trash-<uid>".
    static bool IsTrashName(const std::string& name) {
        if (name == ".Trash")
            return true;
        const std::string prefix = ".Trash-";
        return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
               name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
    }

    const CClearWalk& m_walk;
    uint64_t m_nDevice;
};

} // namespace

int ClearFolderTree(const std::string& folder, const CClearWalk& walk) {
    const bool isRoot = folder.size() <= 3;
    CFileEntry self;
    if (int rc = GetEntry(folder, self); rc != 0 || !self.IsFolder()) {
        const int code = rc != 0 ? rc : ERROR_DIRECTORY;
        ShowDeleteError("フォルダが削除出来ません. Error = %d", code);
        return code;
    }
    CClearer clearer(walk, self.device);
    bool kept = false;
    if (int rc = clearer.Empty(folder, isRoot || IsMountRoot(folder), kept))
        return rc;
    if (isRoot || kept || self.isSymlink)
        return 0;
    return RemoveWalkedFolder(folder, true);
}

int CreateFolder(const std::string& path) {
    int rc = MakeFolder(path);
    if (rc != ERROR_ALREADY_EXISTS)
        return rc;
    // A file of that name is not the folder the caller wants; reporting
    // success there would let the copy run fail later with a worse message.
    CFileEntry entry;
    if (GetEntry(path, entry) == 0 && entry.IsFolder())
        return 0;
    return ERROR_ALREADY_EXISTS;
}

int CreateFolderTree(const std::string& path) {
    if (path.size() < 3)
        return -2;
    std::string copy = path;
    if (copy.back() == '\\')
        copy.pop_back(); // unlike RemoveBackslash, also on a root: "D:\" becomes "D:"
    // A folder that is there already costs one look-up, not one per level.
    CFileEntry entry;
    if (GetEntry(copy, entry) == 0 && entry.IsFolder())
        return 0;
    for (size_t i = 3; i < copy.size(); ++i) {
        if (copy[i] != '\\')
            continue;
        if (int rc = CreateFolder(copy.substr(0, i)))
            return rc;
    }
    return CreateFolder(copy);
}

int DeleteFolderTree(const std::string& folder, const std::function<void()>& pump) {
    return DeleteTree(folder, pump, true);
}
