// The compressed stream: CRC-16, length-limited Huffman codes, and the
// encoder checked by an independent strict decoder on data shaped to reach
// the format's edges.
#include "LhDecoder.h"
#include "lzh/BlockSplitter.h"
#include "lzh/Crc16.h"
#include "lzh/Huffman.h"
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
    explicit CStringSource(const std::string& data, size_t step = 1 << 20)
        : m_data(data), m_nStep(step) {}
    long Read(uint8_t* buffer, size_t size) override {
        size_t n = std::min({size, m_nStep, m_data.size() - m_nPos});
        std::memcpy(buffer, m_data.data() + m_nPos, n);
        m_nPos += n;
        return static_cast<long>(n);
    }

private:
    const std::string& m_data;
    size_t m_nStep;
    size_t m_nPos = 0;
};

class CStringSink : public IByteSink {
public:
    bool Write(const uint8_t* data, size_t size) override {
        m_str.append(reinterpret_cast<const char*>(data), size);
        return true;
    }
    std::string m_str;
};

std::string FromHex(const char* hex) {
    return QByteArray::fromHex(hex).toStdString();
}

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(size, '\0');
    for (char& c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

// Words from a small vocabulary: text-like, compressible, many symbols.
std::string WordText(size_t size, unsigned seed) {
    static const char* words[] = {"the", "archive",     "folder",  "copy",  "setting",
                                  "of",  "and",         "file",    "is",    "written",
                                  "to",  "destination", "newer",   "a",     "\n",
                                  "run", "list",        "pattern", "drive", "log"};
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < size) {
        s += words[rng() % 20];
        s += ' ';
    }
    s.resize(size);
    return s;
}

// Byte counts following the Fibonacci numbers, shuffled: a plain Huffman
// tree over them is far deeper than 16.
std::string FibonacciBytes() {
    std::string s;
    uint32_t a = 1, b = 1;
    for (int sym = 0; sym < 26; ++sym) {
        s.append(a, static_cast<char>('A' + sym));
        uint32_t next = a + b;
        a = b;
        b = next;
    }
    std::mt19937 rng(7);
    std::shuffle(s.begin(), s.end(), rng);
    return s;
}

unsigned WindowOf(int method) {
    return 1u << (method == 5 ? 13 : method == 6 ? 15 : 16);
}

// Repeats a random block at exactly the given distance, with random bytes
// between, so the only long match lies at that distance.
std::string RepeatAtDistance(size_t distance) {
    std::string block = RandomBytes(64, 11);
    return block + RandomBytes(distance - block.size(), 12) + block;
}

struct CEncoded {
    std::string packed;
    CEncodeStats stats;
    EEncodeResult result;
};

CEncoded Encode(const std::string& data, int method, const CEncoderParams& params) {
    CLzhEncoder encoder(method, params);
    CStringSource source(data, 4093); // odd reads exercise the refill
    CStringSink sink;
    CEncoded e;
    e.result = encoder.Encode(source, sink, e.stats);
    e.packed = sink.m_str;
    return e;
}

} // namespace

class CLzhStreamTest : public QObject {
    Q_OBJECT

private slots:
    void Crc16_KnownAnswers_data();
    void Crc16_KnownAnswers();
    void Decoder_ReadsReferenceStreams_data();
    void Decoder_ReadsReferenceStreams();
    void Huffman_LimitsLengthsAndStaysComplete_data();
    void Huffman_LimitsLengthsAndStaysComplete();
    void Huffman_CanonicalCodesArePrefixFree();
    void Encoder_RoundTrip_data();
    void Encoder_RoundTrip();
    void Encoder_UsesTheFarthestLegalDistance_data();
    void Encoder_UsesTheFarthestLegalDistance();
    void Encoder_NeverReachesBeyondTheWindow_data();
    void Encoder_NeverReachesBeyondTheWindow();
    void Encoder_LongestMatchIs256();
    void Encoder_StopsWhenTheSinkRefuses();
    void Encoder_ReportsReadErrors();
    void Splitter_CutsWhereStatisticsChange();
    void Splitter_KeepsBlocksWithinTheLimit();
};

