// Commands "a" and "u" through the library loaded from a folder with its
// "Tidewell.Ini", driven by response files like the archive run writes; its
// archives are read by lhasa, bsdtar and 7z (a missing reader fails the test).
#include "TestData.h"
#include "command/ArchiveUpdate.h"
#include "lha/UnLha32.h"
#include "lzh/ArchiveReader.h"
#include "lzh/ResultCodes.h"
#include "platform/Cp932.h"
#include "support/TempTree.h"

#include <QProcess>
#include <QTest>

using namespace unlha;

namespace {

QByteArray RunTool(const QString& program, const QStringList& args, int* rc = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    bool done = p.waitForStarted(10000) && p.waitForFinished(60000);
    if (rc)
        *rc = done && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAll();
}

} // namespace

class CArchiveUpdateTest : public QObject {
    Q_OBJECT

    // Writes the response file (CP932, CR LF; "|" between lines), calls Unlha
    // with "@" and its drive path and keeps the report in m_report.
    int Run(const QString& lines) {
        std::string text =
            Utf8ToCp932((QString(lines).replace('|', "\r\n") + "\r\n").toStdString()).value_or("?");
        std::vector<char> buffer(65535, '\x7F');
        CUnLha32 lha(m_libDir.filePath("libunlha32.so").toStdString());
        bool written = m_dst->AddFile("TDW1.tmp", text);
        int rc = written ? lha.CallUnlha(nullptr, "@D:\\TDW1.tmp", buffer.data(), 65535) : -1;
        QFile::remove(m_dst->HostPath("TDW1.tmp").c_str());
        m_report = Cp932ToUtf8(buffer.data());
        return rc;
    }
    QTemporaryDir m_libDir;
    std::unique_ptr<CTempTree> m_src, m_dst;
    std::string m_report;

private slots:
    void initTestCase() {
        QVERIFY(QFile::copy(LHA_REAL_LIBRARY, m_libDir.filePath("libunlha32.so")));
        QVERIFY(CUnLha32(LHA_REAL_LIBRARY).GetLhaVersion() >= 100); // major version 1 or later
    }
    void init() {
        m_src = std::make_unique<CTempTree>('S');
        m_dst = std::make_unique<CTempTree>('D');
        // The library's own drive map: its section in other case, blanks, LF and
        // CR LF lines; a relative value, a comment and another section map nothing.
        QString ini = QString("[ drives ]\n s = %1\r\nd=%2/\nD=rel\n;D=/no\n[Other]\nS=/no\n")
                          .arg(m_src->HostRoot().c_str(), m_dst->HostRoot().c_str());
        QVERIFY(WriteHostFile(m_libDir.filePath("Tidewell.Ini"), ini.toUtf8()));
    }

    void Pack_TreeIsReadByEveryReader_data() {
        QTest::addColumn<QString>("switches");
        QTest::newRow("default method") << QString("-x1 -r1");
        QTest::newRow("lh6") << QString("-x1 -r1 -lh6");
        QTest::newRow("lh7 run together") << QString("-x1 -r1-lh7");
    }
    void Pack_TreeIsReadByEveryReader() {
        QFETCH(QString, switches);
        std::vector<CTreeItem> tree = {
            {"Nested/Deeper/Deepest/Leaf.txt", "leaf\n"},
            {"Nested/Deeper/Empty/"},
            {"EmptyFolder/"},
            {"Empty.txt", ""},
            {"Random.bin", RandomBytes(40000, 1)},
            {"Mixed.bin", RandomBytes(65536, 2) + WordText(300000, 5)},
            {"Words.txt", WordText(300000, 4)},
            {".Hidden.txt", "hidden files are packed\n"},
            {std::string(218, 'L') + ".txt", "a header of exactly 256 bytes\n"},
            {"資料/表ソ.txt", "CP932 name with 0x5C trail bytes\n"},
            {"한국어/😀 smile.txt", "a name outside CP932, kept as UTF-8\n"},
            {".git/Config", "hidden folders are not entered\n"}};
        QVERIFY(m_src->Build(tree));
        QCOMPARE(Run("A|\"D:\\Packed.lzh\"|\"S:\\\"|\"*.*\"|" + switches), 0);
        QVERIFY(m_report.find("Words.txt") != std::string::npos);
        // A head of noise does not make a file stored: the text after it is compressed.
        std::vector<CArchiveMember> members;
        std::string detail;
        CMemoryAccess packed(m_dst->Bytes("Packed.lzh"));
        QCOMPARE(ReadArchiveMembers(packed, members, detail), 0);
        QVERIFY(std::any_of(members.begin(), members.end(), [](const CArchiveMember& m) {
            return m.strPath == "Mixed.bin" && m.nLength < 65536 + 300000 / 2;
        }));
        // "u" reads every header back, finds nothing newer and writes nothing.
        auto before = m_dst->Read();
        QCOMPARE(Run("U|\"D:\\Packed.lzh\"|\"S:\\\"|\"*.*\"|" + switches), 0);
        QVERIFY(m_dst->Read() == before);
        // lhasa and 7z test it; lhasa stops silently at a bad header, so it must
        // list every name (but the last three, which it shows otherwise).
        QString archive = QString::fromStdString(m_dst->HostPath("Packed.lzh"));
        int rc = -1;
        for (QString tool : {"lhasa", "7z"}) {
            QByteArray out = RunTool(tool, {"t", archive}, &rc);
            QVERIFY2(rc == 0, qPrintable(tool + ": " + out.right(400)));
        }
        QByteArray listing = RunTool("lhasa", {"l", archive});
        for (size_t i = 0; i + 3 < tree.size(); ++i)
            QVERIFY2(listing.contains(tree[i].path.c_str()), listing.constData());
        // Extracted, the tree is the source without the hidden folder.
        CTempTree out('X');
        RunTool("bsdtar", {"-xf", archive, "-C", out.HostRoot().c_str()}, &rc);
        QCOMPARE(rc, 0);
        QDir(m_src->HostPath(".git").c_str()).removeRecursively();
        QVERIFY(CTempTree::WithoutTimes(out.Read()) == CTempTree::WithoutTimes(m_src->Read()));
    }

