// File system primitives on drive-letter paths over a temporary tree.
#include "platform/ErrorCodes.h"
#include "platform/FileSystem.h"
#include "platform/HostServices.h"
#include "support/TempTree.h"

#include <QTest>

#include <unistd.h>

namespace {
std::string Names(const std::vector<CFileEntry>& entries) {
    std::string names;
    for (const CFileEntry& e : entries)
        names += e.name + " ";
    return names;
}
} // namespace

class TestFileSystem : public QObject {
    Q_OBJECT

private slots:
    void wildcard() {
        const struct {
            const char *pattern, *name;
            bool match;
        } cases[] = {{"*.*", "Makefile", true},     {"*", "a.b.c", true},
                     {"*.txt", "README.TXT", true}, {"*.txt", "a.txt.bak", false},
                     {"*.doc", "x.docx", false},    {"?.txt", "ab.txt", false},
                     {"a?c", "AbC", true},          {"?.txt", "ソ.txt", true},
                     {"??", "ソソ", true},          {"ソ*", "ゾーン", false},
                     {"a*.*", "abc", true},         {"a*.*", "bcd", false},
                     {"*a*b", "aXaYb", true},       {"*a*b", "aXaYbZ", false},
                     {"Data", "datum", false}};
        for (const auto& c : cases)
            QVERIFY2(WildcardMatch(c.pattern, c.name) == c.match, c.pattern);
    }

    // Byte order (capitals first) keeps every walk repeatable; names holding
    // "\" are not listed; sizes and times pass 32 bits; attributes follow
    // mode and name.
    void listsSortedEntriesWithTheirFacts() {
        CTempTree tree;
        QVERIFY(tree.Build(
            {{"b.txt", "b"}, {"A.txt", "a"}, {".h", "x"}, {"dir/"}, {"a\\..\\x.txt", "2"}}));
        QVERIFY(tree.AddFile("big.txt", {}, 4102444800) && tree.SetMode("b.txt", 0444));
        QCOMPARE(truncate(tree.HostPath("big.txt").c_str(), off_t{5} << 30),
                 0); // sparse: no disk used
        QVERIFY(tree.SetTime("big.txt", 4102444800));
        std::vector<CFileEntry> e;
        QCOMPARE(FindEntries(tree.DrivePath("*"), e), 0);
        QCOMPARE(Names(e), std::string(".h A.txt b.txt big.txt dir "));
        QCOMPARE(e[0].attributes, uint32_t(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
        QCOMPARE(e[2].attributes, uint32_t(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
        QVERIFY(e[4].attributes == FILE_ATTRIBUTE_DIRECTORY && e[4].IsFolder());
        QVERIFY(e[3].size == uint64_t{5} << 30 && e[3].writeTime == 4102444800);
        QCOMPARE(FindEntries(tree.DrivePath("*.TXT"), e), 0);
        QCOMPARE(Names(e), std::string("A.txt b.txt big.txt "));
    }

    void dotDotNeverLeavesTheDrive() {
        CTempTree outer('U');
        QVERIFY(outer.Build({{"secret.txt", "s"}, {"drive/inside.txt", "i"}}));
        CTempTree tree;
        CHostServices::Get().DriveMap().Map('T', outer.HostPath("drive"));
        std::vector<CFileEntry> e;
        QCOMPARE(FindEntries("T:\\..\\..\\*.*", e), 0);
        QCOMPARE(Names(e), std::string("inside.txt "));
        QCOMPARE(HostPathOf("T:\\a\\..\\..\\..\\secret.txt"), outer.HostPath("drive/secret.txt"));
        QCOMPARE(DeleteFile("T:\\..\\secret.txt"), int(ERROR_FILE_NOT_FOUND));
        QVERIFY(outer.Exists("secret.txt"));
    }

    // Links are reported as links; removing one never touches its target.
    void changesAndTheirCodes() {
        CTempTree tree;
        QVERIFY(tree.Build({{"full/x", "x"}, {"empty/"}, {"ro.txt", "r"}, {"rw.txt", "w"}}));
        QVERIFY(tree.SetMode("ro.txt", 0444) && tree.AddSymlink("link", tree.HostPath("full")));
        QVERIFY(tree.AddSymlink("flink", tree.HostPath("rw.txt")) &&
                tree.AddSymlink("dangling", "gone"));
        CFileEntry e;
        QVERIFY(GetEntry(tree.DrivePath("link"), e) == 0 && e.isSymlink && e.IsFolder());
        QVERIFY(GetEntry(tree.DrivePath("dangling"), e) == 0 && e.isSymlink && !e.IsFolder());
        QCOMPARE(GetEntry(tree.DrivePath("no/nothing"), e), int(ERROR_PATH_NOT_FOUND));
        QCOMPARE(MakeFolder(tree.DrivePath("new")), 0);
        QCOMPARE(MakeFolder(tree.DrivePath("rw.txt")), int(ERROR_ALREADY_EXISTS));
        QCOMPARE(MakeFolder(tree.DrivePath("a/b")), int(ERROR_PATH_NOT_FOUND));
        QCOMPARE(RemoveFolder(tree.DrivePath("full")), int(ERROR_DIR_NOT_EMPTY));
        QCOMPARE(RemoveFolder(tree.DrivePath("rw.txt")), int(ERROR_DIRECTORY));
        QCOMPARE(RemoveFolder(tree.DrivePath("empty\\")), 0);
        QCOMPARE(RemoveFolder(tree.DrivePath("link")), 0);
        QCOMPARE(DeleteFile(tree.DrivePath("ro.txt")), int(ERROR_ACCESS_DENIED));
        QCOMPARE(DeleteFile(tree.DrivePath("new")), int(ERROR_ACCESS_DENIED));
        QCOMPARE(DeleteFile(tree.DrivePath("flink")), 0);
        QCOMPARE(DeleteFile(tree.DrivePath("missing")), int(ERROR_FILE_NOT_FOUND));
        QCOMPARE(CTempTree::WithoutTimes(tree.Read()),
                 (std::vector<CTreeItem>{{"full/"},
                                         {"new/"},
                                         {"dangling", "-> gone"},
                                         {"full/x", "x"},
                                         {"ro.txt", "r"},
                                         {"rw.txt", "w"}}));
    }
};

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_FileSystem.moc"
