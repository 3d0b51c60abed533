#include "platform/Profile.h"

#include "platform/Cp932.h"
#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace {

// The platform read values into 260-byte buffers: 259 bytes and the end mark.
constexpr size_t kMaxValueBytes = 259;

std::optional<std::string> HostPath(const std::string& path) {
    return CHostServices::Get().DriveMap().ToHost(path);
}

// The document of a drive-letter path for reading: empty when the file or
// its drive is missing or unreadable (every key then reads as missing).
CIniFile ReadDocument(const std::string& path) {
    CIniFile ini;
    if (std::optional<std::string> host = HostPath(path))
        ini.Load(*host);
    return ini;
}

// Loads, lets change() edit and saves the document. A file that exists but
// cannot be read is never replaced: writing it from an empty document would
// throw its other keys away.
template <typename Change> int Rewrite(const std::string& path, Change change) {
    std::optional<std::string> host = HostPath(path);
    if (!host)
        return ERROR_PATH_NOT_FOUND;
    CIniFile ini;
    int err = ini.Load(*host);
    if (err != 0 && err != ERROR_FILE_NOT_FOUND)
        return err;
    err = change(ini); // 0, an error code, or -1 for "nothing to change"
    if (err < 0)
        return 0;
    if (err != 0)
        return err;
    return ini.Save(*host);
}

int ParseInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            break; // clamped below; more digits cannot bring it back
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue, const std::string& path) {
    return CProfileReader(path).String(section, key, defaultValue);
}

int GetProfileInt(const std::string& section, const std::string& key, int defaultValue,
                  const std::string& path) {
    return CProfileReader(path).Int(section, key, defaultValue);
}

CProfileReader::CProfileReader(const std::string& path)
    : m_pIni(std::make_unique<CIniFile>(ReadDocument(path))) {}

CProfileReader::~CProfileReader() = default;

std::string CProfileReader::String(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const {
    std::optional<std::string> value = m_pIni->Get(section, key);
    return TruncateToCp932Bytes(value ? *value : defaultValue, kMaxValueBytes);
}

int CProfileReader::Int(const std::string& section, const std::string& key,
                        int defaultValue) const {
    std::optional<std::string> value = m_pIni->Get(section, key);
    return value ? ParseInt(*value) : defaultValue;
}

std::vector<std::pair<std::string, std::string>>
CProfileReader::Entries(const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> entries = m_pIni->Entries(section);
    for (auto& entry : entries)
        entry.second = TruncateToCp932Bytes(entry.second, kMaxValueBytes);
    return entries;
}

int WriteProfileString(const std::string& section, const std::string& key, const std::string& value,
                       const std::string& path) {
    return Rewrite(path, [&](CIniFile& ini) { return ini.Set(section, key, value); });
}

int DeleteProfileSection(const std::string& section, const std::string& path) {
    return Rewrite(path, [&](CIniFile& ini) { return ini.RemoveSection(section) ? 0 : -1; });
}

int WriteProfileSection(const std::string& section,
                        const std::vector<std::pair<std::string, std::string>>& keyValues,
                        const std::string& path) {
    return Rewrite(path, [&](CIniFile& ini) {
        if (keyValues.empty())
            return -1;
        // Either every key is written or none: the document is only saved
        // when all of them were accepted.
        for (const auto& [key, value] : keyValues)
            if (int err = ini.Set(section, key, value))
                return err;
        return 0;
    });
}

int RewriteProfileSection(const std::string& section,
                          const std::vector<std::pair<std::string, std::string>>& keyValues,
                          const std::string& path) {
    return Rewrite(path, [&](CIniFile& ini) {
        const bool bRemoved = ini.RemoveSection(section);
        for (const auto& [key, value] : keyValues)
            if (int err = ini.Set(section, key, value))
                return err;
        return bRemoved || !keyValues.empty() ? 0 : -1;
    });
}

int ReplaceProfileSectionKeys(const std::string& section,
                              const std::vector<std::pair<std::string, std::string>>& keyValues,
                              const std::string& path) {
    return Rewrite(path, [&](CIniFile& ini) {
        const std::string unchanged = ini.Serialize();
        const std::vector<std::string> before = ini.Keys(section);
        for (const auto& [key, value] : keyValues)
            if (int err = ini.Set(section, key, value))
                return err;
        for (const std::string& key : before) {
            const bool kept = std::any_of(keyValues.begin(), keyValues.end(), [&](const auto& kv) {
                return IniNamesEqual(kv.first, key);
            });
            if (!kept)
                ini.RemoveKey(section, key);
        }
        return ini.Serialize() == unchanged ? -1 : 0; // nothing to write
    });
}

std::vector<std::string> GetProfileKeys(const std::string& section, const std::string& path) {
    return ReadDocument(path).Keys(section);
}
