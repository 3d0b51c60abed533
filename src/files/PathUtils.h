#pragma once
// Path, file and folder utilities used by every subsystem: the path texts,
// file queries and folder trees, plus the program folder and the warning
// box. Error texts come from platform/ErrorCodes.h (GetSystemErrorText).

#include "files/FileQueries.h"
#include "files/FolderTree.h"
#include "files/PathText.h"
#include "platform/ErrorCodes.h"

#include <string>

// The program's folder as a drive-letter path with a trailing "\"
// ("C:\opt\tidewell\"); empty when no drive letter holds it.
std::string GetProgramFolder();

// The application profile: program folder + "Tidewell.Ini" (empty folder
// part when the program folder has no drive letter).
std::string AppProfilePath();

// Warning sound, then a modal box with the text, an exclamation icon, an OK
// button and the application's title. context is accepted and not shown.
void WarningBox(const std::string& text, const std::string& context = {});
