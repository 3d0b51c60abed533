// What a run may change in the destination and nothing else: clearing that
// stays on the destination's own file system, stops on cancel and spares
// the program's and the trash's folders; no write through a link planted
// in the destination, at the log or at the trash.
#include "support/CopyJobFixture.h"
#include "copyjob/RunTexts.h"
#include "platform/HostServices.h"
#include "support/HostPrivileges.h"

#include <QDir>
#include <QTest>

#include <sys/mount.h>

namespace {
const char kFinished[] = "ｺﾋﾟｰ処理を終了しました．";
const char kClearingStatus[] = "ｺﾋﾟｰ先の下位ﾌｫﾙﾀﾞとﾌｧｲﾙを消去しています.....";

std::string Bytes(const std::string& hostPath) {
    QFile file(QString::fromStdString(hostPath));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<unreadable>";
}

std::string Failed(int code) {
    return "ｺﾋﾟｰ処理は異常終了しました．終了ｺｰﾄﾞ[" + std::to_string(code) + "]";
}
} // namespace

class TestDestinationSafety : public QObject {
    Q_OBJECT

private slots:
    void init();
    void clearingStaysOnTheDestinationsMount();
    void cancelStopsClearing();
    void clearingDriveRootSparesProgramAndTrashFolders();
    void linksInDestinationAreNotWrittenThrough();
    void linkedDestinationIsClearedThroughItsLink();

private:
    QTemporaryDir m_home;
};

void TestDestinationSafety::init() {
    qputenv("HOME", m_home.path().toUtf8());
    qunsetenv("XDG_DATA_HOME");
}

void TestDestinationSafety::clearingStaysOnTheDestinationsMount() {
    std::string reason;
    if (!EnterPrivateMounts(reason))
        QSKIP(("no private mounts here: " + reason).c_str());
    CCopyJobFixture f;
    CTempTree other('O');
    QVERIFY(other.Build({{"kept.txt", "k"}}));
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    QVERIFY(f.dest.Build({{"old.txt", "o"}, {"disk/", ""}, {"bound/", ""}, {"alias/", ""}}));
    QVERIFY(MountTmpfs(f.dest.HostPath("disk")));
    QVERIFY(f.dest.AddFile("disk/inside.txt", "i"));
    QVERIFY(BindMount(other.HostRoot(), f.dest.HostPath("bound")));
    QVERIFY(BindMount(f.source.HostRoot(), f.dest.HostPath("alias")));
    f.Setting().AllClrChk = 1;

    // A destination that is the source under a bind mount is refused even
    // where no folder check ran before (a continuous run).
    f.Setting().DstDir = "D:\\alias\\";
    f.boxes->ExpectExact("ｺﾋﾟｰ元ﾌｫﾙﾀﾞとｺﾋﾟｰ先ﾌｫﾙﾀﾞが同じです．", IDOK);
    QCOMPARE(f.job.RunCopyJob(), 9999);
    QVERIFY(f.source.Exists("a.txt"));
    QVERIFY(umount2(f.dest.HostPath("alias").c_str(), MNT_DETACH) == 0);

    f.Setting().DstDir = "D:\\";
    f.boxes->ExpectExact(kFinished, IDOK);
    f.host.confirmAnswers = {1};
    QCOMPARE(f.job.RunCopyJob(), 0);
    QVERIFY(f.boxes->VerifyAllUsed());
    QVERIFY(!f.dest.Exists("old.txt"));
    QVERIFY(f.dest.Exists("a.txt"));
    QVERIFY(f.dest.Exists("disk/inside.txt"));
    QVERIFY(other.Exists("kept.txt"));
    QVERIFY(f.LogHas({"D:\\disk", "ﾏｳﾝﾄ"}));
    QVERIFY(f.LogHas({"D:\\bound", "ﾏｳﾝﾄ"}));
    umount2(f.dest.HostPath("disk").c_str(), MNT_DETACH);
    umount2(f.dest.HostPath("bound").c_str(), MNT_DETACH);
}

void TestDestinationSafety::cancelStopsClearing() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    for (int i = 0; i < 40; ++i)
        QVERIFY(f.dest.AddFile("old/" + std::to_string(i), "o"));
    f.Setting().AllClrChk = 1;
    int clearingPumps = 0;
    f.host.onPump = [&](int) {
        if (f.host.statusTexts.back() == kClearingStatus && ++clearingPumps == 5)
            f.job.m_bCancel = 1;
    };
    QCOMPARE(f.job.RunCopyJob(), 9999);
    QVERIFY(f.boxes->VerifyAllUsed()); // no question, no confirmation
    QCOMPARE(f.host.confirmQuestions, 0);
    QVERIFY(f.dest.Read("old").size() > 30);
    QVERIFY(!f.dest.Exists("a.txt"));
}

