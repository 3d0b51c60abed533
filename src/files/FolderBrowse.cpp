#include "files/FolderBrowse.h"

#include "platform/AsciiCase.h"

#include <algorithm>
#include <unordered_set>

std::string JoinItemTexts(const std::vector<std::string>& texts) {
    std::string path;
    for (const std::string& text : texts) {
        if (!path.empty() && path.back() != '\\')
            path += '\\';
        path += text;
    }
    return path;
}

bool FolderNameLess(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const char ca = UpperAscii(a[i]);
        const char cb = UpperAscii(b[i]);
        if (ca != cb)
            return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::optional<CSelectSteps> SplitSelectPath(const std::string& path) {
    if (path.size() <= 2)
        return std::nullopt;
    CSelectSteps steps;
    steps.strRoot = path.substr(0, 3);
    if (steps.strRoot[2] == '/')
        steps.strRoot[2] = '\\';
    std::string rest = path.substr(3);
    while (!rest.empty()) {
        const size_t sep = rest.find_first_of("\\/");
        steps.aNames.push_back(rest.substr(0, sep));
        rest = sep == std::string::npos ? std::string() : rest.substr(sep + 1);
    }
    return steps;
}

CChildChanges DiffChildren(const std::vector<std::string>& shown,
                           const std::vector<std::string>& onDisk) {
    const std::unordered_set<std::string> disk(onDisk.begin(), onDisk.end());
    std::unordered_set<std::string> listed;
    CChildChanges changes;
    for (const std::string& name : shown) {
        if (disk.count(name))
            listed.insert(name);
        else
            changes.aRemoved.push_back(name);
    }
    for (const std::string& name : onDisk)
        if (listed.insert(name).second)
            changes.aAdded.push_back(name);
    std::sort(changes.aAdded.begin(), changes.aAdded.end(), FolderNameLess);
    return changes;
}

bool CMediumTracker::Unchanged(int drive, std::optional<uint32_t> serial) {
    const uint32_t before = m_aSerials.at(drive);
    m_aSerials.at(drive) = serial.value_or(kNone);
    return serial && (*serial == before || before == kNone);
}
