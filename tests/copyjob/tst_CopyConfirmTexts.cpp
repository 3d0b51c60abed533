// The confirmation before copying: whole clusters a file takes on the destination volume, and
// the texts, checked against figures worked out by hand.
#include "copyjob/CopyConfirmTexts.h"
#include "copyjob/CopyJob.h"
#include "support/FakeVolumeSource.h"
#include "support/ScriptedRunHost.h"

namespace {
const char kStart[] = "ｺﾋﾟｰを開始しますか？";

// A 4 MiB volume with 1 MiB free and 4 KiB clusters unless told otherwise.
CCopyConfirmTexts Texts(int64_t clusters, int64_t files, uint64_t freeBytes = 1048576,
                        uint64_t totalBytes = 4194304, bool fat32 = false,
                        uint64_t clusterBytes = 4096) {
    return BuildCopyConfirmTexts({"S:\\Data", "D:\\Backup", "ﾘﾑｰﾊﾞﾙ", totalBytes, freeBytes,
                                  clusterBytes, clusters, files, fat32});
}

QString Capacities(const CCopyConfirmTexts& t) {
    return QString::fromStdString(t.strTotal + "|" + t.strFree + "|" + t.strChange + "|" +
                                  t.strRemaining);
}
} // namespace

class CCopyConfirmTextsTest : public QObject {
    Q_OBJECT
private slots:
    void clustersNeeded() {
        auto fake = std::make_shared<CFakeVolumeSource>();
        CScopedVolumeSource scoped(fake);
        fake->Set('F', CFakeVolumeSource::Fixed(512, 8, 1000, 500)); // 4 KB clusters
        fake->Set('E', CFakeVolumeSource::Fat32());
        CScriptedRunHost host;
        CCopyJob job(host);
        const std::pair<uint64_t, int64_t> rows[] = {
            {0, 0}, {1, 1}, {4095, 1}, {4096, 1}, {4097, 2}, {8192, 2}, {5ull << 32, 5ll << 20}};
        for (const char* folder : {"F:\\data\\", "E:\\"})
            for (const auto& [size, clusters] : rows)
                QCOMPARE(job.ClustersNeeded(folder, size), clusters);
        QCOMPARE(job.ClustersNeeded("Q:\\", 1), int64_t(-1)); // no drive: size unknown
        QCOMPARE(job.ClustersNeeded("Q:\\", 0), int64_t(0));  // an empty file takes none
    }
    void texts() {
        // New files of 1 and 4097 bytes on 4096-byte clusters take 1 + 2 clusters.
        const CCopyConfirmTexts texts = Texts(3, 2);
        QCOMPARE(texts.strSrcDir + texts.strDstDir + texts.strDriveType + texts.strFiles +
                     texts.strMessage,
                 "S:\\DataD:\\Backupﾘﾑｰﾊﾞﾙ   2 ﾌｧｲﾙ" + std::string(kStart));
        QCOMPARE(Capacities(texts),
                 "      4,096.00 KB(   1,024ｸﾗｽﾀ)|      1,024.00 KB(     256ｸﾗｽﾀ)|         12.00 "
                 "KB(       3ｸﾗｽﾀ)|      1,012.00 KB(     253ｸﾗｽﾀ)");
        // A zero cluster size gives zero clusters everywhere but the change.
        QCOMPARE(Capacities(Texts(3, 2, 1048576, 4194304, false, 0)).count("       0ｸﾗｽﾀ)"), 3);
    }

    void remainingCapacity() {
        // clang-format off
        const std::tuple<int64_t, uint64_t, const char*> rows[] = {
            {-1, 1048576, "      1,028.00 KB(     257ｸﾗｽﾀ)"}, // a replacement frees a cluster
            {3, 12288, "          0.00 KB(       0ｸﾗｽﾀ)"},    // an exact fit may start
            {3, 8192, "         -4.00 KB(      -1ｸﾗｽﾀ)"}};   // one cluster short
        // clang-format on
        for (const auto& [clusters, freeBytes, remaining] : rows) {
            const CCopyConfirmTexts texts = Texts(clusters, 1, freeBytes);
            QCOMPARE(QString::fromStdString(texts.strRemaining), remaining);
            QCOMPARE(texts.bCanStart, freeBytes != 8192);
            QCOMPARE(texts.strMessage, texts.bCanStart
                                           ? std::string(kStart)
                                           : std::string("ｺﾋﾟｰ先容量不足のため、ｺﾋﾟｰできません．"));
        }
    }

    void fat32MarkAndLargeFigures() {
        const QString mark = "以上 (FAT32)"; // on free and remaining, above the old limit
        QCOMPARE(Capacities(Texts(1, 1, 2096001, 4294963200, true)).count(mark), 2);
        QCOMPARE(Capacities(Texts(1, 1, 2096000, 4294963200, true)).count(mark), 0);
        QCOMPARE(Capacities(Texts(1, 1, 1073741824, 4294963200, false)).count(mark), 0);
        // 5 GiB free of 2 TiB: wider columns, one width per column.
        const CCopyConfirmTexts texts = Texts(1, 12345, 5368709120, 2199023255552);
        QVERIFY(texts.bCanStart);
        QCOMPARE(Texts(1, 1, 0, 10240000000).strTotal.find(" 10,000,000.00 KB("), size_t(0));
        QVERIFY(texts.strTotal.find("2,147,483,648.00 KB(     536,870,912ｸﾗｽﾀ)") !=
                std::string::npos);
        QVERIFY(texts.strRemaining.find(" 5,242,876.00 KB(") != std::string::npos);
        QCOMPARE(texts.strFiles, std::string("       12345 ﾌｧｲﾙ"));
        for (const std::string& text : {texts.strFree, texts.strChange, texts.strRemaining})
            QCOMPARE(text.find("ｸﾗｽﾀ)") + text.find(" KB("),
                     texts.strTotal.find("ｸﾗｽﾀ)") + texts.strTotal.find(" KB("));
    }
};

QTEST_GUILESS_MAIN(CCopyConfirmTextsTest)
#include "tst_CopyConfirmTexts.moc"