void TestDestinationSafety::clearingDriveRootSparesProgramAndTrashFolders() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    QVERIFY(f.dest.Build({{"old.txt", "o"},
                          {"Tidewell/Daily.def", "settings"},
                          {".Trash-0/files/thrown.txt", "t"},
                          {".Trash/0/files/thrown.txt", "t"}}));
    const CDriveMap drives = CHostServices::Get().DriveMap();
    CHostServices::Get().SetProgramFolder(f.dest.HostPath("Tidewell") + "/");
    CHostServices::Get().DriveMap() = drives; // the folder holds no drive map
    f.Setting().AllClrChk = 1;
    f.boxes->ExpectExact(kFinished, IDOK);
    f.host.confirmAnswers = {1};
    QCOMPARE(f.job.RunCopyJob(), 0);
    QVERIFY(!f.dest.Exists("old.txt"));
    QVERIFY(f.dest.Exists("Tidewell/Daily.def"));
    QVERIFY(f.dest.Exists(".Trash-0/files/thrown.txt"));
    QVERIFY(f.dest.Exists(".Trash/0/files/thrown.txt"));
    QVERIFY(f.LogHas({"D:\\Tidewell", "ﾌﾟﾛｸﾞﾗﾑ"}));
    QVERIFY(f.LogHas({"D:\\.Trash-0", "ごみ箱"}));
}

void TestDestinationSafety::linksInDestinationAreNotWrittenThrough() {
    CCopyJobFixture f;
    CTempTree outside('O');
    QVERIFY(outside.Build({{"folder/b.txt", "old"}, {"keep.txt", "precious"}, {"catch/", ""}}));
    QVERIFY(f.source.Build({{"a.txt", "new"}, {"sub/b.txt", "new"}}));
    QVERIFY(f.dest.Build({{"a.txt", "old", 1600000000}}));
    QVERIFY(f.dest.AddSymlink("sub", outside.HostPath("folder")));
    QVERIFY(QFile::link(QString::fromStdString(outside.HostPath("keep.txt")),
                        QString::fromStdString(f.program.HostFile("Tidewall.log"))));
    const QString trash = m_home.path() + "/.local/share/Trash";
    QVERIFY(QDir().mkpath(trash + "/info"));
    QVERIFY(QFile::link(QString::fromStdString(outside.HostPath("catch")), trash + "/files"));
    f.Setting().DustChk = 1;
    f.boxes->ExpectExact(Failed(5), IDOK);
    f.host.confirmAnswers = {1};
    QCOMPARE(f.job.RunCopyJob(), 5); // the trash refused
    QVERIFY(f.boxes->VerifyAllUsed());
    QCOMPARE(CTempTree::WithoutTimes(outside.Read()),
             (std::vector<CTreeItem>{
                 {"catch/"}, {"folder/"}, {"folder/b.txt", "old"}, {"keep.txt", "precious"}}));
    QCOMPARE(Bytes(f.dest.HostPath("a.txt")), std::string("old")); // not in the planted trash
    QVERIFY(f.LogHas({"D:\\a.txt", "ごみ箱"}));

    // Without the trash the run goes on past the linked folder.
    f.Setting().DustChk = 0;
    f.boxes->ExpectExact(Failed(1), IDOK);
    f.host.confirmAnswers = {1};
    QCOMPARE(f.job.RunCopyJob(), 1);
    QCOMPARE(Bytes(f.dest.HostPath("a.txt")), std::string("new"));
    QCOMPARE(Bytes(outside.HostPath("folder/b.txt")), std::string("old"));
    QVERIFY(f.LogHas({"D:\\sub", "ｼﾝﾎﾞﾘｯｸﾘﾝｸ"}));
    QVERIFY(QFileInfo(QString::fromStdString(f.program.HostFile("Tidewall.log"))).isFile());
    QVERIFY(!QFileInfo(QString::fromStdString(f.program.HostFile("Tidewall.log"))).isSymLink());
}

void TestDestinationSafety::linkedDestinationIsClearedThroughItsLink() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    QVERIFY(f.dest.Build({{"real/old.txt", "o"}}));
    QVERIFY(f.dest.AddSymlink("link", f.dest.HostPath("real")));
    f.Setting().DstDir = "D:\\link\\";
    f.Setting().AllClrChk = 1;
    f.boxes->ExpectExact(kFinished, IDOK);
    f.host.confirmAnswers = {1};
    QCOMPARE(f.job.RunCopyJob(), 0);
    QVERIFY(QFileInfo(QString::fromStdString(f.dest.HostPath("link"))).isSymLink());
    QCOMPARE(CTempTree::WithoutTimes(f.dest.Read("real")),
             (std::vector<CTreeItem>{{"a.txt", "a"}}));
}

QTEST_GUILESS_MAIN(TestDestinationSafety)
#include "tst_DestinationPrep.moc"
