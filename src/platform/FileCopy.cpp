#include "platform/FileCopy.h"

#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <random>
#include <string_view>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// ".tidewell-<pid>-XXXXXX.tmp" with random letters, as mkstemp makes
// them: the leading dot keeps a collection running meanwhile from picking
// it up; the process id and a lock held while the file is open let a later
// run tell a file left by a killed run (RemoveStaleCopyTemporaries).
std::string TempName() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random(std::random_device{}());
    std::string name = ".tidewell-" + std::to_string(getpid()) + "-XXXXXX.tmp";
    for (size_t i = name.size() - 10; i < name.size() - 4; ++i)
        name[i] = kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

int FolderError(int err) {
    return err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err);
}

// Whether an unnamed file can be given a name: by its descriptor (where the
// kernel lets any process do it) or through /proc/self/fd.
bool CanNameUnnamedFiles() {
    static const bool bCan = access("/proc/self/fd", X_OK) == 0;
    return bCan;
}

// Gives the unnamed file open as fd the name in the folder open as dir;
// 0, or -1 with errno (EEXIST when the name is taken).
int LinkUnnamed(int fd, int dir, const char* name) {
    // Kernels before 6.10 refuse AT_EMPTY_PATH without a capability
    // (ENOENT or EPERM): then, and from then on, the way through /proc.
    static std::atomic<bool> s_bByDescriptor{true};
    if (s_bByDescriptor.load(std::memory_order_relaxed)) {
        if (linkat(fd, "", dir, name, AT_EMPTY_PATH) == 0)
            return 0;
        if (errno != ENOENT && errno != EPERM)
            return -1;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (linkat(AT_FDCWD, path.c_str(), dir, name, AT_SYMLINK_FOLLOW) != 0)
        return -1;
    s_bByDescriptor.store(false, std::memory_order_relaxed);
    return 0;
}

// Names the unnamed file open as fd with a temporary name in the folder
// open as dir. 0 or error.
int LinkUnderTempName(int fd, int dir, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TempName();
        if (LinkUnnamed(fd, dir, name.c_str()) == 0)
            return 0;
        if (errno != EEXIST)
            break;
    }
    const int err = errno;
    name.clear();
    return ErrorFromErrno(err);
}

// Makes a new file with a temporary name in the folder open as dir; its
// descriptor, or -1 with errno.
int OpenUnderTempName(int dir, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TempName();
        const int fd =
            openat(dir, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    name.clear();
    return -1;
}

// The permission bits a new file gets from the mode it is made with: the
// process's file creation mask, read once (from /proc: asking umask()
// would change it for the other threads meanwhile); all bits when unknown.
mode_t CreationMask() {
    static const mode_t mask = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("Umask:")) {
                    bool ok = false;
                    const uint value = line.mid(6).trimmed().toUInt(&ok, 8);
                    if (ok)
                        return static_cast<mode_t>(value & 0777);
                }
        return static_cast<mode_t>(0777);
    }();
    return mask;
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
        m_nSize = size;
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
            // A regular file reads short only at its end: once that end is
            // where the size said, no further read is needed to see it.
            m_nRead += static_cast<uint64_t>(nRead);
            if (static_cast<size_t>(nRead) < size && m_nRead >= m_nSize)
                return 0;
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
    uint64_t m_nSize = 0; // of the source as the copy started
    uint64_t m_nRead = 0; // by ReadWrite
};

