// Compression levels: every level, one encoder for a run of files (as an
// archive uses it), each stream decoded alone by the strict decoder; the
// switches that choose a level, and the ones refused.
#include "BsdtarReadBack.h"
#include "StringSource.h"
#include "TestData.h"
#include "command/CommandLine.h"
#include "lzh/Crc16.h"
#include "lzh/LzhEncoder.h"
#include "lzh/ResultCodes.h"

#include <QTest>

using namespace unlha;

namespace {

class CStringSink : public IByteSink {
public:
    bool Write(const uint8_t* data, size_t size) override {
        m_str.append(reinterpret_cast<const char*>(data), size);
        return true;
    }
    std::string m_str;
};

} // namespace

class CEncoderLevelsTest : public QObject {
    Q_OBJECT

private slots:
    void Levels_StreamsStandAlone_data();
    void Levels_StreamsStandAlone();
    void Levels_Switch_data();
    void Levels_Switch();
};

void CEncoderLevelsTest::Levels_StreamsStandAlone_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("level");
    for (int method : {5, 7})
        for (int level = 1; level <= 9; ++level)
            QTest::addRow("lh%d level %d", method, level) << method << level;
}

void CEncoderLevelsTest::Levels_StreamsStandAlone() {
    QFETCH(int, method);
    QFETCH(int, level);
    // A file again right after itself must not refer back into it; noise
    // long enough to thin the search must not hide the text after it.
    std::string text = WordText(30000, 1);
    const std::string files[] = {text, RandomBytes(70000, 2) + text, text, "x",
                                 std::string(5000, 'a')};
    CEncoderParams params = CEncoderParams::ForLevel(level),
                   fastParams = CEncoderParams::ForLevel(1);
    params.nProbeBytes = fastParams.nProbeBytes = 0; // the noise is to be coded
    CLzhEncoder encoder(method, params), fast(method, fastParams);
    for (const std::string& file : files) {
        CStringSource source(file);
        CStringSink sink;
        CEncodeStats stats;
        QVERIFY(encoder.Encode(source, sink, stats) == EEncodeResult::Done);
        QCOMPARE(stats.nCrc, Crc16(file.data(), file.size()));
        if (file.size() >= 8) // bsdtar refuses shorter streams, which the library stores
            QCOMPARE(ReadBack(sink.m_str, method, file), QByteArray::fromStdString(file));
        if (file.size() > 1000) // the noise's text compresses as the text alone
            QVERIFY(sink.m_str.size() < file.size() - text.size() / 2);
        CStringSource again(file);
        CStringSink fastSink;
        fast.Encode(again, fastSink, stats);
        QVERIFY(sink.m_str.size() <= fastSink.m_str.size() + fastSink.m_str.size() / 100);
    }
}

void CEncoderLevelsTest::Levels_Switch_data() {
    QTest::addColumn<QString>("switches");
    QTest::addColumn<int>("level"); // or the result code
    QTest::newRow("none: the default") << "-x1 -r1" << 0;
    QTest::newRow("fastest") << "-l1" << 1;
    QTest::newRow("smallest, with others") << "-x1-r1-lh7-l9" << 9;
    QTest::newRow("last one counts, upper case") << "-l2 -L5" << 5;
    QTest::newRow("zero") << "-l0" << int(RESULT_BAD_COMMAND);
    QTest::newRow("ten") << "-l10" << int(RESULT_BAD_COMMAND);
    QTest::newRow("no digit") << "-l" << int(RESULT_BAD_COMMAND);
    QTest::newRow("letter") << "-lx" << int(RESULT_BAD_COMMAND);
}

void CEncoderLevelsTest::Levels_Switch() {
    QFETCH(QString, switches);
    QFETCH(int, level);
    CCommand command;
    CReport report;
    int rc = ParseCommandLine("a x.lzh C:\\src\\ " + switches.toStdString(), CDriveTable(), command,
                              report);
    QCOMPARE(rc != 0 ? rc : command.nLevel, level);
    QCOMPARE(report.Text().find(switches.split(' ').last().toStdString().substr(0, 3)) !=
                 std::string::npos,
             rc != 0);
}

QTEST_GUILESS_MAIN(CEncoderLevelsTest)
#include "tst_EncoderLevels.moc"
