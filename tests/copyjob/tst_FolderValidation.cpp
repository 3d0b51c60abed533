// The checks before a run: the order of the messages, what counts as the
// same folder, and the overlap test that guards clearing the destination.
#include "copyjob/FolderValidation.h"
#include "platform/HostServices.h"
#include "support/CopyJobFixture.h"
#include "support/HostPrivileges.h"

#include <QTest>

#include <sys/mount.h>

class TestFolderValidation : public QObject {
    Q_OBJECT

private slots:
    void checksComeInOrder_data();
    void checksComeInOrder();
    void notReadySourceIsRetried();
    void overlapIsATextTest_data();
    void overlapIsATextTest();
    void overlapSeesThroughDriveMapAndLinks();
    void sameFolderUnderAnotherNameIsRefused_data();
    void sameFolderUnderAnotherNameIsRefused();
    void bindMountsAreSeenThrough();
};

namespace {
const char kSame[] = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞとｺﾋﾟｰ先ﾌｫﾙﾀﾞが同じです．";
const char kOverlap[] = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞにｺﾋﾟｰ先ﾌｫﾙﾀﾞが含まれるか";

// The message ValidateFolders shows for src and dst ("" when it passes).
std::string Refusal(CCopyJobFixture& f, const std::string& src, const std::string& dst, int clear) {
    f.Setting().SrcDir = src;
    f.Setting().DstDir = dst;
    f.Setting().AllClrChk = clear;
    auto boxes = std::make_shared<CScriptedMessageBox>(false); // records, answers OK
    CScopedMessageBoxService scope{boxes};
    const int refused = ValidateFolders(f.Setting(), 0, f.host);
    if (refused != (boxes->Shown().empty() ? 0 : 1))
        return "<result and messages disagree>";
    return boxes->Shown().empty() ? std::string() : boxes->Shown().back().strText;
}
} // namespace

void TestFolderValidation::checksComeInOrder_data() {
    QTest::addColumn<QString>("src");
    QTest::addColumn<QString>("dst");
    QTest::addColumn<int>("lha");
    QTest::addColumn<int>("clear");
    QTest::addColumn<int>("sourceOnly");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focus");
    const QString same = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞとｺﾋﾟｰ先ﾌｫﾙﾀﾞが同じです．";
    const QString overlap = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞにｺﾋﾟｰ先ﾌｫﾙﾀﾞが含まれるか";
    QTest::newRow("empty source") << ""
                                  << "D:\\" << 0 << 0 << 0 << "ｺﾋﾟｰ元ﾌｫﾙﾀﾞが指定されていません．"
                                  << 1;
    QTest::newRow("two-character source")
        << "S:"
        << "D:\\" << 0 << 0 << 0 << "ｺﾋﾟｰ元ﾌｫﾙﾀﾞ名称が不正です．" << 1;
    QTest::newRow("network source") << "\\\\server\\share"
                                    << "D:\\" << 0 << 0 << 0 << "ｺﾋﾟｰ元ﾌｫﾙﾀﾞ名称が不正です．" << 1;
    QTest::newRow("empty destination, source only") << "S:\\data"
                                                    << "" << 0 << 0 << 1 << "" << 0;
    QTest::newRow("empty destination")
        << "S:\\data"
        << "" << 0 << 0 << 0 << "ｺﾋﾟｰ先ﾌｫﾙﾀﾞが指定されていません．" << 2;
    QTest::newRow("same folder, case and separator") << "S:\\Data"
                                                     << "s:\\data\\" << 0 << 0 << 0 << same << 2;
    QTest::newRow("same folder allowed for archives") << "S:\\data"
                                                      << "S:\\data\\" << 1 << 0 << 0 << "" << 0;
    QTest::newRow("bad destination")
        << "S:\\data"
        << "backup" << 0 << 0 << 0 << "ｺﾋﾟｰ先ﾌｫﾙﾀﾞ名称が不正です．" << 2;
    QTest::newRow("clear with nested destination")
        << "S:\\data"
        << "S:\\data\\Backup" << 0 << 1 << 0 << overlap << 0;
    QTest::newRow("clear with sibling sharing a prefix") << "S:\\data"
                                                         << "S:\\data2" << 0 << 1 << 0 << "" << 0;
}

void TestFolderValidation::checksComeInOrder() {
    QFETCH(QString, src);
    QFETCH(QString, dst);
    QFETCH(int, lha);
    QFETCH(int, clear);
    QFETCH(int, sourceOnly);
    QFETCH(QString, message);
    QFETCH(int, focus);
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"data/", ""}, {"data2/", ""}}));
    CCopySetting& s = f.Setting();
    s.SrcDir = src.toStdString();
    s.DstDir = dst.toStdString();
    s.LhaChk = lha;
    s.AllClrChk = clear;
    if (!message.isEmpty())
        f.boxes->Expect(message.toStdString(), IDOK, MB_ICONEXCLAMATION);
    EFolderField focused = EFolderField::None;
    QCOMPARE(ValidateFolders(s, sourceOnly, f.host, &focused), message.isEmpty() ? 0 : 1);
    QCOMPARE(static_cast<int>(focused), focus); // 0 none, 1 source, 2 destination
    QVERIFY(f.boxes->VerifyAllUsed());
    QCOMPARE(s.SrcDir, src.toStdString()); // the setting itself is not changed
}

