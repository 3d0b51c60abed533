#include "lzh/LzhEncoder.h"

#include "lzh/BlockSplitter.h"
#include "lzh/Crc16.h"
#include "lzh/Huffman.h"
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

CLzhEncoder::CLzhEncoder(int method, const CEncoderParams& params)
    : m_nMethod(method), m_nDicBit(DicBitOf(method)),
      m_nPositionCodes(method == 5 ? 14u : m_nDicBit + 1),
      // Four blocks' worth is buffered, cut where the statistics change; one
      // block may hold all of it.
      m_nBufferSymbols(
          std::min<size_t>(4 * size_t{std::max(params.nBlockSymbols, 16u)}, kMaxBlockSymbols)),
      m_nSegment(std::max<size_t>(m_nBufferSymbols / 32, 1)), m_params(params),
      m_finder(m_nDicBit, params.nMaxChain, params.nNiceLength), m_prices(m_nPositionCodes) {
    if (params.bOptimal)
        m_parser = std::make_unique<COptimalParser>(m_nPositionCodes, params);
}

CLzhEncoder::~CLzhEncoder() = default;

void CLzhEncoder::AddLiteral(uint8_t byte) {
    m_symbols.AddLiteral(byte);
}

void CLzhEncoder::AddMatch(unsigned length, unsigned distance) {
    m_symbols.AddMatch(length, distance);
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
    m_symbols.ForgetCounts();
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
        // The last block of all takes the remaining positions: no count.
        posBegin = end == codes.size()
                       ? m_symbols.aPositions.size()
                       : posBegin + static_cast<size_t>(std::count_if(
                                        codes.begin() + static_cast<long>(begin),
                                        codes.begin() + static_cast<long>(end),
                                        [](uint16_t c) { return c >= kLiteralCount; }));
        begin = end;
    }
    if (begin == codes.size()) {
        m_symbols.Clear();
        return;
    }
    codes.erase(codes.begin(), codes.begin() + static_cast<long>(begin));
    m_symbols.aPositions.erase(m_symbols.aPositions.begin(),
                               m_symbols.aPositions.begin() + static_cast<long>(posBegin));
    m_symbols.ForgetCounts();
}

bool CLzhEncoder::Probe(uint32_t pos) {
    uint32_t taken = pos - m_finder.Start();
    m_nProbeAt = ~0u;
    uint32_t freq[kLiteralCount] = {};
    uint64_t covered = 0, matches = 0;
    for (uint16_t code : m_symbols.aCodes) {
        if (code < kLiteralCount) {
            ++freq[code];
        } else {
            covered += code - kLiteralCount + kMinMatch;
            ++matches;
        }
    }
    uint64_t literals = m_symbols.aCodes.size() - matches;
    if (literals + covered != taken) // blocks were written already: too late
        return false;
    // A match at 20 bits is cheaper than most; the tables are left out: the
    // estimate errs towards compressing.
    uint64_t bits = matches * 20 + CodedBits(freq, kLiteralCount);
    // Less than a thousandth saved is nothing.
    return bits + taken / 128 >= uint64_t{8} * taken;
}

// The match of the largest saving among those found at a position: what
// its bytes would cost as literals (at the average literal price) less its
// price. nLength 0 when none saves anything.
inline CLzhEncoder::CScored CLzhEncoder::BestOf(const CMatch* found, unsigned n,
                                                uint32_t at) const {
    // The literal prices of the bytes the matches cover, summed as far as
    // the longest reaches.
    CScored best;
    int32_t literals = 0;
    unsigned counted = 0;
    const uint8_t* bytes = m_finder.DataAt(at);
    auto price = [&](unsigned i) {
        return static_cast<int32_t>(m_prices.Literal(bytes[i]));
    };
    for (unsigned k = 0; k < n; ++k) {
        unsigned length = found[k].nLength;
        for (; counted + 4 <= length; counted += 4) // four at a time: less loop overhead
            literals +=
                price(counted) + price(counted + 1) + price(counted + 2) + price(counted + 3);
        for (; counted < length; ++counted)
            literals += price(counted);
        int32_t saving =
            literals - static_cast<int32_t>(m_prices.Match(found[k].nLength, found[k].nDistance));
        if (saving > best.nSaving)
            best = CScored{found[k], saving};
    }
    return best;
}

