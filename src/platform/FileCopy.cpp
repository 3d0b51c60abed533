#include "platform/FileCopy.h"

#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <random>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kChunkBytes = size_t{8} << 20;  // between two calls of onChunk
constexpr size_t kBufferBytes = size_t{1} << 20; // read/write fallback buffer
constexpr uint64_t kSmallFileBytes = 256 << 10;  // copied through the buffer at once

CCopyTestHooks g_hooks;
thread_local int g_nTransferCalls = 0; // of the copy running on this thread

// The errno a test asked this data transfer call to fail with, or 0.
int InjectedWriteFault() {
    if (g_hooks.nFailAtWrite <= 0)
        return 0;
    return ++g_nTransferCalls == g_hooks.nFailAtWrite ? g_hooks.nWriteErrno : 0;
}

size_t ChunkBytes() {
    return g_hooks.nChunkBytes ? g_hooks.nChunkBytes : kChunkBytes;
}

// "<folder>/.tidewell-<pid>-XXXXXX.tmp": the leading dot keeps a
// collection running meanwhile from picking it up; the process id and a
// lock held while the file is open let a later run tell a file left by a
// killed run (RemoveStaleCopyTemporaries).
std::string TempPattern(const std::string& folder) {
    return folder + "/.tidewell-" + std::to_string(getpid()) + "-XXXXXX.tmp";
}

int FolderError(int err) {
    return err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err);
}

// Whether an unnamed file can be given a name: through /proc/self/fd.
bool CanNameUnnamedFiles() {
    static const bool bCan = access("/proc/self/fd", X_OK) == 0;
    return bCan;
}

// The unnamed file's path under /proc, which linkat follows to its inode.
std::string FdPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// Names the unnamed file open as fd "<folder>/.tidewell-<pid>-XXXXXX.tmp"
// (random letters, as mkstemp makes them). 0 or error.
int LinkUnderTempName(int fd, const std::string& folder, std::string& path) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = TempPattern(folder);
        for (size_t i = path.size() - 10; i < path.size() - 4; ++i)
            path[i] = kLetters[random() % (sizeof kLetters - 1)];
        if (linkat(AT_FDCWD, FdPath(fd).c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        if (errno != EEXIST)
            break;
    }
    const int err = errno;
    path.clear();
    return ErrorFromErrno(err);
}

// Moves the data of one open file to another by the fastest way the two
// file systems offer.
class CDataCopier {
public:
    CDataCopier(int srcFd, int dstFd, const std::function<bool()>& onChunk)
        : m_nSrc(srcFd), m_nDst(dstFd), m_onChunk(onChunk) {}

    // st: the source as the copy starts.
    int Run(const struct stat& st) {
        const auto size = static_cast<uint64_t>(st.st_size);
        // A small file is quickest through one buffer: the kernel's copy
        // and clone paths cost more to set up than they save.
        if (size <= kSmallFileBytes)
            return ReadWrite();
        bool bFallback = false;
        if (!g_hooks.bNoClone && g_hooks.nFailAtWrite <= 0 && ioctl(m_nDst, FICLONE, m_nSrc) == 0)
            return 0;
        // Any failed clone leaves the target empty: go on with a real copy.
        // A file with fewer blocks than its size has holes; copying them as
        // zeros would allocate them (gigabytes for a few kilobytes of data).
        if (static_cast<uint64_t>(st.st_blocks) * 512 < size) {
            if (int r = CopyDataSegments(static_cast<off_t>(size), bFallback); r != 0 || !bFallback)
                return r;
            if (lseek(m_nSrc, 0, SEEK_SET) != 0 || ftruncate(m_nDst, 0) != 0)
                return ErrorFromErrno(errno);
        }
        if (!g_hooks.bNoCopyRange) {
            if (int r = CopyRange(bFallback); r != 0 || !bFallback)
                return r;
        }
        return ReadWrite();
    }

private:
    // Copies only the data the source holds, found by SEEK_DATA and
    // SEEK_HOLE, and sets the size at the end, so holes stay holes. Sets
    // bFallback when the file system cannot tell where data lies.
    int CopyDataSegments(off_t size, bool& bFallback) {
        off_t pos = 0;
        while (pos < size) {
            const off_t data = lseek(m_nSrc, pos, SEEK_DATA);
            if (data < 0 && errno == ENXIO)
                break; // only a hole is left
            if (data < 0 && pos == 0 && (errno == EINVAL || errno == EOPNOTSUPP)) {
                bFallback = true;
                return 0;
            }
            if (data < 0)
                return ErrorFromErrno(errno);
            const off_t hole = lseek(m_nSrc, data, SEEK_HOLE);
            if (hole < 0)
                return ErrorFromErrno(errno);
            if (int r = CopySegment(data, std::min(hole, size)); r != 0)
                return r;
            pos = hole;
        }
        return ftruncate(m_nDst, size) == 0 ? 0 : ErrorFromErrno(errno);
    }

