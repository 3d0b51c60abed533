// The collection: which files of the source tree a run selects, in which
// order, and how the walk reacts to drives, cancels and odd trees.
#include "copyjob/RunTexts.h"
#include "support/CopyJobFixture.h"

#include <QTest>

namespace {
const int64_t kOld = 1600000000;
const int64_t kNew = 1700000000;
} // namespace

class TestCollection : public QObject {
    Q_OBJECT

private slots:
    void walksPreOrderWithSortedNames();
    void subfolderOptionKeepsToTopFolder();
    void excludedFolderKeepsItsSubfolders();
    void usedOptionNeedsDestinationFolderAndFile();
    void newerOptionComparesWholeSeconds();
    void patternsAreSplitAndAppliedInOrder_data();
    void patternsAreSplitAndAppliedInOrder();
    void hiddenFoldersAndFolderLinksAreNotEntered();
    void folderStructureListsEveryVisitedFolder();
    void cancelDuringDeepWalkEndsCollection();
    void notReadyDrivesAreRetriedOrCancelled();
    void vanishingFolderDuringWalkIsSkipped();
    void sourceFolderListForExcludeDialog();
    void feedbackReturnsToIdle();
};

void TestCollection::walksPreOrderWithSortedNames() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"b.txt", "b"},
                            {"a.txt", "a"},
                            {"z/", ""},
                            {"z/y.txt", "y"},
                            {"m/n/deep.txt", "d"},
                            {"m/top.txt", "t"}}));
    QCOMPARE(f.job.ScanFiles(), 0);
    QCOMPARE(f.CollectedNames(),
             (Names{"a.txt", "b.txt", "m\\top.txt", "m\\n\\deep.txt", "z\\y.txt"}));
    const CCopyItem& top = f.job.m_aCopyItems[0];
    QCOMPARE(top.SrcFolder, std::string("S:\\"));
    QCOMPARE(top.DstFolder, std::string("D:\\"));
    const CCopyItem& deep = f.job.m_aCopyItems[3];
    QCOMPARE(deep.SrcFolder, std::string("S:\\m\\n"));
    QCOMPARE(deep.DstFolder, std::string("D:\\m\\n"));
    QCOMPARE(deep.SrcSize, uint64_t(1));
    QCOMPARE(deep.DstSize, uint64_t(0));
}

void TestCollection::subfolderOptionKeepsToTopFolder() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}, {"sub/b.txt", "b"}}));
    f.Setting().SubDirChk = 1;
    QCOMPARE(f.job.ScanFiles(), 0);
    QCOMPARE(f.CollectedNames(), (Names{"a.txt"}));
}

void TestCollection::excludedFolderKeepsItsSubfolders() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"x/skip.txt", "s"}, {"x/keep/k.txt", "k"}, {"y/y.txt", "y"}}));
    CCopySetting& s = f.Setting();
    s.OutDirChk = 1;
    s.m_aOutDirs = {"s:\\X\\"};
    s.SaveSpec("Walk");
    s.SaveOutDirList();
    // The walk re-reads the stored list, so an entry only in memory is gone.
    s.m_aOutDirs = {"S:\\y"};
    QCOMPARE(f.job.ScanFiles(), 0);
    QCOMPARE(f.CollectedNames(), (Names{"x\\keep\\k.txt", "y\\y.txt"}));
}

void TestCollection::usedOptionNeedsDestinationFolderAndFile() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"},
                            {"b.txt", "b"},
                            {"only/o.txt", "o"},
                            {"only/inner/i.txt", "i"},
                            {"gone/g.txt", "g"},
                            {"gone/deeper/x.txt", "x"},
                            {"both/c.txt", "c"}}));
    // "only" exists without o.txt; "only/inner" and "gone" do not exist.
    QVERIFY(f.dest.Build(
        {{"a.txt", "old"}, {"only/", ""}, {"both/c.txt", "x"}, {"gone-not/deeper/x.txt", "x"}}));
    f.Setting().UsedChk = 1;
    QCOMPARE(f.job.ScanFiles(), 0);
    QCOMPARE(f.CollectedNames(), (Names{"a.txt", "both\\c.txt"}));
    QCOMPARE(f.job.m_aCopyItems[0].DstSize, uint64_t(3));
    // Subfolders of a folder missing in the destination were still walked.
    bool walkedDeeper = false;
    for (const std::string& text : f.host.statusTexts)
        walkedDeeper = walkedDeeper || text == "ﾌｫﾙﾀﾞ 'gone\\deeper' を検索中です...";
    QVERIFY(walkedDeeper);
}

