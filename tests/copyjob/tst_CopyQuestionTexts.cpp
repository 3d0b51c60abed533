// Texts of the overwrite question, the confirmation before copying and the
// progress percentage, checked against figures worked out by hand.

#include "copyjob/CopyConfirmTexts.h"
#include "copyjob/OverwriteTexts.h"
#include "copyjob/ProgressPercent.h"

#include <QTest>

#include <string>

Q_DECLARE_METATYPE(std::string)

namespace {

CCopyItem Item(uint64_t srcSize, int64_t srcTime, uint64_t dstSize, int64_t dstTime) {
    CCopyItem item;
    item.SrcFolder = "S:\\Data\\";
    item.DstFolder = "D:\\Backup\\";
    item.FileName = "a.txt";
    item.SrcSize = srcSize;
    item.SrcTime = srcTime;
    item.DstSize = dstSize;
    item.DstTime = dstTime;
    return item;
}

// A 4 MiB volume with 1 MiB free and 4 KiB clusters.
CCopyConfirmFigures SmallVolume(int64_t clusters, int64_t files) {
    CCopyConfirmFigures figures;
    figures.strSrcDir = "S:\\Data";
    figures.strDstDir = "D:\\Backup";
    figures.strDriveType = "ﾘﾑｰﾊﾞﾙ";
    figures.nTotalBytes = 4194304;
    figures.nFreeBytes = 1048576;
    figures.nClusterBytes = 4096;
    figures.nClusters = clusters;
    figures.nFiles = files;
    return figures;
}

const std::string kMark = "以上 (FAT32)";

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

class CCopyQuestionTextsTest : public QObject {
    Q_OBJECT
private slots:
    void comparisonWords_data();
    void comparisonWords();
    void pathsJoinWithOneSeparator_data();
    void pathsJoinWithOneSeparator();
    void sizesAndDates();

    void confirmTextsForNewFiles();
    void confirmTextsForShrinkingReplacement();
    void lackingCapacityRefusesStart();
    void exactFitMayStart();
    void fat32Mark_data();
    void fat32Mark();
    void largeVolumesDoNotWrap();
    void manyFilesDoNotOverflow();
    void zeroClusterSizeDoesNotCrash();

