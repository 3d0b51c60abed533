#include "selection/ExcludeFolders.h"

#include "files/PathText.h"
#include "platform/AsciiCase.h"

#include <algorithm>
#include <unordered_set>

namespace {

std::string WithoutBackslash(std::string path) {
    RemoveBackslash(path);
    return path;
}

} // namespace

std::vector<CExcludeLine> ExcludeLines(const std::vector<std::string>& aCandidates,
                                       const std::vector<std::string>& aOutDirs) {
    // Thousands of folders against thousands of entries: one look-up each.
    std::unordered_set<std::string> excluded;
    for (const std::string& entry : aOutDirs)
        excluded.insert(UpperAscii(WithoutBackslash(entry)));
    const std::string root = aCandidates.empty() ? std::string() : aCandidates.front();
    std::vector<CExcludeLine> lines;
    lines.reserve(aCandidates.size());
    for (size_t i = 0; i < aCandidates.size(); ++i) {
        CExcludeLine line;
        line.strText = WithoutBackslash(aCandidates[i]);
        line.bChecked = excluded.count(UpperAscii(line.strText)) != 0;
        // Below the source folder, each separator after it is one level.
        if (i > 0 && line.strText.size() > root.size() && line.strText.starts_with(root)) {
            line.nDepth = 1 + static_cast<int>(std::count(line.strText.begin() + root.size(),
                                                          line.strText.end(), '\\'));
            line.nNameAt = line.strText.rfind('\\') + 1;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> CheckedFolders(const std::vector<std::string>& aCandidates,
                                        const std::vector<bool>& aChecked) {
    std::vector<std::string> folders;
    for (size_t i = 0; i < aCandidates.size() && i < aChecked.size(); ++i)
        if (aChecked[i])
            folders.push_back(WithoutBackslash(aCandidates[i]));
    return folders;
}
