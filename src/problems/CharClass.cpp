#include "CharClass.h"

#include "common/Cp932.h"

#include <array>

namespace CharClass
{

int classOf(QStringView character)
{
    if (character.size() != 1) // surrogate pairs (and empty text) have no Shift-JIS form
        return KanjiOrSymbol;

    // Asking iconv once per character is slow for a 32767-character problem; every BMP
    // character's class is computed once and remembered (0 = not yet known).
    static std::array<qint8, 0x10000> known{};
    const char16_t unit = character.at(0).unicode();
    qint8& slot = known[unit];
    if (slot == 0) {
        const auto code = Cp932::codeOf(character);
        slot = qint8(code ? classOfCode(*code) : KanjiOrSymbol);
    }
    return slot;
}

} // namespace CharClass
