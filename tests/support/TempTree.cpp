#include "TempTree.h"

#include "platform/HostServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool MakeParents(const std::string& hostPath) {
    return QDir().mkpath(QFileInfo(QString::fromStdString(hostPath)).path());
}

void ReadInto(const QString& hostFolder, const std::string& prefix, std::vector<CTreeItem>& folders,
              std::vector<CTreeItem>& files) {
    const auto filter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo& info : QDir(hostFolder).entryInfoList(filter, QDir::Name)) {
        const std::string path = prefix + info.fileName().toStdString();
        if (info.isSymLink()) {
            char target[4096];
            const ssize_t n = readlink(QFile::encodeName(info.filePath()), target, sizeof target);
            files.push_back({path, "-> " + std::string(target, n > 0 ? size_t(n) : 0), 0});
        } else if (info.isDir()) {
            folders.push_back({path + "/"});
            ReadInto(info.filePath(), path + "/", folders, files);
        } else {
            QFile file(info.filePath());
            const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : "";
            files.push_back({path, bytes.toStdString(), info.lastModified().toSecsSinceEpoch()});
        }
    }
}
} // namespace

CTempTree::CTempTree(char letter)
    : m_cLetter(letter), m_strHostRoot(m_dir.path().toStdString()),
      m_savedDriveMap(CHostServices::Get().DriveMap()) {
    CHostServices::Get().DriveMap().Map(letter, m_strHostRoot);
}

CTempTree::~CTempTree() {
    chmod(m_strHostRoot.c_str(), 0700); // an unwritable root must not stop the removal
    CHostServices::Get().DriveMap() = m_savedDriveMap;
}

std::string CTempTree::DrivePath(const std::string& relative) const {
    std::string path = DriveRoot() + relative;
    std::replace(path.begin() + 3, path.end(), '/', '\\');
    return path;
}

std::string CTempTree::HostPath(const std::string& relative) const {
    return relative.empty() ? m_strHostRoot : m_strHostRoot + "/" + relative;
}

bool CTempTree::Build(const std::vector<CTreeItem>& items) {
    return std::all_of(items.begin(), items.end(), [this](const CTreeItem& item) {
        return item.path.back() == '/' ? AddFolder(item.path)
                                       : AddFile(item.path, item.bytes, item.mtime);
    });
}

bool CTempTree::AddFolder(const std::string& relative) {
    return QDir().mkpath(QString::fromStdString(HostPath(relative)));
}

bool CTempTree::AddFile(const std::string& relative, const std::string& bytes, int64_t mtime) {
    const std::string host = HostPath(relative);
    QFile file(QString::fromStdString(host));
    const bool ok = MakeParents(host) && file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
    file.close();
    return ok && (mtime == 0 || SetTime(relative, mtime));
}

bool CTempTree::AddSymlink(const std::string& relative, const std::string& hostTarget) {
    const std::string host = HostPath(relative);
    return MakeParents(host) && symlink(hostTarget.c_str(), host.c_str()) == 0;
}

bool CTempTree::SetMode(const std::string& relative, unsigned mode) {
    return chmod(HostPath(relative).c_str(), static_cast<mode_t>(mode)) == 0;
}

bool CTempTree::SetTime(const std::string& relative, int64_t mtime) {
    const timespec times[2] = {{mtime, 0}, {mtime, 0}};
    return utimensat(AT_FDCWD, HostPath(relative).c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

bool CTempTree::Exists(const std::string& relative) const {
    struct stat st {};
    return lstat(HostPath(relative).c_str(), &st) == 0;
}

std::string CTempTree::Bytes(const std::string& relative) const {
    QFile file(QString::fromStdString(HostPath(relative)));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
}

std::vector<CTreeItem> CTempTree::Read(const std::string& relative) const {
    std::vector<CTreeItem> folders, files;
    ReadInto(QString::fromStdString(HostPath(relative)), "", folders, files);
    folders.insert(folders.end(), files.begin(), files.end());
    return folders;
}

QString CTempTree::Listing(const std::string& relative) const {
    QStringList entries;
    for (const CTreeItem& item : Read(relative))
        entries << QString::fromStdString(item.path.back() == '/' ? item.path
                                                                  : item.path + "=" + item.bytes);
    return entries.join(' ');
}

std::vector<CTreeItem> CTempTree::WithoutTimes(std::vector<CTreeItem> items) {
    for (CTreeItem& item : items)
        item.mtime = 0;
    return items;
}

std::string DescribeTree(const std::vector<CTreeItem>& items) {
    std::string text;
    for (const CTreeItem& item : items)
        text += item.path + " [" + std::to_string(item.bytes.size()) + " bytes]\n";
    return text;
}