void TestCollection::newerOptionComparesWholeSeconds() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"equal.txt", "s", kOld},
                            {"older.txt", "s", kOld},
                            {"newer.txt", "s", kNew},
                            {"missing.txt", "s", kOld}}));
    QVERIFY(f.dest.Build(
        {{"equal.txt", "dd", kOld}, {"older.txt", "dd", kNew}, {"newer.txt", "dd", kOld}}));
    f.Setting().NewChk = 1;
    QCOMPARE(f.job.ScanFiles(), 0);
    QCOMPARE(f.CollectedNames(), (Names{"missing.txt", "newer.txt"}));
    const CCopyItem& newer = f.job.m_aCopyItems[1];
    QCOMPARE(newer.SrcTime, kNew);
    QCOMPARE(newer.DstTime, kOld);
    QCOMPARE(newer.DstSize, uint64_t(2));
}

void TestCollection::patternsAreSplitAndAppliedInOrder_data() {
    QTest::addColumn<QString>("wildList");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("twice when two patterns match")
        << "*.txt/*.*" << QStringList{"a.txt", "b.TXT", "a.txt", "b.TXT", "c.doc", "noext"};
    QTest::newRow("empty pieces dropped") << "/*.txt//" << QStringList{"a.txt", "b.TXT"};
    QTest::newRow("star dot star matches names without dot")
        << "*.*" << QStringList{"a.txt", "b.TXT", "c.doc", "noext"};
    QTest::newRow("blanks stay part of a pattern") << " *.doc" << QStringList{};
    QTest::newRow("question mark") << "?.doc" << QStringList{"c.doc"};
    QTest::newRow("empty list") << "" << QStringList{};
}

void TestCollection::patternsAreSplitAndAppliedInOrder() {
    QFETCH(QString, wildList);
    QFETCH(QStringList, expected);
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}, {"b.TXT", "b"}, {"c.doc", "c"}, {"noext", "n"}}));
    f.Setting().WildList = wildList.toStdString();
    QCOMPARE(f.job.ScanFiles(), 0);
    Names names;
    for (const QString& name : expected)
        names.push_back(name.toStdString());
    QCOMPARE(f.CollectedNames(), names);
}

void TestCollection::hiddenFoldersAndFolderLinksAreNotEntered() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{".hidden/h.txt", "h"}, {".dotfile", "d"}, {"sub/s.txt", "s"}}));
    QVERIFY(f.source.AddSymlink("sub/loop", f.source.HostRoot()));
    QVERIFY(f.source.AddSymlink("elsewhere", f.dest.HostRoot()));
    QCOMPARE(f.job.ScanFiles(), 0);
    // Hidden files are collected; hidden folders and links to folders are not entered.
    QCOMPARE(f.CollectedNames(), (Names{".dotfile", "sub\\s.txt"}));
}

void TestCollection::folderStructureListsEveryVisitedFolder() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"ex/", ""}, {"ex/in/", ""}, {"plain/", ""}}));
    CCopySetting& s = f.Setting();
    s.CopyDirChk = 1;
    s.UsedChk = 1;
    s.OutDirChk = 1;
    s.m_aOutDirs = {"S:\\ex"};
    s.SaveSpec("Tree");
    s.SaveOutDirList();
    QCOMPARE(f.job.ScanFiles(), 0);
    // Excluded folders and folders missing in the destination are included.
    QCOMPARE(f.job.m_aDstFolders, (Names{"D:\\", "D:\\ex", "D:\\ex\\in", "D:\\plain"}));
}

