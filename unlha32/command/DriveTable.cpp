#include "command/DriveTable.h"

#include "command/HostFile.h"
#include "lzh/CodePage.h"

#include <dlfcn.h>
#include <fstream>

namespace unlha {

namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool SameIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return i == a.size() && b[i] == '\0';
}

std::string WithoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder == "/" ? std::string() : folder;
}

} // namespace

CDriveTable::CDriveTable() {
    m_roots['C'] = "";
}

void CDriveTable::LoadFromProfile(const std::string& hostIniPath) {
    if (!GetPathInfo(hostIniPath).bRegular)
        return; // a folder or device of that name is no profile
    std::ifstream in(hostIniPath, std::ios::binary);
    if (!in)
        return;
    std::string line;
    bool inDrives = false;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            inDrives = close != std::string::npos &&
                       SameIgnoringCase(Trim(line.substr(1, close - 1)), "Drives");
            continue;
        }
        size_t eq = line.find('=');
        if (!inDrives || eq == std::string::npos)
            continue;
        std::string key = Trim(line.substr(0, eq));
        std::string value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        char letter = key.size() == 1 ? key[0] : '\0';
        if (letter >= 'a' && letter <= 'z')
            letter = static_cast<char>(letter - 32);
        auto utf8 = Cp932ToUtf8(value);
        if (letter < 'A' || letter > 'Z' || !utf8 || utf8->empty() || (*utf8)[0] != '/')
            continue;
        m_roots[letter] = WithoutTrailingSlashes(*utf8);
    }
}

std::optional<std::string> CDriveTable::ToHost(const std::string& path) const {
    if (!path.empty() && path[0] == '/')
        return path;
    if (path.size() < 2 || path[1] != ':')
        return std::nullopt;
    char letter = path[0];
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 32);
    auto it = m_roots.find(letter);
    if (it == m_roots.end())
        return std::nullopt;
    std::string rest = path.substr(2);
    if (!rest.empty() && rest[0] != '\\' && rest[0] != '/')
        return std::nullopt; // "C:name" is relative to a current folder we do not have
    for (char& c : rest)
        if (c == '\\')
            c = '/';
    std::string host = it->second + rest;
    return host.empty() ? std::string("/") : host;
}

std::string LibraryFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) == 0 || info.dli_fname == nullptr)
        return {};
    std::string file = info.dli_fname;
    size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

} // namespace unlha
