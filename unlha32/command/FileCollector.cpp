#include "command/FileCollector.h"

#include "command/HostFile.h"
#include "command/MemberNames.h"
#include "lzh/CodePage.h"
#include "lzh/LzhHeader.h"
#include "lzh/ResultCodes.h"

#include <set>

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

class CCollector {
public:
    CCollector(const CCommand& command, std::vector<CCollectedItem>& items, CReport& report)
        : m_command(command), m_items(items), m_report(report) {
        for (const auto& item : items)
            m_stored.insert(item.strStored);
    }

    int Walk(const std::string& hostFolder, const std::string& relFolder,
             const std::string& pattern);

private:
    int AddFile(const CDirEntry& entry, const std::string& host, const std::string& rel);
    int AddFolder(const CDirEntry& entry, const std::string& host, const std::string& rel);
    // False (with a report line) for a path that no member name can hold.
    bool Storable(const std::string& stored, bool folder);

    const CCommand& m_command;
    std::vector<CCollectedItem>& m_items;
    CReport& m_report;
    std::set<std::string> m_stored; // exact: names differing in case are different files
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
    m_items.push_back(item);
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
    m_items.push_back(item);
    return RESULT_OK;
}

int CCollector::Walk(const std::string& hostFolder, const std::string& relFolder,
                     const std::string& pattern) {
    std::vector<CDirEntry> entries;
    if (ListFolder(hostFolder, entries) != 0) {
        m_report.AddLine("フォルダを読めません: " + hostFolder);
        return RESULT_FILE_OPEN;
    }
    for (const CDirEntry& entry : entries) {
        if (entry.info.bFolder || !WildcardMatch(pattern, entry.strName))
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
        if (int rc = Walk(host, relFolder + entry.strName + "/", pattern))
            return rc;
    }
    return RESULT_OK;
}

} // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*")
        return true;
    return MatchFrom(pattern, 0, name, 0);
}

int CollectFiles(const CCommand& command, const CDriveTable& drives,
                 std::vector<CCollectedItem>& items, CReport& report) {
    CCollector collector(command, items, report);
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
        if (!baseHost || !GetPathInfo(folder).bFolder) {
            report.AddLine("フォルダが見つかりません: " + spec.strBase + spec.strPattern);
            continue;
        }
        if (namePattern.empty())
            namePattern = "*.*";
        if (int rc = collector.Walk(folder, relFolder, namePattern))
            return rc;
    }
    return RESULT_OK;
}

} // namespace unlha