// Greedy with a look one position ahead, by price: the best match here is
// taken unless a literal followed by the best match at the next position
// saves more, by more than a bit.
EEncodeResult CLzhEncoder::ParseLazy(IByteSource& source, IByteSink& sink, CEncodeStats& stats) {
    constexpr unsigned kMaxCandidates = 16;
    constexpr int32_t kLiteralFirstBias = CPrices::kScale; // one bit
    CMatchFinder& finder = m_finder;
    CMatch found[kMaxCandidates];
    uint32_t pos = finder.Start();
    size_t learntCodes = m_symbols.aCodes.size(), learntPositions = m_symbols.aPositions.size();
    CScored here;          // the best match at pos, when haveHere
    bool haveHere = false; // pos was searched already (as the next position)
    uint32_t misses = 0;   // positions searched in a row without a match
    // Below these neither a price update, a block choice, reading, the end
    // of input nor the probe is due: the checks are skipped.
    size_t symbolsDue = 0;
    uint32_t posDue = 0;
    for (;;) {
        // Positions are compared modulo 2^32: they may pass it in a long
        // call.
        if (m_symbols.aCodes.size() >= symbolsDue || static_cast<int32_t>(pos - posDue) >= 0) {
            if (m_symbols.aCodes.size() - learntCodes >= kLearnEvery) {
                m_prices.Learn(m_symbols, learntCodes, learntPositions);
                learntCodes = m_symbols.aCodes.size();
                learntPositions = m_symbols.aPositions.size();
            }
            if (m_symbols.aCodes.size() >= m_nBufferSymbols) {
                size_t codesBefore = m_symbols.aCodes.size(),
                       positionsBefore = m_symbols.aPositions.size();
                FlushBlocks(false);
                learntCodes -= codesBefore - m_symbols.aCodes.size();
                learntPositions -= positionsBefore - m_symbols.aPositions.size();
                if (!Drain(sink, stats))
                    return EEncodeResult::SinkStopped;
            }
            if (!finder.Fill(source, pos))
                return EEncodeResult::ReadError;
            if (finder.Available(pos) == 0)
                break;
            if (GiveUp(pos))
                return EEncodeResult::Incompressible;
            symbolsDue = std::min(learntCodes + kLearnEvery, m_nBufferSymbols);
            posDue = finder.AtEnd() ? finder.End() : finder.End() - CMatchFinder::kLookahead + 1;
            uint32_t probe = finder.Start() + m_nProbeAt;
            if (m_nProbeAt != ~0u && static_cast<int32_t>(probe - posDue) < 0)
                posDue = probe;
        }
        if (!haveHere && misses >= 2) {
            // Where no match can start, literals follow one another without
            // a search, up to the next price update, block choice, read or
            // probe: tried after a search found nothing, as runs of them
            // come together.
            auto count = static_cast<uint32_t>(
                std::min<size_t>(symbolsDue - m_symbols.aCodes.size(), posDue - pos));
            uint32_t taken = finder.InsertUnmatched(pos, count);
            if (taken != 0) {
                m_symbols.AddLiterals(finder.DataAt(pos), taken);
                misses += taken;
                pos += taken;
                continue;
            }
        }
        bool passed = !haveHere && SkipInNoise(misses);
        if (passed)
            finder.Insert(pos);
        if (!haveHere && !passed) {
            unsigned n = finder.InsertAndFindAll(pos, found, kMaxCandidates);
            misses = n > 0 ? 0 : misses + 1;
            here = BestOf(found, n, pos);
        }
        haveHere = false;
        if (passed || here.match.nLength == 0) {
            AddLiteral(finder.ByteAt(pos++));
        } else {
            CScored next;
            if (here.match.nLength < m_params.nMaxLazy && finder.Available(pos + 1) > 0) {
                // A shorter match there cannot save more than the one here.
                unsigned n = finder.InsertAndFindAll(pos + 1, found, kMaxCandidates,
                                                     here.match.nLength > m_params.nGoodLength,
                                                     here.match.nLength - 1);
                next = BestOf(found, n, pos + 1);
                haveHere = true;
            }
            // The literal first is one symbol more: it must save a bit more.
            if (next.nSaving > here.nSaving + kLiteralFirstBias) {
                AddLiteral(finder.ByteAt(pos++));
                here = next;
            } else {
                AddMatch(here.match.nLength, here.match.nDistance);
                uint32_t end = pos + here.match.nLength;
                finder.InsertRange(pos + (haveHere ? 2 : 1), end);
                pos = end;
                haveHere = false;
            }
        }
    }
    m_prices.Learn(m_symbols, learntCodes, learntPositions); // for the next file
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
        if (GiveUp(pos))
            return EEncodeResult::Incompressible;
        if (m_symbols.aCodes.size() >= m_nBufferSymbols) {
            FlushBlocks(false);
            if (!Drain(sink, stats))
                return EEncodeResult::SinkStopped;
        }
    }
    return EEncodeResult::Done;
}

EEncodeResult CLzhEncoder::Encode(IByteSource& source, IByteSink& sink, CEncodeStats& stats,
                                  bool mayGiveUp) {
    stats = CEncodeStats{};
    CCountingSource counted(source, stats);
    m_symbols.Clear();
    m_bits.Reset();
    m_finder.Restart();
    m_nProbeAt = mayGiveUp && m_params.nProbeBytes != 0 ? m_params.nProbeBytes : ~0u;
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
