// The INI document: reading rules for hand-edited and damaged files, edits
// that touch only their own lines, and the atomic save on host paths.
#include "platform/ErrorCodes.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

std::string ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool WriteBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

std::string Host(const QTemporaryDir& dir, const char* name) {
    return QDir(dir.path()).filePath(QString::fromUtf8(name)).toStdString();
}

// CP932 bytes of 表 and ソ: both end in 0x5C, the backslash byte.
const std::string kOmoteCp932 = "\x95\x5C";
const std::string kSoCp932 = "\x83\x5C";

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void readsHandEditedLines_data();
    void readsHandEditedLines();
    void readsTruncatedAndCorruptedInput_data();
    void readsTruncatedAndCorruptedInput();
    void firstOfDuplicatesWins();
    void namesFoldOnlyAsciiLetters();
    void setReplacesInPlaceAndAppendsAtSectionEnd();
    void setRefusesWhatWouldBreakTheFile_data();
    void setRefusesWhatWouldBreakTheFile();
    void removeSectionTakesEveryCopy();
    void utf8FileStaysUtf8();
    void garbageSurvivesUntouchedAndStillEdits();
    void longLinesDecodeAcrossPieces();
    void tenMegabyteFileReadsWhole();
    void loadRefusesWhatIsNotAFile();
    void saveLeavesNoTemporaryAndKeepsMode();
    void saveFollowsSymbolicLink();
    void failedSaveLeavesEverythingAsItWas();
};

void TestIniFile::readsHandEditedLines_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");

    QTest::newRow("crlf") << QByteArray("[Spec]\r\nSrcDir=E:\\Work\r\n") << "Spec"
                          << "SrcDir" << true << "E:\\Work";
    QTest::newRow("lf only") << QByteArray("[Spec]\nA=1\nSrcDir=E:\\Work\n") << "Spec"
                             << "SrcDir" << true << "E:\\Work";
    QTest::newRow("no final line end") << QByteArray("[Spec]\r\nSrcDir=E:\\Work") << "Spec"
                                       << "SrcDir" << true << "E:\\Work";
    QTest::newRow("blanks around everything")
        << QByteArray(" \t[ Spec ] \r\n  SrcDir \t=  E:\\My Work \t\r\n") << "Spec"
        << "SrcDir" << true << "E:\\My Work";
    QTest::newRow("blank lines and text lines between")
        << QByteArray("\r\n[Spec]\r\n\r\njust text\r\n; note\r\nSrcDir=x\r\n") << "Spec"
        << "SrcDir" << true << "x";
    QTest::newRow("empty value") << QByteArray("[LHA]\r\nOptionStr=\r\n") << "LHA"
                                 << "OptionStr" << true << "";
    QTest::newRow("value holds =") << QByteArray("[S]\r\nk=a=b\r\n") << "S"
                                   << "k" << true << "a=b";
    QTest::newRow("quotes are kept") << QByteArray("[S]\r\nk=\"q\"\r\n") << "S"
                                     << "k" << true << "\"q\"";
    QTest::newRow("key before any section is no one's") << QByteArray("k=1\r\n[S]\r\n") << "S"
                                                        << "k" << false << "";
    QTest::newRow("key of another section") << QByteArray("[A]\r\nk=1\r\n[B]\r\nj=2\r\n") << "B"
                                            << "k" << false << "";
    QTest::newRow("header without ] is no header") << QByteArray("[S\r\nk=1\r\n") << "S"
                                                   << "k" << false << "";
    QTest::newRow("CP932 value with 0x5C trail bytes")
        << QByteArray(("[S]\r\nk=E:\\" + kOmoteCp932 + kSoCp932 + "\\\r\n").c_str()) << "S"
        << "k" << true << QString::fromUtf8("E:\\表ソ\\");
    // 0x5D (]) as a trail byte (ゾ) must not end the section name early.
    QTest::newRow("section name with 0x5D trail byte")
        << QByteArray("[\x83\x5D]\r\nk=1\r\n") << QString::fromUtf8("ゾ") << "k" << true << "1";
}

void TestIniFile::readsHandEditedLines() {
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, found);
    QFETCH(QString, value);
    CIniFile ini;
    ini.Parse(std::string_view(file.constData(), static_cast<size_t>(file.size())));
    std::optional<std::string> got = ini.Get(section.toStdString(), key.toStdString());
    QCOMPARE(got.has_value(), found);
    if (found)
        QCOMPARE(QString::fromStdString(*got), value);
}

