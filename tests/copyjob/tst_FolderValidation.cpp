// The checks before a run: message order, what is the same folder, the overlap that guards
// clearing.
#include "copyjob/FolderValidation.h"
#include "support/CopyJobFixture.h"
#include "support/HostPrivileges.h"

namespace {
const char kSame[] = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞとｺﾋﾟｰ先ﾌｫﾙﾀﾞが同じです．";
const char kOverlap[] = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞにｺﾋﾟｰ先ﾌｫﾙﾀﾞが含まれるか";

// The start of the message ValidateFolders shows ("" when it passes), as long as kOverlap.
std::string Refusal(CCopyJobFixture& f, const std::string& src, const std::string& dst, int clear) {
    f.Setting().SrcDir = src;
    f.Setting().DstDir = dst;
    f.Setting().AllClrChk = clear;
    auto boxes = std::make_shared<CScriptedMessageBox>(false); // records, answers OK
    CScopedMessageBoxService scope{boxes};
    if (ValidateFolders(f.Setting(), 0, f.host) != (boxes->Shown().empty() ? 0 : 1))
        return "<result and messages disagree>";
    return boxes->Shown().empty() ? std::string()
                                  : boxes->Shown().back().strText.substr(0, sizeof kOverlap - 1);
}
} // namespace

class TestFolderValidation : public QObject {
    Q_OBJECT

private slots:
    // Source, destination, archive, clearing, source only, message, focus (0 none, 1 src, 2 dst).
    void checksComeInOrder() {
        const std::tuple<const char*, const char*, int, int, int, const char*, int> cases[] = {
            {"", "D:\\", 0, 0, 0, "ｺﾋﾟｰ元ﾌｫﾙﾀﾞが指定されていません．", 1},
            {"S:", "D:\\", 0, 0, 0, "ｺﾋﾟｰ元ﾌｫﾙﾀﾞ名称が不正です．", 1},
            {"\\\\server\\share", "D:\\", 0, 0, 0, "ｺﾋﾟｰ元ﾌｫﾙﾀﾞ名称が不正です．", 1},
            {"S:\\data", "", 0, 0, 1, "", 0},
            {"S:\\data", "", 0, 0, 0, "ｺﾋﾟｰ先ﾌｫﾙﾀﾞが指定されていません．", 2},
            {"S:\\Data", "s:\\data\\", 0, 0, 0, kSame, 2},
            {"S:\\data", "S:\\data\\", 1, 0, 0, "", 0}, // allowed for archives
            {"S:\\data", "backup", 0, 0, 0, "ｺﾋﾟｰ先ﾌｫﾙﾀﾞ名称が不正です．", 2},
            {"S:\\data", "S:\\data\\Backup", 0, 1, 0, kOverlap, 0},
            {"S:\\data", "S:\\data\\Backup", 0, 0, 0, "", 0}, // nested needs no clearing
            {"S:\\data", "S:\\data2", 0, 1, 0, "", 0},        // a sibling sharing a prefix
        };
        for (const auto& [src, dst, lha, clear, sourceOnly, message, focus] : cases) {
            CCopyJobFixture f("data/ data2/");
            CCopySetting& s = f.Setting();
            s.SrcDir = src;
            s.DstDir = dst;
            s.LhaChk = lha;
            s.AllClrChk = clear;
            if (*message)
                f.boxes->Expect(message, IDOK, MB_ICONEXCLAMATION);
            EFolderField focused = EFolderField::None;
            QCOMPARE(ValidateFolders(s, sourceOnly, f.host, &focused), *message ? 1 : 0);
            QCOMPARE(static_cast<int>(focused), focus);
            QVERIFY(f.boxes->VerifyAllUsed());
            QCOMPARE(s.SrcDir, std::string(src)); // the setting itself is not changed
        }
    }

    void overlapIsATextTest() {
        const std::tuple<const char*, const char*, int> cases[] = {{"", "Q:\\x\\", 1},
                                                                   {"Q:\\WORK", "Q:\\work2", 1},
                                                                   {"Q:\\WORK\\", "Q:\\WORK2\\", 0},
                                                                   {"Q:\\a\\", "q:\\A\\b\\", 1},
                                                                   {"Q:\\a\\", "R:\\a\\", 0}};
        for (const auto& [a, b, overlap] : cases)
            QVERIFY(FoldersOverlap(a, b) == overlap && FoldersOverlap(b, a) == overlap);
    }

    // Another spelling, letter or link of the source is the same folder; those inside it overlap.
    void aliasesAreSeenThrough() {
        const std::tuple<const char*, const char*, int, const char*> cases[] = {
            {"S:\\data\\", "S:\\data\\.", 0, kSame}, // trailing dot
            {"S:\\data\\", "M:\\", 0, kSame},        // another letter
            {"S:\\data\\", "D:\\link\\", 0, kSame},  // a link to it
            {"S:\\data\\", "N:\\", 1, kOverlap},     // a letter for its subfolder
            {"N:\\", "S:\\data\\", 1, kOverlap},
            {"S:\\data\\", "D:\\link\\new\\", 1, kOverlap}, // below a link, not made yet
            {"S:\\other\\", "D:\\", 1, ""}};
        for (const auto& [src, dst, clear, message] : cases) {
            CCopyJobFixture f("data/inner/ other/"); // its trees put the drive map back afterwards
            QVERIFY(f.dest.AddSymlink("link", f.source.HostPath("data")));
            CHostServices::Get().DriveMap().Map('M', f.source.HostPath("data"));
            CHostServices::Get().DriveMap().Map('N', f.source.HostPath("data/inner"));
            QCOMPARE(Refusal(f, src, dst, clear), std::string(message));
        }
    }

    // A bind mount shows the same folder under a path no path text reveals.
    void bindMountsAreSeenThrough() {
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        CCopyJobFixture f("data/a.txt=a data/sub/");
        QVERIFY(BindMount(f.source.HostPath("data"), f.dest.HostPath("same")));
        QVERIFY(BindMount(f.source.HostRoot(), f.dest.HostPath("above")));
        auto unmount = qScopeGuard([&] {
            Unmount(f.dest.HostPath("same"));
            Unmount(f.dest.HostPath("above"));
        });
        QCOMPARE(Refusal(f, "S:\\data\\", "D:\\same\\", 0), std::string(kSame));
        QCOMPARE(Refusal(f, "S:\\data\\", "D:\\above\\", 1), std::string(kOverlap));
        QCOMPARE(Refusal(f, "S:\\data\\", "D:\\above\\data\\new\\", 1), std::string(kOverlap));
        QCOMPARE(Refusal(f, "D:\\above\\data\\sub\\", "S:\\data\\", 1), std::string(kOverlap));
        QCOMPARE(Refusal(f, "S:\\data\\", "D:\\", 1), std::string()); // a parent, not an alias
    }
};

QTEST_GUILESS_MAIN(TestFolderValidation)
#include "tst_FolderValidation.moc"
