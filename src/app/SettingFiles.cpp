#include "app/SettingFiles.h"

#include "files/PathUtils.h"
#include "platform/FileSystem.h"

std::vector<std::string> ListSettingFiles() {
    std::vector<std::string> names;
    const std::string folder = GetProgramFolder();
    if (!folder.empty())
        ListFiles(folder + "*.def", names);
    // The pattern ignores letter case, but a setting is always opened as
    // <name>.def, and on this system "X.DEF" is another file: list only
    // what can be opened.
    std::erase_if(names, [](const std::string& name) {
        return name.size() < 4 || name.compare(name.size() - 4, 4, ".def") != 0;
    });
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
