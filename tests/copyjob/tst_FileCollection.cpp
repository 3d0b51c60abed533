// The collection: which files a run selects, in which order, and what it reports it cannot copy.
#include "support/CopyJobFixture.h"
#include "support/HostPrivileges.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {
const int64_t kOld = 1600000000;
const int64_t kNew = 1700000000;
} // namespace

class TestFileCollection : public QObject {
    Q_OBJECT

private slots:
    // Pre-order, sorted; hidden files collected, hidden folders and folder links not entered.
    void walksPreOrderWithSortedNames() {
        CCopyJobFixture f(
            "b.txt=b a.txt=a z/y.txt=y m/n/deep.txt=d m/top.txt=t .hidden/h.txt=h .dot=d");
        QVERIFY(f.source.AddSymlink("m/loop", f.source.HostRoot()));
        QVERIFY(f.source.AddSymlink("elsewhere", f.dest.HostRoot()));
        QCOMPARE(f.job.ScanFiles(), 0);
        QCOMPARE(f.CollectedNames(), ".dot a.txt b.txt m\\top.txt m\\n\\deep.txt z\\y.txt");
        const CCopyItem& deep = f.job.m_aCopyItems[4];
        QCOMPARE(deep.SrcFolder + " " + deep.DstFolder, std::string("S:\\m\\n D:\\m\\n"));
        QCOMPARE(deep.SrcSize, uint64_t(1));
    }

    // Subfolders off (1), used only (2), newer only (3).
    void optionsSelect() {
        const std::pair<int, const char*> cases[] = {
            {0, "a.txt b.txt c.txt m.txt both\\d.txt gone\\deeper\\x.txt only\\o.txt"},
            {1, "a.txt b.txt c.txt m.txt"},
            {2, "a.txt b.txt c.txt both\\d.txt"},                // the folder and the file exist
            {3, "b.txt m.txt gone\\deeper\\x.txt only\\o.txt"}}; // by whole seconds
        for (const auto& [option, names] : cases) {
            CCopyJobFixture f("a.txt=s@1600000000 b.txt=s@1700000000 c.txt=s@1600000000 m.txt=s "
                              "only/o.txt=o gone/deeper/x.txt=x both/d.txt=d@1600000000",
                              "a.txt=dd@1600000000 b.txt=dd@1600000000 c.txt=dd@1700000000 only/ "
                              "both/d.txt=d@1600000000");
            f.Setting().SubDirChk = option == 1;
            f.Setting().UsedChk = option == 2;
            f.Setting().NewChk = option == 3;
            QCOMPARE(f.job.ScanFiles(), 0);
            QCOMPARE(f.CollectedNames(), names);
            const CCopyItem& b = f.job.m_aCopyItems[option == 3 ? 0 : 1];
            QVERIFY(b.FileName == "b.txt" && b.SrcTime == kNew && b.DstTime == kOld &&
                    b.DstSize == 2);
        }
    }

    void excludedFolderKeepsItsSubfolders() {
        CCopyJobFixture f("x/skip.txt=s x/keep/k.txt=k y/y.txt=y");
        CCopySetting& s = f.Setting();
        s.OutDirChk = 1;
        s.m_aOutDirs = {"s:\\X\\"};
        s.SaveSpec("Walk");
        s.SaveOutDirList();
        s.m_aOutDirs = {"S:\\y"}; // the walk re-reads the stored list
        QCOMPARE(f.job.ScanFiles(), 0);
        QCOMPARE(f.CollectedNames(), "x\\keep\\k.txt y\\y.txt");
    }

    // Folders read ahead of the walk (more than are held at once, one excluded) give each item
    // its own folder's facts, in pre-order.
    void readAheadKeepsOrderAndFacts() {
        QString src, dst, expected;
        for (int i = 0; i < 24; ++i) {
            const QString d = QString("d%1/").arg(i, 2, 10, QChar('0'));
            src += d + "f.txt=s@1700000000 " + d + "g.txt=s@1600000000 " + d + "n/f.txt=n ";
            dst += d + QString("f.txt=dd@%1 ").arg(kOld + i) + d + "g.txt=d@1600000000 ";
            expected += (i == 7 ? "" : d + "f.txt ") + d + "n/f.txt ";
        }
        CCopyJobFixture f(src, dst);
        f.Setting().NewChk = 1;
        f.Setting().OutDirChk = 1;
        f.Setting().m_aOutDirs = {"S:\\d07"};
        f.Setting().SaveSpec("Wide");
        f.Setting().SaveOutDirList();
        QCOMPARE(f.job.ScanFiles(), 0);
        QCOMPARE(f.CollectedNames(), expected.trimmed().replace('/', '\\'));
        for (const CCopyItem& item : f.job.m_aCopyItems)
            QCOMPARE(item.DstTime,
                     item.SrcFolder.size() == 6 ? kOld + std::stoi(item.SrcFolder.substr(4)) : 0);
    }

