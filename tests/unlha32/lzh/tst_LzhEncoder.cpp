// The compressed stream, read back by bsdtar (libarchive, a strict independent decoder), on
// data shaped to reach the format's edges: window, match length, blocks, code depth.
#include "BsdtarReadBack.h"
#include "TestData.h"
#include "lzh/Crc16.h"
#include "lzh/LzhEncoder.h"

#include <QTest>

#include <cstring>

using namespace unlha;

namespace {

// Feeds data in odd reads of at most 4093 bytes (the encoder refills); keeps the output.
struct CPipe : IByteSource, IByteSink {
    explicit CPipe(const std::string& data) : m_in(data) {}
    long Read(uint8_t* buffer, size_t size) override {
        size_t n = std::min({size, size_t{4093}, m_in.size() - m_nPos});
        std::memcpy(buffer, m_in.data() + m_nPos, n);
        m_nPos += n;
        return static_cast<long>(n);
    }
    bool Write(const uint8_t* data, size_t size) override {
        m_out.append(reinterpret_cast<const char*>(data), size);
        return true;
    }
    const std::string& m_in;
    std::string m_out;
    size_t m_nPos = 0;
};

} // namespace

class CLzhEncoderTest : public QObject {
    Q_OBJECT

private slots:
    void Encode_RoundTrip_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<bool>("optimal");
        QTest::addColumn<unsigned>("blockSymbols");
        QTest::addColumn<std::string>("data");
        // A random block repeated at exactly distance, random bytes between.
        auto repeatAt = [block = RandomBytes(64, 11)](size_t distance) {
            return block + RandomBytes(distance - block.size(), 12) + block;
        };
        // Byte counts following the Fibonacci numbers: a plain Huffman tree
        // over them is far deeper than 16.
        std::string fibonacci;
        for (uint32_t sym = 0, a = 1, b = 1; sym < 26; ++sym, b += a, a = b - a)
            fibonacci.append(a, static_cast<char>('A' + sym));
        std::shuffle(fibonacci.begin(), fibonacci.end(), std::mt19937(7));
        std::string at = RandomBytes(4000, 13); // "b" to "s" unused: a zero run of 18 lengths
        std::transform(at.begin(), at.end(), at.begin(), [](char c) { return c & 1 ? 'a' : 't'; });
        for (int method : {5, 6, 7}) {
            size_t window = size_t{1} << (method == 5 ? 13 : method == 6 ? 15 : 16);
            struct {
                const char* name;
                std::string data;
                unsigned block = 16384;
            } cases[] = {
                {"repeat ending within a hash", "abcdeabcdeabcd"},
                {"four-byte repeat", "abcdabcdab"},
                {"no matches at all", "abcdefghijklmnopqrstuvwxyz0123456789"},
                // Blocks cut where text turns to noise and back; the block left
                // over from each step must join the next symbols intact.
                {"text, noise, text",
                 WordText(30000, 6) + RandomBytes(30000, 7) + WordText(30000, 8), 256},
                {"100 KB of one byte", std::string(100000, 'z')},
                {"fibonacci byte counts", fibonacci},
                {"two letters 19 apart", at},
                {"text over 65535 symbols", WordText(400000, 2)},
                {"short tail after small blocks", WordText(20000, 4) + "tail", 64},
                // One match length at one distance: the last block would be a
                // few bytes with one-symbol tables unless a match is split.
                {"one symbol in the last block", std::string(1 + 256 * 200, '\0'), 16},
                {"run of 258", RandomBytes(50, 9) + std::string(258, 'q') + RandomBytes(50, 10)},
                {"repeat at window - 1", repeatAt(window - 1)},
                {"repeat at window", repeatAt(window)},
            };
            for (bool optimal : {false, true})
                for (const auto& c : cases)
                    QTest::addRow("lh%d %s %s", method, optimal ? "optimal" : "lazy", c.name)
                        << method << optimal << c.block << c.data;
        }
    }
    void Encode_RoundTrip() {
        QFETCH(int, method);
        QFETCH(bool, optimal);
        QFETCH(unsigned, blockSymbols);
        QFETCH(std::string, data);
        CEncoderParams params;
        params.bOptimal = optimal;
        params.nBlockSymbols = blockSymbols;
        params.nProbeBytes = 0; // the noise of some rows is to be coded
        CPipe pipe(data);
        CEncodeStats stats;
        QVERIFY(CLzhEncoder(method, params).Encode(pipe, pipe, stats) == EEncodeResult::Done);
        QVERIFY(stats.nInputBytes == data.size() && stats.nOutputBytes == pipe.m_out.size());
        QCOMPARE(stats.nCrc, Crc16(data.data(), data.size()));
        QVERIFY(ReadBack(pipe.m_out, method, data) == QByteArray::fromStdString(data));
    }

    // Only a head that compresses to nothing gives up (what follows it is not
    // looked at); the data of a file given up is not read to its end.
    void Encode_GivesUpOnIncompressibleHead_data() {
        QTest::addColumn<std::string>("data");
        QTest::addColumn<bool>("givesUp");
        QTest::newRow("noise") << RandomBytes(100000, 3) << true;
        QTest::newRow("noise, then text") << RandomBytes(40000, 3) + WordText(60000, 1) << true;
        QTest::newRow("text, then noise") << WordText(20000, 1) + RandomBytes(80000, 3) << false;
        QTest::newRow("noise of 32 KiB less 1") << RandomBytes(32767, 3) << false;
        // Each piece is new to the window, passed unsearched, then found
        // again: a pass that ran over positions with a match would leave
        // the copies as literals.
        std::string twice;
        for (unsigned seed = 20; seed < 25; ++seed)
            twice += RandomBytes(4000, seed) + RandomBytes(4000, seed);
        QTest::newRow("noise, each piece twice") << twice << false;
        // Eight letters in random order save 5 bits of 8 without a match.
        std::string letters = RandomBytes(100000, 5);
        for (char& c : letters)
            c = static_cast<char>('a' + (c & 7));
        QTest::newRow("letters") << letters << false;
    }
    void Encode_GivesUpOnIncompressibleHead() {
        QFETCH(std::string, data);
        QFETCH(bool, givesUp);
        for (int level : {1, 6}) {
            CPipe pipe(data);
            CEncodeStats stats;
            EEncodeResult r =
                CLzhEncoder(5, CEncoderParams::ForLevel(level)).Encode(pipe, pipe, stats);
            QCOMPARE(r, givesUp ? EEncodeResult::Incompressible : EEncodeResult::Done);
            QCOMPARE(pipe.m_nPos < data.size(), givesUp);
        }
    }
};

QTEST_GUILESS_MAIN(CLzhEncoderTest)
#include "tst_LzhEncoder.moc"
