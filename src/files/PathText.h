#pragma once
// Pure operations on drive-letter path texts (D:\Data\a.txt). Texts are
// UTF-8, where a byte 0x5C is always a whole character, so a byte walk
// finds exactly the separators a character walk would.

#include "platform/AsciiCase.h"

#include <string>

// Appends "\" to a folder path that lacks it. A one-byte text is taken as a
// drive letter and becomes "D:\"; a text without any "\" (empty, "D:",
// "Data") and a text already ending in "\" are left unchanged.
void AddBackslash(std::string& path);

// Removes one trailing "\" from a path longer than 3 bytes; a drive root
// ("D:\") and every text of 3 bytes or fewer are left unchanged.
void RemoveBackslash(std::string& path);

// The folder part (folderPart true: drive and directory up to and including
// the last separator, "D:\Tools\" for "D:\Tools\a.txt", "D:" for "D:a.txt")
// or the file-name part (base name and extension, empty when the path ends
// in a separator) of a path. Both "\" and "/" count as separators.
std::string SplitPath(const std::string& path, bool folderPart);
