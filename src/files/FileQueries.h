#pragma once
// Questions about files and folders on drive-letter paths. Every failure of
// the file system counts as "not found" or "no entries".

#include "platform/FileSystem.h"

#include <string>
#include <vector>

// 1 when the first entry (in name order) matching the name or pattern is a
// file, else 0 (also when that first match is a folder, even if files match
// later). On 1 the entry is copied to *entry when entry is not null.
int FileExists(const std::string& pattern, CFileEntry* entry = nullptr);

// Empties list, then appends the bare names of every file matching the
// pattern (hidden files included, folders left out). Returns the count.
int ListFiles(const std::string& pattern, std::vector<std::string>& list);

// Appends (without emptying list first) the bare names of the subfolders of
// folder that are not hidden, system or temporary. Symbolic links to
// folders are left out, so walks built on this never loop or leave the
// tree. Returns the list's size afterwards; an unreadable folder adds none.
int ListSubfolders(const std::string& folder, std::vector<std::string>& list);

// 1 when the path (with or without trailing "\") is a drive root or an
// existing folder on a drive that is ready (see CheckDrive), else 0.
int FolderExists(const std::string& path);
