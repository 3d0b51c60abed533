// The checks before a run: the order of the messages, what counts as the
// same folder, and the overlap test that guards clearing the destination.
#include "copyjob/FolderValidation.h"
#include "platform/HostServices.h"
#include "support/CopyJobFixture.h"
#include "support/HostPrivileges.h"

#include <QTest>

namespace {
const char kSame[] = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞとｺﾋﾟｰ先ﾌｫﾙﾀﾞが同じです．";
const char kOverlap[] = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞにｺﾋﾟｰ先ﾌｫﾙﾀﾞが含まれるか";

// The start of the message ValidateFolders shows for src and dst ("" when
// it passes), as long as kOverlap.
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
    // Message and focus (0 none, 1 source, 2 destination) of each check.
    void checksComeInOrder() {
        const struct {
            const char *src, *dst;
            int lha, clear, sourceOnly;
            const char* message;
            int focus;
        } cases[] = {
            {"", "D:\\", 0, 0, 0, "ｺﾋﾟｰ元ﾌｫﾙﾀﾞが指定されていません．", 1},
            {"S:", "D:\\", 0, 0, 0, "ｺﾋﾟｰ元ﾌｫﾙﾀﾞ名称が不正です．", 1},
            {"\\\\server\\share", "D:\\", 0, 0, 0, "ｺﾋﾟｰ元ﾌｫﾙﾀﾞ名称が不正です．", 1},
            {"S:\\data", "", 0, 0, 1, "", 0},
            {"S:\\data", "", 0, 0, 0, "ｺﾋﾟｰ先ﾌｫﾙﾀﾞが指定されていません．", 2},
            {"S:\\Data", "s:\\data\\", 0, 0, 0, kSame, 2},
            {"S:\\data", "S:\\data\\", 1, 0, 0, "", 0}, // allowed for archives
            {"S:\\data", "backup", 0, 0, 0, "ｺﾋﾟｰ先ﾌｫﾙﾀﾞ名称が不正です．", 2},
            {"S:\\data", "S:\\data\\Backup", 0, 1, 0, kOverlap, 0},
            {"S:\\data", "S:\\data2", 0, 1, 0, "", 0}, // a sibling sharing a prefix
        };
        for (const auto& c : cases) {
            CCopyJobFixture f;
            QVERIFY(f.source.Build({{"data/"}, {"data2/"}}));
            CCopySetting& s = f.Setting();
            s.SrcDir = c.src;
            s.DstDir = c.dst;
            s.LhaChk = c.lha;
            s.AllClrChk = c.clear;
            if (*c.message)
                f.boxes->Expect(c.message, IDOK, MB_ICONEXCLAMATION);
            EFolderField focused = EFolderField::None;
            QCOMPARE(ValidateFolders(s, c.sourceOnly, f.host, &focused), *c.message ? 1 : 0);
            QCOMPARE(static_cast<int>(focused), c.focus);
            QVERIFY(f.boxes->VerifyAllUsed());
            QCOMPARE(s.SrcDir, std::string(c.src)); // the setting itself is not changed
        }
    }

    void overlapIsATextTest() {
        const struct {
            const char *a, *b;
            int overlap;
        } cases[] = {{"", "Q:\\x\\", 1},
                     {"Q:\\WORK", "Q:\\work2", 1},
                     {"Q:\\WORK\\", "Q:\\WORK2\\", 0},
                     {"Q:\\a\\", "q:\\A\\b\\", 1},
                     {"Q:\\a\\", "R:\\a\\", 0}};
        for (const auto& c : cases)
            QVERIFY(FoldersOverlap(c.a, c.b) == c.overlap && FoldersOverlap(c.b, c.a) == c.overlap);
    }

    // Another spelling of the source is the same folder whatever the options
    // (with the trash option its own files would go to the trash); other
    // letters and links that lead inside it overlap it.
    void aliasesAreSeenThrough() {
        const struct {
            const char *src, *dst;
            int clear;
            const char* message;
        } cases[] = {{"S:\\data\\", "S:\\data\\.", 0, kSame}, // trailing dot
                     {"S:\\data\\", "M:\\", 0, kSame},        // another letter
                     {"S:\\data\\", "D:\\link\\", 0, kSame},  // a link to it
                     {"S:\\data\\", "N:\\", 1, kOverlap},     // a letter for its subfolder
                     {"N:\\", "S:\\data\\", 1, kOverlap},
                     {"S:\\data\\", "D:\\link\\new\\", 1, kOverlap}, // below a link, not made yet
                     {"S:\\other\\", "D:\\", 1, ""}};
        for (const auto& c : cases) {
            CCopyJobFixture f; // its trees put the drive map back afterwards
            QVERIFY(f.source.Build({{"data/inner/"}, {"other/"}}));
            QVERIFY(f.dest.AddSymlink("link", f.source.HostPath("data")));
            CHostServices::Get().DriveMap().Map('M', f.source.HostPath("data"));
            CHostServices::Get().DriveMap().Map('N', f.source.HostPath("data/inner"));
            QCOMPARE(Refusal(f, c.src, c.dst, c.clear), std::string(c.message));
        }
    }

    // A bind mount shows the same folder under another path, which no path
    // text (resolved or not) reveals.
    void bindMountsAreSeenThrough() {
        SKIP_WITHOUT_PRIVATE_MOUNTS();
        CCopyJobFixture f;
        QVERIFY(f.source.Build({{"data/a.txt", "a"}, {"data/sub/"}}));
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
