#include "copyjob/OverwriteTexts.h"

#include <ctime>

namespace {

// Folder + "\" + name, with no doubled separator when the folder already ends
// in one (the top folder of a walk does).
std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

template <class T> const char* CompareWord(T dst, T src, const char* larger, const char* smaller) {
    if (dst > src)
        return larger;
    if (dst < src)
        return smaller;
    return "等しい";
}

} // namespace

std::string ByteCountText(uint64_t bytes) {
    return std::to_string(bytes) + " ﾊﾞｲﾄ";
}

std::string LocalTimeText(int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!localtime_r(&time, &local))
        return {};
    char buffer[64];
    const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y/%m/%d %H:%M:%S", &local);
    return std::string(buffer, length);
}

COverwriteTexts BuildOverwriteTexts(const CCopyItem& item) {
    COverwriteTexts texts;
    texts.strSrcPath = JoinPath(item.SrcFolder, item.FileName);
    texts.strSrcSize = ByteCountText(item.SrcSize);
    texts.strSrcDate = LocalTimeText(item.SrcTime);
    texts.strDstPath = JoinPath(item.DstFolder, item.FileName);
    texts.strDstSize = ByteCountText(item.DstSize);
    texts.strDstDate = LocalTimeText(item.DstTime);
    // Sizes compared as 64-bit numbers: a 32-bit comparison would call a 3 GB
    // destination smaller than a 1 KB source.
    texts.strSizeCompare = CompareWord(item.DstSize, item.SrcSize, "大きい", "小さい");
    texts.strDateCompare = CompareWord(item.DstTime, item.SrcTime, "新しい", "古い");
    return texts;
}
