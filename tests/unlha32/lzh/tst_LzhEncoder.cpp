// The compressed stream, decoded by an independent strict decoder (itself
// checked on streams of another implementation) on data shaped to reach the
// format's edges: window, match length, block boundaries, code depth.
#include "LhDecoder.h"
#include "TestData.h"
#include "lzh/Crc16.h"
#include "lzh/LzhEncoder.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <random>

using namespace unlha;

namespace {

class CStringSource : public IByteSource {
public:
    explicit CStringSource(const std::string& data, long failAfter = -1)
        : m_data(data), m_nFailAfter(failAfter) {}
    long Read(uint8_t* buffer, size_t size) override {
        if (m_nFailAfter >= 0 && m_nPos >= static_cast<size_t>(m_nFailAfter))
            return -1;
        size_t n = std::min({size, size_t{4093}, m_data.size() - m_nPos}); // odd reads refill
        std::memcpy(buffer, m_data.data() + m_nPos, n);
        m_nPos += n;
        return static_cast<long>(n);
    }

private:
    const std::string& m_data;
    long m_nFailAfter;
    size_t m_nPos = 0;
};

class CStringSink : public IByteSink {
public:
    explicit CStringSink(int refuseAt = -1) : m_nRefuseAt(refuseAt) {}
    bool Write(const uint8_t* data, size_t size) override {
        m_str.append(reinterpret_cast<const char*>(data), size);
        return ++m_nCalls != m_nRefuseAt;
    }
    std::string m_str;
    int m_nRefuseAt, m_nCalls = 0;
};

// Byte counts following the Fibonacci numbers: a plain Huffman tree over
// them is far deeper than 16.
std::string FibonacciBytes() {
    std::string s;
    for (uint32_t sym = 0, a = 1, b = 1; sym < 26; ++sym, b += a, a = b - a)
        s.append(a, static_cast<char>('A' + sym));
    std::shuffle(s.begin(), s.end(), std::mt19937(7));
    return s;
}

// A random block repeated at exactly distance, random bytes between.
std::string RepeatAtDistance(size_t distance) {
    std::string block = RandomBytes(64, 11);
    return block + RandomBytes(distance - block.size(), 12) + block;
}

} // namespace

class CLzhEncoderTest : public QObject {
    Q_OBJECT

private slots:
    void Decoder_ReadsReferenceStreams_data();
    void Decoder_ReadsReferenceStreams();
    void Encode_RoundTrip_data();
    void Encode_RoundTrip();
    void Encode_StopsOnSinkRefusalAndReadError();
};

void CLzhEncoderTest::Decoder_ReadsReferenceStreams_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QByteArray>("packedHex");
    QTest::addColumn<int>("crc");
    QByteArray hello = "hello hello hello hello hello hello hello hello\n";
    QTest::newRow("64 a, lh5") << 5 << QByteArray(64, 'a') << QByteArray("0002200433D136634010")
                               << 0x4D55;
    QTest::newRow("hello, lh5") << 5 << hello
                                << QByteArray("000832696A4F9E40323082C1C254501D819F50") << 0x14A1;
    QTest::newRow("hello, lh7") << 7 << hello
                                << QByteArray("000832696A4F9E40323082C1C25450076067D4") << 0x14A1;
}

void CLzhEncoderTest::Decoder_ReadsReferenceStreams() {
    QFETCH(int, method);
    QFETCH(QByteArray, original);
    QFETCH(QByteArray, packedHex);
    QFETCH(int, crc);
    std::string out, packed = Hex(packedHex.constData());
    QCOMPARE(LhDecode(packed, method, static_cast<size_t>(original.size()), out), std::string());
    QCOMPARE(QByteArray::fromStdString(out), original);
    QCOMPARE(int(Crc16(out.data(), out.size())), crc);
    packed.pop_back(); // and notices a stream cut short
    QVERIFY(!LhDecode(packed, method, static_cast<size_t>(original.size()), out).empty());
}