void CLzhStreamTest::Crc16_KnownAnswers_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("crc");
    QTest::newRow("empty") << QByteArray() << 0x0000;
    QTest::newRow("a") << QByteArray("a") << 0xE8C1;
    QTest::newRow("check string") << QByteArray("123456789") << 0xBB3D;
    QTest::newRow("hello world") << QByteArray("hello world\n") << 0x9778;
}

void CLzhStreamTest::Crc16_KnownAnswers() {
    QFETCH(QByteArray, data);
    QFETCH(int, crc);
    QCOMPARE(static_cast<int>(Crc16(data.constData(), static_cast<size_t>(data.size()))), crc);
    // Fed in two pieces, the CRC must be the same.
    qsizetype half = data.size() / 2;
    uint16_t split = UpdateCrc16(Crc16(data.constData(), static_cast<size_t>(half)),
                                 data.constData() + half, static_cast<size_t>(data.size() - half));
    QCOMPARE(static_cast<int>(split), crc);
}

// Streams made by another LZH implementation (format note, section 4.10).
void CLzhStreamTest::Decoder_ReadsReferenceStreams_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<QByteArray>("original");
    QTest::addColumn<QByteArray>("packedHex");
    QTest::addColumn<int>("crc");
    QByteArray abc = QByteArray("abc").repeated(16) + "\n";
    abc = abc.repeated(2);
    QByteArray hello = "hello hello hello hello hello hello hello hello\n";
    QTest::newRow("64 a, lh5") << 5 << QByteArray(64, 'a')
                               << QByteArray("000220043 3D13663 4010").replace(" ", "") << 0x4D55;
    QTest::newRow("abc, lh5")
        << 5 << abc << QByteArray("0006306D465F9DC84AEB2603804006 8E27C0").replace(" ", "")
        << 0x404A;
    QTest::newRow("hello, lh5")
        << 5 << hello << QByteArray("000832696A4F9E403230 82C1C254501D819F50").replace(" ", "")
        << 0x14A1;
    QTest::newRow("abc, lh7")
        << 7 << abc << QByteArray("0006306D465F9DC84AEB2601C0200347 13E0").replace(" ", "")
        << 0x404A;
    QTest::newRow("hello, lh7")
        << 7 << hello << QByteArray("000832696A4F9E40323082C1C2545007 6067D4").replace(" ", "")
        << 0x14A1;
}

void CLzhStreamTest::Decoder_ReadsReferenceStreams() {
    QFETCH(int, method);
    QFETCH(QByteArray, original);
    QFETCH(QByteArray, packedHex);
    QFETCH(int, crc);
    std::string out;
    QCOMPARE(
        LhDecode(FromHex(packedHex.constData()), method, static_cast<size_t>(original.size()), out),
        std::string());
    QCOMPARE(QByteArray::fromStdString(out), original);
    QCOMPARE(static_cast<int>(Crc16(out.data(), out.size())), crc);
    // The decoder must notice a stream cut short.
    std::string cut = FromHex(packedHex.constData());
    cut.pop_back();
    QVERIFY(!LhDecode(cut, method, static_cast<size_t>(original.size()), out).empty());
}

void CLzhStreamTest::Huffman_LimitsLengthsAndStaysComplete_data() {
    QTest::addColumn<std::vector<uint32_t>>("freq");
    std::vector<uint32_t> fib = {1, 1};
    while (fib.size() < 30)
        fib.push_back(fib[fib.size() - 1] + fib[fib.size() - 2]);
    QTest::newRow("fibonacci 30") << fib;
    std::vector<uint32_t> skewed(510, 0);
    for (size_t i = 0; i < 510; i += 3)
        skewed[i] = i < 40 ? (1u << (i / 3)) : 1;
    QTest::newRow("powers of two and ones") << skewed;
    std::mt19937 rng(3);
    std::vector<uint32_t> random(510);
    for (auto& f : random)
        f = static_cast<uint32_t>(rng() % 1000);
    QTest::newRow("random") << random;
    QTest::newRow("two symbols") << std::vector<uint32_t>{0, 5, 0, 9};
    QTest::newRow("all equal") << std::vector<uint32_t>(19, 4);
}

