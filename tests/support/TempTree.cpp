#include "TempTree.h"

#include "platform/HostServices.h"

#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool MakeParents(const std::string& hostPath) {
    for (size_t i = 1; i < hostPath.size(); ++i) {
        if (hostPath[i] != '/')
            continue;
        std::string prefix = hostPath.substr(0, i);
        if (mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool SetHostTime(const std::string& hostPath, int64_t mtime) {
    timespec times[2];
    times[0].tv_sec = mtime;
    times[0].tv_nsec = 0;
    times[1] = times[0];
    return utimensat(AT_FDCWD, hostPath.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

void ReadInto(const std::string& hostFolder, const std::string& prefix,
              std::vector<CTreeItem>& folders, std::vector<CTreeItem>& files) {
    DIR* dir = opendir(hostFolder.c_str());
    if (!dir)
        return;
    std::vector<std::string> names;
    while (dirent* d = readdir(dir))
        if (std::strcmp(d->d_name, ".") != 0 && std::strcmp(d->d_name, "..") != 0)
            names.emplace_back(d->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string host = hostFolder + "/" + name;
        struct stat st {};
        if (lstat(host.c_str(), &st) != 0)
            continue;
        if (S_ISLNK(st.st_mode)) {
            char target[4096];
            ssize_t n = readlink(host.c_str(), target, sizeof target);
            files.push_back({prefix + name, "-> " + std::string(target, n > 0 ? size_t(n) : 0), 0});
        } else if (S_ISDIR(st.st_mode)) {
            folders.push_back({prefix + name + "/", {}, 0});
            ReadInto(host, prefix + name + "/", folders, files);
        } else {
            std::ifstream in(host, std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), {});
            files.push_back({prefix + name, bytes, st.st_mtim.tv_sec});
        }
    }
}

} // namespace

CTempTree::CTempTree(char letter)
    : m_cLetter(letter), m_savedDriveMap(CHostServices::Get().DriveMap()) {
    m_strHostRoot = m_dir.path().toStdString();
    CHostServices::Get().DriveMap().Map(letter, m_strHostRoot);
}

CTempTree::~CTempTree() {
    // Folders a test made unwritable must not stop the removal.
    chmod(m_strHostRoot.c_str(), 0700);
    CHostServices::Get().DriveMap() = m_savedDriveMap;
}

std::string CTempTree::DriveRoot() const {
    return std::string(1, m_cLetter) + ":\\";
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
    for (const CTreeItem& item : items) {
        bool ok = !item.path.empty() && item.path.back() == '/'
                      ? AddFolder(item.path)
                      : AddFile(item.path, item.bytes, item.mtime);
        if (!ok)
            return false;
    }
    return true;
}

bool CTempTree::AddFolder(const std::string& relative) {
    std::string host = HostPath(relative);
    if (host.back() != '/')
        host += '/';
    if (!MakeParents(host)) {
        qWarning("CTempTree: cannot make folder %s", host.c_str());
        return false;
    }
    return true;
}

bool CTempTree::AddFile(const std::string& relative, const std::string& bytes, int64_t mtime) {
    const std::string host = HostPath(relative);
    if (!MakeParents(host))
        return false;
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (!out || (mtime != 0 && !SetHostTime(host, mtime))) {
        qWarning("CTempTree: cannot write file %s", host.c_str());
        return false;
    }
    return true;
}

bool CTempTree::AddSymlink(const std::string& relative, const std::string& hostTarget) {
    const std::string host = HostPath(relative);
    return MakeParents(host) && symlink(hostTarget.c_str(), host.c_str()) == 0;
}

bool CTempTree::SetMode(const std::string& relative, unsigned mode) {
    return chmod(HostPath(relative).c_str(), static_cast<mode_t>(mode)) == 0;
}

bool CTempTree::SetTime(const std::string& relative, int64_t mtime) {
    return SetHostTime(HostPath(relative), mtime);
}

bool CTempTree::Exists(const std::string& relative) const {
    struct stat st {};
    return lstat(HostPath(relative).c_str(), &st) == 0;
}

std::string CTempTree::Bytes(const std::string& relative) const {
    std::ifstream in(HostPath(relative), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

std::vector<CTreeItem> CTempTree::Read(const std::string& relative) const {
    std::vector<CTreeItem> folders, files;
    std::string host = HostPath(relative);
    while (host.size() > 1 && host.back() == '/')
        host.pop_back();
    ReadInto(host, "", folders, files);
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
    for (const CTreeItem& item : items) {
        text += item.path;
        if (item.path.empty() || item.path.back() != '/')
            text += " [" + std::to_string(item.bytes.size()) + " bytes, " +
                    std::to_string(item.mtime) + "]";
        text += "\n";
    }
    return text;
}
