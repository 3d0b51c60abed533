#pragma once
// The file copy of the copy run: one file onto another, replacing it the way
// the program's users expect from a copy that overwrites, but never leaving
// a half-written or missing destination behind when it fails.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// Copies the contents, permission bits and last-write time (to the
// nanosecond) of the regular file srcPath to dstPath, both drive-letter
// paths. An existing destination file is replaced as a whole: the data goes
// to a temporary file in the destination folder (unnamed where the file
// system allows it, else hidden and named after the process, see
// RemoveStaleCopyTemporaries), which takes the destination's place only
// once complete, so a failed or cancelled copy leaves the old destination
// (or no destination) and no temporary file. A destination
// that is a symbolic link is replaced by the file (its target is not
// written). Ownership is kept where the process may set it.
// onChunk, when given, is called between chunks of a few megabytes; if it
// returns false the copy stops. Returns 0, or: ERROR_ACCESS_DENIED when the
// destination is read-only (no owner write bit; left untouched) or a folder,
// or the source is not a regular file; ERROR_PATH_NOT_FOUND when a drive is
// not mapped or the destination folder is missing; ERROR_DISK_FULL when the
// destination volume is full; ERROR_OPERATION_ABORTED when onChunk stopped
// the copy; another error code for other failures.
// beforeReplace, when given, is called once the new copy is complete and
// just before it takes the destination's place (the trash takes the old
// file there, so a failed copy never costs the old file); a non-zero result
// ends the copy with that code and the destination as it was. With it, a
// read-only destination is no refusal: the old file is moved, not written.
int CopyFileReplacing(const std::string& srcPath, const std::string& dstPath,
                      const std::function<bool()>& onChunk = {},
                      const std::function<int()>& beforeReplace = {});

// The source and destination folders of copies, each opened once for all
// the files copied between them: a copy then looks up only its own name, in
// the open folder, instead of both whole paths several times. A folder that
// cannot be opened fails each copy with the code a copy by path would get.
// Shared by the copies made ahead on several threads.
class CCopyFolders {
public:
    // Drive-letter paths of the two folders.
    CCopyFolders(const std::string& srcFolder, const std::string& dstFolder);
    ~CCopyFolders();
    CCopyFolders(const CCopyFolders&) = delete;
    CCopyFolders& operator=(const CCopyFolders&) = delete;
    // Whether these are the folders given (as given, letter for letter).
    bool Are(const std::string& srcFolder, const std::string& dstFolder) const {
        return srcFolder == m_strSrc && dstFolder == m_strDst;
    }
    // Whether both folders could be opened.
    bool IsOpen() const { return m_nSrcError == 0 && m_nDstError == 0; }

private:
    friend class CStagedCopy;
    struct CHost {};
    // Host paths of the two folders.
    CCopyFolders(CHost, const std::string& srcHost, const std::string& dstHost);
    void Open(const std::string& srcHost, const std::string& dstHost);

    std::string m_strSrc, m_strDst; // as given
    int m_nSrcFd = -1, m_nDstFd = -1;
    int m_nSrcError = 0, m_nDstError = 0; // why a folder could not be opened
};

// CopyFileReplacing in two steps, so several copies can be made at once
// and put in place one after the other: Stage makes the complete copy
// (data, permission bits, owner, times) in a temporary file of the
// destination folder, unnamed where the file system allows it, so a killed
// run leaves nothing; Commit puts it in the destination's place. Both
// return 0 or the codes of CopyFileReplacing; a copy that is neither
// committed nor staged successfully vanishes with the object. Stage may run
// on any thread; Commit checks the destination again, since an earlier
// commit may have changed it.
class CStagedCopy {
public:
    CStagedCopy() = default;
    ~CStagedCopy();
    CStagedCopy(CStagedCopy&& other) noexcept;
    CStagedCopy& operator=(CStagedCopy&& other) noexcept;
    CStagedCopy(const CStagedCopy&) = delete;
    CStagedCopy& operator=(const CStagedCopy&) = delete;

    // bMovesOld: Commit will be given a beforeReplace that moves the old
    // file away, so a read-only destination is no refusal.
    int Stage(const std::string& srcPath, const std::string& dstPath,
              const std::function<bool()>& onChunk = {}, bool bMovesOld = false);
    // The file name (no folder) from one open folder to the other.
    int Stage(std::shared_ptr<const CCopyFolders> folders, const std::string& name,
              const std::function<bool()>& onChunk = {}, bool bMovesOld = false);
    int Commit(const std::function<int()>& beforeReplace = {});

private:
    int StageNames(std::shared_ptr<const CCopyFolders> folders, const std::string& srcName,
                   const std::string& name, const std::function<bool()>& onChunk, bool bMovesOld);
    void Discard();

    std::shared_ptr<const CCopyFolders> m_pFolders;
    std::string m_strName; // in the destination folder
    std::string m_strTemp; // name of a named temporary file there; empty when unnamed
    int m_nFd = -1;
    bool m_bMovesOld = false;
    bool m_bWasAbsent = false; // no destination when staged
};

// CopyFileReplacing of the file name from one open folder to the other.
int CopyFileReplacing(std::shared_ptr<const CCopyFolders> folders, const std::string& name,
                      const std::function<bool()>& onChunk = {},
                      const std::function<int()>& beforeReplace = {});

// Removes, from the folder at the drive-letter path, the temporary files
// that copies of runs killed meanwhile left (".tidewell-<pid>-XXXXXX.tmp"
// whose process is gone and whose lock nobody holds). Files of a live run,
// of this process and of any other name stay. Returns the number removed.
int RemoveStaleCopyTemporaries(const std::string& folder);

// For tests only: faults and limits that CopyFileReplacing obeys until the
// hooks are set back to their defaults (SetCopyTestHooks({})).
struct CCopyTestHooks {
    int nFailAtWrite = 0;      // the n-th data transfer call (1-based) fails; 0 = none
    int nWriteErrno = 0;       // errno of that failure
    int nCloseErrno = 0;       // when non-zero, closing the finished temporary file fails with it
    bool bNoClone = false;     // skip the reflink (also skipped while nFailAtWrite is set)
    bool bNoCopyRange = false; // skip copy_file_range: plain read/write only
    size_t nChunkBytes = 0;    // bytes per chunk; 0 = the normal size
};
void SetCopyTestHooks(const CCopyTestHooks& hooks);
