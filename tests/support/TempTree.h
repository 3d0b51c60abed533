#pragma once
// A temporary folder tree behind a drive letter for its life (the old drive map returns after).

#include "platform/DriveMap.h"
#include "platform/HostServices.h"
#include "support/HostFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

// A folder ("sub/", ending in "/") or a file with bytes; mtime 0 keeps the time of creation.
struct CTreeItem {
    std::string path; // relative, "/"-separated
    std::string bytes{};
    int64_t mtime = 0;

    bool operator==(const CTreeItem& other) const = default;
};

class CTempTree {
public:
    explicit CTempTree(char letter = 'T') : m_cLetter(letter) {
        CHostServices::Get().DriveMap().Map(letter, m_strHostRoot);
    }
    ~CTempTree() {
        chmod(m_strHostRoot.c_str(), 0700); // an unwritable root must not stop the removal
        CHostServices::Get().DriveMap() = m_savedDriveMap;
    }
    CTempTree(const CTempTree&) = delete;
    CTempTree& operator=(const CTempTree&) = delete;

    // Host folder without a trailing "/"; "T:\" and "T:\sub\b.txt" for "sub/b.txt".
    std::string HostRoot() const { return m_strHostRoot; }
    std::string DriveRoot() const { return std::string(1, m_cLetter) + ":\\"; }
    std::string DrivePath(const std::string& relative) const {
        std::string path = DriveRoot() + relative;
        std::replace(path.begin() + 3, path.end(), '/', '\\');
        return path;
    }
    std::string HostPath(const std::string& relative) const {
        return relative.empty() ? m_strHostRoot : m_strHostRoot + "/" + relative;
    }

    bool Build(const std::vector<CTreeItem>& items) { // parents as needed
        return std::all_of(items.begin(), items.end(), [this](const CTreeItem& item) {
            return item.path.back() == '/' ? AddFolder(item.path)
                                           : AddFile(item.path, item.bytes, item.mtime);
        });
    }
    bool AddFolder(const std::string& relative) {
        return QDir().mkpath(QString::fromStdString(HostPath(relative)));
    }
    bool AddFile(const std::string& relative, const std::string& bytes, int64_t mtime = 0) {
        const QString host = QString::fromStdString(HostPath(relative));
        return QDir().mkpath(QFileInfo(host).path()) &&
               WriteHostFile(host, QByteArray::fromStdString(bytes)) &&
               (mtime == 0 || SetTime(relative, mtime));
    }
    bool AddSymlink(const std::string& relative, const std::string& hostTarget) {
        const std::string host = HostPath(relative);
        return QDir().mkpath(QFileInfo(QString::fromStdString(host)).path()) &&
               symlink(hostTarget.c_str(), host.c_str()) == 0;
    }
    bool SetMode(const std::string& relative, unsigned mode) {
        return chmod(HostPath(relative).c_str(), static_cast<mode_t>(mode)) == 0;
    }
    bool SetTime(const std::string& relative, int64_t mtime) {
        const timespec times[2] = {{mtime, 0}, {mtime, 0}};
        return utimensat(AT_FDCWD, HostPath(relative).c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
    }

    bool Exists(const std::string& relative) const {
        struct stat st {};
        return lstat(HostPath(relative).c_str(), &st) == 0;
    }
    std::string Bytes(const std::string& relative) const { // empty when unreadable
        QFile file(QString::fromStdString(HostPath(relative)));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
    }
    // Folders first (with a final "/"), by name, files with bytes and mtime; a link as "-> target".
    std::vector<CTreeItem> Read(const std::string& relative = {}) const {
        std::vector<CTreeItem> folders, files;
        ReadInto(QString::fromStdString(HostPath(relative)), "", folders, files);
        folders.insert(folders.end(), files.begin(), files.end());
        return folders;
    }
    // Read on one line without times: "sub/ sub/b.txt=bytes link=-> target".
    QString Listing(const std::string& relative = {}) const {
        QStringList entries;
        for (const CTreeItem& item : Read(relative))
            entries << QString::fromStdString(
                item.path.back() == '/' ? item.path : item.path + "=" + item.bytes);
        return entries.join(' ');
    }
    static std::vector<CTreeItem> WithoutTimes(std::vector<CTreeItem> items) {
        for (CTreeItem& item : items)
            item.mtime = 0;
        return items;
    }

private:
    static void ReadInto(const QString& hostFolder, const std::string& prefix,
                         std::vector<CTreeItem>& folders, std::vector<CTreeItem>& files) {
        for (const QString& name : NamesIn(hostFolder)) {
            const QFileInfo info(hostFolder + "/" + name);
            const std::string path = prefix + name.toStdString();
            if (info.isSymLink()) {
                char target[4096];
                const ssize_t n =
                    readlink(QFile::encodeName(info.filePath()), target, sizeof target);
                files.push_back({path, "-> " + std::string(target, n > 0 ? size_t(n) : 0), 0});
            } else if (info.isDir()) {
                folders.push_back({path + "/"});
                ReadInto(info.filePath(), path + "/", folders, files);
            } else {
                QFile file(info.filePath());
                files.push_back({path,
                                 file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "",
                                 info.lastModified().toSecsSinceEpoch()});
            }
        }
    }
    QTemporaryDir m_dir;
    char m_cLetter;
    std::string m_strHostRoot = m_dir.path().toStdString();
    CDriveMap m_savedDriveMap = CHostServices::Get().DriveMap();
};
