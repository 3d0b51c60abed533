// File system primitives on drive-letter paths over a temporary tree.

#include "platform/ErrorCodes.h"
#include "platform/FileSystem.h"
#include "platform/HostServices.h"
#include "support/TempTree.h"

#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

namespace {
std::vector<std::string> Names(const std::vector<CFileEntry>& entries) {
    std::vector<std::string> names;
    for (const CFileEntry& e : entries)
        names.push_back(e.name);
    return names;
}
} // namespace

class TestFileSystem : public QObject {
    Q_OBJECT
private slots:
    void wildcard_data();
    void wildcard();
    void listsSortedWithoutDotEntries();
    void attributesFollowModeAndName();
    void sizesAndTimesBeyond32Bits();
    void plainNameFindsOneEntryWithoutRegardToCase();
    void searchFailures_data();
    void searchFailures();
    void dotDotNeverLeavesTheDrive();
    void namesWithBackslashAreNotListed();
    void symlinksReportTheirTarget();
    void makeFolderResults();
    void removeFolderResults();
    void deleteFileResults();
};

void TestFileSystem::wildcard_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("match");
    QTest::newRow("star-dot-star takes a name without dot") << "*.*"
                                                            << "Makefile" << true;
    QTest::newRow("star takes a dotted name") << "*"
                                              << "a.b.c" << true;
    QTest::newRow("extension case-insensitive") << "*.txt"
                                                << "README.TXT" << true;
    QTest::newRow("extension must end the name") << "*.txt"
                                                 << "a.txt.bak" << false;
    QTest::newRow("extension is not a prefix") << "*.doc"
                                               << "x.docx" << false;
    QTest::newRow("question takes exactly one") << "?.txt"
                                                << "ab.txt" << false;
    QTest::newRow("question in the middle") << "a?c"
                                            << "AbC" << true;
    QTest::newRow("question takes a whole kana") << "?.txt"
                                                 << "ソ.txt" << true;
    QTest::newRow("two question marks are two kana") << "??"
                                                     << "ソソ" << true;
    QTest::newRow("kana compares exactly") << "ソ*"
                                           << "ゾーン" << false;
    QTest::newRow("final dot-star takes no extension") << "a*.*"
                                                       << "abc" << true;
    QTest::newRow("final dot-star still needs the stem") << "a*.*"
                                                         << "bcd" << false;
    QTest::newRow("backtracking over stars") << "*a*b"
                                             << "aXaYb" << true;
    QTest::newRow("star needs the tail") << "*a*b"
                                         << "aXaYbZ" << false;
    QTest::newRow("literal name") << "Data"
                                  << "data" << true;
    QTest::newRow("literal name differs") << "Data"
                                          << "Datum" << false;
}

void TestFileSystem::wildcard() {
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, match);
    QCOMPARE(WildcardMatch(pattern.toStdString(), name.toStdString()), match);
}

void TestFileSystem::listsSortedWithoutDotEntries() {
    CTempTree tree;
    QVERIFY(tree.Build({{"b.txt", "b"}, {"A.txt", "a"}, {"a.txt", "a"}, {"sub/", {}}, {"z", {}}}));
    std::vector<CFileEntry> entries;
    QCOMPARE(FindEntries(tree.DrivePath("*.*"), entries), 0);
    // Byte order: capitals before small letters, so every walk is repeatable.
    QCOMPARE(Names(entries), (std::vector<std::string>{"A.txt", "a.txt", "b.txt", "sub", "z"}));
    QCOMPARE(FindEntries(tree.DrivePath("*.TXT"), entries), 0);
    QCOMPARE(Names(entries), (std::vector<std::string>{"A.txt", "a.txt", "b.txt"}));
}