void TestIniFile::readsTruncatedAndCorruptedInput_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");

    QTest::newRow("cut inside the value")
        << QByteArray("[Spec]\r\nSrcDir=E:\\Wo") << true << "E:\\Wo";
    QTest::newRow("cut after =") << QByteArray("[Spec]\r\nSrcDir=") << true << "";
    QTest::newRow("cut inside the key") << QByteArray("[Spec]\r\nSrcD") << false << "";
    QTest::newRow("cut inside the header") << QByteArray("[Sp") << false << "";
    QTest::newRow("cut between bytes of a character")
        << QByteArray("[Spec]\r\nSrcDir=E:\\\x95") << true << QString::fromUtf8("E:\\\uFFFD");
    QTest::newRow("bytes that are no CP932") << QByteArray("[Spec]\r\nSrcDir=a\x80\xFF"
                                                           "b\r\n")
                                             << true << QString::fromUtf8("a\uFFFD\uFFFDb");
    QTest::newRow("NUL inside the value")
        << QByteArray("[Spec]\r\nSrcDir=a\0b\r\n", 19) << true << QString::fromUtf8("a\0b", 3);
    QTest::newRow("empty file") << QByteArray() << false << "";
}

void TestIniFile::readsTruncatedAndCorruptedInput() {
    QFETCH(QByteArray, file);
    QFETCH(bool, found);
    QFETCH(QString, value);
    CIniFile ini;
    ini.Parse(std::string_view(file.constData(), static_cast<size_t>(file.size())));
    std::optional<std::string> got = ini.Get("Spec", "SrcDir");
    QCOMPARE(got.has_value(), found);
    if (found)
        QCOMPARE(QString::fromStdString(*got), value);
}

void TestIniFile::firstOfDuplicatesWins() {
    CIniFile ini;
    ini.Parse("[S]\r\nk=1\r\nK=2\r\n[T]\r\nk=9\r\n[s]\r\nk=3\r\nj=4\r\n");
    QCOMPARE(ini.Get("S", "k").value_or("-"), std::string("1"));
    QVERIFY(!ini.Get("S", "j")); // only the first section of a name is read
    QCOMPARE(ini.Keys("S"), (std::vector<std::string>{"k"}));
    QCOMPARE(ini.Set("S", "k", "5"), 0);
    QCOMPARE(ini.Serialize(),
             std::string("[S]\r\nk=5\r\nK=2\r\n[T]\r\nk=9\r\n[s]\r\nk=3\r\nj=4\r\n"));
}

void TestIniFile::namesFoldOnlyAsciiLetters() {
    QVERIFY(IniNamesEqual("OutDirList", "OUTDIRLIST"));
    QVERIFY(IniNamesEqual("資料", "資料"));
    QVERIFY(!IniNamesEqual("ＡＢＣ", "ａｂｃ")); // full-width letters are not ASCII
    QVERIFY(!IniNamesEqual("Key1", "Key"));
    QVERIFY(!IniNamesEqual("[", "{")); // '[' and '{' differ by the case bit too
    CIniFile ini;
    ini.Parse("[Spec]\r\nSrcDir=a\r\n");
    QCOMPARE(ini.Set("SPEC", "srcdir", "b"), 0);
    QCOMPARE(ini.Serialize(), std::string("[Spec]\r\nSrcDir=b\r\n"));
}

void TestIniFile::setReplacesInPlaceAndAppendsAtSectionEnd() {
    CIniFile ini;
    ini.Parse("; head\r\n[A]\r\nk = 1\r\nnote\r\n\r\n[B]\r\nx=1\r\n\r\n\r\n");
    QCOMPARE(ini.Set("A", "k", "2"), 0); // name keeps its spelling and blanks
    QCOMPARE(ini.Set("A", "m", "3"), 0); // after the last key line, before "note"
    QCOMPARE(ini.Set("B", "y", ""), 0);  // before the trailing blank lines
    QCOMPARE(ini.Set("C", "z", "4"), 0); // a new section at the end
    QCOMPARE(ini.Serialize(), std::string("; head\r\n[A]\r\nk =2\r\nm=3\r\nnote\r\n\r\n"
                                          "[B]\r\nx=1\r\ny=\r\n\r\n\r\n[C]\r\nz=4\r\n"));
    CIniFile empty;
    empty.Parse("[E]\r\n");
    QCOMPARE(empty.Set("E", "k", "v"), 0); // a section with no keys gets it after its header
    QCOMPARE(empty.Serialize(), std::string("[E]\r\nk=v\r\n"));
}