void TestCollection::cancelDuringDeepWalkEndsCollection() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a/b/c/d/e.txt", "e"}, {"a/b/c/d/f/", ""}, {"z/late.txt", "l"}}));
    f.job.m_bRunning = 1;
    f.host.onPump = [&](int) {
        if (f.host.statusTexts.back() == "ﾌｫﾙﾀﾞ 'a\\b\\c\\d' を検索中です...")
            f.job.RequestCancel();
    };
    QCOMPARE(f.job.RunCopyJob(), 9999);
    QCOMPARE(f.job.m_bCancel, 0);   // the check that found it cleared it
    QVERIFY(f.dest.Read().empty()); // no copy started
    QCOMPARE(f.host.progressCaptions.size(), size_t(0));
}

void TestCollection::notReadyDrivesAreRetriedOrCancelled() {
    CCopyJobFixture f;
    f.Setting().SrcDir = "Q:\\Nowhere";
    f.boxes->Expect("ｺﾋﾟｰ元ﾌｫﾙﾀﾞの準備が出来てないか", IDRETRY, MB_RETRYCANCEL | MB_ICONEXCLAMATION)
        .Expect("ｺﾋﾟｰ元ﾌｫﾙﾀﾞの準備が出来てないか", IDCANCEL);
    QCOMPARE(f.job.ScanFiles(), 9999);
    QVERIFY(f.boxes->VerifyAllUsed());
    QCOMPARE(f.host.closeCaption, std::string()); // never switched to abort

    f.Setting().SrcDir = f.source.DriveRoot();
    f.Setting().DstDir = "Q:\\";
    f.boxes->Expect(RunText::kDestNotReady, IDCANCEL);
    QCOMPARE(f.job.ScanFiles(), 9999);
    QCOMPARE(f.host.closeCaption, std::string(RunText::kCloseCaption));
    QVERIFY(f.boxes->VerifyAllUsed());
}

void TestCollection::vanishingFolderDuringWalkIsSkipped() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a/one.txt", "1"}, {"b/two.txt", "2"}, {"c/three.txt", "3"}}));
    f.host.onPump = [&](int) {
        if (f.host.statusTexts.back() == "ﾌｫﾙﾀﾞ 'a' を検索中です...")
            QDir(QString::fromStdString(f.source.HostPath("b"))).removeRecursively();
    };
    QCOMPARE(f.job.ScanFiles(), 0);
    QCOMPARE(f.CollectedNames(), (Names{"a\\one.txt", "c\\three.txt"}));
}

void TestCollection::sourceFolderListForExcludeDialog() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"b/", ""}, {"a/x/", ""}, {".h/", ""}}));
    f.Setting().SubDirChk = 1; // ignored by this walk
    f.Setting().WildList = "*.none";
    std::vector<std::string> folders;
    QCOMPARE(f.job.CollectSourceFolders(folders), 0);
    QCOMPARE(folders, (Names{"S:\\", "S:\\a", "S:\\a\\x", "S:\\b"}));
    QCOMPARE(f.host.statusTexts.back(), std::string(RunText::kIdleStatus));
    QVERIFY(!f.host.busy);
}

void TestCollection::feedbackReturnsToIdle() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"sub/a.txt", "a"}}));
    QCOMPARE(f.job.ScanFiles(), 0);
    QCOMPARE(f.host.busyCaptions.front(), std::string(RunText::kCollectingBusy));
    QVERIFY(!f.host.busy);
    QCOMPARE(f.host.statusTexts.front(), std::string(RunText::kCollectingStatus));
    QCOMPARE(f.host.statusTexts.back(), std::string(RunText::kIdleStatus));
    QCOMPARE(f.host.closeCaption, std::string(RunText::kCloseCaption));
}

QTEST_GUILESS_MAIN(TestCollection)
#include "tst_FileCollection.moc"
