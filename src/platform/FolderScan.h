#pragma once
// Quick folder questions for the folder tree, on drive-letter paths: the
// names of a folder's subfolders and whether it has any. They read only
// the folder's own entries (the entry types the system reports, a status
// call only for links and entries of unknown type), so a tree of thousands
// of folders fills in milliseconds.
//
// Subfolders here are what a user browsing sees: hidden ones (".config")
// and symbolic links to folders included; "." and ".." and names that hold
// a "\" (no drive-letter path can name them) left out.

#include <string>
#include <vector>

// Appends the subfolder names of folder to names, in the order the system
// gives them. 0, or the error code when the folder cannot be read (names
// unchanged).
int ListFolderNames(const std::string& folder, std::vector<std::string>& names);

// True as soon as the folder holds one subfolder; false when it holds none
// or cannot be read.
bool HasSubfolder(const std::string& folder);

// True when the path names an existing folder (a link to one included).
bool IsExistingFolder(const std::string& path);

// The names of one folder as a walk over a whole tree needs them, from the
// entry types alone: the files (every entry that is no folder, hidden
// ones, special files and links to files included) and the subfolders a
// copy walk enters (not hidden, never a link). A link to a folder is in
// neither list. Both sorted by name, byte order, so a walk is repeatable.
struct CFolderNames {
    std::vector<std::string> files;
    std::vector<std::string> folders;
};

// Fills names (emptied first) from the folder. 0, or the error code when
// the folder cannot be read (both lists then empty).
int ReadFolderNames(const std::string& folder, CFolderNames& names);
