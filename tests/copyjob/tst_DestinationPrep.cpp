// What a run may change in the destination and nothing else: clearing that
// stays inside the destination and on its mount, stops on cancel and spares
// the program's and the trash's folders; no write through a link planted
// in the destination, at the log or at the trash.
#include "platform/HostServices.h"
#include "support/CopyJobFixture.h"
#include "support/HostPrivileges.h"

#include <QTest>

class TestDestinationPrep : public QObject {
    Q_OBJECT

private slots:
    // Clearing the drive root takes links (not their targets) and hidden
    // files, and spares the program folder and the volume's trash folders;
    // a destination reached through a link is cleared inside the link only.
    void clearingTakesOnlyWhatIsTheDestinations() {
        CCopyJobFixture f;
        CTempTree outside('O');
        QVERIFY(outside.Build({{"treasure/gold.txt", "gold"}}));
        QVERIFY(f.source.Build({{"a.txt", "a"}}));
        QVERIFY(f.dest.Build({{"old/deep/x.txt", "x"},
                              {".hidden", "h"},
                              {"Tidewell/Daily.def", "s"},
                              {".Trash-0/files/t.txt", "t"},
                              {".Trash/0/files/t.txt", "t"}}));
        QVERIFY(f.dest.AddSymlink("link", outside.HostPath("treasure")));
        QVERIFY(f.dest.AddSymlink("file-link", outside.HostPath("treasure/gold.txt")));
        const CDriveMap drives = CHostServices::Get().DriveMap();
        CHostServices::Get().SetProgramFolder(f.dest.HostPath("Tidewell") + "/");
        CHostServices::Get().DriveMap() = drives; // the folder holds no drive map
        f.Setting().AllClrChk = 1;
        QCOMPARE(f.Run(kFinished), 0);
        QCOMPARE(f.Dest(), (Tree{{".Trash/"},
                                 {".Trash/0/"},
                                 {".Trash/0/files/"},
                                 {".Trash-0/"},
                                 {".Trash-0/files/"},
                                 {"Tidewell/"},
                                 {".Trash/0/files/t.txt", "t"},
                                 {".Trash-0/files/t.txt", "t"},
                                 {"Tidewell/Daily.def", "s"},
                                 {"a.txt", "a"}}));
        QCOMPARE(CTempTree::WithoutTimes(outside.Read()),
                 (Tree{{"treasure/"}, {"treasure/gold.txt", "gold"}}));
        QVERIFY(f.LogHas("D:\\Tidewell", "ﾌﾟﾛｸﾞﾗﾑ") && f.LogHas("D:\\.Trash-0", "ごみ箱"));

        QVERIFY(
            f.dest.Build({{"real/old.txt", "o"}, {"real/.Trash-0/x", "x"}, {"stale.txt", "s"}}));
        QVERIFY(f.dest.AddSymlink("to-real", f.dest.HostPath("real")));
        f.Setting().DstDir = "D:\\to-real\\";
        QCOMPARE(f.Run(kFinished), 0);
        QVERIFY(QFileInfo(QString::fromStdString(f.dest.HostPath("to-real"))).isSymLink());
        QCOMPARE(f.Dest("real"), (Tree{{"a.txt", "a"}})); // not a volume top: no trash kept
        QVERIFY(f.dest.Exists("stale.txt"));
    }