void TestIniFile::setRefusesWhatWouldBreakTheFile_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("error");
    QTest::newRow("value without CP932 form")
        << "Spec"
        << "SrcDir" << QString::fromUtf8("E:\\😀") << int(ERROR_NO_UNICODE_TRANSLATION);
    QTest::newRow("key without CP932 form")
        << "Spec" << QString::fromUtf8("k😀") << "1" << int(ERROR_NO_UNICODE_TRANSLATION);
    QTest::newRow("section without CP932 form") << QString::fromUtf8("S한") << "k"
                                                << "1" << int(ERROR_NO_UNICODE_TRANSLATION);
    QTest::newRow("value with line break") << "Spec"
                                           << "SrcDir"
                                           << "a\r\n[Evil]" << int(ERROR_INVALID_PARAMETER);
    QTest::newRow("key with =") << "Spec"
                                << "a=b"
                                << "1" << int(ERROR_INVALID_PARAMETER);
    QTest::newRow("section with ]") << "a]b"
                                    << "k"
                                    << "1" << int(ERROR_INVALID_PARAMETER);
    QTest::newRow("empty key") << "Spec"
                               << " "
                               << "1" << int(ERROR_INVALID_PARAMETER);
    QTest::newRow("empty section") << ""
                                   << "k"
                                   << "1" << int(ERROR_INVALID_PARAMETER);
}

void TestIniFile::setRefusesWhatWouldBreakTheFile() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(int, error);
    const std::string before = "[Spec]\r\nSrcDir=E:\\Work\r\n";
    CIniFile ini;
    ini.Parse(before);
    QCOMPARE(ini.Set(section.toStdString(), key.toStdString(), value.toStdString()), error);
    QCOMPARE(ini.Serialize(), before);
}

void TestIniFile::removeSectionTakesEveryCopy() {
    CIniFile ini;
    ini.Parse("[A]\r\na=1\r\n[OutDirList]\r\nCount=1\r\n\r\n[B]\r\nb=2\r\n[outdirlist]\r\nx=1\r\n");
    QVERIFY(ini.RemoveSection("OutDirList"));
    QCOMPARE(ini.Serialize(), std::string("[A]\r\na=1\r\n[B]\r\nb=2\r\n"));
    QVERIFY(!ini.HasSection("OutDirList"));
    QVERIFY(!ini.RemoveSection("OutDirList"));
}

void TestIniFile::utf8FileStaysUtf8() {
    // A UTF-8 file with its mark, holding a character CP932 lacks.
    const std::string file = "\xEF\xBB\xBF[Spec]\nSrcDir=E:\\資料\nNote=😀\n";
    CIniFile ini;
    ini.Parse(file);
    QCOMPARE(ini.Encoding(), CIniFile::EEncoding::Utf8WithBom);
    QCOMPARE(ini.Get("Spec", "SrcDir").value_or("-"), std::string("E:\\資料"));
    QCOMPARE(ini.Set("Spec", "DstDir", "F:\\控え"), 0);
    QCOMPARE(ini.Set("Spec", "Other", "😀"), ERROR_NO_UNICODE_TRANSLATION);
    QCOMPARE(ini.Serialize(),
             std::string("\xEF\xBB\xBF[Spec]\r\nSrcDir=E:\\資料\r\nNote=😀\r\nDstDir=F:\\控え\r\n"));
    CIniFile broken;
    broken.Parse("\xEF\xBB\xBF[S]\nk=a\xFF\n");
    QCOMPARE(broken.Get("S", "k").value_or("-"), std::string("a\uFFFD"));
}

void TestIniFile::garbageSurvivesUntouchedAndStillEdits() {
    QRandomGenerator random(20240601);
    std::string garbage;
    for (int line = 0; line < 4000; ++line) {
        int length = random.bounded(0, 120);
        for (int i = 0; i < length; ++i) {
            char c = static_cast<char>(random.bounded(0, 256));
            garbage += c == '\n' ? '[' : c;
        }
        garbage += "\r\n";
    }
    garbage[0] = 'x'; // no accidental byte-order mark
    CIniFile ini;
    ini.Parse(garbage);
    QCOMPARE(ini.Serialize(), garbage); // every untouched line byte for byte
    (void)ini.Keys("Spec");
    QCOMPARE(ini.Set("Spec", "SrcDir", "E:\\資料"), 0);
    CIniFile again;
    again.Parse(ini.Serialize());
    QCOMPARE(again.Get("Spec", "SrcDir").value_or("-"), std::string("E:\\資料"));
}

