#include "files/PathText.h"

void AddBackslash(std::string& path) {
    if (path.size() == 1) {
        path += ":\\";
        return;
    }
    if (path.find('\\') != std::string::npos && path.back() != '\\')
        path += '\\';
}

void RemoveBackslash(std::string& path) {
    if (path.size() > 3 && path.back() == '\\')
        path.pop_back();
}

std::string SplitPath(const std::string& path, bool folderPart) {
    size_t driveLength = (path.size() >= 2 && path[1] == ':') ? 2 : 0;
    size_t lastSeparator = path.find_last_of("\\/");
    size_t nameStart = driveLength;
    if (lastSeparator != std::string::npos && lastSeparator >= driveLength)
        nameStart = lastSeparator + 1;
    return folderPart ? path.substr(0, nameStart) : path.substr(nameStart);
}
