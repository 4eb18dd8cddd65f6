#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Shift-JIS as Windows writes it (code page 932). Every file Pelko reads or writes uses it.
// Strict both ways: a byte sequence or a character that has no counterpart is reported,
// never dropped or replaced unless the caller asks for it.
namespace Cp932 {

struct Decoded {
    QString text;
    bool ok = true;
    qsizetype errorOffset = -1; // byte offset of the first invalid sequence
};

struct Encoded {
    QByteArray bytes;
    bool ok = true;
    qsizetype errorIndex = -1; // index (UTF-16 units) of the first unmappable character
};

Decoded decode(QByteArrayView bytes);
Encoded encode(QStringView text);
// The text's bytes with every character that has no Shift-JIS form written as one "?".
QByteArray encodeReplacing(QStringView text);

// The character's code taken as a 16-bit value: lead byte * 256 + trail byte for a
// double-byte character, the byte itself for a single-byte one. Empty when the character
// (one code point, possibly a surrogate pair) has no Shift-JIS form.
std::optional<quint16> codeOf(QStringView character);

// Number of bytes the text takes in Shift-JIS; unmappable characters count as two.
qsizetype byteLength(QStringView text);

// The longest prefix of the text that fits into maxBytes, never cutting a double-byte
// character in half.
QString leftBytes(QStringView text, qsizetype maxBytes);

} // namespace Cp932
