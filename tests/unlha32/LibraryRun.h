#pragma once
// The archiver run as its entry point runs it, on host paths (drive C is
// "/"), and its archives read back by its own reader and by lhasa.

#include "command/ArchiveUpdate.h"
#include "command/HostFile.h"
#include "lzh/ArchiveReader.h"
#include "lzh/CodePage.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <optional>

// Parses and runs a command line (CP932); the report comes back in UTF-8.
inline int RunLibrary(const std::string& cmdLine, std::string& report) {
    unlha::CDriveTable drives;
    unlha::CCommand command;
    unlha::CReport r;
    int rc = unlha::ParseCommandLine(cmdLine, drives, command, r);
    if (rc == 0)
        rc = unlha::RunArchiveCommand(command, drives, r);
    report = unlha::Cp932ToUtf8(r.Text()).value_or("?");
    return rc;
}

// The sorted member paths the library's reader gives ("!" and the code when
// it refuses the archive).
inline std::vector<std::string> MemberPaths(const std::string& hostArchive) {
    unlha::CReadFile file;
    std::vector<unlha::CArchiveMember> members;
    std::string detail;
    int rc = file.Open(hostArchive) != 0 ? -1 : unlha::ReadArchiveMembers(file, members, detail);
    if (rc != 0)
        return {"!" + std::to_string(rc)};
    std::vector<std::string> paths;
    for (const auto& m : members)
        paths.push_back(m.strPath + (m.bFolder ? "/" : ""));
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The sorted paths of the files lhasa extracts (names it writes in CP932
// converted); nullopt when lhasa is not installed, {"!"} when it fails.
inline std::optional<std::vector<std::string>> LhasaPaths(const std::string& hostArchive) {
    if (QStandardPaths::findExecutable("lhasa").isEmpty())
        return std::nullopt;
    QTemporaryDir out;
    QProcess p;
    p.setWorkingDirectory(out.path());
    p.start("lhasa", {"x", QString::fromStdString(hostArchive)});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return std::vector<std::string>{"!"};
    std::vector<std::string> paths;
    std::filesystem::path root = QFile::encodeName(out.path()).toStdString();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::string raw = entry.path().lexically_relative(root).native(); // bytes as named
        auto cp932 = unlha::Cp932ToUtf8(raw);
        paths.push_back(unlha::IsValidUtf8(raw) || !cp932 ? raw : *cp932);
    }
    std::filesystem::remove_all(root); // names Qt cannot spell
    std::sort(paths.begin(), paths.end());
    return paths;
}