void TestFileSystem::attributesFollowModeAndName() {
    CTempTree tree;
    QVERIFY(tree.Build({{"plain.txt", "x"}, {".hidden", "x"}, {"ro.txt", "x"}, {"dir/", {}}}));
    QVERIFY(tree.SetMode("ro.txt", 0444));
    std::vector<CFileEntry> e;
    QCOMPARE(FindEntries(tree.DrivePath("*"), e), 0);
    QCOMPARE(Names(e), (std::vector<std::string>{".hidden", "dir", "plain.txt", "ro.txt"}));
    QCOMPARE(e[0].attributes, uint32_t(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    QCOMPARE(e[1].attributes, uint32_t(FILE_ATTRIBUTE_DIRECTORY));
    QVERIFY(e[1].IsFolder());
    QCOMPARE(e[2].attributes, uint32_t(FILE_ATTRIBUTE_ARCHIVE));
    QCOMPARE(e[3].attributes, uint32_t(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
}

void TestFileSystem::sizesAndTimesBeyond32Bits() {
    CTempTree tree;
    const int64_t year2100 = 4102444800; // 2100-01-01 00:00:00 UTC
    QVERIFY(tree.AddFile("big.bin", {}));
    const off_t fiveGiB = off_t{5} << 30;
    QCOMPARE(truncate(tree.HostPath("big.bin").c_str(), fiveGiB), 0); // sparse: no disk used
    QVERIFY(tree.SetTime("big.bin", year2100));
    QVERIFY(tree.AddFile("small.bin", "12345", 1000000000));
    std::vector<CFileEntry> e;
    QCOMPARE(FindEntries(tree.DrivePath("*.bin"), e), 0);
    QCOMPARE(e.size(), size_t(2));
    QCOMPARE(e[0].size, uint64_t(fiveGiB));
    QCOMPARE(e[0].writeTime, year2100);
    QCOMPARE(e[1].size, uint64_t(5));
    QCOMPARE(e[1].writeTime, int64_t(1000000000));
    CFileEntry big;
    QCOMPARE(GetEntry(tree.DrivePath("big.bin"), big), 0);
    QCOMPARE(big.writeTime, year2100);
}

void TestFileSystem::plainNameFindsOneEntryWithoutRegardToCase() {
    CTempTree tree;
    QVERIFY(tree.Build({{"Sub/readme.txt", "r"}, {"Sub/Same.txt", "1"}, {"Sub/same.TXT", "2"}}));
    std::vector<CFileEntry> e;
    QCOMPARE(FindEntries(tree.DrivePath("Sub/README.TXT"), e), 0);
    QCOMPARE(Names(e), std::vector<std::string>{"readme.txt"});
    // The exact spelling wins over a name that differs only in case.
    QCOMPARE(FindEntries(tree.DrivePath("Sub/same.TXT"), e), 0);
    QCOMPARE(Names(e), std::vector<std::string>{"same.TXT"});
    QCOMPARE(FindEntries(tree.DrivePath("Sub/SAME.txt"), e), 0);
    QCOMPARE(e.size(), size_t(1));
    QCOMPARE(FindEntries(tree.DrivePath("Sub/missing.txt"), e), 0);
    QVERIFY(e.empty());
}

void TestFileSystem::searchFailures_data() {
    QTest::addColumn<QString>("pattern"); // relative to the tree; "!" = an unmapped drive
    QTest::addColumn<int>("code");
    QTest::newRow("missing folder") << "nowhere/*.*" << int(ERROR_PATH_NOT_FOUND);
    QTest::newRow("file where a folder is expected") << "file.txt/*" << int(ERROR_DIRECTORY);
    QTest::newRow("unmapped drive") << "!" << int(ERROR_PATH_NOT_FOUND);
    QTest::newRow("nothing after the separator") << "" << int(ERROR_FILE_NOT_FOUND);
}

void TestFileSystem::searchFailures() {
    QFETCH(QString, pattern);
    QFETCH(int, code);
    CTempTree tree;
    QVERIFY(tree.AddFile("file.txt", "x"));
    const std::string path =
        pattern == "!" ? std::string("Q:\\*.*") : tree.DrivePath(pattern.toStdString());
    CHostServices::Get().DriveMap().Clear();
    CHostServices::Get().DriveMap().Map(tree.Letter(), tree.HostRoot());
    std::vector<CFileEntry> e{CFileEntry{}};
    QCOMPARE(FindEntries(path, e), code);
    QVERIFY(e.empty());
}

void TestFileSystem::dotDotNeverLeavesTheDrive() {
    CTempTree outer('U');
    QVERIFY(outer.Build({{"secret.txt", "s"}, {"drive/inside.txt", "i"}}));
    CTempTree tree;
    CHostServices::Get().DriveMap().Map('T', outer.HostPath("drive"));
    std::vector<CFileEntry> e;
    QCOMPARE(FindEntries("T:\\..\\..\\*.*", e), 0);
    QCOMPARE(Names(e), std::vector<std::string>{"inside.txt"});
    QCOMPARE(HostPathOf("T:\\a\\..\\..\\..\\secret.txt"), outer.HostPath("drive/secret.txt"));
    QCOMPARE(DeleteFile("T:\\..\\secret.txt"), int(ERROR_FILE_NOT_FOUND));
    QVERIFY(outer.Exists("secret.txt"));
}

void TestFileSystem::namesWithBackslashAreNotListed() {
    CTempTree tree;
    QVERIFY(tree.Build({{"ok.txt", "1"}, {"a\\..\\..\\x.txt", "2"}}));
    std::vector<CFileEntry> e;
    QCOMPARE(FindEntries(tree.DrivePath("*"), e), 0);
    QCOMPARE(Names(e), std::vector<std::string>{"ok.txt"});
}

void TestFileSystem::symlinksReportTheirTarget() {
    CTempTree tree;
    QVERIFY(tree.Build({{"real/", {}}, {"data.txt", "1234"}}));
    QVERIFY(tree.AddSymlink("toReal", tree.HostPath("real")));
    QVERIFY(tree.AddSymlink("toData", tree.HostPath("data.txt")));
    QVERIFY(tree.AddSymlink("dangling", tree.HostPath("gone")));
    CFileEntry e;
    QCOMPARE(GetEntry(tree.DrivePath("toReal"), e), 0);
    QVERIFY(e.isSymlink && e.IsFolder());
    QCOMPARE(GetEntry(tree.DrivePath("toData"), e), 0);
    QVERIFY(e.isSymlink && !e.IsFolder());
    QCOMPARE(e.size, uint64_t(4));
    QCOMPARE(GetEntry(tree.DrivePath("dangling"), e), 0);
    QVERIFY(e.isSymlink && !e.IsFolder());
    QCOMPARE(GetEntry(tree.DrivePath("nothing"), e), int(ERROR_FILE_NOT_FOUND));
    QCOMPARE(GetEntry(tree.DrivePath("no/nothing"), e), int(ERROR_PATH_NOT_FOUND));
}

void TestFileSystem::makeFolderResults() {
    CTempTree tree;
    QVERIFY(tree.AddFile("file", "x"));
    QCOMPARE(MakeFolder(tree.DrivePath("new")), 0);
    QVERIFY(tree.Exists("new"));
    QCOMPARE(MakeFolder(tree.DrivePath("new")), int(ERROR_ALREADY_EXISTS));
    QCOMPARE(MakeFolder(tree.DrivePath("file")), int(ERROR_ALREADY_EXISTS));
    QCOMPARE(MakeFolder(tree.DrivePath("a/b")), int(ERROR_PATH_NOT_FOUND));
    QVERIFY(!tree.Exists("a"));
}

void TestFileSystem::removeFolderResults() {
    CTempTree tree;
    QVERIFY(tree.Build({{"full/x", "x"}, {"empty/", {}}, {"file", "x"}}));
    QVERIFY(tree.AddSymlink("link", tree.HostPath("full")));
    QCOMPARE(RemoveFolder(tree.DrivePath("full")), int(ERROR_DIR_NOT_EMPTY));
    QCOMPARE(RemoveFolder(tree.DrivePath("file")), int(ERROR_DIRECTORY));
    QCOMPARE(RemoveFolder(tree.DrivePath("empty\\")), 0);
    QCOMPARE(RemoveFolder(tree.DrivePath("link")), 0);
    QVERIFY(!tree.Exists("link") && !tree.Exists("empty"));
    QVERIFY(tree.Exists("full/x"));
    QCOMPARE(RemoveFolder(tree.DrivePath("empty")), int(ERROR_FILE_NOT_FOUND));
}

void TestFileSystem::deleteFileResults() {
    CTempTree tree;
    QVERIFY(tree.Build({{"ro.txt", "r"}, {"rw.txt", "w"}, {"dir/", {}}, {"target.txt", "t"}}));
    QVERIFY(tree.SetMode("ro.txt", 0444));
    QVERIFY(tree.AddSymlink("link", tree.HostPath("target.txt")));
    QCOMPARE(DeleteFile(tree.DrivePath("ro.txt")), int(ERROR_ACCESS_DENIED));
    QVERIFY(tree.Exists("ro.txt"));
    QCOMPARE(DeleteFile(tree.DrivePath("dir")), int(ERROR_ACCESS_DENIED));
    QVERIFY(tree.Exists("dir"));
    QCOMPARE(DeleteFile(tree.DrivePath("link")), 0);
    QVERIFY(!tree.Exists("link") && tree.Exists("target.txt"));
    QCOMPARE(DeleteFile(tree.DrivePath("rw.txt")), 0);
    QVERIFY(!tree.Exists("rw.txt"));
    QCOMPARE(DeleteFile(tree.DrivePath("rw.txt")), int(ERROR_FILE_NOT_FOUND));
}

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_FileSystem.moc"
