// The collection: which files of the source tree a run selects, in which
// order, how the walk reacts to drives, cancels and odd trees, and how it
// reports what it cannot copy (unreadable folders, special files, names no
// drive-letter path can hold, paths too long for the system).
#include "support/CopyJobFixture.h"
#include "support/HostPrivileges.h"

#include <QTest>

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const int64_t kOld = 1600000000;
const int64_t kNew = 1700000000;

Names Split(const QString& names) {
    Names out;
    for (const QString& name : names.split(' ', Qt::SkipEmptyParts))
        out.push_back(name.toStdString());
    return out;
}
} // namespace

class TestFileCollection : public QObject {
    Q_OBJECT

private slots:
    // Pre-order with sorted names; hidden files are collected, hidden
    // folders and links to folders are not entered.
    void walksPreOrderWithSortedNames() {
        CCopyJobFixture f;
        QVERIFY(f.source.Build({{"b.txt", "b"},
                                {"a.txt", "a"},
                                {"z/y.txt", "y"},
                                {"m/n/deep.txt", "d"},
                                {"m/top.txt", "t"},
                                {".hidden/h.txt", "h"},
                                {".dot", "d"}}));
        QVERIFY(f.source.AddSymlink("m/loop", f.source.HostRoot()));
        QVERIFY(f.source.AddSymlink("elsewhere", f.dest.HostRoot()));
        QCOMPARE(f.job.ScanFiles(), 0);
        QCOMPARE(f.CollectedNames(), Split(".dot a.txt b.txt m\\top.txt m\\n\\deep.txt z\\y.txt"));
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
            CCopyJobFixture f;
            QVERIFY(f.source.Build({{"a.txt", "s", kOld},
                                    {"b.txt", "s", kNew},
                                    {"c.txt", "s", kOld},
                                    {"m.txt", "s"},
                                    {"only/o.txt", "o"},
                                    {"gone/deeper/x.txt", "x"},
                                    {"both/d.txt", "d", kOld}}));
            QVERIFY(f.dest.Build({{"a.txt", "dd", kOld},
                                  {"b.txt", "dd", kOld},
                                  {"c.txt", "dd", kNew},
                                  {"only/"},
                                  {"both/d.txt", "d", kOld}}));
            f.Setting().SubDirChk = option == 1;
            f.Setting().UsedChk = option == 2;
            f.Setting().NewChk = option == 3;
            QCOMPARE(f.job.ScanFiles(), 0);
            QCOMPARE(f.CollectedNames(), Split(names));
            const CCopyItem& b = f.job.m_aCopyItems[option == 3 ? 0 : 1];
            QVERIFY(b.FileName == "b.txt" && b.SrcTime == kNew && b.DstTime == kOld &&
                    b.DstSize == 2);
        }
    }

    void excludedFolderKeepsItsSubfolders() {
        CCopyJobFixture f;
        QVERIFY(f.source.Build({{"x/skip.txt", "s"}, {"x/keep/k.txt", "k"}, {"y/y.txt", "y"}}));
        CCopySetting& s = f.Setting();
        s.OutDirChk = 1;
        s.m_aOutDirs = {"s:\\X\\"};
        s.SaveSpec("Walk");
        s.SaveOutDirList();
        s.m_aOutDirs = {"S:\\y"}; // the walk re-reads the stored list
        QCOMPARE(f.job.ScanFiles(), 0);
        QCOMPARE(f.CollectedNames(), Split("x\\keep\\k.txt y\\y.txt"));
    }

    void patternsAreSplitAndAppliedInOrder() {
        const std::pair<const char*, const char*> cases[] = {
            {"*.txt/*.*", "a.txt b.TXT a.txt b.TXT c.doc noext"}, // twice when two match
            {"/*.txt//", "a.txt b.TXT"},                          // empty pieces dropped
            {" *.doc", ""},                                       // blanks belong to the pattern
            {"?.doc", "c.doc"},
            {"", ""}};
        for (const auto& [wildList, expected] : cases) {
            CCopyJobFixture f;
            QVERIFY(
                f.source.Build({{"a.txt", "a"}, {"b.TXT", "b"}, {"c.doc", "c"}, {"noext", "n"}}));
            f.Setting().WildList = wildList;
            QCOMPARE(f.job.ScanFiles(), 0);
            QCOMPARE(f.CollectedNames(), Split(expected));
            Names patterns;
            f.job.SplitWildList(patterns);
            QVERIFY(std::find(patterns.begin(), patterns.end(), "") ==
                    patterns.end()); // no empty piece
        }
    }

    // An unreadable folder is named in the log, fails the run and, with the
    // clearing option, spares the destination its only copy.
    void unreadableFolderIsReportedAndSparesDestination() {
        for (const int clear : {0, 1}) {
            CCopyJobFixture f;
            QVERIFY(f.source.Build({{"a.txt", "a"}, {"locked/b.txt", "b"}, {"z.txt", "z"}}));
            QVERIFY(f.dest.Build({{"old.txt", "only backup"}}));
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
            QVERIFY(f.dest.Exists("old.txt"));
            QCOMPARE(f.dest.Exists("z.txt"), !clear);
            QVERIFY(f.LogHas("S:\\locked", "終了ｺｰﾄﾞ 5"));
        }
    }

    void specialFilesAreSkippedWithTheirReason() {
        CCopyJobFixture f;
        QVERIFY(f.source.Build({{"a.txt", "a"}, {"z.txt", "z"}}));
        QVERIFY(mkfifo(f.source.HostPath("fifo").c_str(), 0644) == 0);
        sockaddr_un addr{AF_UNIX, {}};
        const std::string sock = f.source.HostPath("sock");
        QVERIFY(sock.size() < sizeof addr.sun_path);
        sock.copy(addr.sun_path, sock.size());
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && close(fd) == 0);
        QVERIFY(f.source.AddSymlink("broken", "/nonexistent-tidewell-target"));
        QVERIFY(f.source.AddSymlink("loop", "loop"));
        const bool device =
            mknod(f.source.HostPath("null").c_str(), S_IFCHR | 0644, makedev(1, 3)) == 0;
        QCOMPARE(f.Run(kFinished), 0);
        QCOMPARE(f.Dest(), (Tree{{"a.txt", "a"}, {"z.txt", "z"}}));
        QVERIFY(f.LogHas("S:\\fifo", "名前付きﾊﾟｲﾌﾟ") && f.LogHas("S:\\sock", "ｿｹｯﾄ"));
        QVERIFY(f.LogHas("S:\\broken", "ﾘﾝｸ先がありません") && f.LogHas("S:\\loop", "ﾘﾝｸが循環"));
        QVERIFY(!device || f.LogHas("S:\\null", "ﾃﾞﾊﾞｲｽ"));
    }

    void inexpressibleNamesAndLongPathsAreReported() {
        CCopyJobFixture f;
        QVERIFY(f.source.Build({{"a.txt", "a"}, {"back\\slash.txt", "b"}, {"zz/late.txt", "l"}}));
        // Folders just short of the system's path limit, and a file that passes it.
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
