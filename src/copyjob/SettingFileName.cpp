#include "copyjob/SettingFileName.h"

#include "files/PathText.h"
#include "files/PathUtils.h"

#include <string_view>

std::string SettingFilePath(const std::string& name) {
    std::string path = GetProgramFolder();
    AddBackslash(path);
    return path + name + kSettingFileExtension;
}

std::optional<std::string> SettingNameOfFile(const std::string& fileName) {
    constexpr std::string_view extension = kSettingFileExtension;
    if (!fileName.ends_with(extension))
        return std::nullopt;
    return fileName.substr(0, fileName.size() - extension.size());
}