void CLzhStreamTest::Huffman_LimitsLengthsAndStaysComplete() {
    QFETCH(std::vector<uint32_t>, freq);
    std::vector<uint8_t> lengths;
    unsigned used = MakeCodeLengths(freq, lengths);
    QCOMPARE(lengths.size(), freq.size());
    uint64_t kraft = 0;
    unsigned counted = 0;
    for (size_t s = 0; s < freq.size(); ++s) {
        QCOMPARE(lengths[s] == 0, freq[s] == 0);
        QVERIFY(lengths[s] <= 16);
        if (lengths[s] != 0) {
            kraft += uint64_t{1} << (16 - lengths[s]);
            ++counted;
        }
        // A more frequent symbol never gets a longer code.
        for (size_t t = 0; t < freq.size(); ++t)
            if (freq[s] > freq[t] && freq[t] != 0)
                QVERIFY(lengths[s] <= lengths[t]);
    }
    QCOMPARE(used, counted);
    QCOMPARE(kraft, uint64_t{1} << 16);
}

void CLzhStreamTest::Huffman_CanonicalCodesArePrefixFree() {
    std::vector<uint32_t> freq = {5, 9, 12, 13, 16, 45, 0, 1, 1, 2};
    std::vector<uint8_t> lengths;
    MakeCodeLengths(freq, lengths);
    std::vector<uint16_t> codes = MakeCanonicalCodes(lengths);
    for (size_t a = 0; a < codes.size(); ++a) {
        for (size_t b = 0; b < codes.size(); ++b) {
            if (a == b || lengths[a] == 0 || lengths[b] == 0 || lengths[a] > lengths[b])
                continue;
            // a's code must not be a prefix of b's code.
            QVERIFY(codes[b] >> (lengths[b] - lengths[a]) != codes[a] ||
                    (lengths[a] == lengths[b] && codes[a] != codes[b]));
        }
    }
    // Shorter codes come first: with the same length, symbol order.
    QVERIFY(lengths[5] <= lengths[0]);
}

void CLzhStreamTest::Encoder_RoundTrip_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("optimal");
    QTest::addColumn<unsigned>("blockSymbols");
    QTest::addColumn<std::string>("data");
    QFile gpl("/usr/share/common-licenses/GPL-3");
    std::string licence =
        gpl.open(QIODevice::ReadOnly) ? gpl.readAll().toStdString() : WordText(35000, 1);
    struct CCase {
        const char* name;
        std::string data;
        unsigned block;
    };
    std::vector<CCase> cases = {
        {"one byte", "x", 16384},
        {"64 same bytes", std::string(64, 'a'), 16384},
        // Repeats that end within the bytes a position's hash reads.
        {"short repeat ending early", "abcdeabcdeabcd", 16384},
        {"four-byte repeat", "abcdabcdab", 16384},
        // Blocks are cut where text turns to noise and back; the block
        // left over from each step must join the next symbols intact.
        {"text, noise, text", WordText(30000, 6) + RandomBytes(30000, 7) + WordText(30000, 8), 256},
        {"licence text", licence, 16384},
        {"100 KB of one byte", std::string(100000, 'z'), 16384},
        {"random", RandomBytes(20000, 5), 16384},
        {"fibonacci byte counts", FibonacciBytes(), 16384},
        {"text over 65535 symbols", WordText(400000, 2), 16384},
        {"many small blocks", WordText(60000, 3), 64},
        {"short tail after blocks", WordText(20000, 4) + "tail", 128},
        // All matches of one length at one distance: the last block would
        // be a few bytes with one-symbol tables unless a match is split.
        {"one symbol in the last block", std::string(1 + 256 * 200, '\0'), 16},
        {"no matches at all", std::string("abcdefghijklmnopqrstuvwxyz0123456789"), 16384},
    };
    for (int method : {5, 6, 7})
        for (bool optimal : {false, true})
            for (const CCase& c : cases)
                QTest::newRow(qPrintable(
                    QString("lh%1 %2 %3").arg(method).arg(optimal ? "optimal" : "lazy", c.name)))
                    << method << optimal << c.block << c.data;
}