    void percentTexts_data();
    void percentTexts();
};

void CCopyQuestionTextsTest::comparisonWords_data() {
    QTest::addColumn<qulonglong>("srcSize");
    QTest::addColumn<qulonglong>("dstSize");
    QTest::addColumn<qlonglong>("srcTime");
    QTest::addColumn<qlonglong>("dstTime");
    QTest::addColumn<QString>("sizeWord");
    QTest::addColumn<QString>("dateWord");
    QTest::newRow("destination newer and larger")
        << 100ULL << 200ULL << 1000000000LL << 1000000060LL << "大きい"
        << "新しい";
    QTest::newRow("identical") << 512ULL << 512ULL << 1000000000LL << 1000000000LL << "等しい"
                               << "等しい";
    QTest::newRow("destination older and smaller")
        << 200ULL << 100ULL << 1000000060LL << 1000000000LL << "小さい"
        << "古い";
    // A 32-bit comparison would take 3 GB for a negative number.
    QTest::newRow("3 GB destination") << 1024ULL << 3221225472ULL << 0LL << 0LL << "大きい"
                                      << "等しい";
    QTest::newRow("times past 2038") << 1ULL << 1ULL << 2147483647LL << 4102444800LL << "等しい"
                                     << "新しい";
}

void CCopyQuestionTextsTest::comparisonWords() {
    QFETCH(qulonglong, srcSize);
    QFETCH(qulonglong, dstSize);
    QFETCH(qlonglong, srcTime);
    QFETCH(qlonglong, dstTime);
    QFETCH(QString, sizeWord);
    QFETCH(QString, dateWord);
    const COverwriteTexts texts = BuildOverwriteTexts(Item(srcSize, srcTime, dstSize, dstTime));
    QCOMPARE(QString::fromStdString(texts.strSizeCompare), sizeWord);
    QCOMPARE(QString::fromStdString(texts.strDateCompare), dateWord);
}

void CCopyQuestionTextsTest::pathsJoinWithOneSeparator_data() {
    QTest::addColumn<std::string>("folder");
    QTest::addColumn<std::string>("expected");
    QTest::newRow("top folder with separator")
        << std::string("S:\\Data\\") << std::string("S:\\Data\\a.txt");
    QTest::newRow("subfolder without")
        << std::string("S:\\Data\\sub") << std::string("S:\\Data\\sub\\a.txt");
    QTest::newRow("drive root") << std::string("S:\\") << std::string("S:\\a.txt");
    QTest::newRow("Japanese folder") << std::string("S:\\表示") << std::string("S:\\表示\\a.txt");
}

void CCopyQuestionTextsTest::pathsJoinWithOneSeparator() {
    QFETCH(std::string, folder);
    QFETCH(std::string, expected);
    CCopyItem item = Item(1, 0, 1, 0);
    item.SrcFolder = folder;
    item.DstFolder = folder;
    const COverwriteTexts texts = BuildOverwriteTexts(item);
    QCOMPARE(texts.strSrcPath, expected);
    QCOMPARE(texts.strDstPath, expected);
}

void CCopyQuestionTextsTest::sizesAndDates() {
    // TZ is JST-9 in the test environment.
    const COverwriteTexts texts =
        BuildOverwriteTexts(Item(0, 1700000000, 5000000000ULL, 4102444800));
    QCOMPARE(texts.strSrcSize, std::string("0 ﾊﾞｲﾄ"));
    QCOMPARE(texts.strDstSize, std::string("5000000000 ﾊﾞｲﾄ"));
    QCOMPARE(texts.strSrcDate, std::string("2023/11/15 07:13:20"));
    QCOMPARE(texts.strDstDate, std::string("2100/01/01 09:00:00"));
}

void CCopyQuestionTextsTest::confirmTextsForNewFiles() {
    // New files of 1 and 4097 bytes on 4096-byte clusters take 1 + 2 clusters.
    const CCopyConfirmTexts texts = BuildCopyConfirmTexts(SmallVolume(3, 2));
    QCOMPARE(texts.strSrcDir, std::string("S:\\Data"));
    QCOMPARE(texts.strDstDir, std::string("D:\\Backup"));
    QCOMPARE(texts.strDriveType, std::string("ﾘﾑｰﾊﾞﾙ"));
    QCOMPARE(texts.strTotal, std::string("      4,096.00 KB(   1,024ｸﾗｽﾀ)"));
    QCOMPARE(texts.strFree, std::string("      1,024.00 KB(     256ｸﾗｽﾀ)"));
    QCOMPARE(texts.strFiles, std::string("   2 ﾌｧｲﾙ"));
    QCOMPARE(texts.strChange, std::string("         12.00 KB(       3ｸﾗｽﾀ)"));
    QCOMPARE(texts.strRemaining, std::string("      1,012.00 KB(     253ｸﾗｽﾀ)"));
    QCOMPARE(texts.strMessage, std::string("ｺﾋﾟｰを開始しますか？"));
    QVERIFY(texts.bCanStart);
}

void CCopyQuestionTextsTest::confirmTextsForShrinkingReplacement() {
    // 5,000 bytes replaced by 100 bytes: 1 - 2 = -1 cluster.
    const CCopyConfirmTexts texts = BuildCopyConfirmTexts(SmallVolume(-1, 1));
    QCOMPARE(texts.strChange, std::string("         -4.00 KB(      -1ｸﾗｽﾀ)"));
    QCOMPARE(texts.strRemaining, std::string("      1,028.00 KB(     257ｸﾗｽﾀ)"));
    QVERIFY(texts.bCanStart);
}

void CCopyQuestionTextsTest::lackingCapacityRefusesStart() {
    CCopyConfirmFigures figures = SmallVolume(3, 2);
    figures.nFreeBytes = 8192;
    const CCopyConfirmTexts texts = BuildCopyConfirmTexts(figures);
    QVERIFY(!texts.bCanStart);
    QCOMPARE(texts.strMessage, std::string("ｺﾋﾟｰ先容量不足のため、ｺﾋﾟｰできません．"));
    QCOMPARE(texts.strRemaining, std::string("         -4.00 KB(      -1ｸﾗｽﾀ)"));
}

void CCopyQuestionTextsTest::exactFitMayStart() {
    CCopyConfirmFigures figures = SmallVolume(3, 2);
    figures.nFreeBytes = 12288;
    const CCopyConfirmTexts texts = BuildCopyConfirmTexts(figures);
    QVERIFY(texts.bCanStart);
    QCOMPARE(texts.strRemaining, std::string("          0.00 KB(       0ｸﾗｽﾀ)"));
}

void CCopyQuestionTextsTest::fat32Mark_data() {
    QTest::addColumn<bool>("fat32");
    QTest::addColumn<qulonglong>("freeBytes");
    QTest::addColumn<bool>("marked");
    QTest::newRow("FAT32 above the limit") << true << 2096001ULL << true;
    QTest::newRow("FAT32 at the limit") << true << 2096000ULL << false;
    QTest::newRow("other file system") << false << 1073741824ULL << false;
}

void CCopyQuestionTextsTest::fat32Mark() {
    QFETCH(bool, fat32);
    QFETCH(qulonglong, freeBytes);
    QFETCH(bool, marked);
    CCopyConfirmFigures figures = SmallVolume(1, 1);
    figures.nTotalBytes = 4294963200ULL;
    figures.bFat32 = fat32;
    figures.nFreeBytes = freeBytes;
    const CCopyConfirmTexts texts = BuildCopyConfirmTexts(figures);
    QCOMPARE(EndsWith(texts.strFree, kMark), marked);
    QCOMPARE(EndsWith(texts.strRemaining, kMark), marked);
    QVERIFY(!EndsWith(texts.strTotal, kMark));
    QVERIFY(!EndsWith(texts.strChange, kMark));
}

void CCopyQuestionTextsTest::largeVolumesDoNotWrap() {
    CCopyConfirmFigures figures = SmallVolume(1, 1);
    figures.nTotalBytes = 2199023255552ULL; // 2 TiB
    figures.nFreeBytes = 5368709120ULL;     // 5 GiB
    const CCopyConfirmTexts texts = BuildCopyConfirmTexts(figures);
    QVERIFY(texts.bCanStart);
    QVERIFY(texts.strTotal.find("2,147,483,648.00 KB(") != std::string::npos);
    QVERIFY(texts.strTotal.find("536,870,912ｸﾗｽﾀ)") != std::string::npos);
    QVERIFY(texts.strFree.find("5,242,880.00 KB(") != std::string::npos);
    QVERIFY(texts.strFree.find("1,310,720ｸﾗｽﾀ)") != std::string::npos);
    QVERIFY(texts.strRemaining.find("5,242,876.00 KB(") != std::string::npos);
    // The figures of one column keep one width, so they still line up.
    const std::string* aTexts[] = {&texts.strTotal, &texts.strFree, &texts.strChange,
                                   &texts.strRemaining};
    for (const std::string* pText : aTexts) {
        QVERIFY2(pText->find('E') == std::string::npos, pText->c_str());
        QCOMPARE(pText->find(" KB("), texts.strTotal.find(" KB("));
        QCOMPARE(pText->find("ｸﾗｽﾀ)"), texts.strTotal.find("ｸﾗｽﾀ)"));
    }
}

void CCopyQuestionTextsTest::manyFilesDoNotOverflow() {
    const CCopyConfirmTexts texts = BuildCopyConfirmTexts(SmallVolume(1, 12345));
    QVERIFY(EndsWith(texts.strFiles, "12345 ﾌｧｲﾙ"));
    QVERIFY(texts.strFiles.find('E') == std::string::npos);
}

void CCopyQuestionTextsTest::zeroClusterSizeDoesNotCrash() {
    CCopyConfirmFigures figures = SmallVolume(3, 2);
    figures.nClusterBytes = 0;
    const CCopyConfirmTexts texts = BuildCopyConfirmTexts(figures);
    QVERIFY(EndsWith(texts.strTotal, "       0ｸﾗｽﾀ)"));
    QVERIFY(EndsWith(texts.strRemaining, "       0ｸﾗｽﾀ)"));
    QVERIFY(texts.bCanStart);
}

void CCopyQuestionTextsTest::percentTexts_data() {
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("lower");
    QTest::addColumn<int>("upper");
    QTest::addColumn<QString>("text");
    QTest::newRow("start of 0..3") << 0 << 0 << 3 << "0%";
    QTest::newRow("first of three") << 1 << 0 << 3 << "33%";
    QTest::newRow("second of three") << 2 << 0 << 3 << "66%";
    QTest::newRow("third of three") << 3 << 0 << 3 << "100%";
    QTest::newRow("offset range") << 15 << 10 << 20 << "50%";
    QTest::newRow("past the end wraps") << 150 << 0 << 100 << "50%";
    QTest::newRow("twice the range") << 200 << 0 << 100 << "0%";
    QTest::newRow("below the range") << -10 << 0 << 100 << "-10%";
    // 30,000,000 * 100 does not fit 32 bits.
    QTest::newRow("thirty million items") << 30000000 << 0 << 40000000 << "75%";
    QTest::newRow("empty range") << 5 << 5 << 5 << "0%";
}

void CCopyQuestionTextsTest::percentTexts() {
    QFETCH(int, pos);
    QFETCH(int, lower);
    QFETCH(int, upper);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(PercentText(pos, lower, upper)), text);
}

QTEST_APPLESS_MAIN(CCopyQuestionTextsTest)
#include "tst_CopyQuestionTexts.moc"
