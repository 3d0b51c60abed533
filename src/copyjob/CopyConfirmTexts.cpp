#include "copyjob/CopyConfirmTexts.h"

#include "files/NumberFormat.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr double kKilo = 0.0009765625; // 1/1024, exact in binary

// A picture and the wider one of the same form that takes over when a figure
// has more integer digits than the first has positions.
struct CPicturePair {
    const char* pszUsual;
    int nUsualDigits;
    const char* pszWide;
    int nDecimals;
};
constexpr CPicturePair kKiloPictures{"-##,###,###.##", 8, "-###,###,###,###.##", 2};
constexpr CPicturePair kClusterPictures{"-###,###", 6, "-###,###,###,###", 0};
constexpr CPicturePair kFilePictures{"####", 4, "############", 0};

int IntegerDigits(double value, int decimals) {
    // Rounded as the picture rounds, so 99,999,999.995 counts nine digits.
    const std::string text = FixedText(std::fabs(value), decimals);
    return static_cast<int>(text.find('.') == std::string::npos ? text.size() : text.find('.'));
}

// One picture for a whole column, so the figures of a column stay aligned.
const char* PictureFor(const CPicturePair& pair, std::initializer_list<double> values) {
    for (double value : values) {
        if (IntegerDigits(value, pair.nDecimals) > pair.nUsualDigits)
            return pair.pszWide;
    }
    return pair.pszUsual;
}

std::string CapacityText(const char* kiloPicture, double bytes, const char* clusterPicture,
                         double clusters) {
    return FormatPicture(kiloPicture, bytes * kKilo) + " KB(" +
           FormatPicture(clusterPicture, clusters) + "ｸﾗｽﾀ)";
}

} // namespace

CCopyConfirmTexts BuildCopyConfirmTexts(const CCopyConfirmFigures& figures) {
    const uint64_t clusterBytes = figures.nClusterBytes;
    const int64_t changeBytes = static_cast<int64_t>(clusterBytes) * figures.nClusters;
    const int64_t remainingBytes = static_cast<int64_t>(figures.nFreeBytes) - changeBytes;

    const double total = static_cast<double>(figures.nTotalBytes);
    const double free = static_cast<double>(figures.nFreeBytes);
    const double change = static_cast<double>(changeBytes);
    const double remaining = static_cast<double>(remainingBytes);
    // Total and free cluster counts are whole quotients, the remaining one a
    // real quotient, as the figures have always been shown.
    double totalClusters = 0;
    double freeClusters = 0;
    double remainingClusters = 0;
    if (clusterBytes != 0) {
        totalClusters = static_cast<double>(figures.nTotalBytes / clusterBytes);
        freeClusters = static_cast<double>(figures.nFreeBytes / clusterBytes);
        remainingClusters = remaining / static_cast<double>(clusterBytes);
    }
    const double clusters = static_cast<double>(figures.nClusters);

    const char* kilo =
        PictureFor(kKiloPictures, {total * kKilo, free * kKilo, change * kKilo, remaining * kKilo});
    const char* cluster =
        PictureFor(kClusterPictures, {totalClusters, freeClusters, clusters, remainingClusters});
    const double files = static_cast<double>(figures.nFiles);
    const char* file = PictureFor(kFilePictures, {files});
    const std::string fat32Mark =
        figures.bFat32 && figures.nFreeBytes > kFat32MarkFreeBytes ? "以上 (FAT32)" : "";

    CCopyConfirmTexts texts;
    texts.strSrcDir = figures.strSrcDir;
    texts.strDstDir = figures.strDstDir;
    texts.strDriveType = figures.strDriveType;
    texts.strTotal = CapacityText(kilo, total, cluster, totalClusters);
    texts.strFree = CapacityText(kilo, free, cluster, freeClusters) + fat32Mark;
    texts.strFiles = FormatPicture(file, files) + " ﾌｧｲﾙ";
    texts.strChange = CapacityText(kilo, change, cluster, clusters);
    texts.strRemaining = CapacityText(kilo, remaining, cluster, remainingClusters) + fat32Mark;
    texts.bCanStart = remainingBytes >= 0;
    texts.strMessage =
        texts.bCanStart ? "ｺﾋﾟｰを開始しますか？" : "ｺﾋﾟｰ先容量不足のため、ｺﾋﾟｰできません．";
    return texts;
}
