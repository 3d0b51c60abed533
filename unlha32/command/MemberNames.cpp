#include "command/MemberNames.h"

#include "lzh/ArchiveReader.h"
#include "lzh/CodePage.h"

#include <algorithm>
#include <unordered_map>

namespace unlha {

namespace {

bool IsAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The CP932 bytes of a name when they read back as the same text.
std::optional<std::string> FaithfulCp932(const std::string& part) {
    if (IsAscii(part))
        return part; // CP932 keeps ASCII as it is, "\" and "~" included
    auto cp932 = Utf8ToCp932(part);
    if (!cp932 || Cp932ToUtf8(*cp932) != part)
        return std::nullopt;
    return cp932;
}

// An ASCII path of plain components (none empty, "." or "..", none with a
// drive colon, no "\\") is stored as it is and reads back unchanged: such a
// name needs no trial round trip.
bool IsPlainAsciiPath(const std::string& stored) {
    if (stored.empty())
        return false;
    unsigned odd = 0; // any byte above ASCII or a backslash
    for (char ch : stored) {
        auto c = static_cast<unsigned char>(ch);
        odd |= (c >> 7) | static_cast<unsigned>(c == '\\');
    }
    if (odd != 0)
        return false;
    for (size_t start = 0;;) {
        size_t end = std::min(stored.find('/', start), stored.size());
        size_t length = end - start;
        const char* part = stored.data() + start;
        if (length == 0 || (length <= 2 && part[0] == '.' && part[length - 1] == '.') ||
            (length >= 2 && part[1] == ':'))
            return false;
        if (end == stored.size())
            return true;
        start = end + 1;
    }
}

} // namespace

void EncodeMemberNames(const std::string& stored, bool folder, CMemberInfo& info) {
    if (IsAscii(stored)) { // as it is, with 0xFF after each folder
        size_t cut = folder ? stored.size() : stored.rfind('/') + 1;
        info.strDir.assign(stored, 0, cut);
        std::replace(info.strDir.begin(), info.strDir.end(), '/', '\xFF');
        if (folder)
            info.strDir += '\xFF';
        if (folder)
            info.strName.clear();
        else
            info.strName.assign(stored, cut);
        info.nCodePage = 0;
        return;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= stored.size(); ++i) {
        if (i == stored.size() || stored[i] == '/') {
            parts.push_back(stored.substr(start, i - start));
            start = i + 1;
        }
    }
    std::vector<std::string> encoded;
    bool utf8 = false;
    for (const auto& part : parts) {
        auto cp932 = FaithfulCp932(part);
        utf8 = utf8 || !cp932;
        encoded.push_back(cp932 ? *cp932 : part);
    }
    if (utf8)
        encoded = parts;
    size_t folders = folder ? encoded.size() : encoded.size() - 1;
    info.strDir.clear();
    for (size_t i = 0; i < folders; ++i)
        info.strDir += encoded[i] + '\xFF';
    info.strName = folder ? std::string() : encoded.back();
    bool wide =
        !IsAscii(info.strName) || std::any_of(info.strDir.begin(), info.strDir.end(), [](char c) {
            return static_cast<unsigned char>(c) >= 0x80 && c != '\xFF';
        });
    info.nCodePage = utf8 ? 65001u : wide ? 932u : 0u;
}

bool IsStorableName(const std::string& stored, bool folder) {
    if (IsPlainAsciiPath(stored))
        return true;
    CMemberInfo info;
    EncodeMemberNames(stored, folder, info);
    std::string readBack;
    return DecodeMemberPath(info.strName, info.strDir, !info.strDir.empty(), info.nCodePage,
                            readBack) &&
           readBack == stored;
}

std::string PathKey(const std::string& stored) {
    std::string key = stored;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return key;
}

std::vector<int> MatchMembers(const std::vector<std::string>& memberPaths,
                              const std::vector<std::string>& itemPaths) {
    std::unordered_map<std::string, std::vector<int>> exact, folded;
    for (size_t m = 0; m < memberPaths.size(); ++m) {
        exact[memberPaths[m]].push_back(static_cast<int>(m));
        folded[PathKey(memberPaths[m])].push_back(static_cast<int>(m));
    }
    std::vector<int> match(itemPaths.size(), -1);
    if (memberPaths.empty()) // a new archive: nothing to match
        return match;
    std::vector<bool> claimed(memberPaths.size(), false);
    auto claim = [&](const auto& index, const std::string& key, size_t item) {
        auto it = index.find(key);
        if (it == index.end())
            return;
        for (int m : it->second) {
            if (!claimed[static_cast<size_t>(m)]) {
                claimed[static_cast<size_t>(m)] = true;
                match[item] = m;
                return;
            }
        }
    };
    for (size_t i = 0; i < itemPaths.size(); ++i)
        claim(exact, itemPaths[i], i);
    for (size_t i = 0; i < itemPaths.size(); ++i)
        if (match[i] < 0)
            claim(folded, PathKey(itemPaths[i]), i);
    return match;
}

} // namespace unlha
