// The INI document: hand-edited and damaged files, edits of single lines, atomic saves.
#include "platform/ErrorCodes.h"
#include "platform/IniFile.h"
#include "support/TempTree.h"

#include <QTest>

// CP932 bytes of 表 and ソ both end in 0x5C, the backslash byte.
class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    // Each file is read for one key ("-" when it is not found).
    void readsAndEdits() {
        // clang-format off
        const std::tuple<std::string, const char*, const char*, std::string> rows[] = {
            {"[Spec]\nA=1\nk=v\n", "Spec", "k", "v"}, {"[Spec]\r\nk=v", "Spec", "k", "v"},
            {" \t[ Spec ] \r\n  k \t=  My Work \t\r\n", "Spec", "k", "My Work"},
            {"\r\n[S]\r\n\r\njust text\r\n; note\r\nk=x\r\n", "S", "k", "x"}, {"[S]\r\nk=\r\n", "S", "k", ""},
            {"[S]\r\nk=a=\"b\"\r\n", "S", "k", "a=\"b\""}, {"k=1\r\n[S]\r\n", "S", "k", "-"},
            {"[A]\r\nk=1\r\n[B]\r\nj=2\r\n", "B", "k", "-"}, {"[S\r\nk=1\r\n", "S", "k", "-"},
            {"[S]\r\nk=E:\\\x95\x5C\x83\x5C\\\r\n", "S", "k", "E:\\表ソ\\"},
            {"[\x83\x5D]\r\nk=1\r\n", "ゾ", "k", "1"}, {"[S]\r\nk", "S", "k", "-"}, // ] (0x5D) as a trail byte
            {"[S]\r\nk=E:\\\x95", "S", "k", "E:\\\uFFFD"}, {"[S]\r\nk=a\x80\xFF" "b\r\n", "S", "k", "a\uFFFD\uFFFDb"},
            {std::string("[S]\r\nk=a\0b\r\n", 12), "S", "k", std::string("a\0b", 3)}, {"", "S", "k", "-"},
            {"[S]\r\nk=1\r\nK=2\r\n[s]\r\nj=4\r\n", "S", "k", "1"}, // the first of duplicates
            {"[S]\r\nk=1\r\n[s]\r\nj=4\r\n", "S", "j", "-"},
            {"\xEF\xBB\xBF[S]\nk=E:\\資料\n", "S", "k", "E:\\資料"}, // UTF-8 with its mark
            {"\xEF\xBB\xBF[S]\nk=a\xFF\n", "S", "k", "a\uFFFD"}};
        // clang-format on
        for (const auto& [file, section, key, value] : rows) {
            CIniFile ini;
            ini.Parse(file);
            QCOMPARE(ini.Get(section, key).value_or("-"), value);
        }
        // Edits keep every other byte and the names' spelling (matched by ASCII case only); new
        // keys follow a section's last, new sections the end; what would break the file is refused.
        CIniFile ini;
        ini.Parse("; head\r\n[A]\r\nk = "
                  "1\r\nnote\r\n\r\n[R]\r\nr=1\r\n\r\n[B]\r\nx=1\r\n\r\n[\x82\x60\x82\x61]\r\n"
                  "[r]\r\nr=2\r\n");
        QCOMPARE(ini.Set("a", "K", "2") + ini.Set("A", "m", "3") + ini.Set("B", "y", ""), 0);
        QCOMPARE(ini.Set("ａｂ", "z", "4"), 0); // full-width Ａ and ａ differ
        QVERIFY(ini.RemoveSection("r") && !ini.HasSection("R"));
        for (const char* bad : {"a\n[Evil]", "a\r", "E:\\😀"}) // refused, nothing changed
            QVERIFY(ini.Set("A", "k", bad) != 0 && ini.Set("A", bad, "1") != 0 &&
                    ini.Set(bad, "k", "1") != 0);
        QCOMPARE(ini.Set("A", "a=b", "1") + ini.Set("a]b", "k", "1"), 2 * ERROR_INVALID_PARAMETER);
        QCOMPARE(QByteArray::fromStdString(ini.Serialize()),
                 QByteArray("; head\r\n[A]\r\nk =2\r\nm=3\r\nnote\r\n\r\n[B]\r\nx=1\r\n"
                            "y=\r\n\r\n[\x82\x60\x82\x61]\r\n[\x82\x81\x82\x82]\r\nz=4\r\n"));
        CIniFile utf8;
        utf8.Parse("\xEF\xBB\xBF[S]\nNote=😀\n");
        QCOMPARE(utf8.Set("S", "D", "F:\\控え"), 0);
        QCOMPARE(utf8.Serialize(), std::string("\xEF\xBB\xBF[S]\r\nNote=😀\r\nD=F:\\控え\r\n"));
    }

    // Loading refuses what is no file (a pipe would block); saving replaces the file atomically,
    // keeps its mode, writes through a link, and on failure leaves nothing behind.
    void loadAndSaveOnHostPaths() {
        CTempTree tree;
        const std::string r = tree.HostRoot() + "/";
        QVERIFY(tree.Build({{"folder.ini/inside/"}, {"real/T.Ini", "[S]\r\nk=a\r\n"}}) &&
                tree.SetMode("real/T.Ini", 0640) && tree.AddSymlink("T.Ini", r + "real/T.Ini") &&
                ::mkfifo((r + "pipe.ini").c_str(), 0600) == 0);
        CIniFile ini;
        QCOMPARE(ini.Load(r + "missing.ini"), ERROR_FILE_NOT_FOUND);
        QCOMPARE(ini.Load(r + "folder.ini") + ini.Load(r + "pipe.ini"), 2 * ERROR_ACCESS_DENIED);
        QVERIFY(ini.Load(r + "T.Ini") == 0 && ini.Set("S", "k", "資料") == 0 &&
                ini.Save(r + "T.Ini") == 0);
        QVERIFY(ini.Save(r + "missing/a.ini") != 0 && ini.Save(r + "folder.ini") != 0);
        QCOMPARE(tree.Bytes("real/T.Ini"), "[S]\r\nk=\x8E\x91\x97\xBF\r\n");
        const QString root = QString::fromStdString(r);
        QVERIFY(QFileInfo(root + "T.Ini").isSymLink());
        QCOMPARE(HostStat(root + "real/T.Ini").st_mode & 0777, mode_t{0640});
        QCOMPARE(NamesIn(root) + NamesIn(root + "real"),
                 (QStringList{"T.Ini", "folder.ini", "pipe.ini", "real", "T.Ini"}));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_IniFile.moc"