    // Bytes [from, to) of the source to the same place of the copy.
    int CopySegment(off_t from, off_t to) {
        off_t in = from;
        off_t out = from;
        bool bKernel = !g_hooks.bNoCopyRange;
        while (in < to) {
            const auto want = static_cast<size_t>(
                std::min<off_t>(to - in, static_cast<off_t>(std::min(kBufferBytes, ChunkBytes()))));
            ssize_t n;
            if (int e = InjectedWriteFault()) {
                errno = e;
                n = -1;
            } else if (bKernel) {
                n = copy_file_range(m_nSrc, &in, m_nDst, &out, want, 0);
                if (n < 0 &&
                    (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
                    bKernel = false;
                    continue;
                }
            } else {
                n = PreadPwrite(in, want);
                if (n > 0) {
                    in += n;
                    out += n;
                }
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return ErrorFromErrno(errno);
            if (n == 0)
                return 0; // the source shrank meanwhile
            if (int r = AfterChunk(static_cast<size_t>(n)); r != 0)
                return r;
        }
        return 0;
    }

    // One buffer's worth at offset at; bytes moved, or -1 with errno.
    ssize_t PreadPwrite(off_t at, size_t want) {
        thread_local std::unique_ptr<char[]> buffer(new char[kBufferBytes]);
        const ssize_t nRead = pread(m_nSrc, buffer.get(), want, at);
        if (nRead <= 0)
            return nRead;
        for (ssize_t done = 0; done < nRead;) {
            const ssize_t n =
                pwrite(m_nDst, buffer.get() + done, static_cast<size_t>(nRead - done), at + done);
            if (n < 0 && errno != EINTR)
                return -1;
            if (n > 0)
                done += n;
        }
        return nRead;
    }

    // copy_file_range in chunks. Sets bFallback when the kernel or file
    // system cannot do it (file offsets then stand where it stopped).
    int CopyRange(bool& bFallback) {
        bool bAny = false;
        for (;;) {
            ssize_t n;
            if (int e = InjectedWriteFault()) {
                errno = e;
                n = -1;
            } else {
                n = copy_file_range(m_nSrc, nullptr, m_nDst, nullptr, ChunkBytes(), 0);
            }
            if (n > 0) {
                bAny = true;
                if (int r = AfterChunk(static_cast<size_t>(n)); r != 0)
                    return r;
                continue;
            }
            if (n == 0) {
                // Some pseudo files report size 0 yet have data: read them.
                bFallback = !bAny;
                return 0;
            }
            if (errno == EINTR)
                continue;
            if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
                bFallback = true;
                return 0;
            }
            return ErrorFromErrno(errno);
        }
    }

    int ReadWrite() {
        const size_t size = std::min(kBufferBytes, ChunkBytes());
        // One buffer for every copy of the thread, not an allocation per file.
        thread_local std::unique_ptr<char[]> buffer(new char[kBufferBytes]);
        for (;;) {
            ssize_t nRead = read(m_nSrc, buffer.get(), size);
            if (nRead < 0 && errno == EINTR)
                continue;
            if (nRead < 0)
                return ErrorFromErrno(errno);
            if (nRead == 0)
                return 0;
            if (int r = WriteAll(buffer.get(), static_cast<size_t>(nRead)); r != 0)
                return r;
            if (int r = AfterChunk(static_cast<size_t>(nRead)); r != 0)
                return r;
        }
    }

    int WriteAll(const char* data, size_t size) {
        while (size > 0) {
            ssize_t n;
            if (int e = InjectedWriteFault()) {
                errno = e;
                n = -1;
            } else {
                n = write(m_nDst, data, size);
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return ErrorFromErrno(errno);
            data += n;
            size -= static_cast<size_t>(n);
        }
        return 0;
    }

    // Lets the window pump its events every chunk and hears a cancel.
    int AfterChunk(size_t n) {
        m_nSinceCall += n;
        if (m_nSinceCall < ChunkBytes() || !m_onChunk)
            return 0;
        m_nSinceCall = 0;
        return m_onChunk() ? 0 : ERROR_OPERATION_ABORTED;
    }

    int m_nSrc;
    int m_nDst;
    const std::function<bool()>& m_onChunk;
    size_t m_nSinceCall = 0;
};

// 0 when the destination may be replaced (or does not exist yet: bExists
// false). bMovedAside: the old file is moved away first, not overwritten.
int CheckDestination(const std::string& hostDst, bool bMovedAside, bool* bExists = nullptr) {
    struct stat st {};
    if (bExists)
        *bExists = false;
    if (stat(hostDst.c_str(), &st) != 0)
        return errno == ENOENT ? 0 : ErrorFromErrno(errno);
    if (bExists)
        *bExists = true;
    if (S_ISDIR(st.st_mode))
        return ERROR_ACCESS_DENIED;
    // The read-only mark protects a file from being overwritten by a copy.
    if (!(st.st_mode & S_IWUSR) && !bMovedAside)
        return ERROR_ACCESS_DENIED;
    return 0;
}

// Owner, permission bits and times of the source onto the copy.
int ApplyMetadata(int fd, const struct stat& src) {
    static const uid_t uid = geteuid();
    static const gid_t gid = getegid();
    struct stat now {};
    bool bKnown = true;
    now.st_uid = uid;
    now.st_gid = gid;
    // A new file already belongs to this process's user and group.
    if (uid == 0 && (src.st_uid != uid || src.st_gid != gid)) {
        if (fchown(fd, src.st_uid, src.st_gid) != 0) {
            // Best effort: some file systems have no owners to set.
        }
        bKnown = fstat(fd, &now) == 0;
    }
    mode_t mode = src.st_mode & 07777;
    // Never hand set-id bits to a copy whose owner differs from the source's.
    if (!bKnown || now.st_uid != src.st_uid)
        mode &= static_cast<mode_t>(~S_ISUID);
    if (!bKnown || now.st_gid != src.st_gid)
        mode &= static_cast<mode_t>(~S_ISGID);
    if (fchmod(fd, mode) != 0) {
        // File systems without Unix permissions (FAT) refuse; the copy holds.
    }
    const struct timespec times[2] = {src.st_atim, src.st_mtim};
    // The newer-only selection of later runs compares this time: it must hold.
    return futimens(fd, times) == 0 ? 0 : ErrorFromErrno(errno);
}

class CFd {
public:
    explicit CFd(int fd) : m_nFd(fd) {}
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    ~CFd() {
        if (m_nFd >= 0)
            close(m_nFd);
    }
    int Get() const { return m_nFd; }

private:
    int m_nFd;
};

// True when the process that made a temporary file is gone: its id names no
// process, and nobody holds the file's lock (the id may belong to a process
// of another namespace).
bool IsStaleTemporary(const std::string& path, pid_t pid) {
    if (pid <= 0 || pid == getpid() || kill(pid, 0) == 0 || errno != ESRCH)
        return false;
    CFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    struct stat st {};
    if (fd.Get() < 0 || fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid())
        return false;
    return flock(fd.Get(), LOCK_EX | LOCK_NB) == 0;
}

} // namespace

CStagedCopy::~CStagedCopy() {
    Discard();
}

CStagedCopy::CStagedCopy(CStagedCopy&& other) noexcept {
    *this = std::move(other);
}

CStagedCopy& CStagedCopy::operator=(CStagedCopy&& other) noexcept {
    if (this != &other) {
        Discard();
        m_strDst = std::move(other.m_strDst);
        m_strTemp = std::exchange(other.m_strTemp, std::string());
        m_nFd = std::exchange(other.m_nFd, -1);
        m_bMovesOld = other.m_bMovesOld;
        m_bWasAbsent = other.m_bWasAbsent;
    }
    return *this;
}

void CStagedCopy::Discard() {
    if (m_nFd >= 0)
        close(m_nFd);
    m_nFd = -1;
    if (!m_strTemp.empty())
        unlink(m_strTemp.c_str());
    m_strTemp.clear();
}

int CStagedCopy::Stage(const std::string& srcPath, const std::string& dstPath,
                       const std::function<bool()>& onChunk, bool bMovesOld) {
    Discard();
    g_nTransferCalls = 0;
    m_bMovesOld = bMovesOld;
    CDriveMap& map = CHostServices::Get().DriveMap();
    std::optional<std::string> hostSrc = map.ToHost(srcPath);
    std::optional<std::string> hostDst = map.ToHost(dstPath);
    if (!hostSrc || !hostDst)
        return ERROR_PATH_NOT_FOUND;
    const size_t slash = hostDst->rfind('/');
    if (slash == std::string::npos || slash + 1 == hostDst->size())
        return ERROR_INVALID_NAME;
    // O_NONBLOCK: opening a named pipe must not hang the run; it is refused
    // below as not a regular file.
    CFd src(open(hostSrc->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (src.Get() < 0)
        return ErrorFromErrno(errno);
    struct stat st {};
    if (fstat(src.Get(), &st) != 0)
        return ErrorFromErrno(errno);
    if (!S_ISREG(st.st_mode))
        return ERROR_ACCESS_DENIED;
    bool bExists = false;
    if (int r = CheckDestination(*hostDst, bMovesOld, &bExists); r != 0)
        return r;
    m_bWasAbsent = !bExists;

    const std::string folder = slash == 0 ? std::string("/") : hostDst->substr(0, slash);
    int fd = -1;
    if (CanNameUnnamedFiles()) {
        fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        // Without unnamed files on this file system, a named one serves.
        if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return FolderError(errno);
    }
    std::string temp;
    if (fd < 0) {
        temp = TempPattern(slash == 0 ? std::string() : folder);
        fd = mkostemps(temp.data(), 4, O_CLOEXEC);
        if (fd < 0)
            return FolderError(errno);
        flock(fd, LOCK_EX | LOCK_NB); // a new file: nobody else can hold it
    }
    m_nFd = fd;
    m_strTemp = std::move(temp);
    m_strDst = std::move(*hostDst);
    int r = CDataCopier(src.Get(), m_nFd, onChunk).Run(st);
    if (r == 0)
        r = ApplyMetadata(m_nFd, st);
    if (r != 0)
        Discard();
    return r;
}

int CStagedCopy::Commit(const std::function<int()>& beforeReplace) {
    if (m_nFd < 0)
        return ERROR_INVALID_FUNCTION; // nothing staged
    // No flush per file: it would make a run of many small files several
    // times slower than cp or rsync, which do not flush either. The old file
    // survives every failure and cancel because only a complete copy
    // replaces it, and ext4 writes a file's data before a rename that
    // replaces another file commits. A write error that only shows at
    // close is heard here, before the copy has a name: an unnamed file is
    // held open through a second descriptor until then.
    const int keep = m_strTemp.empty() ? fcntl(m_nFd, F_DUPFD_CLOEXEC, 0) : -1;
    if (m_strTemp.empty() && keep < 0) {
        Discard();
        return ErrorFromErrno(errno);
    }
    int r = close(std::exchange(m_nFd, keep)) == 0 ? 0 : ErrorFromErrno(errno);
    if (g_hooks.nCloseErrno)
        r = ErrorFromErrno(g_hooks.nCloseErrno);
    // An earlier copy of the run may have made or changed the destination.
    // Where there was none, the link below fails if there is one now.
    bool bExists = !m_bWasAbsent || !m_strTemp.empty();
    if (r == 0 && bExists)
        r = CheckDestination(m_strDst, m_bMovesOld, &bExists);
    // Only now, with the new copy complete, may the old file leave.
    if (r == 0 && beforeReplace) {
        r = beforeReplace();
        bExists = false;
    }
    if (r == 0 && m_strTemp.empty()) {
        // Where nothing is in the way, the name is given in one step.
        if (!bExists) {
            if (linkat(AT_FDCWD, FdPath(m_nFd).c_str(), AT_FDCWD, m_strDst.c_str(),
                       AT_SYMLINK_FOLLOW) == 0) {
                Discard();
                return 0;
            }
            if (errno != EEXIST)
                r = ErrorFromErrno(errno);
            else if (!beforeReplace)
                r = CheckDestination(m_strDst, m_bMovesOld);
        }
        if (r == 0)
            r = LinkUnderTempName(m_nFd, m_strDst.substr(0, m_strDst.rfind('/')), m_strTemp);
    }
    if (r == 0 && rename(m_strTemp.c_str(), m_strDst.c_str()) != 0)
        r = ErrorFromErrno(errno);
    if (r == 0)
        m_strTemp.clear(); // it is the destination now
    Discard();
    return r;
}

int CopyFileReplacing(const std::string& srcPath, const std::string& dstPath,
                      const std::function<bool()>& onChunk,
                      const std::function<int()>& beforeReplace) {
    CStagedCopy copy;
    if (int r = copy.Stage(srcPath, dstPath, onChunk, static_cast<bool>(beforeReplace)); r != 0)
        return r;
    return copy.Commit(beforeReplace);
}

int RemoveStaleCopyTemporaries(const std::string& folder) {
    std::optional<std::string> host = CHostServices::Get().DriveMap().ToHost(folder);
    if (!host)
        return 0;
    // Exactly the names CTempFile makes; anything else is left alone.
    static const QRegularExpression kName(
        QStringLiteral("^\\.tidewell-([0-9]{1,10})-[A-Za-z0-9]{6}\\.tmp$"));
    const QDir dir(QFile::decodeName(QByteArray::fromStdString(*host)));
    int removed = 0;
    for (const QString& name : dir.entryList({QStringLiteral(".tidewell-*.tmp")},
                                             QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch match = kName.match(name);
        if (!match.hasMatch())
            continue;
        const std::string path = QFile::encodeName(dir.filePath(name)).toStdString();
        const long long pid = match.captured(1).toLongLong();
        if (pid <= INT32_MAX && IsStaleTemporary(path, static_cast<pid_t>(pid)) &&
            unlink(path.c_str()) == 0)
            ++removed;
    }
    return removed;
}

void SetCopyTestHooks(const CCopyTestHooks& hooks) {
    g_hooks = hooks;
    g_nTransferCalls = 0;
}