void CLzhStreamTest::Encoder_RoundTrip() {
    QFETCH(int, method);
    QFETCH(bool, optimal);
    QFETCH(unsigned, blockSymbols);
    QFETCH(std::string, data);
    CEncoderParams params;
    params.bOptimal = optimal;
    params.nBlockSymbols = blockSymbols;
    CEncoded e = Encode(data, method, params);
    QVERIFY(e.result == EEncodeResult::Done);
    QCOMPARE(e.stats.nInputBytes, static_cast<uint64_t>(data.size()));
    QCOMPARE(e.stats.nOutputBytes, static_cast<uint64_t>(e.packed.size()));
    QCOMPARE(e.stats.nCrc, Crc16(data.data(), data.size()));
    std::string out;
    CLhDecodeInfo info;
    QCOMPARE(LhDecode(e.packed, method, data.size(), out, &info), std::string());
    QVERIFY(out == data);
    if (blockSymbols < 1000 && data.size() > 10000)
        QVERIFY(info.nBlocks > 2);
}

void CLzhStreamTest::Encoder_UsesTheFarthestLegalDistance_data() {
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("optimal");
    for (int method : {5, 6, 7})
        for (bool optimal : {false, true})
            QTest::newRow(qPrintable(QString("lh%1 %2").arg(method).arg(optimal)))
                << method << optimal;
}

void CLzhStreamTest::Encoder_UsesTheFarthestLegalDistance() {
    QFETCH(int, method);
    QFETCH(bool, optimal);
    std::string data = RepeatAtDistance(WindowOf(method) - 1);
    CEncoderParams params;
    params.bOptimal = optimal;
    CEncoded e = Encode(data, method, params);
    std::string out;
    CLhDecodeInfo info;
    QCOMPARE(LhDecode(e.packed, method, data.size(), out, &info), std::string());
    QVERIFY(out == data);
    QCOMPARE(info.nFarthestDistance, static_cast<size_t>(WindowOf(method) - 1));
}

void CLzhStreamTest::Encoder_NeverReachesBeyondTheWindow_data() {
    Encoder_UsesTheFarthestLegalDistance_data();
}

// At exactly the window size a distance is representable but not taken
// (some decoders keep only window bytes); beyond it, it cannot be coded.
void CLzhStreamTest::Encoder_NeverReachesBeyondTheWindow() {
    QFETCH(int, method);
    QFETCH(bool, optimal);
    CEncoderParams params;
    params.bOptimal = optimal;
    for (unsigned distance : {WindowOf(method), WindowOf(method) + 1}) {
        std::string data = RepeatAtDistance(distance);
        CEncoded e = Encode(data, method, params);
        std::string out;
        CLhDecodeInfo info;
        QCOMPARE(LhDecode(e.packed, method, data.size(), out, &info), std::string());
        QVERIFY(out == data);
        QVERIFY(info.nFarthestDistance < WindowOf(method));
    }
}

void CLzhStreamTest::Encoder_LongestMatchIs256() {
    // 257 and more equal bytes: the run must be cut into matches of at most
    // 256 (the longest length code).
    for (size_t run : {size_t{256 + 1}, size_t{257 + 1}, size_t{600}}) {
        std::string data = RandomBytes(50, 9) + std::string(run, 'q') + RandomBytes(50, 10);
        CEncoded e = Encode(data, 5, CEncoderParams());
        std::string out;
        CLhDecodeInfo info;
        QCOMPARE(LhDecode(e.packed, 5, data.size(), out, &info), std::string());
        QVERIFY(out == data);
        QCOMPARE(info.nLongestMatch, size_t{256});
    }
}

