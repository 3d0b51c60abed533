#pragma once
// Creating and deleting folder trees on drive-letter paths.

#include <functional>
#include <string>

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