    // Other file systems and bind mounts below the destination are left;
    // the source under a bind mount is refused by the run itself, which a
    // continuous run reaches with no folder check before.
    void clearingStaysOnTheDestinationsMount() {
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        CCopyJobFixture f;
        CTempTree other('O');
        QVERIFY(other.Build({{"kept.txt", "k"}}));
        QVERIFY(f.source.Build({{"a.txt", "a"}}));
        QVERIFY(f.dest.Build({{"old.txt", "o"}}));
        QVERIFY(MountTmpfs(f.dest.HostPath("disk")) && f.dest.AddFile("disk/inside.txt", "i"));
        QVERIFY(BindMount(other.HostRoot(), f.dest.HostPath("bound")));
        QVERIFY(BindMount(f.source.HostRoot(), f.dest.HostPath("alias")));
        auto unmount = qScopeGuard([&] {
            for (const char* at : {"disk", "bound", "alias"})
                Unmount(f.dest.HostPath(at));
        });
        f.Setting().AllClrChk = 1;
        f.Setting().DstDir = "D:\\alias\\";
        QCOMPARE(f.Run("ｺﾋﾟｰ元ﾌｫﾙﾀﾞとｺﾋﾟｰ先ﾌｫﾙﾀﾞが同じです．"), 9999);
        QVERIFY(f.source.Exists("a.txt"));
        Unmount(f.dest.HostPath("alias"));
        f.Setting().DstDir = "D:\\";
        QCOMPARE(f.Run(kFinished), 0);
        QVERIFY(!f.dest.Exists("old.txt") && f.dest.Exists("a.txt"));
        QVERIFY(f.dest.Exists("disk/inside.txt") && other.Exists("kept.txt"));
        QVERIFY(f.LogHas("D:\\disk", "ﾏｳﾝﾄ") && f.LogHas("D:\\bound", "ﾏｳﾝﾄ"));
    }

    void cancelStopsClearing() {
        CCopyJobFixture f;
        QVERIFY(f.source.Build({{"a.txt", "a"}}));
        for (int i = 0; i < 40; ++i)
            QVERIFY(f.dest.AddFile("old/" + std::to_string(i), "o"));
        f.Setting().AllClrChk = 1;
        int clearingPumps = 0;
        f.host.onPump = [&](int) {
            if (f.host.statusTexts.back() == "ｺﾋﾟｰ先の下位ﾌｫﾙﾀﾞとﾌｧｲﾙを消去しています....." &&
                ++clearingPumps == 5)
                f.job.m_bCancel = 1;
        };
        QCOMPARE(f.job.RunCopyJob(), 9999);
        QVERIFY(f.boxes->VerifyAllUsed()); // no question, no confirmation
        QCOMPARE(f.host.confirmQuestions, 0);
        QVERIFY(f.dest.Read("old").size() > 30);
        QVERIFY(!f.dest.Exists("a.txt"));
    }

    // A folder link in the destination is not written through, nor a link
    // planted at the log; a linked trash refuses and keeps the old file.
    void linksInDestinationAreNotWrittenThrough() {
        CCopyJobFixture f;
        CTempTree outside('O');
        QVERIFY(outside.Build({{"folder/b.txt", "old"}, {"keep.txt", "precious"}, {"catch/"}}));
        QVERIFY(f.source.Build({{"a.txt", "new"}, {"sub/b.txt", "new"}}));
        QVERIFY(f.dest.Build({{"a.txt", "old"}}));
        QVERIFY(f.dest.AddSymlink("sub", outside.HostPath("folder")));
        QVERIFY(QFile::link(QString::fromStdString(outside.HostPath("keep.txt")),
                            QString::fromStdString(f.program.HostFile("Tidewall.log"))));
        const QString trash = f.home.filePath(".local/share/Trash");
        QVERIFY(QDir().mkpath(trash + "/info"));
        QVERIFY(QFile::link(QString::fromStdString(outside.HostPath("catch")), trash + "/files"));
        const Tree outsideBefore = CTempTree::WithoutTimes(outside.Read());
        f.Setting().DustChk = 1;
        QCOMPARE(f.Run(Failed(5, kDenied)), 5); // the trash refused
        QCOMPARE(CTempTree::WithoutTimes(outside.Read()), outsideBefore);
        QCOMPARE(f.Dest(), (Tree{{"a.txt", "old"}, {"sub", "-> " + outside.HostPath("folder")}}));
        QVERIFY(f.LogHas("D:\\a.txt", "ごみ箱"));

        f.Setting().DustChk = 0; // without the trash the run goes on past the linked folder
        QCOMPARE(f.Run(Failed(1)), 1);
        QCOMPARE(f.Dest(), (Tree{{"a.txt", "new"}, {"sub", "-> " + outside.HostPath("folder")}}));
        QCOMPARE(CTempTree::WithoutTimes(outside.Read()), outsideBefore);
        QVERIFY(f.LogHas("D:\\sub", "ｼﾝﾎﾞﾘｯｸﾘﾝｸ"));
        QVERIFY(!QFileInfo(QString::fromStdString(f.program.HostFile("Tidewall.log"))).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestDestinationPrep)
#include "tst_DestinationPrep.moc"
