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
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kChunkBytes = size_t{8} << 20;  // between two calls of onChunk
constexpr size_t kBufferBytes = size_t{1} << 20; // read/write fallback buffer
constexpr uint64_t kSmallFileBytes = 256 << 10;  // copied through the buffer at once

CCopyTestHooks g_hooks;
int g_nTransferCalls = 0;

// The errno a test asked this data transfer call to fail with, or 0.
int InjectedWriteFault() {
    if (g_hooks.nFailAtWrite <= 0)
        return 0;
    return ++g_nTransferCalls == g_hooks.nFailAtWrite ? g_hooks.nWriteErrno : 0;
}

size_t ChunkBytes() {
    return g_hooks.nChunkBytes ? g_hooks.nChunkBytes : kChunkBytes;
}

// The temporary file beside the destination. Whatever way a copy leaves,
// the temporary file goes with it unless it was renamed over the destination.
class CTempFile {
public:
    CTempFile() = default;
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;
    ~CTempFile() { Discard(); }

    // Creates "<folder>/.tidewell-<pid>-XXXXXX.tmp" exclusively, mode 0600;
    // the leading dot keeps a collection running meanwhile from picking it
    // up. The process id and a lock held while the file is open let a later
    // run tell a file left by a killed run (RemoveStaleCopyTemporaries).
    int Create(const std::string& folder) {
        std::string path = folder + "/.tidewell-" + std::to_string(getpid()) + "-XXXXXX.tmp";
        int fd = mkostemps(path.data(), 4, O_CLOEXEC);
        if (fd < 0)
            return errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno);
        flock(fd, LOCK_EX | LOCK_NB); // a new file: nobody else can hold it
        m_nFd = fd;
        m_strPath = std::move(path);
        return 0;
    }

    int Fd() const { return m_nFd; }

    // Closes the file, reporting a write error that only shows at close.
    int Close() {
        int fd = m_nFd;
        m_nFd = -1;
        return close(fd) == 0 ? 0 : ErrorFromErrno(errno);
    }

    int RenameOver(const std::string& dst) {
        if (rename(m_strPath.c_str(), dst.c_str()) != 0)
            return ErrorFromErrno(errno);
        m_strPath.clear();
        return 0;
    }

private:
    void Discard() {
        if (m_nFd >= 0)
            close(m_nFd);
        m_nFd = -1;
        if (!m_strPath.empty())
            unlink(m_strPath.c_str());
        m_strPath.clear();
    }

    std::string m_strPath;
    int m_nFd = -1;
};

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

// 0 when the destination may be replaced (or does not exist yet).
// bMovedAside: the old file is moved away before the rename, not overwritten.
int CheckDestination(const std::string& hostDst, bool bMovedAside) {
    struct stat st {};
    if (stat(hostDst.c_str(), &st) != 0)
        return errno == ENOENT ? 0 : ErrorFromErrno(errno);
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

int CopyHostFile(const std::string& hostSrc, const std::string& hostDst,
                 const std::function<bool()>& onChunk, const std::function<int()>& beforeReplace) {
    size_t slash = hostDst.rfind('/');
    if (slash == std::string::npos || slash + 1 == hostDst.size())
        return ERROR_INVALID_NAME;
    // O_NONBLOCK: opening a named pipe must not hang the run; it is refused
    // below as not a regular file.
    CFd src(open(hostSrc.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (src.Get() < 0)
        return ErrorFromErrno(errno);
    struct stat st {};
    if (fstat(src.Get(), &st) != 0)
        return ErrorFromErrno(errno);
    if (!S_ISREG(st.st_mode))
        return ERROR_ACCESS_DENIED;
    if (int r = CheckDestination(hostDst, static_cast<bool>(beforeReplace)); r != 0)
        return r;

    CTempFile temp;
    if (int r = temp.Create(slash == 0 ? std::string() : hostDst.substr(0, slash)); r != 0)
        return r;
    if (int r = CDataCopier(src.Get(), temp.Fd(), onChunk).Run(st); r != 0)
        return r;
    if (int r = ApplyMetadata(temp.Fd(), st); r != 0)
        return r;
    // No flush per file: it would make a run of many small files several
    // times slower than cp or rsync, which do not flush either. The old file
    // survives every failure and cancel because only a complete copy
    // replaces it, and ext4 writes a file's data before a rename that
    // replaces another file commits.
    int r = temp.Close();
    if (g_hooks.nCloseErrno)
        r = ErrorFromErrno(g_hooks.nCloseErrno);
    if (r != 0)
        return r;
    // Only now, with the new copy complete, may the old file leave.
    if (beforeReplace) {
        if (int moved = beforeReplace(); moved != 0)
            return moved;
    }
    return temp.RenameOver(hostDst);
}

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

int CopyFileReplacing(const std::string& srcPath, const std::string& dstPath,
                      const std::function<bool()>& onChunk,
                      const std::function<int()>& beforeReplace) {
    CDriveMap& map = CHostServices::Get().DriveMap();
    std::optional<std::string> hostSrc = map.ToHost(srcPath);
    std::optional<std::string> hostDst = map.ToHost(dstPath);
    if (!hostSrc || !hostDst)
        return ERROR_PATH_NOT_FOUND;
    g_nTransferCalls = 0;
    return CopyHostFile(*hostSrc, *hostDst, onChunk, beforeReplace);
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
