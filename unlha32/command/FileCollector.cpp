#include "command/FileCollector.h"

#include "command/HostFile.h"
#include "command/MemberNames.h"
#include "lzh/CodePage.h"
#include "lzh/LzhHeader.h"
#include "lzh/ResultCodes.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_set>
#include <utility>

namespace unlha {

namespace {

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

size_t CharLength(const std::string& s, size_t i) {
    size_t len = 1;
    while (i + len < s.size() && (static_cast<unsigned char>(s[i + len]) & 0xC0) == 0x80)
        ++len;
    return len;
}

bool MatchFrom(const std::string& p, size_t pi, const std::string& n, size_t ni) {
    while (pi < p.size()) {
        if (p[pi] == '*') {
            while (pi < p.size() && p[pi] == '*')
                ++pi;
            if (pi == p.size())
                return true;
            for (size_t k = ni; k <= n.size(); k += (k < n.size() ? CharLength(n, k) : 1))
                if (MatchFrom(p, pi, n, k))
                    return true;
            return false;
        }
        if (ni >= n.size())
            return false;
        if (p[pi] == '?') {
            pi += CharLength(p, pi);
            ni += CharLength(n, ni);
            continue;
        }
        if (Fold(p[pi]) != Fold(n[ni]))
            return false;
        ++pi;
        ++ni;
    }
    return ni == n.size();
}

// The file patterns of one folder, matched in one walk: names without
// wildcards, "*" followed by a name ("*.txt") and a name followed by "*"
// ("Read*") by lookups, the others one by one.
class CPatternSet {
public:
    void Add(const std::string& pattern) {
        size_t wild = pattern.find_first_of("*?");
        size_t last = pattern.find_last_of("*?");
        if (pattern == "*.*" || pattern == "*")
            m_bAll = true;
        else if (wild == std::string::npos)
            m_exact.insert(PathKey(pattern));
        else if (wild == 0 && last == 0 && pattern[0] == '*')
            AddPart(m_suffixes, m_suffixLengths, pattern.substr(1));
        else if (wild == pattern.size() - 1 && pattern.back() == '*')
            AddPart(m_prefixes, m_prefixLengths, pattern.substr(0, wild));
        else if (std::find(m_wild.begin(), m_wild.end(), pattern) == m_wild.end())
            m_wild.push_back(pattern);
    }
    bool Matches(const std::string& name) const {
        if (m_bAll)
            return true;
        std::string key = PathKey(name);
        if (m_exact.count(key) != 0)
            return true;
        // A literal part is valid UTF-8, so it cannot match from inside a
        // character.
        for (size_t length : m_suffixLengths)
            if (length <= key.size() && m_suffixes.count(key.substr(key.size() - length)) != 0)
                return true;
        for (size_t length : m_prefixLengths)
            if (length <= key.size() && m_prefixes.count(key.substr(0, length)) != 0)
                return true;
        return std::any_of(m_wild.begin(), m_wild.end(),
                           [&](const std::string& p) { return MatchFrom(p, 0, name, 0); });
    }

private:
    static void AddPart(std::unordered_set<std::string>& parts, std::set<size_t>& lengths,
                        const std::string& part) {
        parts.insert(PathKey(part));
        lengths.insert(part.size());
    }

    bool m_bAll = false;
    std::unordered_set<std::string> m_exact, m_suffixes, m_prefixes; // case-folded
    std::set<size_t> m_suffixLengths, m_prefixLengths;
    std::vector<std::string> m_wild;
};

class CCollector {
public:
    CCollector(const CCommand& command, std::vector<CCollectedItem>& items, CReport& report)
        : m_command(command), m_items(items), m_report(report) {
        for (const auto& item : items)
            m_stored.insert(item.strStored);
    }

    int Walk(const std::string& hostFolder, const std::string& relFolder,
             const CPatternSet& patterns);

private:
    int AddFile(const CDirEntry& entry, const std::string& host, const std::string& rel);
    int AddFolder(const CDirEntry& entry, const std::string& host, const std::string& rel);
    // False (with a report line) for a path that no member name can hold.
    bool Storable(const std::string& stored, bool folder);

