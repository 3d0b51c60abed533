#pragma once
// Creating and deleting folder trees on drive-letter paths.

#include "platform/FileSystem.h"

#include <functional>
#include <string>
#include <vector>

// Creates one folder (its parent must exist). 0 on success and when a
// folder of that name already exists; ERROR_ALREADY_EXISTS when a file (or
// anything else that is not a folder) holds the name; otherwise the error
// code. Never shows a message.
int CreateFolder(const std::string& path);

// Creates the folder and every missing ancestor below the drive root, from
// the root downwards. 0 when all exist afterwards; -2 for a path shorter
// than 3 bytes (nothing created); else the code of the first CreateFolder
// that failed (what was created before stays). Never shows a message.
int CreateFolderTree(const std::string& path);

// Empties the folder recursively and then removes it; a drive root is
// emptied but kept. Read-only and hidden entries are deleted too, without
// changing their attributes, so a read-only file stops the walk with
// ERROR_ACCESS_DENIED. Symbolic links are removed as links, never followed:
// nothing outside the folder is touched. pump is called once before each
// entry. Entries that vanish during the walk count as deleted; a folder
// that does not exist fails with the folder message. The first failure
// shows one message, "ファイルが削除出来ません. Error = %d" or
// "フォルダが削除出来ません. Error = %d", and its code is returned; what
// was deleted before stays deleted. 0 on success.
int DeleteFolderTree(const std::string& folder, const std::function<void()>& pump = {});

// Why a clearing walk left a folder where it was.
enum class EKeptReason {
    OtherMount, // another file system, or a mount of this one, lies there
    Kept,       // one of the folders the caller asked to keep
    Trash,      // the volume's trash (".Trash", ".Trash-<uid>") at its top
};

struct CClearWalk {
    // Called before each entry; false stops the walk with ERROR_OPERATION_ABORTED.
    std::function<bool()> keepGoing;
    // Folders never deleted, nor anything in them (the program's folder).
    std::vector<CFolderId> keep;
    // Told of every folder left where it was.
    std::function<void(const std::string& path, EKeptReason why)> onKept;
};

// Empties the folder like DeleteFolderTree, and removes it unless it is a
// drive root, a symbolic link (whose target is emptied and the link kept:
// the user named the destination by it) or a folder that still holds a kept
// one. The walk never crosses into another mount, as "rm --one-file-system"
// does: a folder on another device, or a mount root, is left and reported;
// so are the folders of walk.keep and, at a drive root or a mount root, the
// volume's trash folders. 0, ERROR_OPERATION_ABORTED when keepGoing said
// stop (no message), or the code of the failure shown as DeleteFolderTree
// shows it.
int ClearFolderTree(const std::string& folder, const CClearWalk& walk);
