#include "platform/IniFile.h"

#include "platform/AsciiCase.h"

#include "platform/Cp932.h"
#include "platform/ErrorCodes.h"

#include <QString>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Blanks are single bytes that never occur inside a CP932 double-byte
// character (trail bytes start at 0x40), so trimming raw bytes is safe.
std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        c = UpperAscii(c);
    return folded;
}

bool HasByte(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

bool HasLineBreakOrNul(std::string_view text) {
    return HasByte(text, '\r') || HasByte(text, '\n') || HasByte(text, '\0');
}

bool IsAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// A byte below 0x40 or above 0xFC is neither the first nor the second byte
// of a CP932 double-byte character, so text can be cut after it.
bool EndsCp932Character(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x40 || byte > 0xFC;
}

// Decodes long texts piece by piece: the conversion restarts after every
// undecodable byte, and each restart must not look at the whole rest of a
// megabyte line again. Bytes above 0xFC are never part of a character and
// become U+FFFD here without a restart.
std::string DecodeCp932(std::string_view raw) {
    constexpr size_t kPiece = 4096;
    std::string out;
    while (!raw.empty()) {
        auto first = static_cast<unsigned char>(raw.front());
        if (first > 0xFC) {
            out += "\xEF\xBF\xBD";
            raw.remove_prefix(1);
            continue;
        }
        size_t cut = 1;
        while (cut < raw.size() && static_cast<unsigned char>(raw[cut]) <= 0xFC &&
               (cut < kPiece || !EndsCp932Character(raw[cut - 1])))
            ++cut;
        out += Cp932ToUtf8(raw.substr(0, cut));
        raw.remove_prefix(cut);
    }
    return out;
}

// Reads the whole regular file behind fd; 0 or error code.
int ReadAll(int fd, std::string& out) {
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ErrorFromErrno(errno);
        }
        if (n == 0)
            return 0;
        out.append(buffer, static_cast<size_t>(n));
        if (out.size() > CIniFile::kMaxFileBytes)
            return ERROR_NOT_ENOUGH_MEMORY;
    }
}

int WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ErrorFromErrno(errno);
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

// The file a write must replace: the path itself, or the final target of a
// symbolic link (replacing the link by a plain file would cut it loose).
std::optional<std::string> ReplaceTarget(const std::string& hostPath) {
    struct stat st {};
    if (lstat(hostPath.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return hostPath;
    char resolved[PATH_MAX];
    if (!realpath(hostPath.c_str(), resolved))
        return std::nullopt; // a dangling link: refuse rather than guess
    return std::string(resolved);
}

std::string ParentFolder(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a new temporary file beside the target; fd or -1 with errno set.
int CreateTemporary(const std::string& target, mode_t mode, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    std::string folder = ParentFolder(target);
    std::string base =
        target.substr(target.rfind('/') == std::string::npos ? 0 : target.rfind('/') + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = (folder == "/" ? "" : folder) + "/." + base + ".tw" + std::to_string(getpid()) +
                   "-" + std::to_string(counter++) + ".tmp";
        int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void SyncFolder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return; // the rename has happened; a folder we cannot open is not an error
    fsync(fd);
    close(fd);
}

// Fills the temporary file and makes it look like the file it replaces.
int FillTemporary(int fd, std::string_view data, const struct stat* old) {
    if (int err = WriteAll(fd, data))
        return err;
    if (old) {
        // Owner first: changing it can clear set-id bits that fchmod restores.
        if (fchown(fd, old->st_uid, old->st_gid) != 0) {
            // Only allowed to a privileged process; a file of another owner
            // then becomes ours, which is what any editor would do too.
        }
        if (fchmod(fd, old->st_mode & 07777) != 0)
            return ErrorFromErrno(errno);
    }
    if (fsync(fd) != 0)
        return ErrorFromErrno(errno);
    return 0;
}

} // namespace

bool IniNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    return true;
}

std::string CIniFile::Decode(std::string_view raw) const {
    if (IsAscii(raw))
        return std::string(raw);
    if (m_eEncoding == EEncoding::Cp932)
        return DecodeCp932(raw);
    // Hand-edited UTF-8 may be broken: bad sequences become U+FFFD.
    QByteArray bytes = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size())).toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::optional<std::string> CIniFile::Encode(std::string_view utf8) const {
    std::optional<std::string> cp932 = Utf8ToCp932(utf8);
    if (!cp932 || m_eEncoding == EEncoding::Cp932)
        return cp932;
    return std::string(utf8);
}

CIniFile::CLine CIniFile::ParseLine(std::string_view raw) const {
    CLine line;
    line.strRaw = std::string(raw);
    std::string_view trimmed = Trim(raw);
    if (!trimmed.empty() && trimmed.front() == '[') {
        // "]" is looked for in the decoded text: in CP932 the byte 0x5D can be
        // the second half of a double-byte character.
        std::string decoded = Decode(trimmed.substr(1));
        size_t close = decoded.find(']');
        if (close != std::string::npos) {
            line.kind = EKind::Section;
            line.strName = std::string(Trim(std::string_view(decoded).substr(0, close)));
            return line;
        }
    }
    // "=" (0x3D) is never part of a CP932 double-byte character.
    size_t eq = raw.find('=');
    if (eq == std::string_view::npos)
        return line;
    line.kind = EKind::Key;
    line.strName = Decode(Trim(raw.substr(0, eq)));
    std::string_view value = Trim(raw.substr(eq + 1));
    line.nValueStart = value.empty() ? raw.size() : static_cast<size_t>(value.data() - raw.data());
    line.nValueLength = value.size();
    return line;
}

void CIniFile::Parse(std::string_view bytes) {
    m_aLines.clear();
    m_eEncoding = EEncoding::Cp932;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        m_eEncoding = EEncoding::Utf8WithBom;
        bytes.remove_prefix(kUtf8Bom.size());
    }
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view raw = bytes.substr(pos, end - pos);
        if (!raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        m_aLines.push_back(ParseLine(raw));
        pos = end + 1;
    }
}