void CLzhEncoderTest::Encode_RoundTrip_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("optimal");
    QTest::addColumn<unsigned>("blockSymbols");
    QTest::addColumn<std::string>("data");
    QTest::addColumn<size_t>("farthest"); // the farthest distance used; 0: any
    QTest::addColumn<size_t>("longest");  // the longest match used; 0: any
    QFile gpl("/usr/share/common-licenses/GPL-3");
    std::string licence =
        gpl.open(QIODevice::ReadOnly) ? gpl.readAll().toStdString() : WordText(35000, 1);
    for (int method : {5, 6, 7}) {
        size_t window = size_t{1} << (method == 5 ? 13 : method == 6 ? 15 : 16);
        struct {
            const char* name;
            std::string data;
            unsigned block;
            size_t farthest, longest;
        } cases[] = {
            {"one byte", "x", 16384, 0, 0},
            {"repeat ending within a hash", "abcdeabcdeabcd", 16384, 0, 0},
            {"four-byte repeat", "abcdabcdab", 16384, 0, 0},
            {"no matches at all", "abcdefghijklmnopqrstuvwxyz0123456789", 16384, 0, 0},
            // Blocks cut where text turns to noise and back; the block left
            // over from each step must join the next symbols intact.
            {"text, noise, text", WordText(30000, 6) + RandomBytes(30000, 7) + WordText(30000, 8),
             256, 0, 0},
            {"licence text", licence, 16384, 0, 0},
            {"100 KB of one byte", std::string(100000, 'z'), 16384, 0, 256},
            {"fibonacci byte counts", FibonacciBytes(), 16384, 0, 0},
            {"text over 65535 symbols", WordText(400000, 2), 16384, 0, 0},
            {"short tail after small blocks", WordText(20000, 4) + "tail", 64, 0, 0},
            // One match length at one distance: the last block would be a
            // few bytes with one-symbol tables unless a match is split.
            {"one symbol in the last block", std::string(1 + 256 * 200, '\0'), 16, 0, 0},
            {"run of 258", RandomBytes(50, 9) + std::string(258, 'q') + RandomBytes(50, 10), 16384,
             0, 256},
            {"repeat at window - 1", RepeatAtDistance(window - 1), 16384, window - 1, 0},
            // At the window size a distance is representable but some
            // decoders keep only window bytes; the decoder refuses it.
            {"repeat at window", RepeatAtDistance(window), 16384, 0, 0},
        };
        for (bool optimal : {false, true})
            for (const auto& c : cases)
                QTest::addRow("lh%d %s %s", method, optimal ? "optimal" : "lazy", c.name)
                    << method << optimal << c.block << c.data << c.farthest << c.longest;
    }
}

void CLzhEncoderTest::Encode_RoundTrip() {
    QFETCH(int, method);
    QFETCH(bool, optimal);
    QFETCH(unsigned, blockSymbols);
    QFETCH(std::string, data);
    QFETCH(size_t, farthest);
    QFETCH(size_t, longest);
    CEncoderParams params;
    params.bOptimal = optimal;
    params.nBlockSymbols = blockSymbols;
    CStringSource source(data);
    CStringSink sink;
    CEncodeStats stats;
    QVERIFY(CLzhEncoder(method, params).Encode(source, sink, stats) == EEncodeResult::Done);
    QCOMPARE(stats.nInputBytes, uint64_t{data.size()});
    QCOMPARE(stats.nOutputBytes, uint64_t{sink.m_str.size()});
    QCOMPARE(stats.nCrc, Crc16(data.data(), data.size()));
    std::string out;
    CLhDecodeInfo info;
    QCOMPARE(LhDecode(sink.m_str, method, data.size(), out, &info), std::string());
    QVERIFY(out == data);
    QVERIFY(farthest == 0 || info.nFarthestDistance == farthest);
    QVERIFY(longest == 0 || info.nLongestMatch == longest);
    QVERIFY(blockSymbols >= 1000 || data.size() < 10000 || info.nBlocks > 2);
}

void CLzhEncoderTest::Encode_StopsOnSinkRefusalAndReadError() {
    std::string data = RandomBytes(200000, 1);
    CEncoderParams params;
    params.nBlockSymbols = 64;
    CStringSource source(data), failing(data, 4093);
    CStringSink refusing(2), sink;
    CEncodeStats stats;
    QVERIFY(CLzhEncoder(5, params).Encode(source, refusing, stats) == EEncodeResult::SinkStopped);
    QCOMPARE(refusing.m_nCalls, 2);
    QVERIFY(CLzhEncoder(6).Encode(failing, sink, stats) == EEncodeResult::ReadError);
}

QTEST_GUILESS_MAIN(CLzhEncoderTest)
#include "tst_LzhEncoder.moc"
