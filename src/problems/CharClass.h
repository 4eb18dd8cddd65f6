#pragma once

#include <QStringView>
#include <QtGlobal>

// The class of a problem character, decided by its Shift-JIS code. The classes feed the
// composition counts of a problem, the logs and the certificate.
namespace CharClass
{

inline constexpr int Kana = 1;          // full-width hiragana and katakana
inline constexpr int Alphanumeric = 2;  // full-width letters, digits, punctuation block
inline constexpr int HalfWidth = 3;     // single-byte characters
inline constexpr int KanjiOrSymbol = 4; // kanji and every other double-byte character

struct CodeRange {
    quint16 first;
    quint16 last;
    constexpr bool contains(quint16 code) const { return code >= first && code <= last; }
};

inline constexpr CodeRange Hiragana{0x829F, 0x82F1};    // ぁ … ん
inline constexpr CodeRange Katakana{0x8340, 0x8396};    // ァ … ヶ
inline constexpr CodeRange SymbolBlock{0x8140, 0x81AC}; // ideographic space … 〓
inline constexpr CodeRange WideDigits{0x824F, 0x8258};  // ０ … ９
inline constexpr CodeRange WideUpper{0x8260, 0x8279};   // Ａ … Ｚ
inline constexpr CodeRange WideLower{0x8281, 0x829A};   // ａ … ｚ
inline constexpr CodeRange SingleByte{0x01, 0xFF};

// First matching class wins: Kana, then Alphanumeric, then single-byte, else KanjiOrSymbol (code 0
// included).
constexpr int classOfCode(quint16 code)
{
    if (Hiragana.contains(code) || Katakana.contains(code))
        return Kana;
    if (SymbolBlock.contains(code) || WideDigits.contains(code) || WideUpper.contains(code) ||
        WideLower.contains(code))
        return Alphanumeric;
    if (SingleByte.contains(code))
        return HalfWidth;
    return KanjiOrSymbol;
}

// The class of one character (one code point, a surrogate pair counting as one). A
// character without a Shift-JIS form is KanjiOrSymbol.
int classOf(QStringView character);

} // namespace CharClass