    const CCommand& m_command;
    std::vector<CCollectedItem>& m_items;
    CReport& m_report;
    std::unordered_set<std::string> m_stored; // exact: names differing in case are different files
};

bool CCollector::Storable(const std::string& stored, bool folder) {
    if (IsStorableName(stored, folder))
        return true;
    m_report.AddLine("書庫に格納できない名前です: " + stored);
    return false;
}

int CCollector::AddFile(const CDirEntry& entry, const std::string& host, const std::string& rel) {
    if (!entry.info.bRegular) {
        // FIFOs, sockets, devices and broken links hold nothing to store.
        m_report.AddLine("通常のファイルではないので格納しません: " + rel);
        return RESULT_OK;
    }
    if (!IsValidUtf8(entry.strName)) {
        m_report.AddLine("ファイル名の文字コードが正しくありません: " + host);
        return RESULT_FILE_OPEN;
    }
    if (entry.info.nSize > 0xFFFFFFFFull) {
        m_report.AddLine("4 GiB 以上のファイルは格納できません: " + rel);
        return RESULT_FILE_OPEN;
    }
    CCollectedItem item;
    item.strHostPath = host;
    item.strStored = m_command.bKeepPaths ? rel : entry.strName;
    item.nTime = entry.info.nTime;
    item.nSize = entry.info.nSize;
    item.nDevice = entry.info.nDevice;
    item.nInode = entry.info.nInode;
    item.nAttribute = DOS_ARCHIVE;
    if ((entry.info.nMode & 0200) == 0)
        item.nAttribute |= DOS_READONLY;
    if (entry.strName[0] == '.')
        item.nAttribute |= DOS_HIDDEN;
    if (!Storable(item.strStored, false))
        return RESULT_FILE_OPEN;
    if (!m_stored.insert(item.strStored).second) {
        m_report.AddLine("同じ名前のファイルが先に格納されるので格納しません: " + rel);
        return RESULT_OK;
    }
    m_items.push_back(std::move(item));
    return RESULT_OK;
}

int CCollector::AddFolder(const CDirEntry& entry, const std::string& host, const std::string& rel) {
    if (!m_command.bKeepPaths)
        return RESULT_OK;
    if (!Storable(rel, true))
        return RESULT_FILE_OPEN;
    if (!m_stored.insert(rel).second)
        return RESULT_OK;
    CCollectedItem item;
    item.strHostPath = host;
    item.strStored = rel;
    item.bFolder = true;
    item.nTime = entry.info.nTime;
    item.nAttribute = DOS_DIRECTORY;
    m_items.push_back(std::move(item));
    return RESULT_OK;
}

int CCollector::Walk(const std::string& hostFolder, const std::string& relFolder,
                     const CPatternSet& patterns) {
    std::vector<CDirEntry> entries;
    if (ListFolder(hostFolder, entries) != 0) {
        m_report.AddLine("フォルダを読めません: " + hostFolder);
        return RESULT_FILE_OPEN;
    }
    for (const CDirEntry& entry : entries) {
        if (entry.info.bFolder || !patterns.Matches(entry.strName))
            continue;
        if (int rc = AddFile(entry, Join(hostFolder, entry.strName), relFolder + entry.strName))
            return rc;
    }
    if (!m_command.bRecurse)
        return RESULT_OK;
    for (const CDirEntry& entry : entries) {
        if (!entry.info.bFolder || entry.info.bSymlink || entry.strName[0] == '.')
            continue;
        if (!IsValidUtf8(entry.strName)) {
            m_report.AddLine("フォルダ名の文字コードが正しくありません: " + hostFolder);
            return RESULT_FILE_OPEN;
        }
        std::string host = Join(hostFolder, entry.strName);
        if (int rc = AddFolder(entry, host, relFolder + entry.strName))
            return rc;
        if (int rc = Walk(host, relFolder + entry.strName + "/", patterns))
            return rc;
    }
    return RESULT_OK;
}

// The folders the specs name, each with all of its patterns, in the order
// of first mention: a folder is walked once however many patterns name it.
struct CFolderPatterns {
    std::string strHost;
    std::string strRel; // relative to the base folder: the stored prefix
    CPatternSet patterns;
};

} // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*")
        return true;
    return MatchFrom(pattern, 0, name, 0);
}

int CollectFiles(const CCommand& command, const CDriveTable& drives,
                 std::vector<CCollectedItem>& items, CReport& report) {
    constexpr size_t kMissing = ~size_t{0};
    std::vector<CFolderPatterns> folders;
    std::map<std::string, size_t> byFolder; // host + '\0' + rel -> index
    for (const CFileSpec& spec : command.aSpecs) {
        std::string pattern = spec.strPattern;
        for (char& c : pattern)
            if (c == '\\')
                c = '/';
        size_t cut = pattern.rfind('/');
        std::string relFolder = cut == std::string::npos ? "" : pattern.substr(0, cut + 1);
        std::string namePattern = pattern.substr(cut == std::string::npos ? 0 : cut + 1);
        if (relFolder.find("..") != std::string::npos ||
            (!relFolder.empty() && relFolder[0] == '/')) {
            report.AddLine("基準フォルダの外を指すファイル名です: " + spec.strPattern);
            return RESULT_BAD_COMMAND;
        }
        auto baseHost = drives.ToHost(spec.strBase);
        std::string folder = baseHost ? *baseHost + relFolder : "";
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        std::string key = folder + '\0' + relFolder;
        auto known = byFolder.find(key);
        if (known == byFolder.end()) {
            bool found = baseHost && GetPathInfo(folder).bFolder;
            if (!found)
                report.AddLine("フォルダが見つかりません: " + spec.strBase + spec.strPattern);
            known = byFolder.emplace(key, found ? folders.size() : kMissing).first;
            if (found)
                folders.push_back(CFolderPatterns{folder, relFolder, {}});
        }
        if (known->second != kMissing)
            folders[known->second].patterns.Add(namePattern.empty() ? "*.*" : namePattern);
    }
    CCollector collector(command, items, report);
    for (const CFolderPatterns& f : folders)
        if (int rc = collector.Walk(f.strHost, f.strRel, f.patterns))
            return rc;
    return RESULT_OK;
}

} // namespace unlha