void TestIniFile::longLinesDecodeAcrossPieces() {
    // Long lines are decoded in pieces; no character may break at a seam,
    // whether the pieces end at blanks or at bytes that are no CP932.
    const std::pair<std::string, std::string> units[] = {
        {kOmoteCp932 + " " + kSoCp932, "表 ソ"},
        {kOmoteCp932 + "\xFF" + kSoCp932, "表\uFFFDソ"},
        {"\x95\x95", "封"}};
    std::string raw = "[S]\r\nk=x";
    std::string expected = "x";
    for (const auto& [bytes, text] : units)
        for (int i = 0; i < 3000; ++i) {
            raw += bytes;
            expected += text;
        }
    raw += "\x95"; // a lone first byte at the very end
    expected += "\uFFFD";
    CIniFile ini;
    ini.Parse(raw);
    QCOMPARE(ini.Get("S", "k").value_or("-"), expected);
}

void TestIniFile::tenMegabyteFileReadsWhole() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    std::string big = "[Big]\r\n";
    for (int i = 0; big.size() < 10u * 1024u * 1024u; ++i)
        big += "Key" + std::to_string(i) + "=" + std::string(60, 'v') + "\r\n";
    big += "[Spec]\r\nSrcDir=E:\\Last\r\n";
    std::string path = Host(dir, "big.ini");
    QVERIFY(WriteBytes(QString::fromStdString(path), big));
    CIniFile ini;
    QCOMPARE(ini.Load(path), 0);
    QCOMPARE(ini.Get("Spec", "SrcDir").value_or("-"), std::string("E:\\Last"));
    QCOMPARE(ini.Get("Big", "Key0").value_or("-"), std::string(60, 'v'));
    QVERIFY(ini.Keys("Big").size() > 100000);
    // One line of 10 MB without a line end, every byte undecodable.
    CIniFile line;
    line.Parse("[Spec]\r\nSrcDir=" + std::string(10u * 1024u * 1024u, '\xFF'));
    QCOMPARE(line.Get("Spec", "SrcDir").value_or("").size(), size_t(10u * 1024u * 1024u) * 3);
}

void TestIniFile::loadRefusesWhatIsNotAFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CIniFile ini;
    QCOMPARE(ini.Load(Host(dir, "missing.ini")), ERROR_FILE_NOT_FOUND);
    QCOMPARE(ini.LineCount(), size_t(0));
    QVERIFY(QDir(dir.path()).mkdir("folder.ini"));
    QCOMPARE(ini.Load(Host(dir, "folder.ini")), ERROR_ACCESS_DENIED);
    QCOMPARE(ini.Load(Host(dir, "missing/x.ini")), ERROR_FILE_NOT_FOUND);
    // A pipe with no writer would block a plain read for ever.
    std::string fifo = Host(dir, "pipe.ini");
    QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
    QCOMPARE(ini.Load(fifo), ERROR_ACCESS_DENIED);
}

void TestIniFile::saveLeavesNoTemporaryAndKeepsMode() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = QString::fromStdString(Host(dir, "Daily.def"));
    QVERIFY(WriteBytes(path, "[Spec]\r\nSrcDir=a\r\n"));
    QFile::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path, mode));
    CIniFile ini;
    QCOMPARE(ini.Load(path.toStdString()), 0);
    QCOMPARE(ini.Set("Spec", "SrcDir", "b"), 0);
    QCOMPARE(ini.Save(path.toStdString()), 0);
    QCOMPARE(ReadBytes(path), std::string("[Spec]\r\nSrcDir=b\r\n"));
    QCOMPARE(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             mode);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"Daily.def"});
}

void TestIniFile::saveFollowsSymbolicLink() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir("real"));
    QString target = dir.filePath("real/Tidewell.Ini");
    QString link = dir.filePath("Tidewell.Ini");
    QVERIFY(WriteBytes(target, "[CopyInfo]\r\nUsedDef=Daily\r\n"));
    QVERIFY(QFile::link(target, link));
    CIniFile ini;
    QCOMPARE(ini.Load(link.toStdString()), 0);
    QCOMPARE(ini.Set("CopyInfo", "UsedDef", "資料"), 0);
    QCOMPARE(ini.Save(link.toStdString()), 0);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(ReadBytes(target), std::string("[CopyInfo]\r\nUsedDef=\x8E\x91\x97\xBF\r\n"));
}

void TestIniFile::failedSaveLeavesEverythingAsItWas() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    CIniFile ini;
    ini.Parse("[S]\r\nk=1\r\n");
    // The parent folder does not exist: nothing may appear anywhere.
    QVERIFY(ini.Save(Host(dir, "missing/a.ini")) != 0);
    // A non-empty folder of that name: the rename fails after the temporary
    // file was written; it must be gone and the folder untouched.
    QVERIFY(QDir(dir.path()).mkpath("taken.ini/inside"));
    QVERIFY(ini.Save(Host(dir, "taken.ini")) != 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"taken.ini"});
    QVERIFY(QFileInfo(dir.filePath("taken.ini/inside")).isDir());
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_IniFile.moc"
