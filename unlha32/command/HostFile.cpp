#include "command/HostFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace unlha {

namespace {

constexpr size_t kWriteBuffer = 1 << 16;

CPathInfo InfoFromStat(const struct stat& st) {
    CPathInfo info;
    info.bExists = true;
    info.bFolder = S_ISDIR(st.st_mode);
    info.bRegular = S_ISREG(st.st_mode);
    info.nSize = info.bRegular ? static_cast<uint64_t>(st.st_size) : 0;
    info.nTime = st.st_mtim.tv_sec;
    info.nMode = st.st_mode & 07777;
    info.nDevice = st.st_dev;
    info.nInode = st.st_ino;
    return info;
}

// Facts about name in the folder open as folder (AT_FDCWD: name is a path).
CPathInfo PathInfoAt(int folder, const char* name) {
    struct stat st {};
    if (fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    bool link = S_ISLNK(st.st_mode);
    if (link && fstatat(folder, name, &st, 0) != 0) {
        CPathInfo broken;
        broken.bExists = true;
        broken.bSymlink = true;
        return broken;
    }
    CPathInfo info = InfoFromStat(st);
    info.bSymlink = link;
    return info;
}

} // namespace

CPathInfo GetPathInfo(const std::string& hostPath) {
    return PathInfoAt(AT_FDCWD, hostPath.c_str());
}

bool IsWritableFile(const std::string& hostPath) {
    struct stat st {};
    return stat(hostPath.c_str(), &st) == 0 && (st.st_mode & 0222) != 0 &&
           access(hostPath.c_str(), W_OK) == 0;
}

int ListFolder(const std::string& hostPath, std::vector<CDirEntry>& entries) {
    entries.clear();
    // The entries are read straight from the kernel: opendir would also
    // stat the folder, one system call per folder that nothing here needs.
    int folder = open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (folder < 0)
        return errno;
    alignas(dirent64) char buffer[32768];
    for (;;) {
        ssize_t got = getdents64(folder, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            // A listing cut short would leave files out of the archive
            // unnoticed: the folder counts as unreadable.
            int err = errno;
            close(folder);
            entries.clear();
            return err;
        }
        if (got == 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const auto* e = reinterpret_cast<const dirent64*>(buffer + at);
            at += e->d_reclen;
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
                continue;
            // Entries are examined relative to the open folder: no path to walk.
            CDirEntry entry;
            entry.strName = e->d_name;
            entry.info = PathInfoAt(folder, e->d_name);
            entries.push_back(std::move(entry));
        }
    }
    close(folder);
    std::sort(entries.begin(), entries.end(),
              [](const CDirEntry& a, const CDirEntry& b) { return a.strName < b.strName; });
    return 0;
}

CReadFile::~CReadFile() {
    if (m_fd >= 0)
        close(m_fd);
}

CFolderHandle::~CFolderHandle() {
    if (m_fd >= 0)
        close(m_fd);
}

int CFolderHandle::Resolve(const std::string& hostPath, const char*& name) {
    name = hostPath.c_str();
    size_t slash = hostPath.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return AT_FDCWD;
    // The same folder as the file before: no new string, no system call.
    if (m_strFolder.size() != slash || hostPath.compare(0, slash, m_strFolder) != 0) {
        std::string folder = hostPath.substr(0, slash);
        if (m_fd >= 0)
            close(m_fd);
        m_fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        m_strFolder = m_fd >= 0 ? std::move(folder) : std::string();
    }
    if (m_fd < 0)
        return AT_FDCWD;
    name = hostPath.c_str() + slash + 1;
    return m_fd;
}

int CReadFile::Open(const std::string& hostPath, CFolderHandle* folder) {
    const char* name = hostPath.c_str();
    int at = folder != nullptr ? folder->Resolve(hostPath, name) : AT_FDCWD;
    m_fd = openat(at, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0)
        return errno;
    struct stat st {};
    if (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        close(m_fd);
        m_fd = -1;
        return err;
    }
    m_nSize = static_cast<uint64_t>(st.st_size);
    return 0;
}

long CReadFile::Read(uint8_t* buffer, size_t size) {
    // A file read up to its size is taken as ended without asking again
    // (one system call less per file); one that claims no size, as those of
    // /proc do, is read until the end.
    if (m_nSize != 0 && m_nRead >= m_nSize)
        return 0;
    for (;;) {
        ssize_t got = read(m_fd, buffer, size);
        if (got >= 0) {
            m_nRead += static_cast<uint64_t>(got);
            return static_cast<long>(got);
        }
        if (errno != EINTR)
            return -1;
    }
}

bool CReadFile::ReadAt(uint64_t offset, void* buffer, size_t size) {
    auto* p = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        ssize_t got = pread(m_fd, p, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        size -= static_cast<size_t>(got);
        offset += static_cast<uint64_t>(got);
    }
    return true;
}

void CReadFile::Rewind() {
    lseek(m_fd, 0, SEEK_SET);
    m_nRead = 0;
}

CArchiveWriter::~CArchiveWriter() {
    if (m_fd >= 0)
        close(m_fd);
    if (!m_bCommitted && !m_strTempPath.empty())
        unlink(m_strTempPath.c_str());
}

int CArchiveWriter::Create(const std::string& archivePath) {
    m_strTarget = archivePath;
    struct stat st {};
    if (lstat(archivePath.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* target = realpath(archivePath.c_str(), nullptr);
        if (target == nullptr)
            return m_nError = errno;
        m_strTarget = target;
        std::free(target);
    }
    // O_EXCL with mode 0666 lets the kernel apply the umask (mkstemp would
    // make the archive private to its owner).
    static std::atomic<unsigned> s_nCounter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, ".tmp%d-%u-%d", static_cast<int>(getpid()),
                      ++s_nCounter, attempt);
        std::string path = m_strTarget + suffix;
        m_fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_strTempPath = path;
            m_aBuffer.reserve(kWriteBuffer);
            return 0;
        }
        if (errno != EEXIST)
            break;
    }
    return m_nError = errno;
}

