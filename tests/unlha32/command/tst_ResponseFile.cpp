// Response files: CP932 as the program writes them, or UTF-8 when they
// start with a byte-order mark or read only as UTF-8.
#include "command/CommandLine.h"
#include "lzh/CodePage.h"
#include "support/HostFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace unlha;

class CResponseFileTest : public QObject {
    Q_OBJECT

private slots:
    void Parse_ReadsTheFilesEncoding_data();
    void Parse_ReadsTheFilesEncoding();
};

void CResponseFileTest::Parse_ReadsTheFilesEncoding_data() {
    QTest::addColumn<QByteArray>("bytes"); // before the lines of the folder and pattern
    QTest::addColumn<QString>("archive");  // or the result code
    const QByteArray photo = "\xE5\x86\x99\xE7\x9C\x9F.lzh"; // 写真 in UTF-8: valid CP932 too
    QTest::newRow("CP932") << QByteArray(Utf8ToCp932("u\r\n\"D:\\写真.lzh\"").value().c_str())
                           << "D:\\写真.lzh";
    QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBFu\r\nD:\\" + photo << "D:\\写真.lzh";
    QTest::newRow("UTF-8 only") << QByteArray("a\nD:\\テスト😀.lzh") << "D:\\テスト😀.lzh";
    QTest::newRow("neither") << QByteArray("a\nD:\\\xFF\xFE.lzh") << "802a";
    QTest::newRow("mark, then CP932") << QByteArray("\xEF\xBB\xBF"
                                                    "a\n\x95\x5C")
                                      << "802a";
}

void CResponseFileTest::Parse_ReadsTheFilesEncoding() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, archive);
    QTemporaryDir dir;
    QVERIFY(WriteHostFile(dir.filePath("TDW1.tmp"), bytes + "\r\nC:\\src\\\r\n*.*\r\n"));
    CDriveTable drives;
    CCommand command;
    CReport report;
    int rc =
        ParseCommandLine("@" + dir.filePath("TDW1.tmp").toStdString(), drives, command, report);
    QCOMPARE(rc != 0 ? QString::number(rc, 16) : QString::fromStdString(command.strArchive),
             archive);
    QCOMPARE(command.aSpecs.size(), size_t(rc == 0 ? 1 : 0));
}

QTEST_GUILESS_MAIN(CResponseFileTest)
#include "tst_ResponseFile.moc"
