#include "SeparatorScan.h"

#include <bit>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PELKO_WIDE_SCAN 1
#define PELKO_WIDE_TARGET __attribute__((target("avx2,bmi,popcnt")))
#endif

namespace
{

constexpr int SpareEntries = SeparatorScan::SpareEntries;

// std::popcount is a library call where the processor's own instruction is not assumed.
inline int bitCount(quint64 bits)
{
    bits -= (bits >> 1) & 0x5555555555555555;
    bits = (bits & 0x3333333333333333) + ((bits >> 2) & 0x3333333333333333);
    bits = (bits + (bits >> 4)) & 0x0f0f0f0f0f0f0f0f;
    return int((bits * 0x0101010101010101) >> 56);
}

// Adds the separators of 64 bytes at `at`, given a bit for each comma, CR and LF. Inlined
// into each way of scanning so that each gets its own bit instructions.
template <bool countsBits>
[[gnu::always_inline]] inline void addWindow(SeparatorList& list, qsizetype at, quint64 commas,
                                             quint64 crs, quint64 lfs)
{
    auto bitsIn = [](quint64 bits) { return countsBits ? std::popcount(bits) : bitCount(bits); };
    // The LF of a CR LF ends nothing more; one line end per line halves the work.
    quint64 lineEnds = crs | (lfs & ~(crs << 1));
    // A window seldom holds two line ends or more than twelve commas: one line end and twelve
    // commas are stored whether there or not (the lists have room), so that no loop's end
    // is mispredicted. A missing one is stored at 64 and not counted.
    do {
        const int bit = std::countr_zero(lineEnds);
        const quint64 before = bit < 64 ? commas & ((quint64(1) << bit) - 1) : commas;
        list.lineEndAt[list.lineEndCount] = quint32(at + bit);
        list.commasBefore[list.lineEndCount] = quint32(list.commaCount + bitsIn(before));
        list.lineEndCount += lineEnds != 0;
        lineEnds &= lineEnds - 1;
    } while (lineEnds != 0);
    const int commaCount = bitsIn(commas);
    quint32* to = list.commaAt + list.commaCount;
    for (int i = 0; i < SpareEntries; ++i) {
        to[i] = quint32(at + std::countr_zero(commas));
        commas &= commas - 1;
    }
    for (int i = SpareEntries; commas != 0; ++i) {
        to[i] = quint32(at + std::countr_zero(commas));
        commas &= commas - 1;
    }
    list.commaCount += commaCount;
}

// The last bytes, fewer than a window.
template <bool countsBits>
[[gnu::always_inline]] inline void addTail(const char* bytes, qsizetype at, qsizetype size,
                                           SeparatorList& list)
{
    for (; at < size; at += 64) {
        quint64 commas = 0;
        quint64 crs = 0;
        quint64 lfs = 0;
        for (int bit = 0; bit < 64 && at + bit < size; ++bit) {
            const char c = bytes[at + bit];
            commas |= quint64(c == ',') << bit;
            crs |= quint64(c == '\r') << bit;
            lfs |= quint64(c == '\n') << bit;
        }
        addWindow<countsBits>(list, at, commas, crs, lfs);
    }
}

} // namespace

namespace SeparatorScan
{

void listPortable(const char* bytes, qsizetype size, SeparatorList& result)
{
    // A local copy stays in registers.
    SeparatorList list{result.commaAt, result.lineEndAt, result.commasBefore};
    qsizetype at = 0;
#if defined(__SSE2__)
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; at + 64 <= size; at += 64) {
        quint64 commas = 0;
        quint64 crs = 0;
        quint64 lfs = 0;
        for (int part = 0; part < 4; ++part) {
            const __m128i v =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at + 16 * part));
            auto bitsOf = [&](__m128i matches) {
                return quint64(unsigned(_mm_movemask_epi8(matches))) << 16 * part;
            };
            commas |= bitsOf(_mm_cmpeq_epi8(v, comma));
            crs |= bitsOf(_mm_cmpeq_epi8(v, cr));
            lfs |= bitsOf(_mm_cmpeq_epi8(v, lf));
        }
        addWindow<false>(list, at, commas, crs, lfs);
    }
#endif
    addTail<false>(bytes, at, size, list);
    result = list;
}

#if defined(PELKO_WIDE_SCAN)

PELKO_WIDE_TARGET void listWide(const char* bytes, qsizetype size, SeparatorList& result)
{
    SeparatorList list{result.commaAt, result.lineEndAt, result.commasBefore};
    const __m256i comma = _mm256_set1_epi8(',');
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    auto bitsOf = [](__m256i matches) PELKO_WIDE_TARGET {
        return quint64(unsigned(_mm256_movemask_epi8(matches)));
    };
    qsizetype at = 0;
    for (; at + 64 <= size; at += 64) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + at));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + at + 32));
        auto both = [&](__m256i of) PELKO_WIDE_TARGET {
            return bitsOf(_mm256_cmpeq_epi8(low, of)) | bitsOf(_mm256_cmpeq_epi8(high, of)) << 32;
        };
        addWindow<true>(list, at, both(comma), both(cr), both(lf));
    }
    addTail<true>(bytes, at, size, list);
    result = list;
}

bool wideAvailable()
{
    static const bool available = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
                                  __builtin_cpu_supports("popcnt");
    return available;
}

#else

void listWide(const char* bytes, qsizetype size, SeparatorList& list)
{
    listPortable(bytes, size, list);
}

bool wideAvailable()
{
    return false;
}

#endif

void list(const char* bytes, qsizetype size, SeparatorList& list)
{
    if (wideAvailable())
        listWide(bytes, size, list);
    else
        listPortable(bytes, size, list);
}

} // namespace SeparatorScan