void TestFolderValidation::notReadySourceIsRetried() {
    CCopyJobFixture f;
    f.Setting().SrcDir = f.source.DrivePath("later\\");
    f.Setting().DstDir = "D:\\";
    f.boxes->Expect("ｺﾋﾟｰ元ﾌｫﾙﾀﾞの準備が出来てないか", IDRETRY, MB_RETRYCANCEL | MB_ICONEXCLAMATION)
        .Expect("ｺﾋﾟｰ元ﾌｫﾙﾀﾞの準備が出来てないか", IDCANCEL);
    QCOMPARE(ValidateFolders(f.Setting(), 0, f.host), 1);
    QVERIFY(f.boxes->VerifyAllUsed());
    QVERIFY(f.source.AddFolder("later"));
    QCOMPARE(ValidateFolders(f.Setting(), 0, f.host), 0);
}

void TestFolderValidation::overlapIsATextTest_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("overlap");
    QTest::newRow("empty") << ""
                           << "Q:\\x\\" << 1;
    QTest::newRow("prefix without separators") << "Q:\\WORK"
                                               << "Q:\\work2" << 1;
    QTest::newRow("siblings with separators") << "Q:\\WORK\\"
                                              << "Q:\\WORK2\\" << 0;
    QTest::newRow("nested") << "Q:\\a\\"
                            << "q:\\A\\b\\" << 1;
    QTest::newRow("other drive") << "Q:\\a\\"
                                 << "R:\\a\\" << 0;
}

void TestFolderValidation::overlapIsATextTest() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, overlap);
    QCOMPARE(FoldersOverlap(a.toStdString(), b.toStdString()), overlap);
    QCOMPARE(FoldersOverlap(b.toStdString(), a.toStdString()), overlap);
}

void TestFolderValidation::overlapSeesThroughDriveMapAndLinks() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"data/inner/", ""}, {"other/", ""}}));
    // A second letter for a folder inside the source tree.
    CDriveMap& map = CHostServices::Get().DriveMap();
    map.Map('N', f.source.HostPath("data/inner"));
    QCOMPARE(FoldersOverlap("S:\\data\\", "N:\\"), 1);
    QCOMPARE(FoldersOverlap("N:\\", "S:\\data\\"), 1);
    // A link inside the destination drive that leads back into the source.
    QVERIFY(f.dest.AddSymlink("mirror", f.source.HostPath("data")));
    QCOMPARE(FoldersOverlap("S:\\data\\", "D:\\mirror\\"), 1);
    QCOMPARE(FoldersOverlap("S:\\data\\", "D:\\mirror\\new\\"), 1); // not made yet
    QCOMPARE(FoldersOverlap("S:\\other\\", "D:\\"), 0);
    map.Map('N', "/nonexistent-tidewell-drive");
}

// Another spelling of the source is the same folder whatever the options:
// with the trash option the source's own files would go to the trash.
void TestFolderValidation::sameFolderUnderAnotherNameIsRefused_data() {
    QTest::addColumn<QString>("dst");
    QTest::newRow("trailing dot") << "S:\\data\\.";
    QTest::newRow("other letter") << "N:\\";
    QTest::newRow("link to it") << "D:\\link\\";
}

void TestFolderValidation::sameFolderUnderAnotherNameIsRefused() {
    QFETCH(QString, dst);
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"data/a.txt", "a"}}));
    QVERIFY(f.dest.AddSymlink("link", f.source.HostPath("data")));
    CDriveMap& map = CHostServices::Get().DriveMap();
    map.Map('N', f.source.HostPath("data"));
    QCOMPARE(Refusal(f, "S:\\data\\", dst.toStdString(), 0), std::string(kSame));
    map.Map('N', "/nonexistent-tidewell-drive");
}

// A bind mount shows the same folder under another path, which no path
// text (resolved or not) reveals.
void TestFolderValidation::bindMountsAreSeenThrough() {
    std::string reason;
    if (!EnterPrivateMounts(reason))
        QSKIP(("no private mounts here: " + reason).c_str());
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"data/a.txt", "a"}, {"data/sub/", ""}}));
    QVERIFY(f.dest.Build({{"same/", ""}, {"above/", ""}}));
    QVERIFY(BindMount(f.source.HostPath("data"), f.dest.HostPath("same")));
    QVERIFY(BindMount(f.source.HostRoot(), f.dest.HostPath("above")));
    QCOMPARE(Refusal(f, "S:\\data\\", "D:\\same\\", 0), std::string(kSame));
    QCOMPARE(Refusal(f, "S:\\data\\", "D:\\above\\", 1).rfind(kOverlap, 0), size_t(0));
    QCOMPARE(Refusal(f, "S:\\data\\", "D:\\above\\data\\new\\", 1).rfind(kOverlap, 0), size_t(0));
    QCOMPARE(Refusal(f, "D:\\above\\data\\sub\\", "S:\\data\\", 1).rfind(kOverlap, 0), size_t(0));
    QCOMPARE(Refusal(f, "S:\\data\\", "D:\\", 1), std::string()); // a parent, not an alias
    umount2(f.dest.HostPath("same").c_str(), MNT_DETACH);
    umount2(f.dest.HostPath("above").c_str(), MNT_DETACH);
}

QTEST_GUILESS_MAIN(TestFolderValidation)
#include "tst_FolderValidation.moc"
