#include "editor/toolkit/cDIBStandardCompressors.h"

#include "editor/toolkit/EDIBError.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <stdexcept>

namespace orvo
{

namespace
{

// Coder parameters (LZHUF, 1988).
constexpr int RingSize = 4096;
constexpr int RingMask = RingSize - 1;
constexpr int Lookahead = 60;                            // longest match
constexpr int Threshold = 2;                             // a match must be longer than this
constexpr int RingStart = RingSize - Lookahead;          // first written ring position, 4036
constexpr int SymbolCount = 256 - Threshold + Lookahead; // 314: bytes, then lengths 3..60
constexpr int NodeCount = SymbolCount * 2 - 1;           // 627 tree positions
constexpr int Root = NodeCount - 1;                      // 626
constexpr std::uint16_t RebuildCount = 0x8000;
constexpr std::uint8_t Blank = 0x20;

// Position field: code length and left-aligned code of the upper 6 distance bits.
constexpr std::array<std::uint8_t, 64> PositionCodeLength{
    3, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
constexpr std::array<std::uint8_t, 64> PositionCode{
    0x00, 0x20, 0x30, 0x40, 0x50, 0x58, 0x60, 0x68, 0x70, 0x78, 0x80, 0x88, 0x90, 0x94, 0x98, 0x9C,
    0xA0, 0xA4, 0xA8, 0xAC, 0xB0, 0xB4, 0xB8, 0xBC, 0xC0, 0xC2, 0xC4, 0xC6, 0xC8, 0xCA, 0xCC, 0xCE,
    0xD0, 0xD2, 0xD4, 0xD6, 0xD8, 0xDA, 0xDC, 0xDE, 0xE0, 0xE2, 0xE4, 0xE6, 0xE8, 0xEA, 0xEC, 0xEE,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};

// The decoding tables follow from the coding ones: every byte whose leading bits equal an
// upper value's code maps to that value and its code length.
struct TPositionDecodeTables
{
    std::array<std::uint8_t, 256> Upper{};
    std::array<std::uint8_t, 256> Length{};
};
constexpr TPositionDecodeTables MakePositionDecodeTables()
{
    TPositionDecodeTables tables;
    for (int u = 0; u < 64; ++u)
    {
        const int first = PositionCode[u];
        const int count = 1 << (8 - PositionCodeLength[u]);
        for (int b = first; b < first + count; ++b)
        {
            tables.Upper[b] = static_cast<std::uint8_t>(u);
            tables.Length[b] = PositionCodeLength[u];
        }
    }
    return tables;
}
constexpr TPositionDecodeTables PositionDecode = MakePositionDecodeTables();

/// The adaptive Huffman tree of 314 symbols, kept in ascending order of count (sibling
/// property). son[p] >= NodeCount marks the leaf of symbol son[p] - NodeCount; otherwise
/// the children sit at son[p] and son[p] + 1. parent[p] is a node's parent position and
/// parent[NodeCount + s] the position of symbol s's leaf.
class TAdaptiveTree
{
  public:
    TAdaptiveTree()
    {
        for (int s = 0; s < SymbolCount; ++s)
        {
            freq[s] = 1;
            son[s] = static_cast<std::uint16_t>(s + NodeCount);
            parent[s + NodeCount] = static_cast<std::uint16_t>(s);
        }
        for (int i = 0, j = SymbolCount; j <= Root; i += 2, ++j)
        {
            freq[j] = static_cast<std::uint16_t>(freq[i] + freq[i + 1]);
            son[j] = static_cast<std::uint16_t>(i);
            parent[i] = parent[i + 1] = static_cast<std::uint16_t>(j);
        }
        freq[NodeCount] = 0xFFFF; // sentinel that stops every search for a higher position
        parent[Root] = 0;
    }

    std::uint16_t LeafOf(int symbol) const { return parent[symbol + NodeCount]; }
    std::uint16_t Parent(int position) const { return parent[position]; }

    /// Counts one more `symbol` and restores the sibling property. The rebuild check comes
    /// first: a symbol that brings the root to 0x8000 is followed by one more symbol coded
    /// with the same tree, whose update rebuilds before counting.
    void Update(int symbol)
    {
        if (freq[Root] == RebuildCount)
        {
            Rebuild();
        }
        CountFrom(parent[symbol + NodeCount]);
    }

    /// Reads one symbol's code from `bits` (root first, a 1 bit selects the odd child) and
    /// updates the tree as Update does. The first PrefixBits bits are looked up in a table
    /// of the tree's top levels; only longer codes walk on bit by bit.
    template <typename TBits> int Decode(TBits& bits)
    {
        if (prefixTableStale)
        {
            BuildPrefixTable();
        }
        const std::uint32_t prefix = bits.Peek(PrefixBits);
        bits.Skip(prefixLength[prefix]);
        int node = son[prefixPosition[prefix]];
        while (node < NodeCount)
        {
            node = son[node + static_cast<int>(bits.Bit())];
        }
        const int symbol = node - NodeCount;
        Update(symbol);
        return symbol;
    }

  private:
    /// The prefix table: for every value of the next PrefixBits bits, the position that
    /// the walk from the root reaches after prefixLength of them (at a leaf, or after all
    /// PrefixBits). It reads son[] of the internal nodes of the top PrefixBits levels only,
    /// so it stays right until one of those nodes is exchanged or the tree is rebuilt;
    /// then it is built again before the next symbol.
    static constexpr int PrefixBits = 6;

    void BuildPrefixTable()
    {
        ++topGeneration;
        FillPrefixTable(Root, 0, 0);
        prefixTableStale = false;
    }

    void FillPrefixTable(int position, int depth, std::uint32_t prefix)
    {
        if (depth == PrefixBits || son[position] >= NodeCount)
        {
            const std::uint32_t first = prefix << (PrefixBits - depth);
            const std::uint32_t count = 1u << (PrefixBits - depth);
            for (std::uint32_t v = first; v < first + count; ++v)
            {
                prefixPosition[v] = static_cast<std::uint16_t>(position);
                prefixLength[v] = static_cast<std::uint8_t>(depth);
            }
            return;
        }
        topMark[position] = topGeneration;
        const int child = son[position];
        FillPrefixTable(child, depth + 1, prefix << 1);
        FillPrefixTable(child + 1, depth + 1, (prefix << 1) | 1u);
    }

    bool InPrefixTable(int position) const { return topMark[position] == topGeneration; }

    /// Adds 1 to the count at position c (not 0) and at each ancestor up to the root,
    /// moving a node up past the nodes it now outnumbers.
    void CountFrom(int c)
    {
        do
        {
            const std::uint16_t k = ++freq[c];
            if (k > freq[c + 1])
            {
                c = Exchange(c, k);
            }
            c = parent[c];
        } while (c != 0);
    }

    /// The node at c has just been raised to count k, above its right neighbour's. Moves it
    /// to the highest position l whose count is still below k, exchanging it with the node
    /// there (parents belong to positions, so only the two subtrees' links change), and
    /// returns l.
    int Exchange(int c, std::uint16_t k)
    {
        // Counts ascend, so a binary search finds the same l as a scan. Runs of equal
        // counts are mostly short and scanned; a long one (many symbols with the same count)
        // is searched.
        constexpr int ScanLimit = 16;
        int l = c + 1;
        int scanned = 0;
        while (k > freq[l + 1] && scanned < ScanLimit)
        {
            ++l;
            ++scanned;
        }
        if (scanned == ScanLimit)
        {
            l = static_cast<int>(std::lower_bound(&freq[l + 1], &freq[NodeCount], k) - &freq[0]) -
                1;
        }
        freq[c] = freq[l];
        freq[l] = k;
        if (InPrefixTable(c) || InPrefixTable(l))
        {
            prefixTableStale = true;
        }

        const int i = son[c];
        parent[i] = static_cast<std::uint16_t>(l);
        if (i < NodeCount)
        {
            parent[i + 1] = static_cast<std::uint16_t>(l);
        }
        const int j = son[l];
        son[l] = static_cast<std::uint16_t>(i);
        parent[j] = static_cast<std::uint16_t>(c);
        if (j < NodeCount)
        {
            parent[j + 1] = static_cast<std::uint16_t>(c);
        }
        son[c] = static_cast<std::uint16_t>(j);
        return l;
    }

    /// Halves every leaf's count (rounding up) and builds the internal nodes afresh.
    void Rebuild()
    {
        prefixTableStale = true;
        int j = 0;
        for (int i = 0; i < NodeCount; ++i)
        {
            if (son[i] >= NodeCount)
            {
                freq[j] = static_cast<std::uint16_t>((freq[i] + 1) / 2);
                son[j] = son[i];
                ++j;
            }
        }
        for (int i = 0, node = SymbolCount; node < NodeCount; i += 2, ++node)
        {
            const std::uint16_t f = static_cast<std::uint16_t>(freq[i] + freq[i + 1]);
            int k = node - 1;
            while (f < freq[k])
            {
                --k;
            }
            ++k;
            // Shift whole elements k .. node - 1 up by one to make room at k.
            std::copy_backward(&freq[k], &freq[node], &freq[node + 1]);
            std::copy_backward(&son[k], &son[node], &son[node + 1]);
            freq[k] = f;
            son[k] = static_cast<std::uint16_t>(i);
        }
        for (int p = 0; p < NodeCount; ++p)
        {
            const int k = son[p];
            parent[k] = static_cast<std::uint16_t>(p);
            if (k < NodeCount)
            {
                parent[k + 1] = static_cast<std::uint16_t>(p);
            }
        }
    }

    std::array<std::uint16_t, NodeCount + 1> freq{};
    std::array<std::uint16_t, NodeCount> son{};
    std::array<std::uint16_t, NodeCount + SymbolCount> parent{};

    std::array<std::uint16_t, 1u << PrefixBits> prefixPosition{};
    std::array<std::uint8_t, 1u << PrefixBits> prefixLength{};
    std::array<std::uint32_t, NodeCount> topMark{}; // == topGeneration: read by the table
    std::uint32_t topGeneration = 0;
    bool prefixTableStale = true;
};

// ---------------------------------------------------------------------------------------
// Decoder

/// MSB-first bit reader over a byte span; bits beyond the end read as zeros.
class TBitReader
{
  public:
    explicit TBitReader(std::span<const std::uint8_t> bytes)
        : next(bytes.data()), end(bytes.data() + bytes.size())
    {
    }

    /// Makes at least 57 bits available (the buffer is filled byte by byte from the top).
    void Refill()
    {
        while (count <= 56)
        {
            std::uint64_t byte = 0;
            if (next < end)
            {
                byte = *next++;
            }
            else
            {
                ++padding;
            }
            buffer |= byte << (56 - count);
            count += 8;
        }
    }

    /// Whether a bit beyond the end of the bytes has been consumed (not merely peeked at):
    /// the zero bytes fed in past the end are the last ones in the buffer.
    bool PastEnd() const { return padding * 8 > static_cast<std::size_t>(count); }

    unsigned Bit()
    {
        if (count == 0)
        {
            Refill();
        }
        const unsigned bit = static_cast<unsigned>(buffer >> 63);
        buffer <<= 1;
        --count;
        return bit;
    }

    /// The next `n` bits (1..32) without consuming them; needs Refill first.
    std::uint32_t Peek(int n) const { return static_cast<std::uint32_t>(buffer >> (64 - n)); }
    void Skip(int n)
    {
        buffer <<= n;
        count -= n;
    }

  private:
    const std::uint8_t* next;
    const std::uint8_t* end;
    std::uint64_t buffer = 0;
    int count = 0;
    std::size_t padding = 0; // zero bytes fed in past the end
};

struct TDecoder
{
    TAdaptiveTree Tree;
};

/// Copies a match of `length` bytes to `to` from `period` bytes back, byte by byte in
/// effect: where the match overlaps itself it repeats the last `period` bytes. With room
/// for 8 more bytes after the match it copies whole 8-byte words, which may write up to 7
/// bytes past the match (later output overwrites them).
void CopyMatch(std::uint8_t* to, std::size_t period, std::size_t length, std::size_t room)
{
    constexpr std::size_t Word = 8;
    const std::uint8_t* from = to - period;
    if (room < length + Word)
    {
        for (std::size_t k = 0; k < length; ++k)
        {
            to[k] = from[k];
        }
        return;
    }
    // The copy is periodic, so any multiple of the period reaches an equal byte once the
    // first bytes are in place: take the smallest multiple of at least one word.
    const std::size_t stride = period >= Word ? period : (Word + period - 1) / period * period;
    std::size_t k = 0;
    for (; k < stride - period && k < length; ++k)
    {
        to[k] = from[k];
    }
    const std::uint8_t* strideBack = to - stride;
    for (; k < length; k += Word)
    {
        std::memcpy(to + k, strideBack + k, Word);
    }
}

/// Decodes into output and returns the bytes produced; `*complete` becomes the bytes
/// produced before the first symbol that needed bits beyond the end of the stream (all of
/// them when none did).
std::size_t DecodeStream(TDecoder& decoder, std::span<const std::uint8_t> stream,
                         std::span<std::uint8_t> output, std::size_t* complete)
{
    const std::size_t stated = LZHStatedLength(stream);
    const std::size_t wanted = std::min(stated, output.size());
    if (wanted == 0)
    {
        return 0;
    }
    TAdaptiveTree& tree = decoder.Tree;
    TBitReader bits(stream.size() > 4 ? stream.subspan(4) : std::span<const std::uint8_t>());
    std::uint8_t* const out = output.data();
    std::size_t produced = 0;
    std::size_t symbolStart = 0; // produced when the last symbol began
    *complete = SIZE_MAX;
    const auto notePastEnd = [&]
    {
        if (*complete == SIZE_MAX && bits.PastEnd())
        {
            *complete = symbolStart;
        }
    };

    while (produced < wanted)
    {
        notePastEnd();
        symbolStart = produced;
        bits.Refill();
        const int symbol = tree.Decode(bits);

        if (symbol < 256)
        {
            out[produced++] = static_cast<std::uint8_t>(symbol);
            continue;
        }

        // Position field: 8 bits select the upper 6 bits of the distance and the prefix
        // length L; the field is L + 6 bits long and its last 6 bits are the lower part.
        bits.Refill();
        const std::uint32_t field = bits.Peek(14);
        const int leading = static_cast<int>(field >> 6);
        const int prefixLength = PositionDecode.Length[leading];
        const std::uint32_t lower = (field >> (8 - prefixLength)) & 0x3F;
        bits.Skip(prefixLength + 6);
        const std::size_t distance = (std::size_t{PositionDecode.Upper[leading]} << 6) | lower;

        const std::size_t length = std::min<std::size_t>(
            static_cast<std::size_t>(symbol - 255 + Threshold), wanted - produced);
        // The ring holds the last 4096 bytes produced, so while at least 4096 bytes lie
        // behind the copy its source is in the output itself. Before that, ring positions
        // not yet written hold their start content: blanks below 4036, zeros above.
        if (produced > distance)
        {
            CopyMatch(out + produced, distance + 1, length, wanted - produced);
            produced += length;
        }
        else
        {
            for (std::size_t k = 0; k < length; ++k, ++produced)
            {
                const std::ptrdiff_t source = static_cast<std::ptrdiff_t>(produced) -
                                              static_cast<std::ptrdiff_t>(distance) - 1;
                std::uint8_t byte = 0;
                if (source >= 0)
                {
                    byte = out[source];
                }
                else if (source >= -RingStart)
                {
                    byte = Blank;
                }
                out[produced] = byte;
            }
        }
    }
    notePastEnd();
    *complete = std::min(*complete, produced);
    return produced;
}

// ---------------------------------------------------------------------------------------
// Encoder

/// MSB-first bit writer that stops growing once the output passes a limit.
class TBitWriter
{
  public:
    TBitWriter(std::vector<std::uint8_t>& output, std::size_t maxSize)
        : bytes(output), limit(maxSize)
    {
    }

    /// Appends the low `n` bits (0..57) of `value`, most significant first.
    void Put(std::uint64_t value, int n)
    {
        buffer = (buffer << n) | (value & ((std::uint64_t{1} << n) - 1));
        count += n;
        while (count >= 8)
        {
            count -= 8;
            Emit(static_cast<std::uint8_t>(buffer >> count));
        }
    }

    /// Pads the last partial byte with zero bits.
    void Flush()
    {
        if (count > 0)
        {
            Emit(static_cast<std::uint8_t>(buffer << (8 - count)));
            count = 0;
        }
    }

    bool Overflowed() const { return overflowed; }

  private:
    void Emit(std::uint8_t byte)
    {
        if (bytes.size() >= limit)
        {
            overflowed = true;
            return;
        }
        bytes.push_back(byte);
    }

    std::vector<std::uint8_t>& bytes;
    std::size_t limit;
    std::uint64_t buffer = 0;
    int count = 0;
    bool overflowed = false;
};

constexpr int Nil = RingSize; // "no node" in the search trees

/// The LZSS match finder: one binary search tree per first byte over the ring positions,
/// ordered by the 60-byte strings starting there. The work buffer is the ring plus a copy
/// of its first 59 positions, so every string reads in one piece; it starts as zeros and
/// only the ring part is blank-filled, which keeps the output identical to the published
/// coder's where stale bytes decide between equally long matches.
class TMatchFinder
{
  public:
    TMatchFinder()
    {
        std::fill(rightChild.begin() + RingSize + 1, rightChild.end(), Nil);
        std::fill(parentOf.begin(), parentOf.begin() + RingSize, Nil);
        std::fill(text.begin(), text.begin() + RingStart, Blank);
    }

    std::array<std::uint8_t, RingSize + Lookahead - 1> text{};
    int matchLength = 0;
    int matchPosition = 0; // distance value: (r - p) mod 4096 - 1

    void Insert(int r)
    {
        const std::uint8_t* key = &text[r];
        int p = RingSize + 1 + key[0];
        int cmp = 1;
        rightChild[r] = leftChild[r] = Nil;
        matchLength = 0;
        for (;;)
        {
            if (cmp >= 0)
            {
                if (rightChild[p] == Nil)
                {
                    rightChild[p] = r;
                    parentOf[r] = p;
                    return;
                }
                p = rightChild[p];
            }
            else
            {
                if (leftChild[p] == Nil)
                {
                    leftChild[p] = r;
                    parentOf[r] = p;
                    return;
                }
                p = leftChild[p];
            }
            int i = 1;
            cmp = 0;
            for (; i < Lookahead; ++i)
            {
                cmp = static_cast<int>(key[i]) - static_cast<int>(text[p + i]);
                if (cmp != 0)
                {
                    break;
                }
            }
            if (i > Threshold)
            {
                const int distance = ((r - p) & RingMask) - 1;
                if (i > matchLength)
                {
                    matchPosition = distance;
                    matchLength = i;
                    if (matchLength >= Lookahead)
                    {
                        break;
                    }
                }
                else if (i == matchLength && distance < matchPosition)
                {
                    matchPosition = distance;
                }
            }
        }
        // A string equal to r's over the whole lookahead: r takes p's place in the tree.
        parentOf[r] = parentOf[p];
        leftChild[r] = leftChild[p];
        rightChild[r] = rightChild[p];
        parentOf[leftChild[p]] = r;
        parentOf[rightChild[p]] = r;
        if (rightChild[parentOf[p]] == p)
        {
            rightChild[parentOf[p]] = r;
        }
        else
        {
            leftChild[parentOf[p]] = r;
        }
        parentOf[p] = Nil;
    }

    void Delete(int p)
    {
        if (parentOf[p] == Nil)
        {
            return;
        }
        int q;
        if (rightChild[p] == Nil)
        {
            q = leftChild[p];
        }
        else if (leftChild[p] == Nil)
        {
            q = rightChild[p];
        }
        else
        {
            // Replace p by its in-order predecessor.
            q = leftChild[p];
            if (rightChild[q] != Nil)
            {
                do
                {
                    q = rightChild[q];
                } while (rightChild[q] != Nil);
                rightChild[parentOf[q]] = leftChild[q];
                parentOf[leftChild[q]] = parentOf[q];
                leftChild[q] = leftChild[p];
                parentOf[leftChild[p]] = q;
            }
            rightChild[q] = rightChild[p];
            parentOf[rightChild[p]] = q;
        }
        parentOf[q] = parentOf[p];
        if (rightChild[parentOf[p]] == p)
        {
            rightChild[parentOf[p]] = q;
        }
        else
        {
            leftChild[parentOf[p]] = q;
        }
        parentOf[p] = Nil;
    }

  private:
    // Index Nil (4096) is a scratch slot that absorbs writes through empty links; the 256
    // tree roots sit at RingSize + 1 + first byte.
    std::array<int, RingSize + 1> leftChild{};
    std::array<int, RingSize + 257> rightChild{};
    std::array<int, RingSize + 1> parentOf{};
};

struct TEncoder
{
    TAdaptiveTree Tree;
    TMatchFinder Finder;
};

void EncodeSymbol(TAdaptiveTree& tree, TBitWriter& bits, int symbol)
{
    // Walk from the leaf up to the root; an odd position is reached by a 1 bit. Every code
    // is written in full: the tree is a Huffman tree over counts that never exceed 0x8000,
    // which bounds its depth far below the 57 bits one Put can take.
    std::uint64_t code = 0;
    int length = 0;
    for (int k = tree.LeafOf(symbol); k != Root; k = tree.Parent(k))
    {
        code |= static_cast<std::uint64_t>(k & 1) << length;
        ++length;
    }
    bits.Put(code, length);
    tree.Update(symbol);
}

void EncodePosition(TBitWriter& bits, int distance)
{
    const int upper = distance >> 6;
    bits.Put(PositionCode[upper] >> (8 - PositionCodeLength[upper]), PositionCodeLength[upper]);
    bits.Put(static_cast<std::uint64_t>(distance & 0x3F), 6);
}

void EncodeStream(TEncoder& encoder, std::span<const std::uint8_t> input, TBitWriter& bits)
{
    TMatchFinder& finder = encoder.Finder;
    auto& text = finder.text;
    std::size_t next = 0; // next input byte to read
    int s = 0;            // ring position overwritten next
    int r = RingStart;    // ring position being coded
    int len = 0;          // bytes in the lookahead
    while (len < Lookahead && next < input.size())
    {
        text[r + len++] = input[next++];
    }
    for (int i = 1; i <= Lookahead; ++i)
    {
        finder.Insert(r - i);
    }
    finder.Insert(r);
    do
    {
        if (finder.matchLength > len)
        {
            finder.matchLength = len;
        }
        if (finder.matchLength <= Threshold)
        {
            finder.matchLength = 1;
            EncodeSymbol(encoder.Tree, bits, text[r]);
        }
        else
        {
            EncodeSymbol(encoder.Tree, bits, 255 - Threshold + finder.matchLength);
            EncodePosition(bits, finder.matchPosition);
        }
        if (bits.Overflowed())
        {
            return;
        }
        const int consumed = finder.matchLength;
        int i = 0;
        for (; i < consumed && next < input.size(); ++i)
        {
            finder.Delete(s);
            const std::uint8_t c = input[next++];
            text[s] = c;
            if (s < Lookahead - 1)
            {
                text[s + RingSize] = c;
            }
            s = (s + 1) & RingMask;
            r = (r + 1) & RingMask;
            finder.Insert(r);
        }
        for (; i < consumed; ++i)
        {
            finder.Delete(s);
            s = (s + 1) & RingMask;
            r = (r + 1) & RingMask;
            if (--len > 0)
            {
                finder.Insert(r);
            }
        }
    } while (len > 0);
}

/// Whether a length fits the stream's 32-bit prefix (always, where size_t has 32 bits).
template <typename TSize> bool FitsLengthPrefix(TSize size)
{
    if constexpr (sizeof(TSize) > sizeof(std::uint32_t))
    {
        return size <= TSize{UINT32_MAX};
    }
    else
    {
        return true;
    }
}

template <typename T> std::unique_ptr<T> AllocateTables()
{
    try
    {
        return std::make_unique<T>();
    }
    catch (const std::bad_alloc&)
    {
        throw EDIBError(std::string(LZHNoMemoryText));
    }
}

} // namespace

std::optional<std::vector<std::uint8_t>> LZHEncode(std::span<const std::uint8_t> input,
                                                   std::size_t maxOutputSize)
{
    if (!FitsLengthPrefix(input.size()))
    {
        throw std::length_error("LZHUF input of 4 GiB or more");
    }
    if (maxOutputSize < 4)
    {
        return std::nullopt;
    }
    std::vector<std::uint8_t> output;
    const auto length = static_cast<std::uint32_t>(input.size());
    for (int shift = 0; shift < 32; shift += 8)
    {
        output.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    if (input.empty())
    {
        return output;
    }
    const auto encoder = AllocateTables<TEncoder>();
    TBitWriter bits(output, maxOutputSize);
    EncodeStream(*encoder, input, bits);
    bits.Flush();
    if (bits.Overflowed())
    {
        return std::nullopt;
    }
    return output;
}

std::uint32_t LZHStatedLength(std::span<const std::uint8_t> stream)
{
    std::uint32_t length = 0;
    for (std::size_t i = 0; i < 4 && i < stream.size(); ++i)
    {
        length |= static_cast<std::uint32_t>(stream[i]) << (8 * i);
    }
    return length;
}

std::size_t LZHDecode(std::span<const std::uint8_t> stream, std::span<std::uint8_t> output,
                      std::size_t* complete)
{
    std::size_t whole = 0;
    if (complete == nullptr)
    {
        complete = &whole;
    }
    *complete = 0;
    if (LZHStatedLength(stream) == 0 || output.empty())
    {
        return 0;
    }
    const auto decoder = AllocateTables<TDecoder>();
    return DecodeStream(*decoder, stream, output, complete);
}

std::vector<std::uint8_t> TLZHDIBCompressor::Compress(std::span<const std::uint8_t> block) const
{
    std::optional<std::vector<std::uint8_t>> stream = LZHEncode(block, block.size());
    if (!stream)
    {
        throw EDIBError(std::string(LZHOutputTooLargeText));
    }
    return std::move(*stream);
}

std::size_t TLZHDIBCompressor::Decompress(std::span<const std::uint8_t> data,
                                          std::span<std::uint8_t> block) const
{
    // A stream that ends before the block is complete counts only the bytes its own bits
    // gave: the zero bits read beyond its end decode to made-up pixels.
    std::size_t complete = 0;
    static_cast<void>(LZHDecode(data, block, &complete));
    return complete;
}

void RegisterStandardDIBCompressors(std::vector<std::unique_ptr<TAbstractDIBCompressor>>& registry)
{
    registry.push_back(std::make_unique<TLZHDIBCompressor>());
}

} // namespace orvo
