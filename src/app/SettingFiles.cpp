#include "app/SettingFiles.h"

#include "app/SettingNames.h"
#include "copyjob/SettingFileName.h"
#include "files/PathUtils.h"
#include "platform/FileSystem.h"

std::vector<std::string> ListSettingFiles() {
    std::vector<std::string> names;
    const std::string folder = GetProgramFolder();
    if (!folder.empty())
        ListFiles(folder + "*" + kSettingFileExtension, names);
    // The pattern ignores letter case, but a setting is always opened as
    // <name>.def, and on this system "X.DEF" is another file: list only
    // what can be opened.
    std::erase_if(names, [](const std::string& name) { return !SettingNameOfFile(name); });
    return names;
}

int DeleteSettingFile(const std::string& nameWithoutDef) {
    // The name may come from the profile, which anyone can edit: "..\x"
    // must not delete a file outside the program folder.
    if (CheckSettingName(nameWithoutDef) != ESettingNameProblem::None)
        return ERROR_INVALID_NAME;
    if (GetProgramFolder().empty())
        return ERROR_PATH_NOT_FOUND;
    return DeleteFile(SettingFilePath(nameWithoutDef));
}
