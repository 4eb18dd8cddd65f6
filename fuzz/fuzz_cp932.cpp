// The Shift-JIS codec: whole buffers must convert exactly as their characters do one by one,
// strict decoding must stop at the first bad sequence, and encoding is stable.
#include "FuzzSupport.h"

#include "common/Cp932.h"

namespace
{

// Bytes the codec reads alone; any other byte leads a two-byte character.
bool isSingle(char c)
{
    return Cp932::decode(QByteArrayView(&c, 1)).ok;
}

void checkDecode(QByteArrayView bytes)
{
    const Cp932::Decoded whole = Cp932::decode(bytes);
    QString text;
    qsizetype badAt = -1;
    for (qsizetype pos = 0; pos < bytes.size();) {
        const qsizetype length = isSingle(bytes.at(pos)) ? 1 : 2;
        const Cp932::Decoded one =
            Cp932::decode(bytes.sliced(pos, qMin(length, bytes.size() - pos)));
        if (!one.ok || pos + length > bytes.size()) {
            badAt = pos;
            break;
        }
        FUZZ_CHECK(one.text.size() >= 1);
        text += one.text;
        pos += length;
    }
    FUZZ_CHECK(whole.ok == (badAt < 0));
    if (whole.ok) {
        FUZZ_CHECK(whole.text == text);
        // Encoding picks one form for codes that share a character; from there it is stable.
        const Cp932::Encoded again = Cp932::encode(whole.text);
        FUZZ_CHECK(again.ok);
        const Cp932::Decoded back = Cp932::decode(again.bytes);
        FUZZ_CHECK(back.ok && back.text == whole.text);
        FUZZ_CHECK(Cp932::encode(back.text).bytes == again.bytes);
        FUZZ_CHECK(Cp932::byteLength(whole.text) == again.bytes.size());
    } else {
        FUZZ_CHECK(whole.errorOffset == badAt);
        // What came before the bad sequence is given, and nothing after it.
        FUZZ_CHECK(whole.text == text);
    }
}

void checkEncode(QStringView text, qsizetype cut)
{
    const Cp932::Encoded whole = Cp932::encode(text);
    QByteArray bytes;
    qsizetype badAt = -1;
    qsizetype byteLength = 0;
    qsizetype fitting = -1; // characters of leftBytes(text, cut)
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QStringView character = text.mid(i, length);
        const auto code = Cp932::codeOf(character);
        const Cp932::Encoded one = Cp932::encode(character);
        FUZZ_CHECK(one.ok == code.has_value());
        if (code) {
            FUZZ_CHECK(one.bytes.size() == (*code > 0xFF ? 2 : 1));
            if (badAt < 0)
                bytes += one.bytes;
        } else if (badAt < 0) {
            badAt = i;
        }
        const qsizetype need = code ? one.bytes.size() : 2;
        if (fitting < 0 && byteLength + need > cut)
            fitting = i;
        byteLength += need;
        i += length;
    }
    FUZZ_CHECK(whole.ok == (badAt < 0));
    if (whole.ok)
        FUZZ_CHECK(whole.bytes == bytes);
    else
        FUZZ_CHECK(whole.errorIndex == badAt);
    FUZZ_CHECK(Cp932::byteLength(text) == byteLength);
    const QString left = Cp932::leftBytes(text, cut);
    FUZZ_CHECK(left == text.left(fitting < 0 ? text.size() : fitting));
    FUZZ_CHECK(Cp932::byteLength(left) <= qMax<qsizetype>(cut, 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::Bytes in(data, size);
    const uint8_t cut = in.byte();
    const QByteArray bytes = in.rest();
    checkDecode(bytes);
    // The same bytes read as UTF-16 text, to be encoded.
    const QString text(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
    checkEncode(text, cut);
    // And the text of the decodable part, which must encode without fault.
    const Cp932::Decoded decoded = Cp932::decode(bytes);
    checkEncode(decoded.text, cut);
    return 0;
}
