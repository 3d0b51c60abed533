#pragma once
// The library's own small file layer on POSIX: reading sources and the old
// archive, writing the new archive into a temporary file beside it, listing
// folders.

#include "lzh/ArchiveReader.h"
#include "lzh/MatchFinder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace unlha {

struct CPathInfo {
    bool bExists = false;
    bool bFolder = false;
    bool bRegular = false;
    bool bSymlink = false; // the path itself is a symbolic link
    uint64_t nSize = 0;
    int64_t nTime = 0;    // last write, seconds since 1970 UTC
    uint32_t nMode = 0;   // permission bits of the target
    uint64_t nDevice = 0; // with nInode: which file it is
    uint64_t nInode = 0;
};

// Facts about path, following a final symbolic link (bSymlink tells).
// bExists is false when it cannot be examined.
CPathInfo GetPathInfo(const std::string& hostPath);

// True when path is a file this process may write and that is not marked
// read-only (no write bit at all: root could write it, but is not meant to).
bool IsWritableFile(const std::string& hostPath);

struct CDirEntry {
    std::string strName;
    CPathInfo info;
};

// The entries of a folder except "." and "..", sorted by name (byte order).
// Returns 0 or an errno value.
int ListFolder(const std::string& hostPath, std::vector<CDirEntry>& entries);

// The folder of the files last opened, kept open so that the next file of
// the same folder is opened relative to it instead of by walking its whole
// path again (the members of a folder follow each other).
class CFolderHandle {
public:
    CFolderHandle() = default;
    ~CFolderHandle();
    CFolderHandle(const CFolderHandle&) = delete;
    CFolderHandle& operator=(const CFolderHandle&) = delete;

    // The descriptor to open hostPath relative to (AT_FDCWD when its folder
    // cannot be opened) and, in name, the path relative to it (pointing into
    // hostPath).
    int Resolve(const std::string& hostPath, const char*& name);

private:
    std::string m_strFolder;
    int m_fd = -1;
};

// A file opened for reading: a byte source for the encoder and random
// access for the archive reader.
class CReadFile : public IByteSource, public IRandomAccess {
public:
    CReadFile() = default;
    ~CReadFile() override;
    CReadFile(const CReadFile&) = delete;
    CReadFile& operator=(const CReadFile&) = delete;

    // 0 or the errno value. Refuses anything but a regular file (a FIFO
    // would block the call forever). folder: opened relative to it.
    int Open(const std::string& hostPath, CFolderHandle* folder = nullptr);
    long Read(uint8_t* buffer, size_t size) override;
    uint64_t Size() const override { return m_nSize; }
    bool ReadAt(uint64_t offset, void* buffer, size_t size) override;
    void Rewind();

private:
    int m_fd = -1;
    uint64_t m_nSize = 0;
    uint64_t m_nRead = 0; // by Read since the start
};

// The new archive, written into a temporary file in the archive's folder and
// renamed over the archive only by Commit. The destructor removes the
// temporary file unless Commit succeeded.
class CArchiveWriter {
public:
    CArchiveWriter() = default;
    ~CArchiveWriter();
    CArchiveWriter(const CArchiveWriter&) = delete;
    CArchiveWriter& operator=(const CArchiveWriter&) = delete;

    // Creates the temporary file beside archivePath. An archivePath that is
    // a symbolic link is written through: the temporary file goes beside
    // the link's final target, which Commit replaces, and the link stays.
    // 0 or errno.
    int Create(const std::string& archivePath);
    // Buffered write; false after any failure (the failure sticks).
    bool Write(const void* data, size_t size);
    uint64_t Tell() const { return m_nPosition; }
    // Writes bytes at an earlier offset (a header rewritten once sizes are
    // known) without moving the write position.
    bool PatchAt(uint64_t offset, const std::string& bytes);
    // Drops everything from offset on and continues writing there.
    bool TruncateTo(uint64_t offset);
    // Flushes, syncs and renames the file over the archive, keeping the
    // old archive's permissions (a new one gets 0666 less the umask).
    // 0 or errno; on failure the old archive is left as it was.
    int Commit();
    int LastError() const { return m_nError; }

private:
    bool Flush();

    int m_fd = -1;
    int m_nError = 0;
    std::string m_strTempPath;
    std::string m_strTarget;
    std::vector<uint8_t> m_aBuffer;
    uint64_t m_nPosition = 0;
    bool m_bCommitted = false;
};

} // namespace unlha
