#pragma once
// The settings files of the program folder: one "<name>.def" per saved
// setting.

#include <string>
#include <vector>

// The names, with ".def", of the files in the program folder matching
// "*.def" (letter case ignored, hidden files such as ".def" included,
// folders left out), in the order the folder lists them (by name, byte
// order). Empty when the folder cannot be read or has no drive letter.
std::vector<std::string> ListSettingFiles();

// Deletes program folder + nameWithoutDef + ".def". Returns 0, or the error
// code: ERROR_FILE_NOT_FOUND when it is absent, ERROR_ACCESS_DENIED for a
// read-only file, ERROR_INVALID_NAME for a name holding a separator ("\",
// "/") or NUL (such a name would reach outside the folder), and
// ERROR_PATH_NOT_FOUND when the program folder has no drive letter.
int DeleteSettingFile(const std::string& nameWithoutDef);
