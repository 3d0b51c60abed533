#include "platform/TextFileReader.h"

#include "platform/Cp932.h"
#include "platform/ErrorCodes.h"
#include "platform/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kChunk = 64 * 1024;

// Moves every complete line of pending into lines; the unfinished rest
// stays in pending.
void TakeLines(std::string& pending, std::vector<std::string>& lines) {
    size_t start = 0;
    for (size_t end = pending.find('\n'); end != std::string::npos;
         end = pending.find('\n', start)) {
        size_t stop = end;
        if (stop > start && pending[stop - 1] == '\r')
            --stop;
        lines.push_back(Cp932ToUtf8(std::string_view(pending).substr(start, stop - start)));
        start = end + 1;
    }
    pending.erase(0, start);
}

int ReadLines(int fd, std::vector<std::string>& lines) {
    std::string pending;
    std::string chunk(kChunk, '\0');
    for (;;) {
        const ssize_t n = read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno == EISDIR ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno);
        if (n == 0)
            break;
        pending.append(chunk, 0, static_cast<size_t>(n));
        TakeLines(pending, lines);
    }
    if (!pending.empty())
        lines.push_back(Cp932ToUtf8(pending));
    return 0;
}

} // namespace

int ReadTextFileLines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    const std::string host = !path.empty() && path.front() == '/' ? path : HostPathOf(path);
    if (host.empty())
        return ERROR_PATH_NOT_FOUND;
    // Opened without waiting: a pipe or device under the log's name must not
    // hang the caller. Only a regular file is read.
    const int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return ErrorFromErrno(errno);
    struct stat info {};
    int result = 0;
    if (fstat(fd, &info) != 0)
        result = ErrorFromErrno(errno);
    else if (!S_ISREG(info.st_mode))
        result = ERROR_ACCESS_DENIED; // a folder, pipe or device is no file to read
    else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        result = ErrorFromErrno(errno);
    else
        result = ReadLines(fd, lines);
    close(fd);
    return result;
}
