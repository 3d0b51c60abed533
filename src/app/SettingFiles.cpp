#include "app/SettingFiles.h"

#include "files/PathUtils.h"
#include "platform/FileSystem.h"

std::vector<std::string> ListSettingFiles() {
    std::vector<std::string> names;
    const std::string folder = GetProgramFolder();
    if (!folder.empty())
        ListFiles(folder + "*.def", names);
    return names;
}

int DeleteSettingFile(const std::string& nameWithoutDef) {
    // The name may come from the profile, which anyone can edit: "..\x"
    // must not delete a file outside the program folder.
    if (nameWithoutDef.find_first_of(std::string("\\/\0", 3)) != std::string::npos)
        return ERROR_INVALID_NAME;
    const std::string folder = GetProgramFolder();
    if (folder.empty())
        return ERROR_PATH_NOT_FOUND;
    return DeleteFile(folder + nameWithoutDef + ".def");
}
