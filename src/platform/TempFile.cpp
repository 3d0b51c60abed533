#include "platform/TempFile.h"

#include "platform/ErrorCodes.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::string MakeTempFileName() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder && *folder == '/' ? folder : "/tmp") + "/TDWXXXXXX.tmp";
    const int fd = mkostemps(path.data(), 4, O_CLOEXEC);
    if (fd < 0)
        return {};
    close(fd);
    return path;
}

int WriteHostFile(const std::string& hostPath, const std::string& bytes) {
    const int fd = open(hostPath.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return ErrorFromErrno(errno);
    int result = flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : ERROR_SHARING_VIOLATION;
    size_t done = 0;
    while (result == 0 && done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR)
            result = ErrorFromErrno(errno);
        else if (n > 0)
            done += static_cast<size_t>(n);
    }
    if (close(fd) != 0 && result == 0)
        result = ErrorFromErrno(errno);
    return result;
}

void RemoveHostFile(const std::string& hostPath) {
    if (!hostPath.empty())
        unlink(hostPath.c_str());
}
