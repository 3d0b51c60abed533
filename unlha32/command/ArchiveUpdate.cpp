#include "command/ArchiveUpdate.h"

#include "command/HostFile.h"
#include "command/MemberNames.h"
#include "command/MemberWriter.h"
#include "lzh/ArchiveReader.h"
#include "lzh/ResultCodes.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace unlha {

namespace {

enum class EAction { Keep, Replace, Add };

std::string ForReport(std::string path) {
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void ReportMember(CReport& report, const char* verb, const CWrittenMember& w,
                  const std::string& stored) {
    char line[96];
    std::snprintf(line, sizeof line, "%s %s %10llu -> %10llu  ", verb, w.strMethod.c_str(),
                  static_cast<unsigned long long>(w.nOriginal),
                  static_cast<unsigned long long>(w.nPacked));
    report.AddLine(line + ForReport(stored));
}

// Checks the archive name and finds its host path. 0 or a result code.
int ResolveArchive(const CCommand& command, const CDriveTable& drives, std::string& host,
                   CReport& report) {
    const std::string& name = command.strArchive;
    size_t cut = name.find_last_of("\\/");
    std::string last = cut == std::string::npos ? name : name.substr(cut + 1);
    if (last.empty() || last.find_first_of("*?") != std::string::npos) {
        // "*.LZH" is the stored default of an unset name: never create it.
        report.AddLine("書庫のファイル名が指定されていません: " + name);
        return RESULT_NO_ARCHIVE_NAME;
    }
    auto resolved = drives.ToHost(name);
    if (!resolved) {
        report.AddLine("書庫のパスを解決できません: " + name);
        return RESULT_ARCHIVE_OPEN;
    }
    if (resolved->size() >= PATH_MAX || last.size() > NAME_MAX - 20) {
        report.AddLine("書庫のパスが長すぎます: " + name);
        return RESULT_PATH_TOO_LONG;
    }
    host = *resolved;
    return RESULT_OK;
}

// Copies one member of the old archive unchanged.
bool CopyMember(CReadFile& old, const CArchiveMember& member, CArchiveWriter& out) {
    std::vector<uint8_t> buffer(1 << 16);
    uint64_t done = 0;
    while (done < member.nLength) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(buffer.size(), member.nLength - done));
        if (!old.ReadAt(member.nOffset + done, buffer.data(), n) || !out.Write(buffer.data(), n))
            return false;
        done += n;
    }
    return true;
}

struct CPlan {
    std::vector<int> aReplacement;  // per old member: item index, or -1 to keep
    std::vector<size_t> aAdditions; // item indexes of new members
};

CPlan MakePlan(const CCommand& command, const std::vector<CArchiveMember>& members,
               const std::vector<CCollectedItem>& items) {
    CPlan plan;
    plan.aReplacement.assign(members.size(), -1);
    std::vector<std::string> memberPaths, itemPaths;
    for (const auto& m : members)
        memberPaths.push_back(m.strPath);
    for (const auto& item : items)
        itemPaths.push_back(item.strStored);
    std::vector<int> match = MatchMembers(memberPaths, itemPaths);
    for (size_t i = 0; i < items.size(); ++i) {
        if (match[i] < 0) {
            plan.aAdditions.push_back(i);
            continue;
        }
        const CArchiveMember& m = members[static_cast<size_t>(match[i])];
        bool sameKind = m.bFolder == items[i].bFolder;
        if (command.cCommand == 'a' || !sameKind ||
            IsNewerThanMember(items[i].nTime, m.bDosTime, m.nTime))
            plan.aReplacement[static_cast<size_t>(match[i])] = static_cast<int>(i);
    }
    return plan;
}

// The report line of a failed write, with the system's reason.
int WriteFailed(CReport& report, const CArchiveWriter& out, const std::string& host) {
    int err = out.LastError() != 0 ? out.LastError() : EIO;
    report.AddLine("書庫を書き込めません (" + std::string(std::strerror(err)) + "): " + host);
    return RESULT_ARCHIVE_OPEN;
}