    // "u" replaces a member only with a strictly newer file, "a" whatever the time;
    // names compare as on Windows; the packed folder's archive is not packed into itself.
    void Update_ReplacesByTimeAndNameAndSkipsItself() {
        const int64_t t = 1700000000;
        QVERIFY(m_src->Build({{"Newer.txt", "old newer\n", t},
                              {"Equal.txt", "old equal\n", t},
                              {"Older.txt", "old older\n", t},
                              {"Doc.txt", "first\n", t}}));
        const QString update = "U|\"S:\\Up.lzh\"|\"S:\\\"|\"*.*\"|-x1 -r1";
        QCOMPARE(Run(update), 0);
        std::string archive = m_src->HostPath("Up.lzh");
        QVERIFY(m_src->AddFile("Newer.txt", "new newer\n", t + 1));
        QVERIFY(m_src->AddFile("Equal.txt", "new equal\n", t));
        QVERIFY(m_src->AddFile("Older.txt", "new older\n", t - 10));
        QVERIFY(m_src->AddFile("Added.txt", "added\n", t - 100));
        QVERIFY(QFile::remove(m_src->HostPath("Doc.txt").c_str()));
        QVERIFY(m_src->AddFile("DOC.TXT", "second\n", t + 10));
        QCOMPARE(Run(update), 0);
        // In archive order: a replaced member keeps its place.
        QCOMPARE(RunTool("bsdtar", {"-xOf", archive.c_str()}),
                 QByteArray("second\nold equal\nnew newer\nold older\nadded\n"));
        // The stored time is the file's, to the second (7z shows local time: JST).
        QVERIFY(RunTool("7z", {"l", "-slt", archive.c_str()})
                    .contains("Modified = 2023-11-15 07:13:21"));
        QCOMPARE(Run("a|\"s:\\Up.lzh\"|\"S:\\\"|\"older.TXT\"|"), 0);
        QCOMPARE(RunTool("bsdtar", {"-xOf", archive.c_str()}),
                 QByteArray("second\nold equal\nnew newer\nnew older\nadded\n"));
    }

    void Refusals_LeaveEverythingAsItWas_data() {
        QTest::addColumn<QString>("lines");  // of the response file, "|" between
        QTest::addColumn<QString>("damage"); // after Keep.lzh was made: its header CRC, or a source
        QTest::addColumn<int>("code");
        QTest::addColumn<std::string>("mention"); // in the report
        auto row = [](const char* name, const char* lines, const char* damage, int code,
                      const char* mention) {
            QTest::newRow(name) << lines << damage << code << std::string(mention);
        };
        const char* add = "A|\"D:\\Keep.lzh\"|\"S:\\\"|\"*.*\"|-x1 -r1";
        row("header CRC", add, "crc", RESULT_HEADER_CHECKSUM, "Keep.lzh");
        // Lists as a regular file but fails when read: the run fails after the
        // other files went into the new archive.
        row("unreadable source", add, "source", RESULT_FILE_OPEN, "Z.bin");
        row("wildcard name", "U|D:\\*.LZH|S:\\|*.*|-x1 -r1", "", RESULT_NO_ARCHIVE_NAME, "*.LZH");
        row("empty automatic name", "U|D:\\|S:\\|*.*|", "", RESULT_NO_ARCHIVE_NAME, "");
        row("empty copy list", "A|D:\\A.lzh|-x1 -r1", "", RESULT_NAME_REQUIRED, "");
        row("nothing matches", "A|D:\\A.lzh|S:\\|*.none|", "", RESULT_NAME_REQUIRED, "");
        row("unmapped drive", "A|Q:\\A.lzh|S:\\|*.*|", "", RESULT_ARCHIVE_OPEN, "Q:");
        row("drive-relative path", "A|D:A.lzh|S:\\|*.*|", "", RESULT_ARCHIVE_OPEN, "D:A.lzh");
        row("pattern climbing out", "A|D:\\A.lzh|S:\\|..\\*.*|", "", RESULT_BAD_COMMAND, "");
    }
    // A refused or failed call leaves an existing archive as it was, creates
    // nothing (no literal "*.LZH") and leaves no temporary file.
    void Refusals_LeaveEverythingAsItWas() {
        QFETCH(QString, lines);
        QFETCH(QString, damage);
        QFETCH(int, code);
        QFETCH(std::string, mention);
        QVERIFY(m_src->Build({{"A.txt", WordText(20000, 4)}, {"B.txt", "b\n"}}));
        if (!damage.isEmpty()) {
            QCOMPARE(Run(lines), 0);
            std::string bytes = m_dst->Bytes("Keep.lzh");
            bytes[27] = static_cast<char>(bytes[27] ^ (damage == "crc" ? 0x5A : 0));
            QVERIFY(m_dst->AddFile("Keep.lzh", bytes));
            QVERIFY(damage == "crc" || m_src->AddSymlink("Z.bin", "/proc/self/mem"));
        }
        auto before = m_dst->Read();
        QCOMPARE(Run(lines), code);
        QVERIFY2(m_report.find(mention) < m_report.size(), m_report.c_str()); // and not empty
        QVERIFY(m_dst->Read() == before);
    }
};

QTEST_GUILESS_MAIN(CArchiveUpdateTest)
#include "tst_ArchiveUpdate.moc"