bool CArchiveWriter::Flush() {
    size_t done = 0;
    while (m_nError == 0 && done < m_aBuffer.size()) {
        ssize_t put = write(m_fd, m_aBuffer.data() + done, m_aBuffer.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            m_nError = put < 0 ? errno : EIO;
        else
            done += static_cast<size_t>(put);
    }
    m_aBuffer.clear();
    return m_nError == 0;
}

bool CArchiveWriter::Write(const void* data, size_t size) {
    if (m_nError != 0)
        return false;
    const auto* p = static_cast<const uint8_t*>(data);
    m_nPosition += size;
    if (m_aBuffer.size() + size > kWriteBuffer && !Flush())
        return false;
    if (size >= kWriteBuffer) {
        m_aBuffer.assign(p, p + size);
        return Flush();
    }
    m_aBuffer.insert(m_aBuffer.end(), p, p + size);
    return true;
}

bool CArchiveWriter::PatchAt(uint64_t offset, const std::string& bytes) {
    if (m_nError != 0)
        return false;
    uint64_t buffered = m_nPosition - m_aBuffer.size(); // file offset of the buffer
    if (offset >= buffered && offset + bytes.size() <= m_nPosition) {
        std::copy(bytes.begin(), bytes.end(),
                  m_aBuffer.begin() + static_cast<long>(offset - buffered));
        return true; // still in the buffer: no system call
    }
    if (!Flush())
        return false;
    if (pwrite(m_fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)) !=
        static_cast<ssize_t>(bytes.size()))
        m_nError = errno != 0 ? errno : EIO;
    return m_nError == 0;
}

bool CArchiveWriter::TruncateTo(uint64_t offset) {
    if (m_nError != 0)
        return false;
    uint64_t buffered = m_nPosition - m_aBuffer.size();
    if (offset >= buffered) {
        m_aBuffer.resize(static_cast<size_t>(offset - buffered));
        m_nPosition = offset;
        return true;
    }
    if (!Flush())
        return false;
    if (ftruncate(m_fd, static_cast<off_t>(offset)) != 0 ||
        lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0)
        m_nError = errno;
    m_nPosition = offset;
    return m_nError == 0;
}

int CArchiveWriter::Commit() {
    if (!Flush())
        return m_nError;
    struct stat st {};
    // A replaced archive keeps its permissions; a new one has what the
    // umask left of 0666.
    if (stat(m_strTarget.c_str(), &st) == 0 && fchmod(m_fd, st.st_mode & 07777) != 0)
        return m_nError = errno;
    if (fsync(m_fd) != 0)
        return m_nError = errno;
    int rc = close(m_fd);
    m_fd = -1;
    if (rc != 0)
        return m_nError = errno;
    if (rename(m_strTempPath.c_str(), m_strTarget.c_str()) != 0)
        return m_nError = errno;
    m_bCommitted = true;
    return 0;
}

} // namespace unlha
