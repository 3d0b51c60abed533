#include "platform/LogFile.h"

#include "platform/Cp932.h"
#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void AppendReference(std::string& out, unsigned codePoint) {
    char text[16];
    std::snprintf(text, sizeof text, "&#x%04X;", codePoint);
    out += text;
}

// Length of the well-formed UTF-8 character at the start of s (with its
// code point), or 0 when s does not start with one.
size_t DecodeUtf8(std::string_view s, unsigned& codePoint) {
    auto byte = [&](size_t i) {
        return static_cast<unsigned char>(s[i]);
    };
    unsigned char lead = byte(0);
    size_t len = lead < 0x80   ? 1
                 : lead < 0xC2 ? 0
                 : lead < 0xE0 ? 2
                 : lead < 0xF0 ? 3
                 : lead < 0xF5 ? 4
                               : 0;
    if (len == 0 || len > s.size())
        return 0;
    codePoint = len == 1 ? lead : lead & (0x7F >> len);
    for (size_t i = 1; i < len; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static const unsigned kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kMin[len] || (codePoint >= 0xD800 && codePoint < 0xE000) ||
        codePoint > 0x10FFFF)
        return 0;
    return len;
}

int WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ErrorFromErrno(errno);
        done += static_cast<size_t>(n);
    }
    return 0;
}

std::optional<std::string> HostLogPath(const std::string& path) {
    if (!path.empty() && path.front() == '/')
        return path;
    return CHostServices::Get().DriveMap().ToHost(path);
}

} // namespace

bool IsControl(unsigned codePoint) {
    return codePoint < 0x20 || codePoint == 0x7F;
}

bool HasControl(std::string_view text) {
    for (unsigned char c : text)
        if (IsControl(c))
            return true;
    return false;
}

std::string Cp932WithReferences(const std::string& utf8, bool bEscapeControls) {
    if (utf8.find("&#") == std::string::npos && !(bEscapeControls && HasControl(utf8))) {
        if (std::optional<std::string> plain = Utf8ToCp932(utf8))
            return *plain;
    }
    std::string out;
    std::string_view rest(utf8);
    while (!rest.empty()) {
        unsigned codePoint = 0;
        size_t len = DecodeUtf8(rest, codePoint);
        if (len == 0) {
            AppendReference(out, 0xDC00 + static_cast<unsigned char>(rest.front()));
            len = 1;
        } else if ((codePoint == '&' && rest.size() > 1 && rest[1] == '#') ||
                   (bEscapeControls && IsControl(codePoint))) {
            AppendReference(out, codePoint);
        } else if (len == 1) {
            out += rest.front();
        } else if (std::optional<std::string> bytes = Utf8ToCp932(rest.substr(0, len))) {
            out += *bytes;
        } else {
            AppendReference(out, codePoint);
        }
        rest.remove_prefix(len);
    }
    return out;
}

int CLogFile::Open(const std::string& path) {
    Close();
    std::optional<std::string> host = HostLogPath(path);
    if (!host)
        return ERROR_PATH_NOT_FOUND;
    // No O_TRUNC: the file may be another writer's, and only the lock
    // decides whether it may be emptied. O_NONBLOCK keeps a named pipe at
    // that path from hanging the run.
    constexpr int kFlags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
    m_bReplacedLink = false;
    int fd = open(host->c_str(), kFlags, 0644);
    struct stat link {};
    if (fd < 0 && errno == ELOOP && lstat(host->c_str(), &link) == 0 && S_ISLNK(link.st_mode) &&
        unlink(host->c_str()) == 0) {
        m_bReplacedLink = true;
        fd = open(host->c_str(), kFlags, 0644);
    }
    if (fd < 0)
        return ErrorFromErrno(errno);
    struct stat st {};
    int err = 0;
    if (fstat(fd, &st) != 0)
        err = ErrorFromErrno(errno);
    else if (!S_ISREG(st.st_mode))
        err = ERROR_ACCESS_DENIED;
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        err = errno == EWOULDBLOCK ? ERROR_SHARING_VIOLATION : ErrorFromErrno(errno);
    else if (ftruncate(fd, 0) != 0)
        err = ErrorFromErrno(errno);
    if (err != 0) {
        close(fd);
        return err;
    }
    m_nFd = fd;
    m_nWriteError = 0;
    m_bLastWasCr = false;
    return 0;
}

void CLogFile::WriteLine(const std::string& utf8) {
    if (m_nFd < 0)
        return;
    // Blank lines may lead (a continuous run's step lines start with one);
    // after them the text is one line whatever it holds.
    const size_t lead = std::min(utf8.find_first_not_of('\n'), utf8.size());
    std::string bytes;
    for (size_t i = 0; i < lead; ++i)
        bytes += i == 0 && m_bLastWasCr ? "\n" : "\r\n";
    bytes += Cp932WithReferences(utf8.substr(lead), true) + "\r\n";
    m_bLastWasCr = false;
    Emit(bytes);
}

void CLogFile::WriteText(const std::string& utf8) {
    Write(utf8);
}

// Each call reaches the file in one write, so after a crash the log shows
// every line up to the last one handed over. No fsync: a run's history is
// not worth a disk flush per copied file.
void CLogFile::Write(const std::string& utf8) {
    if (m_nFd < 0 || utf8.empty())
        return;
    std::string text;
    text.reserve(utf8.size() + 16);
    bool bPrevCr = m_bLastWasCr;
    for (char c : utf8) {
        if (c == '\n' && !bPrevCr)
            text += '\r';
        text += c;
        bPrevCr = c == '\r';
    }
    m_bLastWasCr = bPrevCr;
    Emit(Cp932WithReferences(text));
}

void CLogFile::Emit(const std::string& bytes) {
    int r = WriteAll(m_nFd, bytes);
    if (r != 0 && m_nWriteError == 0)
        m_nWriteError = r;
}

void CLogFile::Close() {
    if (m_nFd < 0)
        return;
    if (close(m_nFd) != 0 && m_nWriteError == 0)
        m_nWriteError = ErrorFromErrno(errno);
    m_nFd = -1;
}