    void patternsAreSplitAndAppliedInOrder() {
        const std::pair<const char*, const char*> cases[] = {
            {"*.txt/*.*", "a.txt b.TXT a.txt b.TXT c.doc noext"}, // twice when two match
            {"/*.txt//", "a.txt b.TXT"},                          // empty pieces dropped
            {" *.doc", ""},                                       // blanks belong to the pattern
            {"?.doc", "c.doc"},
            {"", ""}};
        for (const auto& [wildList, expected] : cases) {
            CCopyJobFixture f("a.txt=a b.TXT=b c.doc=c noext=n");
            f.Setting().WildList = wildList;
            QCOMPARE(f.job.ScanFiles(), 0);
            QCOMPARE(f.CollectedNames(), expected);
            Names patterns;
            f.job.SplitWildList(patterns);
            QVERIFY(std::count(patterns.begin(), patterns.end(), "") == 0);
        }
    }

    // An unreadable folder is logged, fails the run and, with clearing, spares the destination.
    void unreadableFolderIsReportedAndSparesDestination() {
        for (const int clear : {0, 1}) {
            CCopyJobFixture f("a.txt=a locked/b.txt=b z.txt=z", "old.txt=only-backup");
            QVERIFY(f.source.SetMode("locked", 0));
            auto restore = qScopeGuard([&] { f.source.SetMode("locked", 0755); });
            CScopedUserPermissions asUser;
            if (DIR* dir = opendir(f.source.HostPath("locked").c_str()); dir && closedir(dir) == 0)
                QSKIP("this process reads folders of mode 000 even without its capabilities");
            f.Setting().AllClrChk = clear;
            QCOMPARE(f.Run(clear ? "ｺﾋﾟｰ元ﾌｫﾙﾀﾞを完全には読み取れなかったため、ｺﾋﾟｰ先ﾌｫﾙﾀﾞはｸﾘｱしま"
                                   "せんでした．"
                                 : Failed(1, kDenied)),
                     clear ? 9999 : 1);
            QVERIFY(f.dest.Exists("old.txt") && f.dest.Exists("z.txt") == !clear);
            QVERIFY(f.LogHas("S:\\locked", "終了ｺｰﾄﾞ 5"));
        }
    }

    void specialFilesAreSkippedWithTheirReason() {
        CCopyJobFixture f("a.txt=a z.txt=z");
        QVERIFY(mkfifo(f.source.HostPath("fifo").c_str(), 0644) == 0);
        QVERIFY(f.source.AddSymlink("broken", "/nonexistent-tidewell-target") &&
                f.source.AddSymlink("loop", "loop"));
        const bool device =
            mknod(f.source.HostPath("null").c_str(), S_IFCHR | 0644, makedev(1, 3)) == 0;
        QCOMPARE(f.Run(kFinished), 0);
        QCOMPARE(f.dest.Listing(), "a.txt=a z.txt=z");
        QVERIFY(f.LogHas("S:\\fifo", "名前付きﾊﾟｲﾌﾟ"));
        QVERIFY(f.LogHas("S:\\broken", "ﾘﾝｸ先がありません") && f.LogHas("S:\\loop", "ﾘﾝｸが循環"));
        QVERIFY(!device || f.LogHas("S:\\null", "ﾃﾞﾊﾞｲｽ"));
    }

    void inexpressibleNamesAndLongPathsAreReported() {
        CCopyJobFixture f("a.txt=a back\\slash.txt=b zz/late.txt=l");
        // Folders just short of the path limit, and a file that passes it.
        std::string deep = "d";
        while (f.source.HostPath(deep + "/" + std::string(200, 'd')).size() < PATH_MAX - 50)
            deep += "/" + std::string(200, 'd');
        QVERIFY(f.source.AddFolder(deep));
        const int dir = open(f.source.HostPath(deep).c_str(), O_DIRECTORY | O_RDONLY);
        const std::string longName(250, 'f');
        QVERIFY(dir >= 0 && close(openat(dir, longName.c_str(), O_CREAT | O_WRONLY, 0644)) == 0);
        auto remove = qScopeGuard([&] { // the deep folders go only once this is gone
            unlinkat(dir, longName.c_str(), 0);
            close(dir);
        });
        // The first reason is named: a name no drive-letter path can hold.
        QCOMPARE(
            f.Run(Failed(
                1, "ファイル名、ディレクトリ名、またはボリューム ラベルの構文が間違っています。")),
            1);
        QVERIFY(f.dest.Exists("a.txt") && f.dest.Exists("zz/late.txt"));
        QVERIFY(f.LogHas("S:\\back\\slash.txt", "名前"));
        QVERIFY(f.LogHas(longName, "ﾊﾟｽが長すぎる"));
    }
};

QTEST_GUILESS_MAIN(TestFileCollection)
#include "tst_FileCollection.moc"
