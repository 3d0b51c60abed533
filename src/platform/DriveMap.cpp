#include "platform/DriveMap.h"

#include "platform/AsciiCase.h"
#include "platform/IniFile.h"

#include <string_view>
#include <vector>

namespace {

// The drive letter in upper case, or '\0' for anything but a letter.
char UpperLetter(char letter) {
    return IsAsciiLetter(letter) ? UpperAscii(letter) : '\0';
}

bool IsSeparator(char c, bool backslashToo) {
    return c == '/' || (backslashToo && c == '\\');
}

// Splits a path into components and resolves "." and ".." as text. With
// climbOut false a ".." above the start fails; with it true it stays at the
// start (as "/.." is "/" on the host).
std::optional<std::vector<std::string_view>> Components(std::string_view path, bool backslashToo,
                                                        bool climbOut) {
    std::vector<std::string_view> parts;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = pos;
        while (end < path.size() && !IsSeparator(path[end], backslashToo))
            ++end;
        std::string_view part = path.substr(pos, end - pos);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            else if (!climbOut)
                return std::nullopt;
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = end + 1;
    }
    return parts;
}

std::string Join(const std::vector<std::string_view>& parts, char separator) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += separator;
        out += parts[i];
    }
    return out;
}

// "/a//b/./c/" -> "/a/b/c"; nullopt for a relative path or one with a NUL.
std::optional<std::string> CleanHostPath(std::string_view path) {
    if (path.empty() || path.front() != '/' || path.find('\0') != std::string_view::npos)
        return std::nullopt;
    return "/" + Join(*Components(path, false, true), '/');
}

} // namespace

CDriveMap::CDriveMap() {
    m_roots['C'] = "/";
}

void CDriveMap::LoadFromProfile(const std::string& hostIniPath) {
    m_roots.clear();
    m_roots['C'] = "/";
    CIniFile ini;
    if (ini.Load(hostIniPath) != 0)
        return;
    for (const std::string& key : ini.Keys("Drives")) {
        if (key.size() == 1)
            Map(key[0], ini.Get("Drives", key).value_or(std::string()));
    }
}

bool CDriveMap::Map(char letter, const std::string& hostFolder) {
    char upper = UpperLetter(letter);
    std::optional<std::string> clean = CleanHostPath(hostFolder);
    if (!upper || !clean)
        return false;
    m_roots[upper] = *clean;
    return true;
}

void CDriveMap::Clear() {
    m_roots.clear();
}

std::optional<std::string> CDriveMap::HostRoot(char letter) const {
    auto it = m_roots.find(UpperLetter(letter));
    if (it == m_roots.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::string> CDriveMap::ToHost(const std::string& drivePath) const {
    std::string_view path = drivePath;
    if (path.size() < 2 || path[1] != ':' || path.find('\0') != std::string_view::npos)
        return std::nullopt;
    std::string_view rest = path.substr(2);
    if (!rest.empty() && !IsSeparator(rest.front(), true))
        return std::nullopt; // "D:a" is relative to a current folder we do not have
    std::optional<std::string> root = HostRoot(path[0]);
    if (!root)
        return std::nullopt;
    std::optional<std::vector<std::string_view>> parts = Components(rest, true, false);
    if (!parts)
        return std::nullopt;
    if (parts->empty())
        return root;
    return (*root == "/" ? std::string() : *root) + "/" + Join(*parts, '/');
}

std::optional<std::string> CDriveMap::FromHost(const std::string& hostPath) const {
    std::optional<std::string> clean = CleanHostPath(hostPath);
    // A host name may hold a backslash, which a drive-letter path would read as a
    // separator: such a path has no drive-letter form.
    if (!clean || clean->find('\\') != std::string::npos)
        return std::nullopt;
    char best = '\0';
    size_t bestLength = 0;
    std::string rest;
    for (const auto& [letter, root] : m_roots) {
        bool holds = root == "/" || *clean == root ||
                     (clean->size() > root.size() && clean->compare(0, root.size(), root) == 0 &&
                      (*clean)[root.size()] == '/');
        if (!holds || (best && root.size() <= bestLength))
            continue;
        best = letter;
        bestLength = root.size();
        rest = root == "/" ? clean->substr(1)
                           : clean->substr(std::min(clean->size(), root.size() + 1));
    }
    if (!best)
        return std::nullopt;
    for (char& c : rest)
        if (c == '/')
            c = '\\';
    return std::string(1, best) + ":\\" + rest;
}

std::string CDriveMap::Letters() const {
    std::string letters;
    for (const auto& entry : m_roots)
        letters += entry.first;
    return letters;
}
