// Texts of the overwrite question, checked against figures worked out by hand.
#include "copyjob/OverwriteTexts.h"

#include <QTest>

namespace {
COverwriteTexts Texts(const char* folder, uint64_t srcSize, int64_t srcTime, uint64_t dstSize,
                      int64_t dstTime) {
    return BuildOverwriteTexts({.SrcFolder = folder,
                                .DstFolder = folder,
                                .FileName = "a.txt",
                                .SrcTime = srcTime,
                                .DstTime = dstTime,
                                .SrcSize = srcSize,
                                .DstSize = dstSize});
}
} // namespace

class COverwriteTextsTest : public QObject {
    Q_OBJECT
private slots:
    void comparisonWords() {
        // Source and destination size and time; words for the destination.
        // clang-format off
        const std::tuple<uint64_t, uint64_t, int64_t, int64_t, const char*> rows[] = {
            {100, 200, 1000, 1060, "大きい 新しい"}, {512, 512, 1000, 1000, "等しい 等しい"},
            {200, 100, 1060, 1000, "小さい 古い"},
            {1024, 3221225472, 0, 0, "大きい 等しい"}, // 3 GB: a 32-bit comparison calls it smaller
            {1, 1, 2147483647, 4102444800, "等しい 新しい"}}; // past 2038
        // clang-format on
        for (const auto& [srcSize, dstSize, srcTime, dstTime, words] : rows) {
            const COverwriteTexts texts = Texts("S:\\", srcSize, srcTime, dstSize, dstTime);
            QCOMPARE(QString::fromStdString(texts.strSizeCompare + " " + texts.strDateCompare),
                     words);
        }
    }

    void pathsSizesAndDates() {
        // TZ is JST-9 in the test environment.
        COverwriteTexts texts = Texts("S:\\表示", 0, 1700000000, 5000000000, 4102444800);
        QCOMPARE(texts.strSrcPath + "|" + texts.strSrcSize + "|" + texts.strSrcDate,
                 std::string("S:\\表示\\a.txt|0 ﾊﾞｲﾄ|2023/11/15 07:13:20"));
        QCOMPARE(texts.strDstSize + "|" + texts.strDstDate,
                 std::string("5000000000 ﾊﾞｲﾄ|2100/01/01 09:00:00"));
        texts = Texts("S:\\Data\\", 1, 0, 1, 0); // the top folder ends in "\"
        QCOMPARE(texts.strDstPath, std::string("S:\\Data\\a.txt"));
    }
};

QTEST_APPLESS_MAIN(COverwriteTextsTest)
#include "tst_OverwriteTexts.moc"