// 0 when the destination may be replaced (or does not exist yet: bExists
// false). bMovedAside: the old file is moved away first, not overwritten.
int CheckDestination(int dir, const std::string& name, bool bMovedAside, bool* bExists = nullptr) {
    struct stat st {};
    if (bExists)
        *bExists = false;
    if (fstatat(dir, name.c_str(), &st, 0) != 0)
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

// Owner, permission bits and times of the source onto the copy, made with
// the permission bits created (all bits when unknown).
int ApplyMetadata(int fd, const struct stat& src, mode_t created) {
    static const uid_t uid = geteuid();
    static const gid_t gid = getegid();
    struct stat now {};
    bool bKnown = true;
    bool bChowned = false;
    now.st_uid = uid;
    now.st_gid = gid;
    // A new file already belongs to this process's user and group.
    if (uid == 0 && (src.st_uid != uid || src.st_gid != gid)) {
        bChowned = true;
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
    // fchown clears set-id bits, so only an untouched new file may keep them.
    if ((mode != created || bChowned) && fchmod(fd, mode) != 0) {
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

// A name the copy can look up inside its folder: no separator, no "." or "..".
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

} // namespace

CCopyFolders::CCopyFolders(const std::string& srcFolder, const std::string& dstFolder)
    : m_strSrc(srcFolder), m_strDst(dstFolder) {
    CDriveMap& map = CHostServices::Get().DriveMap();
    const std::optional<std::string> src = map.ToHost(srcFolder);
    const std::optional<std::string> dst = map.ToHost(dstFolder);
    if (!src || !dst) {
        m_nSrcError = m_nDstError = ERROR_PATH_NOT_FOUND;
        return;
    }
    Open(*src, *dst);
}

CCopyFolders::CCopyFolders(CHost, const std::string& srcHost, const std::string& dstHost) {
    Open(srcHost, dstHost);
}

void CCopyFolders::Open(const std::string& srcHost, const std::string& dstHost) {
    // O_PATH: the folders are only looked in, which needs no right to read them.
    constexpr int kFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    m_nSrcFd = open(srcHost.c_str(), kFlags);
    // As opening the file by its path would have failed.
    if (m_nSrcFd < 0)
        m_nSrcError = ErrorFromErrno(errno);
    m_nDstFd = open(dstHost.c_str(), kFlags);
    // A missing folder, or one that is a file or out of reach (as looking
    // at the destination file by its path would have said).
    if (m_nDstFd < 0)
        m_nDstError = errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno);
}

CCopyFolders::~CCopyFolders() {
    if (m_nSrcFd >= 0)
        close(m_nSrcFd);
    if (m_nDstFd >= 0)
        close(m_nDstFd);
}

CStagedCopy::~CStagedCopy() {
    Discard();
}

CStagedCopy::CStagedCopy(CStagedCopy&& other) noexcept {
    *this = std::move(other);
}

CStagedCopy& CStagedCopy::operator=(CStagedCopy&& other) noexcept {
    if (this != &other) {
        Discard();
        m_pFolders = std::move(other.m_pFolders);
        m_strName = std::move(other.m_strName);
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
    if (!m_strTemp.empty() && m_pFolders)
        unlinkat(m_pFolders->m_nDstFd, m_strTemp.c_str(), 0);
    m_strTemp.clear();
    m_pFolders.reset();
}

int CStagedCopy::Stage(const std::string& srcPath, const std::string& dstPath,
                       const std::function<bool()>& onChunk, bool bMovesOld) {
    CDriveMap& map = CHostServices::Get().DriveMap();
    std::optional<std::string> hostSrc = map.ToHost(srcPath);
    std::optional<std::string> hostDst = map.ToHost(dstPath);
    if (!hostSrc || !hostDst) {
        Discard();
        return ERROR_PATH_NOT_FOUND;
    }
    const size_t slash = hostDst->rfind('/');
    const size_t srcSlash = hostSrc->rfind('/');
    if (slash == std::string::npos || slash + 1 == hostDst->size() ||
        srcSlash == std::string::npos || srcSlash + 1 == hostSrc->size()) {
        Discard();
        return ERROR_INVALID_NAME;
    }
    std::shared_ptr<const CCopyFolders> folders(new CCopyFolders(
        CCopyFolders::CHost{}, srcSlash == 0 ? std::string("/") : hostSrc->substr(0, srcSlash),
        slash == 0 ? std::string("/") : hostDst->substr(0, slash)));
    return StageNames(std::move(folders), hostSrc->substr(srcSlash + 1), hostDst->substr(slash + 1),
                      onChunk, bMovesOld);
}

int CStagedCopy::Stage(std::shared_ptr<const CCopyFolders> folders, const std::string& name,
                       const std::function<bool()>& onChunk, bool bMovesOld) {
    return StageNames(std::move(folders), name, name, onChunk, bMovesOld);
}

int CStagedCopy::StageNames(std::shared_ptr<const CCopyFolders> folders, const std::string& srcName,
                            const std::string& name, const std::function<bool()>& onChunk,
                            bool bMovesOld) {
    Discard();
    g_nTransferCalls = 0;
    m_bMovesOld = bMovesOld;
    if (!folders)
        return ERROR_PATH_NOT_FOUND;
    if (folders->m_nSrcError != 0)
        return folders->m_nSrcError;
    if (!IsPlainName(srcName) || !IsPlainName(name))
        return ERROR_INVALID_NAME;
    // O_NONBLOCK: opening a named pipe must not hang the run; it is refused
    // below as not a regular file.
    CFd src(
        openat(folders->m_nSrcFd, srcName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (src.Get() < 0)
        return ErrorFromErrno(errno);
    struct stat st {};
    if (fstat(src.Get(), &st) != 0)
        return ErrorFromErrno(errno);
    if (!S_ISREG(st.st_mode))
        return ERROR_ACCESS_DENIED;
    if (folders->m_nDstError != 0)
        return folders->m_nDstError;
    const int dir = folders->m_nDstFd;
    bool bExists = false;
    if (int r = CheckDestination(dir, name, bMovesOld, &bExists); r != 0)
        return r;
    m_bWasAbsent = !bExists;

    int fd = -1;
    // An unnamed file is never seen by anyone: it may have its final
    // permission bits from the start, which saves setting them.
    mode_t created = static_cast<mode_t>(-1);
    if (CanNameUnnamedFiles()) {
        const mode_t mode = st.st_mode & 0777;
        fd = openat(dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode | S_IRUSR | S_IWUSR);
        // Without unnamed files on this file system, a named one serves.
        if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return FolderError(errno);
        created = (mode | S_IRUSR | S_IWUSR) & ~CreationMask();
    }
    std::string temp;
    if (fd < 0) {
        fd = OpenUnderTempName(dir, temp);
        if (fd < 0)
            return FolderError(errno);
        created = static_cast<mode_t>(-1);
        flock(fd, LOCK_EX | LOCK_NB); // a new file: nobody else can hold it
    }
    m_nFd = fd;
    m_pFolders = std::move(folders);
    m_strName = name;
    m_strTemp = std::move(temp);
    int r = CDataCopier(src.Get(), m_nFd, onChunk).Run(st);
    if (r == 0)
        r = ApplyMetadata(m_nFd, st, created);
    // No flush per file: it would make a run of many small files several
    // times slower than cp or rsync, which do not flush either. The old file
    // survives every failure and cancel because only a complete copy
    // replaces it, and ext4 writes a file's data before a rename that
    // replaces another file commits. A write error that only shows at
    // close is heard here, before the copy has a name: an unnamed file is
    // held open through a second descriptor.
    if (r == 0 && m_strTemp.empty()) {
        const int keep = fcntl(m_nFd, F_DUPFD_CLOEXEC, 0);
        if (keep < 0)
            r = ErrorFromErrno(errno);
        else if (close(std::exchange(m_nFd, keep)) != 0)
            r = ErrorFromErrno(errno);
        if (r == 0 && g_hooks.nCloseErrno)
            r = ErrorFromErrno(g_hooks.nCloseErrno);
    }
    if (r != 0)
        Discard();
    return r;
}

int CStagedCopy::Commit(const std::function<int()>& beforeReplace) {
    if (!m_pFolders || (m_nFd < 0 && m_strTemp.empty()))
        return ERROR_INVALID_FUNCTION; // nothing staged
    int r = 0;
    if (!m_strTemp.empty()) {
        // A named copy is closed (and its write errors heard) before it
        // takes the destination's place.
        r = close(std::exchange(m_nFd, -1)) == 0 ? 0 : ErrorFromErrno(errno);
        if (g_hooks.nCloseErrno)
            r = ErrorFromErrno(g_hooks.nCloseErrno);
    }
    const int dir = m_pFolders->m_nDstFd;
    // An earlier copy of the run may have made or changed the destination.
    // Where there was none, the link below fails if there is one now.
    bool bExists = !m_bWasAbsent || !m_strTemp.empty();
    if (r == 0 && bExists)
        r = CheckDestination(dir, m_strName, m_bMovesOld, &bExists);
    // Only now, with the new copy complete, may the old file leave.
    if (r == 0 && beforeReplace) {
        r = beforeReplace();
        bExists = false;
    }
    if (r == 0 && m_strTemp.empty()) {
        // Where nothing is in the way, the name is given in one step.
        if (!bExists) {
            if (LinkUnnamed(m_nFd, dir, m_strName.c_str()) == 0) {
                Discard();
                return 0;
            }
            if (errno != EEXIST)
                r = ErrorFromErrno(errno);
            else if (!beforeReplace)
                r = CheckDestination(dir, m_strName, m_bMovesOld);
        }
        if (r == 0)
            r = LinkUnderTempName(m_nFd, dir, m_strTemp);
    }
    if (r == 0 && renameat(dir, m_strTemp.c_str(), dir, m_strName.c_str()) != 0)
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

int CopyFileReplacing(std::shared_ptr<const CCopyFolders> folders, const std::string& name,
                      const std::function<bool()>& onChunk,
                      const std::function<int()>& beforeReplace) {
    CStagedCopy copy;
    if (int r = copy.Stage(std::move(folders), name, onChunk, static_cast<bool>(beforeReplace));
        r != 0)
        return r;
    return copy.Commit(beforeReplace);
}

int RemoveStaleCopyTemporaries(const std::string& folder) {
    std::optional<std::string> host = CHostServices::Get().DriveMap().ToHost(folder);
    if (!host)
        return 0;
    DIR* dir = opendir(host->c_str());
    if (!dir)
        return 0;
    // Exactly the names TempName makes, told from the listing alone: the
    // folder's other files cost no look-up.
    static constexpr std::string_view kPrefix = ".tidewell-";
    static constexpr std::string_view kSuffix = ".tmp";
    std::vector<std::pair<std::string, pid_t>> stale;
    while (const dirent* d = readdir(dir)) {
        const std::string_view name = d->d_name;
        if (name.size() < kPrefix.size() + 8 + kSuffix.size() || !name.starts_with(kPrefix) ||
            !name.ends_with(kSuffix))
            continue;
        const std::string_view middle =
            name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
        const size_t dash = middle.size() - 7; // "<pid>-XXXXXX"
        const std::string_view pid = middle.substr(0, dash);
        const std::string_view letters = middle.substr(dash + 1);
        if (middle[dash] != '-' || pid.empty() || pid.size() > 10 ||
            !std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            !std::all_of(letters.begin(), letters.end(), [](char c) {
                return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            }))
            continue;
        const long long id = std::stoll(std::string(pid));
        if (id <= INT32_MAX)
            stale.emplace_back(*host + "/" + std::string(name), static_cast<pid_t>(id));
    }
    closedir(dir);
    int removed = 0;
    for (const auto& [path, pid] : stale)
        if (IsStaleTemporary(path, pid) && unlink(path.c_str()) == 0)
            ++removed;
    return removed;
}

void SetCopyTestHooks(const CCopyTestHooks& hooks) {
    g_hooks = hooks;
    g_nTransferCalls = 0;
}