int WriteArchive(const std::string& host, CReadFile* old,
                 const std::vector<CArchiveMember>& members,
                 const std::vector<CCollectedItem>& items, const CPlan& plan,
                 const CCommand& command, CReport& report) {
    CArchiveWriter out;
    if (out.Create(host) != 0) {
        report.AddLine("作業ファイルを作成できません: " + host);
        return RESULT_WORK_FILE;
    }
    CWrittenMember written;
    CLzhEncoder encoder(command.nMethod, CEncoderParams::ForLevel(command.nLevel));
    CFolderHandle folder;
    for (size_t m = 0; m < members.size(); ++m) {
        int index = plan.aReplacement[m];
        if (index < 0) {
            if (!CopyMember(*old, members[m], out)) {
                if (out.LastError() != 0)
                    return WriteFailed(report, out, host);
                report.AddLine("書庫を読めません: " + host);
                return RESULT_ARCHIVE_READ;
            }
            report.AddLine("保持 " + ForReport(members[m].strPath));
            continue;
        }
        const CCollectedItem& item = items[static_cast<size_t>(index)];
        if (int rc = WriteMember(out, item, encoder, folder, written, report))
            return rc == RESULT_ARCHIVE_OPEN ? WriteFailed(report, out, host) : rc;
        ReportMember(report, "置換", written, item.strStored);
    }
    for (size_t index : plan.aAdditions) {
        if (int rc = WriteMember(out, items[index], encoder, folder, written, report))
            return rc == RESULT_ARCHIVE_OPEN ? WriteFailed(report, out, host) : rc;
        ReportMember(report, "追加", written, items[index].strStored);
    }
    const uint8_t endMarker = 0;
    if (!out.Write(&endMarker, 1) || out.Commit() != 0)
        return WriteFailed(report, out, host);
    return RESULT_OK;
}

} // namespace

int RunArchiveCommand(const CCommand& command, const CDriveTable& drives, CReport& report) {
    std::string host;
    if (int rc = ResolveArchive(command, drives, host, report))
        return rc;
    CPathInfo info = GetPathInfo(host);
    CReadFile old;
    std::vector<CArchiveMember> members;
    if (info.bExists) {
        if (!info.bRegular || old.Open(host) != 0) {
            report.AddLine("書庫を開けません: " + command.strArchive);
            return RESULT_ARCHIVE_OPEN;
        }
        std::string detail;
        if (int rc = ReadArchiveMembers(old, members, detail)) {
            report.AddLine("既存の書庫を更新できません (" + detail + "): " + command.strArchive);
            return rc;
        }
    }
    if (command.aSpecs.empty()) {
        report.AddLine("格納するファイルの指定がありません");
        return RESULT_NAME_REQUIRED;
    }
    std::vector<CCollectedItem> items;
    if (int rc = CollectFiles(command, drives, items, report))
        return rc;
    // The archive may lie inside the folder being packed.
    std::erase_if(items, [&](const CCollectedItem& item) {
        return info.bExists && item.nDevice == info.nDevice && item.nInode == info.nInode;
    });
    CPlan plan = MakePlan(command, members, items);
    size_t replaced = 0;
    for (int index : plan.aReplacement)
        replaced += index >= 0 ? 1 : 0;
    if (replaced == 0 && plan.aAdditions.empty()) {
        if (!info.bExists) {
            report.AddLine("格納するファイルがありません: " + command.strArchive);
            return RESULT_NAME_REQUIRED;
        }
        report.AddLine("書庫 " + command.strArchive + " は最新です（変更なし、" +
                       std::to_string(members.size()) + " 件）");
        return RESULT_OK;
    }
    if (info.bExists && !IsWritableFile(host)) {
        report.AddLine("書庫は読み取り専用です: " + command.strArchive);
        return RESULT_READ_ONLY;
    }
    if (int rc = WriteArchive(host, &old, members, items, plan, command, report))
        return rc;
    report.AddLine("書庫 " + command.strArchive + ": 追加 " +
                   std::to_string(plan.aAdditions.size()) + " 件、置換 " +
                   std::to_string(replaced) + " 件、保持 " +
                   std::to_string(members.size() - replaced) + " 件");
    return RESULT_OK;
}

} // namespace unlha
