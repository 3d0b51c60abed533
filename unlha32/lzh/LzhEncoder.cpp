#include "lzh/LzhEncoder.h"

#include "lzh/BlockSplitter.h"
#include "lzh/Crc16.h"
#include "lzh/OptimalParser.h"

#include <algorithm>

namespace unlha {

namespace {

// Blocks whose coded size is below this are padded out by splitting a match
// (only the last block of a multi-block stream needs it).
constexpr uint64_t kSmallestLastBlockBits = 128;

// Passes the input through while counting it and taking its CRC.
class CCountingSource : public IByteSource {
public:
    CCountingSource(IByteSource& inner, CEncodeStats& stats) : m_inner(inner), m_stats(stats) {}
    long Read(uint8_t* buffer, size_t size) override {
        long got = m_inner.Read(buffer, size);
        if (got > 0) {
            m_stats.nCrc = UpdateCrc16(m_stats.nCrc, buffer, static_cast<size_t>(got));
            m_stats.nInputBytes += static_cast<uint64_t>(got);
        }
        return got;
    }

private:
    IByteSource& m_inner;
    CEncodeStats& m_stats;
};

unsigned DicBitOf(int method) {
    return method == 5 ? 13u : method == 6 ? 15u : 16u;
}

} // namespace

CEncoderParams CEncoderParams::ForLevel(int level) {
    struct CLevel {
        bool bOptimal;
        unsigned nChain, nGood, nNice;
    };
    static constexpr CLevel kLevels[] = {
        {false, 4, 8, 16},  {false, 8, 8, 32},   {false, 32, 16, 64},
        {true, 8, 8, 16},   {true, 12, 8, 24},   {true, 24, 8, 32},
        {true, 48, 16, 64}, {true, 96, 32, 128}, {true, 256, 64, 256},
    };
    const CLevel& l = kLevels[(level >= 1 && level <= 9 ? level : kDefaultLevel) - 1];
    CEncoderParams p;
    p.bOptimal = l.bOptimal;
    p.nMaxChain = l.nChain;
    p.nGoodLength = l.nGood;
    p.nNiceLength = l.nNice;
    p.nMaxLazy = l.nNice;
    return p;
}

CLzhEncoder::CLzhEncoder(int method, const CEncoderParams& params)
    : m_nMethod(method), m_nDicBit(DicBitOf(method)),
      m_nPositionCodes(method == 5 ? 14u : m_nDicBit + 1),
      // Four blocks' worth is buffered, cut where the statistics change; one
      // block may hold all of it.
      m_nBufferSymbols(
          std::min<size_t>(4 * size_t{std::max(params.nBlockSymbols, 16u)}, kMaxBlockSymbols)),
      m_nSegment(std::max<size_t>(m_nBufferSymbols / 32, 1)), m_params(params),
      m_finder(m_nDicBit, params.nMaxChain, params.nNiceLength) {
    if (params.bOptimal)
        m_parser = std::make_unique<COptimalParser>(m_nPositionCodes, params.nNiceLength,
                                                    params.nGoodLength, params.nChunk);
}

CLzhEncoder::~CLzhEncoder() = default;

void CLzhEncoder::AddLiteral(uint8_t byte) {
    m_symbols.aCodes.push_back(byte);
}

void CLzhEncoder::AddMatch(unsigned length, unsigned distance) {
    m_symbols.aCodes.push_back(static_cast<uint16_t>(kLiteralCount + length - kMinMatch));
    m_symbols.aPositions.push_back(static_cast<uint16_t>(distance - 1));
}

bool CLzhEncoder::Drain(IByteSink& sink, CEncodeStats& stats) {
    size_t size = m_bits.Size();
    bool ok = size == 0 || sink.Write(m_bits.Data(), size);
    stats.nOutputBytes += size;
    m_bits.DropBytes();
    return ok;
}

// Splits the last match of 6 or more bytes into two at the same distance,
// which decodes to the same bytes but gives the block a second code.
void CLzhEncoder::KeepLastBlockLarge(size_t codeBegin, size_t posBegin) {
    auto& codes = m_symbols.aCodes;
    size_t matchIndex = posBegin;
    size_t found = codes.size(), foundPos = 0;
    for (size_t i = codeBegin; i < codes.size(); ++i) {
        if (codes[i] < kLiteralCount)
            continue;
        if (codes[i] >= kLiteralCount + 6 - kMinMatch) {
            found = i;
            foundPos = matchIndex;
        }
        ++matchIndex;
    }
    if (found == codes.size())
        return;
    codes[found] = static_cast<uint16_t>(codes[found] - 3);
    codes.insert(codes.begin() + static_cast<long>(found) + 1,
                 static_cast<uint16_t>(kLiteralCount));
    uint16_t p = m_symbols.aPositions[foundPos];
    m_symbols.aPositions.insert(m_symbols.aPositions.begin() + static_cast<long>(foundPos) + 1, p);
}

// A last block too small for some readers joins the block before it when
// the two fit in one.
void CLzhEncoder::JoinSmallLastBlock(std::vector<size_t>& ends) const {
    if (ends.size() < 2)
        return;
    size_t begin = ends[ends.size() - 2], end = ends.back();
    size_t before = ends.size() > 2 ? ends[ends.size() - 3] : 0;
    if (end - before > kMaxBlockSymbols)
        return;
    const auto& codes = m_symbols.aCodes;
    auto posBegin =
        static_cast<size_t>(std::count_if(codes.begin(), codes.begin() + static_cast<long>(begin),
                                          [](uint16_t c) { return c >= kLiteralCount; }));
    CBitWriter trial;
    WriteBlock(trial, m_symbols, begin, end, posBegin, m_nPositionCodes);
    if (trial.BitCount() < kSmallestLastBlockBits)
        ends.erase(ends.end() - 2);
}

// Writes the blocks that the splitter chooses for the buffered symbols. Until
// the final flush the last of them stays buffered, to grow with the symbols
// that follow, unless it is all there is.
void CLzhEncoder::FlushBlocks(bool final) {
    auto& codes = m_symbols.aCodes;
    if (codes.empty())
        return;
    std::vector<size_t> ends =
        ChooseBlockEnds(m_symbols, m_nPositionCodes, m_nSegment, m_nBufferSymbols);
    if (!final && ends.size() > 1)
        ends.pop_back();
    if (final)
        JoinSmallLastBlock(ends);
    size_t begin = 0, posBegin = 0;
    for (size_t i = 0; i < ends.size(); ++i) {
        size_t end = ends[i];
        if (final && i + 1 == ends.size() && m_bits.BitCount() > 0) {
            CBitWriter trial;
            WriteBlock(trial, m_symbols, begin, end, posBegin, m_nPositionCodes);
            if (trial.BitCount() < kSmallestLastBlockBits && end - begin < kMaxBlockSymbols) {
                KeepLastBlockLarge(begin, posBegin);
                end = codes.size();
            }
        }
        WriteBlock(m_bits, m_symbols, begin, end, posBegin, m_nPositionCodes);
        posBegin += static_cast<size_t>(std::count_if(
            codes.begin() + static_cast<long>(begin), codes.begin() + static_cast<long>(end),
            [](uint16_t c) { return c >= kLiteralCount; }));
        begin = end;
    }
    codes.erase(codes.begin(), codes.begin() + static_cast<long>(begin));
    m_symbols.aPositions.erase(m_symbols.aPositions.begin(),
                               m_symbols.aPositions.begin() + static_cast<long>(posBegin));
}

EEncodeResult CLzhEncoder::ParseLazy(IByteSource& source, IByteSink& sink, CEncodeStats& stats) {
    CMatchFinder& finder = m_finder;
    uint32_t pos = finder.Start();
    bool pending = false; // a literal or match candidate waits at pos - 1
    CMatch prev;
    for (;;) {
        if (!finder.Fill(source, pos))
            return EEncodeResult::ReadError;
        if (finder.Available(pos) == 0)
            break;
        CMatch cur;
        if (prev.nLength < m_params.nMaxLazy)
            cur = finder.InsertAndFind(pos, prev.nLength, m_params.nGoodLength);
        else
            finder.Insert(pos);
        if (cur.nLength == kMinMatch && cur.nDistance > m_params.nTooFarForThree)
            cur.nLength = 0;
        if (pending && prev.nLength >= kMinMatch && cur.nLength <= prev.nLength) {
            AddMatch(prev.nLength, prev.nDistance);
            uint32_t end = pos - 1 + prev.nLength;
            for (uint32_t q = pos + 1; q < end; ++q)
                finder.Insert(q);
            pos = end;
            pending = false;
            prev = CMatch{};
        } else {
            if (pending)
                AddLiteral(finder.ByteAt(pos - 1));
            pending = true;
            prev = cur;
            ++pos;
        }
        if (m_symbols.aCodes.size() >= m_nBufferSymbols) {
            FlushBlocks(false);
            if (!Drain(sink, stats))
                return EEncodeResult::SinkStopped;
        }
    }
    if (pending)
        AddLiteral(finder.ByteAt(pos - 1));
    return EEncodeResult::Done;
}

EEncodeResult CLzhEncoder::ParseOptimal(IByteSource& source, IByteSink& sink, CEncodeStats& stats) {
    uint32_t pos = m_finder.Start();
    for (;;) {
        bool readError = false;
        uint32_t next = m_parser->ParseChunk(m_finder, source, pos, m_symbols, readError);
        if (readError)
            return EEncodeResult::ReadError;
        if (next == pos)
            break;
        pos = next;
        if (m_symbols.aCodes.size() >= m_nBufferSymbols) {
            FlushBlocks(false);
            if (!Drain(sink, stats))
                return EEncodeResult::SinkStopped;
        }
    }
    return EEncodeResult::Done;
}

EEncodeResult CLzhEncoder::Encode(IByteSource& source, IByteSink& sink, CEncodeStats& stats) {
    stats = CEncodeStats{};
    CCountingSource counted(source, stats);
    m_symbols.Clear();
    m_bits.Reset();
    m_finder.Restart();
    EEncodeResult result =
        m_params.bOptimal ? ParseOptimal(counted, sink, stats) : ParseLazy(counted, sink, stats);
    if (result != EEncodeResult::Done)
        return result;
    FlushBlocks(true);
    m_bits.PadToByte();
    if (!Drain(sink, stats))
        return EEncodeResult::SinkStopped;
    return EEncodeResult::Done;
}

} // namespace unlha
