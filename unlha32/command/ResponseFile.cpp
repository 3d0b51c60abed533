#include "command/ResponseFile.h"

#include "command/HostFile.h"
#include "lzh/CodePage.h"

namespace unlha {

namespace {

constexpr size_t kMaxResponseFile = 16 << 20; // 100,000 patterns with their folders fit

} // namespace

bool ReadResponseFile(const std::string& hostPath, std::string& content) {
    CReadFile file;
    if (file.Open(hostPath) != 0 || file.Size() > kMaxResponseFile)
        return false;
    content.resize(static_cast<size_t>(file.Size()));
    return file.ReadAt(0, content.data(), content.size());
}

std::optional<std::string> DecodeResponseText(const std::string& bytes) {
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
        std::string text = bytes.substr(3);
        return IsValidUtf8(text) ? std::optional<std::string>(text) : std::nullopt;
    }
    if (auto text = Cp932ToUtf8(bytes))
        return text;
    if (IsValidUtf8(bytes))
        return bytes;
    return std::nullopt;
}

} // namespace unlha
