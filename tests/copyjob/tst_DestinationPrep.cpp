// A run changes the destination only: clearing stays inside it, no write through a planted link.
#include "support/CopyJobFixture.h"
#include "support/HostPrivileges.h"

class TestDestinationPrep : public QObject {
    Q_OBJECT

private slots:
    // Clearing takes links (not targets) and hidden files, spares the program and trash folders.
    void clearingTakesOnlyWhatIsTheDestinations() {
        CCopyJobFixture f("a.txt=a", "old/deep/x.txt=x .hidden=h Tidewell/Daily.def=s "
                                     ".Trash-0/files/t.txt=t .Trash/0/files/t.txt=t");
        CTempTree outside('O');
        QVERIFY(Build(outside, "treasure/gold.txt=gold"));
        QVERIFY(f.dest.AddSymlink("link", outside.HostPath("treasure")));
        QVERIFY(f.dest.AddSymlink("file-link", outside.HostPath("treasure/gold.txt")));
        const CDriveMap drives = CHostServices::Get().DriveMap();
        CHostServices::Get().SetProgramFolder(f.dest.HostPath("Tidewell") + "/");
        CHostServices::Get().DriveMap() = drives; // the folder holds no drive map
        f.Setting().AllClrChk = 1;
        QCOMPARE(f.Run(kFinished), 0);
        QCOMPARE(f.dest.Listing(), ".Trash/ .Trash/0/ .Trash/0/files/ .Trash-0/ .Trash-0/files/ "
                                   "Tidewell/ .Trash/0/files/t.txt=t .Trash-0/files/t.txt=t "
                                   "Tidewell/Daily.def=s a.txt=a");
        QCOMPARE(outside.Listing(), "treasure/ treasure/gold.txt=gold");
        QVERIFY(f.LogHas("D:\\Tidewell", "ﾌﾟﾛｸﾞﾗﾑ") && f.LogHas("D:\\.Trash-0", "ごみ箱"));

        // Through a link only the link's inside is cleared.
        QVERIFY(Build(f.dest, "real/old.txt=o real/.Trash-0/x=x stale.txt=s"));
        QVERIFY(f.dest.AddSymlink("to-real", f.dest.HostPath("real")));
        f.Setting().DstDir = "D:\\to-real\\";
        QCOMPARE(f.Run(kFinished), 0);
        QVERIFY(QFileInfo(QString::fromStdString(f.dest.HostPath("to-real"))).isSymLink());
        QCOMPARE(f.dest.Listing("real"), "a.txt=a"); // not a volume top: no trash kept
        QVERIFY(f.dest.Exists("stale.txt"));
    }

    // Mounts below the destination are left; a bind-mounted source is refused by the run itself.
    void clearingStaysOnTheDestinationsMount() {
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        CCopyJobFixture f("a.txt=a", "old.txt=o");
        CTempTree other('O');
        QVERIFY(Build(other, "kept.txt=k"));
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
        CCopyJobFixture f("a.txt=a");
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
        QVERIFY(f.boxes->VerifyAllUsed() && f.host.confirmQuestions == 0);
        QVERIFY(f.dest.Read("old").size() > 30);
        QVERIFY(!f.dest.Exists("a.txt"));
    }

    // A clearing that could not empty everything says so and asks: No ends the run, Yes copies.
    void incompleteClearingAsks() {
        for (const int answer : {IDNO, IDYES}) {
            CCopyJobFixture f("a.txt=a", "locked/x=x");
            QVERIFY(f.dest.SetMode("locked", 0555));
            auto restore = qScopeGuard([&] { f.dest.SetMode("locked", 0755); });
            CScopedUserPermissions asUser;
            if (QFile probe(QString::fromStdString(f.dest.HostPath("locked/p")));
                probe.open(QIODevice::WriteOnly))
                QSKIP("this process writes into folders of mode 555 even without its capabilities");
            f.Setting().AllClrChk = 1;
            f.boxes->ExpectExact("ファイルが削除出来ません. Error = 5", IDOK, MB_ICONEXCLAMATION);
            f.boxes->ExpectExact("下位ﾌｫﾙﾀﾞのｸﾘｱが不完全です．このまま続行しますか？", answer,
                                 MB_YESNO | MB_ICONQUESTION);
            QCOMPARE(answer == IDYES ? f.Run(kFinished) : f.job.RunCopyJob(),
                     answer == IDYES ? 0 : 9999);
            QVERIFY(f.boxes->VerifyAllUsed() && f.dest.Exists("locked/x"));
            QCOMPARE(f.dest.Exists("a.txt"), answer == IDYES);
        }
    }

    // No write through a folder link or a link at the log; a linked trash keeps the old file.
    void linksInDestinationAreNotWrittenThrough() {
        CCopyJobFixture f("a.txt=new sub/b.txt=new", "a.txt=old");
        CTempTree outside('O');
        QVERIFY(Build(outside, "folder/b.txt=old keep.txt=precious catch/"));
        QVERIFY(f.dest.AddSymlink("sub", outside.HostPath("folder")));
        QVERIFY(QFile::link(QString::fromStdString(outside.HostPath("keep.txt")),
                            QString::fromStdString(f.program.HostFile("Tidewall.log"))));
        const QString trash = f.home.filePath(".local/share/Trash");
        QVERIFY(QDir().mkpath(trash + "/info"));
        QVERIFY(QFile::link(QString::fromStdString(outside.HostPath("catch")), trash + "/files"));
        const QString outsideBefore = outside.Listing();
        f.Setting().DustChk = 1;
        QCOMPARE(f.Run(Failed(5, kDenied)), 5); // the trash refused
        QCOMPARE(outside.Listing(), outsideBefore);
        const QString linked = " sub=-> " + QString::fromStdString(outside.HostPath("folder"));
        QCOMPARE(f.dest.Listing(), "a.txt=old" + linked);
        QVERIFY(f.LogHas("D:\\a.txt", "ごみ箱"));

        f.Setting().DustChk = 0; // without the trash the run goes on past the linked folder
        QCOMPARE(f.Run(Failed(1)), 1);
        QCOMPARE(f.dest.Listing(), "a.txt=new" + linked);
        QCOMPARE(outside.Listing(), outsideBefore);
        QVERIFY(f.LogHas("D:\\sub", "ｼﾝﾎﾞﾘｯｸﾘﾝｸ"));
        QVERIFY(!QFileInfo(QString::fromStdString(f.program.HostFile("Tidewall.log"))).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestDestinationPrep)
#include "tst_DestinationPrep.moc"