void CLzhStreamTest::Encoder_StopsWhenTheSinkRefuses() {
    class CRefusingSink : public IByteSink {
    public:
        bool Write(const uint8_t*, size_t) override { return ++m_nCalls < 2; }
        int m_nCalls = 0;
    } sink;
    CEncoderParams params;
    params.nBlockSymbols = 64;
    CLzhEncoder encoder(5, params);
    std::string data = RandomBytes(200000, 1);
    CStringSource source(data);
    CEncodeStats stats;
    QVERIFY(encoder.Encode(source, sink, stats) == EEncodeResult::SinkStopped);
    QCOMPARE(sink.m_nCalls, 2);
}

void CLzhStreamTest::Encoder_ReportsReadErrors() {
    class CFailingSource : public IByteSource {
    public:
        long Read(uint8_t* buffer, size_t size) override {
            if (m_nCalls++ > 0)
                return -1;
            std::memset(buffer, 'a', std::min<size_t>(size, 1000));
            return 1000;
        }
        int m_nCalls = 0;
    } source;
    CLzhEncoder encoder(6);
    CStringSink sink;
    CEncodeStats stats;
    QVERIFY(encoder.Encode(source, sink, stats) == EEncodeResult::ReadError);
}

namespace {

// Literal codes drawn from alphabet, count of them.
void AddLiterals(CBlockSymbols& symbols, const std::string& alphabet, size_t count, unsigned seed) {
    std::mt19937 rng(seed);
    for (size_t i = 0; i < count; ++i)
        symbols.aCodes.push_back(static_cast<uint8_t>(alphabet[rng() % alphabet.size()]));
}

} // namespace

void CLzhStreamTest::Splitter_CutsWhereStatisticsChange() {
    // Two halves with disjoint alphabets: one block for both would need
    // every code in one table and a longer code for each symbol.
    CBlockSymbols symbols;
    AddLiterals(symbols, "abcd", 8192, 1);
    AddLiterals(symbols, "WXYZ", 8192, 2);
    std::vector<size_t> ends = ChooseBlockEnds(symbols, 14, 512, 65024);
    QVERIFY(!ends.empty());
    QCOMPARE(ends.back(), symbols.aCodes.size());
    QVERIFY(std::find(ends.begin(), ends.end(), size_t{8192}) != ends.end());
    // Even statistics throughout: cutting would only add tables.
    CBlockSymbols even;
    AddLiterals(even, "abcd", 16384, 3);
    QCOMPARE(ChooseBlockEnds(even, 14, 512, 65024), std::vector<size_t>{16384});
    QVERIFY(ChooseBlockEnds(CBlockSymbols(), 14, 512, 65024).empty());
}

void CLzhStreamTest::Splitter_KeepsBlocksWithinTheLimit() {
    CBlockSymbols symbols;
    AddLiterals(symbols, "abcd", 10000, 4);
    for (unsigned i = 0; i < 1000; ++i) { // matches, with their positions
        symbols.aCodes.push_back(static_cast<uint16_t>(kLiteralCount + i % 20));
        symbols.aPositions.push_back(static_cast<uint16_t>(i * 7 % 8191));
    }
    AddLiterals(symbols, "abcd", 2345, 5);
    std::vector<size_t> ends = ChooseBlockEnds(symbols, 14, 100, 1000);
    QVERIFY(!ends.empty());
    QCOMPARE(ends.back(), symbols.aCodes.size());
    size_t begin = 0;
    for (size_t end : ends) {
        QVERIFY(end > begin);
        QVERIFY(end - begin <= 1000);
        QCOMPARE(begin % 100, size_t{0});
        begin = end;
    }
}

QTEST_GUILESS_MAIN(CLzhStreamTest)
#include "LzhStreamTest.moc"