int CIniFile::Load(const std::string& hostPath) {
    Parse({});
    int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(errno);
    struct stat st {};
    int err = 0;
    std::string bytes;
    if (fstat(fd, &st) != 0)
        err = ErrorFromErrno(errno);
    else if (!S_ISREG(st.st_mode)) // a folder or a pipe would hang or fail later
        err = ERROR_ACCESS_DENIED;
    else if (static_cast<unsigned long long>(st.st_size) > kMaxFileBytes)
        err = ERROR_NOT_ENOUGH_MEMORY;
    else {
        bytes.reserve(static_cast<size_t>(st.st_size));
        err = ReadAll(fd, bytes);
    }
    close(fd);
    if (err == 0)
        Parse(bytes);
    return err;
}

size_t CIniFile::FindSection(std::string_view section) const {
    for (size_t i = 0; i < m_aLines.size(); ++i)
        if (m_aLines[i].kind == EKind::Section && IniNamesEqual(m_aLines[i].strName, section))
            return i;
    return std::string::npos;
}

size_t CIniFile::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < m_aLines.size() && m_aLines[i].kind != EKind::Section)
        ++i;
    return i;
}

std::optional<std::string> CIniFile::Get(std::string_view section, std::string_view key) const {
    section = Trim(section);
    key = Trim(key);
    if (key.empty())
        return std::nullopt;
    size_t header = FindSection(section);
    if (header == std::string::npos)
        return std::nullopt;
    size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        const CLine& line = m_aLines[i];
        if (line.kind == EKind::Key && IniNamesEqual(line.strName, key))
            return Decode(
                std::string_view(line.strRaw).substr(line.nValueStart, line.nValueLength));
    }
    return std::nullopt;
}

int CIniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty() || HasByte(section, ']') || HasByte(key, '=') ||
        HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value))
        return ERROR_INVALID_PARAMETER;
    std::optional<std::string> rawSection = Encode(section);
    std::optional<std::string> rawKey = Encode(key);
    std::optional<std::string> rawValue = Encode(value);
    if (!rawSection || !rawKey || !rawValue)
        return ERROR_NO_UNICODE_TRANSLATION;

    size_t header = FindSection(section);
    if (header == std::string::npos) {
        m_aLines.push_back(ParseLine("[" + *rawSection + "]"));
        m_aLines.push_back(ParseLine(*rawKey + "=" + *rawValue));
        return 0;
    }
    size_t end = SectionEnd(header);
    size_t insertAt = header + 1;
    for (size_t i = header + 1; i < end; ++i) {
        CLine& line = m_aLines[i];
        if (line.kind != EKind::Key)
            continue;
        if (IniNamesEqual(line.strName, key)) {
            // The name keeps its spelling in the file; only the value changes.
            line = ParseLine(line.strRaw.substr(0, line.strRaw.find('=') + 1) + *rawValue);
            return 0;
        }
        insertAt = i + 1;
    }
    m_aLines.insert(m_aLines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                    ParseLine(*rawKey + "=" + *rawValue));
    return 0;
}

bool CIniFile::RemoveSection(std::string_view section) {
    section = Trim(section);
    std::vector<CLine> kept;
    kept.reserve(m_aLines.size());
    bool removing = false;
    bool found = false;
    for (CLine& line : m_aLines) {
        if (line.kind == EKind::Section) {
            removing = IniNamesEqual(line.strName, section);
            found = found || removing;
        }
        if (!removing)
            kept.push_back(std::move(line));
    }
    m_aLines = std::move(kept);
    return found;
}

bool CIniFile::RemoveKey(std::string_view section, std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    bool inSection = false;
    const size_t before = m_aLines.size();
    std::erase_if(m_aLines, [&](const CLine& line) {
        if (line.kind == EKind::Section)
            inSection = IniNamesEqual(line.strName, section);
        return inSection && line.kind == EKind::Key && IniNamesEqual(line.strName, key);
    });
    return m_aLines.size() != before;
}

std::vector<std::string> CIniFile::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    for (auto& entry : Entries(section))
        keys.push_back(std::move(entry.first));
    return keys;
}

std::vector<std::pair<std::string, std::string>> CIniFile::Entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> entries;
    size_t header = FindSection(Trim(section));
    if (header == std::string::npos)
        return entries;
    std::unordered_set<std::string> seen;
    size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        const CLine& line = m_aLines[i];
        if (line.kind == EKind::Key && !line.strName.empty() &&
            seen.insert(FoldedName(line.strName)).second)
            entries.emplace_back(
                line.strName,
                Decode(std::string_view(line.strRaw).substr(line.nValueStart, line.nValueLength)));
    }
    return entries;
}

bool CIniFile::HasSection(std::string_view section) const {
    return FindSection(Trim(section)) != std::string::npos;
}

std::string CIniFile::Serialize() const {
    size_t total = kUtf8Bom.size();
    for (const CLine& line : m_aLines)
        total += line.strRaw.size() + 2;
    std::string out;
    out.reserve(total);
    if (m_eEncoding == EEncoding::Utf8WithBom)
        out += kUtf8Bom;
    for (const CLine& line : m_aLines) {
        out += line.strRaw;
        out += "\r\n";
    }
    return out;
}

int CIniFile::Save(const std::string& hostPath) const {
    std::optional<std::string> target = ReplaceTarget(hostPath);
    if (!target)
        return ERROR_PATH_NOT_FOUND;
    struct stat old {};
    bool exists = stat(target->c_str(), &old) == 0;
    std::string tempPath;
    // A new file gets 0666 less the umask, as any newly created file does.
    int fd = CreateTemporary(*target, exists ? 0600 : 0666, tempPath);
    if (fd < 0)
        return ErrorFromErrno(errno);
    int err = FillTemporary(fd, Serialize(), exists ? &old : nullptr);
    if (close(fd) != 0 && err == 0)
        err = ErrorFromErrno(errno);
    if (err == 0 && rename(tempPath.c_str(), target->c_str()) != 0)
        err = ErrorFromErrno(errno);
    if (err != 0) {
        unlink(tempPath.c_str());
        return err;
    }
    SyncFolder(ParentFolder(*target));
    return 0;
}
