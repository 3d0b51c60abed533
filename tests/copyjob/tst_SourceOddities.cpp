// A source tree with parts a run cannot copy: folders it cannot list,
// special files, names no drive-letter path can hold, paths too long for
// the system. Each is named in the log; the rest of the tree is copied.
#include "support/CopyJobFixture.h"
#include "support/HostPrivileges.h"

#include <QDir>
#include <QTest>

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const char kFinished[] = "ｺﾋﾟｰ処理を終了しました．";
const char kFailedOne[] = "ｺﾋﾟｰ処理は異常終了しました．終了ｺｰﾄﾞ[1]";
const char kNotCleared[] =
    "ｺﾋﾟｰ元ﾌｫﾙﾀﾞを完全には読み取れなかったため、ｺﾋﾟｰ先ﾌｫﾙﾀﾞはｸﾘｱしませんでした．";

bool MakeSocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof addr.sun_path)
        return false;
    path.copy(addr.sun_path, path.size());
    const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return ok;
}
} // namespace

class TestSourceOddities : public QObject {
    Q_OBJECT

private slots:
    void unreadableFolderIsReportedAndSparesDestination();
    void specialFilesAreSkippedWithTheirReason();
    void inexpressibleNamesAndLongPathsAreReported();
};

void TestSourceOddities::unreadableFolderIsReportedAndSparesDestination() {
    for (const int clear : {0, 1}) {
        CCopyJobFixture f;
        QVERIFY(f.source.Build({{"a.txt", "a"}, {"locked/b.txt", "b"}, {"z.txt", "z"}}));
        QVERIFY(f.dest.Build({{"old.txt", "only backup"}}));
        QVERIFY(f.source.SetMode("locked", 0));
        CScopedUserPermissions asUser;
        if (DIR* dir = opendir(f.source.HostPath("locked").c_str()); dir && closedir(dir) == 0)
            QSKIP("this process reads folders of mode 000 even without its capabilities");
        f.Setting().AllClrChk = clear;
        f.boxes->ExpectExact(clear ? kNotCleared : kFailedOne, IDOK);
        f.host.confirmAnswers = {1};
        QCOMPARE(f.job.RunCopyJob(), clear ? 9999 : 1);
        QVERIFY(f.boxes->VerifyAllUsed());
        QVERIFY(f.dest.Exists("old.txt"));
        QCOMPARE(f.dest.Exists("z.txt"), !clear);
        QVERIFY(f.LogHas({"S:\\locked", "終了ｺｰﾄﾞ 5"}));
        QVERIFY(f.source.SetMode("locked", 0755));
    }
}

void TestSourceOddities::specialFilesAreSkippedWithTheirReason() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}, {"z.txt", "z"}}));
    QVERIFY(mkfifo(f.source.HostPath("fifo").c_str(), 0644) == 0);
    QVERIFY(MakeSocket(f.source.HostPath("sock")));
    QVERIFY(f.source.AddSymlink("broken", "/nonexistent-tidewell-target"));
    QVERIFY(f.source.AddSymlink("loop", "loop"));
    const bool device =
        mknod(f.source.HostPath("null").c_str(), S_IFCHR | 0644, makedev(1, 3)) == 0;
    f.boxes->ExpectExact(kFinished, IDOK);
    f.host.confirmAnswers = {1};
    QCOMPARE(f.job.RunCopyJob(), 0);
    QCOMPARE(CTempTree::WithoutTimes(f.dest.Read()),
             (std::vector<CTreeItem>{{"a.txt", "a"}, {"z.txt", "z"}}));
    QVERIFY(f.LogHas({"S:\\fifo", "名前付きﾊﾟｲﾌﾟ"}));
    QVERIFY(f.LogHas({"S:\\sock", "ｿｹｯﾄ"}));
    QVERIFY(f.LogHas({"S:\\broken", "ﾘﾝｸ先がありません"}));
    QVERIFY(f.LogHas({"S:\\loop", "ﾘﾝｸが循環"}));
    QVERIFY(!device || f.LogHas({"S:\\null", "ﾃﾞﾊﾞｲｽ"}));
}

void TestSourceOddities::inexpressibleNamesAndLongPathsAreReported() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}, {"back\\slash.txt", "b"}, {"zz/late.txt", "l"}}));
    // Folders just short of the system's path limit, and a file that passes it.
    std::string deep = "d";
    const std::string part(200, 'd');
    while (f.source.HostPath(deep + "/" + part).size() < PATH_MAX - 50)
        deep += "/" + part;
    QVERIFY(f.source.AddFolder(deep));
    const int dir = open(f.source.HostPath(deep).c_str(), O_DIRECTORY | O_RDONLY);
    QVERIFY(dir >= 0);
    const std::string longName(250, 'f');
    const int file = openat(dir, longName.c_str(), O_CREAT | O_WRONLY, 0644);
    QVERIFY(file >= 0);
    close(file);
    close(dir);
    QVERIFY(f.source.HostPath(deep + "/" + longName).size() >= PATH_MAX);

    f.boxes->ExpectExact(kFailedOne, IDOK);
    f.host.confirmAnswers = {1};
    QCOMPARE(f.job.RunCopyJob(), 1);
    QVERIFY(f.boxes->VerifyAllUsed());
    QVERIFY(f.dest.Exists("a.txt"));
    QVERIFY(f.dest.Exists("zz/late.txt"));
    QVERIFY(f.LogHas({"S:\\back\\slash.txt", "名前"}));
    QVERIFY(f.LogHas({longName, "ﾊﾟｽが長すぎる"}));
    // The deep folders go with the temporary tree only when short enough.
    QVERIFY(unlinkat(open(f.source.HostPath(deep).c_str(), O_DIRECTORY), longName.c_str(), 0) == 0);
}

QTEST_GUILESS_MAIN(TestSourceOddities)
#include "tst_SourceOddities.moc"
