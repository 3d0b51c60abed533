// The compressed stream, decoded by an independent strict decoder (itself
// checked on streams of another implementation) on data shaped to reach the
// format's edges: window, match length, block boundaries, code depth.
#include "LhDecoder.h"
#include "TestData.h"
#include "lzh/Crc16.h"
#include "lzh/LzhEncoder.h"

#include <QFile>
#include <QTest>

#include <cstring>

using namespace unlha;

namespace {

// Reads at most 4093 bytes a call (odd reads refill); fails from failAt on.
struct CStringSource : IByteSource {
    CStringSource(const std::string& data, size_t failAt = SIZE_MAX)
        : m_data(data), m_nFailAt(failAt) {}
    long Read(uint8_t* buffer, size_t size) override {
        size_t n = std::min({size, size_t{4093}, m_data.size() - m_nPos});
        std::memcpy(buffer, m_data.data() + m_nPos, n);
        m_nPos += n;
        return m_nPos - n >= m_nFailAt ? -1 : static_cast<long>(n);
    }
    const std::string& m_data;
    size_t m_nFailAt, m_nPos = 0;
};

// Keeps what it gets; refuses the call numbered refuseAt.
struct CStringSink : IByteSink {
    bool Write(const uint8_t* data, size_t size) override {
        m_str.append(reinterpret_cast<const char*>(data), size);
        return ++m_nCalls != m_nRefuseAt;
    }
    std::string m_str;
    int m_nRefuseAt = -1, m_nCalls = 0;
};

// A random block repeated at exactly distance, random bytes between.
std::string RepeatAtDistance(size_t distance) {
    std::string block = RandomBytes(64, 11);
    return block + RandomBytes(distance - block.size(), 12) + block;
}

} // namespace

class CLzhEncoderTest : public QObject {
    Q_OBJECT

private slots:
    void Decoder_ReadsReferenceStreams() {
        const std::string hello = "hello hello hello hello hello hello hello hello\n";
        const struct {
            int method;
            std::string original;
            const char* packed;
            uint16_t crc;
        } streams[] = {{5, std::string(64, 'a'), "0002200433D136634010", 0x4D55},
                       {5, hello, "000832696A4F9E40323082C1C254501D819F50", 0x14A1},
                       {7, hello, "000832696A4F9E40323082C1C25450076067D4", 0x14A1}};
        for (const auto& s : streams) {
            std::string out, packed = Hex(s.packed);
            QCOMPARE(CLhDecoder(packed, s.method).Decode(s.original.size(), out), std::string());
            QVERIFY(out == s.original && Crc16(out.data(), out.size()) == s.crc);
            packed.pop_back(); // and notices a stream cut short
            QVERIFY(!CLhDecoder(packed, s.method).Decode(s.original.size(), out).empty());
        }
    }

    void Encode_RoundTrip_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<bool>("optimal");
        QTest::addColumn<unsigned>("blockSymbols");
        QTest::addColumn<std::string>("data");
        QTest::addColumn<size_t>("farthest"); // the farthest distance used; 0: any
        QTest::addColumn<size_t>("longest");  // the longest match used; 0: any
        QFile gpl("/usr/share/common-licenses/GPL-3");
        std::string licence =
            gpl.open(QIODevice::ReadOnly) ? gpl.readAll().toStdString() : WordText(35000, 1);
        // Byte counts following the Fibonacci numbers: a plain Huffman tree
        // over them is far deeper than 16.
        std::string fibonacci;
        for (uint32_t sym = 0, a = 1, b = 1; sym < 26; ++sym, b += a, a = b - a)
            fibonacci.append(a, static_cast<char>('A' + sym));
        std::shuffle(fibonacci.begin(), fibonacci.end(), std::mt19937(7));
        for (int method : {5, 6, 7}) {
            size_t window = size_t{1} << (method == 5 ? 13 : method == 6 ? 15 : 16);
            struct {
                const char* name;
                std::string data;
                unsigned block = 16384;
                size_t farthest = 0, longest = 0;
            } cases[] = {
                {"one byte", "x"},
                {"repeat ending within a hash", "abcdeabcdeabcd"},
                {"four-byte repeat", "abcdabcdab"},
                {"no matches at all", "abcdefghijklmnopqrstuvwxyz0123456789"},
                // Blocks cut where text turns to noise and back; the block left
                // over from each step must join the next symbols intact.
                {"text, noise, text",
                 WordText(30000, 6) + RandomBytes(30000, 7) + WordText(30000, 8), 256},
                {"licence text", licence},
                {"100 KB of one byte", std::string(100000, 'z'), 16384, 0, 256},
                {"fibonacci byte counts", fibonacci},
                {"text over 65535 symbols", WordText(400000, 2)},
                {"short tail after small blocks", WordText(20000, 4) + "tail", 64},
                // One match length at one distance: the last block would be a
                // few bytes with one-symbol tables unless a match is split.
                {"one symbol in the last block", std::string(1 + 256 * 200, '\0'), 16},
                {"run of 258", RandomBytes(50, 9) + std::string(258, 'q') + RandomBytes(50, 10),
                 16384, 0, 256},
                {"repeat at window - 1", RepeatAtDistance(window - 1), 16384, window - 1},
                // At the window size a distance is representable but some
                // decoders keep only window bytes; the decoder refuses it.
                {"repeat at window", RepeatAtDistance(window)},
            };
            for (bool optimal : {false, true})
                for (const auto& c : cases)
                    QTest::addRow("lh%d %s %s", method, optimal ? "optimal" : "lazy", c.name)
                        << method << optimal << c.block << c.data << c.farthest << c.longest;
        }
    }
    void Encode_RoundTrip() {
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
        QVERIFY(stats.nInputBytes == data.size() && stats.nOutputBytes == sink.m_str.size());
        QCOMPARE(stats.nCrc, Crc16(data.data(), data.size()));
        std::string out;
        CLhDecoder decoder(sink.m_str, method);
        QCOMPARE(decoder.Decode(data.size(), out), std::string());
        QVERIFY(out == data);
        QVERIFY(farthest == 0 || decoder.nFarthestDistance == farthest);
        QVERIFY(longest == 0 || decoder.nLongestMatch == longest);
        QVERIFY(blockSymbols >= 1000 || data.size() < 10000 || decoder.nBlocks > 2);
    }

    void Encode_StopsOnSinkRefusalAndReadError() {
        std::string data = RandomBytes(200000, 1);
        CEncoderParams params;
        params.nBlockSymbols = 64;
        CStringSource source(data), failing(data, 4093);
        CStringSink refusing, sink;
        refusing.m_nRefuseAt = 2;
        CEncodeStats stats;
        QVERIFY(CLzhEncoder(5, params).Encode(source, refusing, stats) ==
                EEncodeResult::SinkStopped);
        QCOMPARE(refusing.m_nCalls, 2);
        QVERIFY(CLzhEncoder(6).Encode(failing, sink, stats) == EEncodeResult::ReadError);
    }
};

QTEST_GUILESS_MAIN(CLzhEncoderTest)
#include "tst_LzhEncoder.moc"
