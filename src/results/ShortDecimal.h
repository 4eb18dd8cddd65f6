#pragma once

#include <QtGlobal>

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ShortDecimal
{

// The log's usual number, one to seven bytes of digits with at most one point, is read eight
// bytes at once: a branch per byte mispredicts on every record. The eight bytes from text on
// must be readable. False for anything else; points gets a bit for the point, if any.
inline bool read(const char* text, qsizetype size, quint64& word, unsigned& points)
{
    if (size < 1 || size > 7)
        return false;
    std::memcpy(&word, text, sizeof word);
    const unsigned inField = (1u << size) - 1;
#if defined(__SSE2__)
    const __m128i v = _mm_cvtsi64_si128(qint64(word));
    const unsigned digitBytes = unsigned(_mm_movemask_epi8(_mm_and_si128(
        _mm_cmpgt_epi8(v, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(v, _mm_set1_epi8('9' + 1)))));
    const unsigned pointBytes = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('.'))));
#else
    unsigned digitBytes = 0;
    unsigned pointBytes = 0;
    for (int i = 0; i < 8; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        digitBytes |= unsigned(c - '0' < 10u) << i;
        pointBytes |= unsigned(c == '.') << i;
    }
#endif
    const unsigned digits = digitBytes & inField;
    points = pointBytes & inField;
    return (digits | points) == inField && (points & (points - 1)) == 0 && digits != 0;
}

// The digits of a short decimal as one number, and how many follow the point.
inline void digitsOf(quint64 word, qsizetype size, unsigned points, quint32& digits, int& places)
{
    // Take the point out, then add the digits up in pairs, fours and eights.
    const unsigned hasPoint = points != 0;
    const unsigned point = hasPoint ? unsigned(std::countr_zero(points)) : unsigned(size);
    const unsigned count = unsigned(size) - hasPoint;
    const quint64 below = (quint64(1) << (8 * point)) - 1;
    word = (word & below) | (((word >> (8 * point)) >> 8) << (8 * point));
    word = (word - (0x3030303030303030 & ((quint64(1) << (8 * count)) - 1))) << (64 - 8 * count);
    word = (word * 10 + (word >> 8)) & 0x00ff00ff00ff00ff;
    word = (word * 100 + (word >> 16)) & 0x0000ffff0000ffff;
    word = (word * 10000 + (word >> 32)) & 0xffffffff;
    digits = quint32(word);
    places = int(count - point);
}

} // namespace ShortDecimal
