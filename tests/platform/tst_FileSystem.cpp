// File system primitives on drive-letter paths over a temporary tree.
#include "platform/ErrorCodes.h"
#include "platform/FileSystem.h"
#include "support/TempTree.h"

#include <QTest>
#include <climits>
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
        // clang-format off
        const std::tuple<const char*, const char*, bool> rows[] = {{"*.*", "Makefile", true},
            {"*", "a.b.c", true}, {"*.txt", "README.TXT", true}, {"*.txt", "a.txt.bak", false},
            {"*.doc", "x.docx", false}, {"?.txt", "ab.txt", false}, {"a?c", "AbC", true}, {"?.txt", "ソ.txt", true},
            {"??", "ソソ", true}, {"ソ*", "ゾーン", false}, {"a*.*", "abc", true}, {"a*.*", "bcd", false},
            {"*a*b", "aXaYb", true}, {"*a*b", "aXaYbZ", false}, {"Data", "datum", false}};
        // clang-format on
        for (const auto& [pattern, name, match] : rows)
            QVERIFY2(WildcardMatch(pattern, name) == match, pattern);
    }

    // Byte order (capitals first); no names holding "\"; sizes and times past 32 bits; attributes
    // from mode and name; links as links, removed without their targets; ".." stays on the drive.
    void entriesAndChanges() {
        CTempTree tree;
        // clang-format off
        QVERIFY(tree.Build({{"b.txt", "b"}, {"A.txt", "a"}, {".h", "x"}, {"dir/"}, {"full/x", "x"},
                            {"a\\..\\x.txt", "2"}, {"big.txt"}}));
        QVERIFY(tree.SetMode("b.txt", 0444) && tree.AddSymlink("link", tree.HostPath("full")) &&
                tree.AddSymlink("flink", tree.HostPath("A.txt")) && tree.AddSymlink("dangling", "gone"));
        // clang-format on
        QCOMPARE(truncate(tree.HostPath("big.txt").c_str(), off_t{5} << 30), 0); // sparse
        QVERIFY(tree.SetTime("big.txt", 4102444800));
        std::vector<CFileEntry> e;
        QCOMPARE(FindEntries("T:\\*", e), 0);
        QCOMPARE(Names(e), std::string(".h A.txt b.txt big.txt dangling dir flink full link "));
        QCOMPARE(e[0].attributes, uint32_t(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
        QCOMPARE(e[2].attributes, uint32_t(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
        QVERIFY(e[5].attributes == FILE_ATTRIBUTE_DIRECTORY && e[5].IsFolder());
        QVERIFY(e[3].size == uint64_t{5} << 30 && e[3].writeTime == 4102444800);
        QVERIFY(e[8].isSymlink && e[8].IsFolder() && e[4].isSymlink && !e[4].IsFolder());
        QCOMPARE(FindEntries("T:\\..\\..\\*.TXT", e), 0);
        QCOMPARE(Names(e), std::string("A.txt b.txt big.txt "));
        // clang-format off
        const std::tuple<int (*)(const std::string&), const char*, int> rows[] = {
            {MakeFolder, "new", 0}, {MakeFolder, "A.txt", ERROR_ALREADY_EXISTS},
            {MakeFolder, "a\\b", ERROR_PATH_NOT_FOUND}, {RemoveFolder, "full", ERROR_DIR_NOT_EMPTY},
            {RemoveFolder, "A.txt", ERROR_DIRECTORY}, {RemoveFolder, "dir\\", 0}, {RemoveFolder, "link", 0},
            {DeleteFile, "b.txt", ERROR_ACCESS_DENIED}, {DeleteFile, "new", ERROR_ACCESS_DENIED},
            {DeleteFile, "flink", 0}, {DeleteFile, "big.txt", 0}, {DeleteFile, "missing", ERROR_FILE_NOT_FOUND}};
        // clang-format on
        for (const auto& [change, name, code] : rows)
            QVERIFY2(change(std::string("T:\\") + name) == code, name);
        QCOMPARE(tree.Listing(),
                 "full/ new/ .h=x A.txt=a a\\..\\x.txt=2 b.txt=b dangling=-> gone full/x=x");
        CTempTree outer('U');
        QVERIFY(outer.Build({{"secret.txt", "s"}, {"drive/inside.txt", "i"}}));
        CHostServices::Get().DriveMap().Map('T', outer.HostPath("drive"));
        QCOMPARE(FindEntries("T:\\..\\..\\*.*", e), 0);
        QCOMPARE(Names(e), std::string("inside.txt "));
        QCOMPARE(HostPathOf("T:\\a\\..\\..\\..\\secret.txt"), outer.HostPath("drive/secret.txt"));
        QCOMPARE(DeleteFile("T:\\..\\secret.txt"), int(ERROR_FILE_NOT_FOUND));
        QVERIFY(outer.Exists("secret.txt"));
    }

    // A name in a folder given by its host path agrees with the whole path's check at the limit.
    void pathLimitOfANameInAFolder() {
        CHostServices::Get().DriveMap().Map('P', "/");
        CHostServices::Get().DriveMap().Map('Q', "/q");
        for (const int length : {PATH_MAX - 3, PATH_MAX - 2, PATH_MAX - 1}) {
            const std::string name(static_cast<size_t>(length), 'n');
            QCOMPARE(FitsHostPathLimit("/", name), FitsHostPathLimit("P:\\" + name));
            QCOMPARE(FitsHostPathLimit("/q", name.substr(2)),
                     FitsHostPathLimit("Q:\\" + name.substr(2)));
        }
        QVERIFY(FitsHostPathLimit("/", std::string(PATH_MAX - 2, 'n')));
        QVERIFY(!FitsHostPathLimit("/", std::string(PATH_MAX - 1, 'n')) &&
                !FitsHostPathLimit("", "n"));
    }
};

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_FileSystem.moc"
