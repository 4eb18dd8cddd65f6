#include "Cp932.h"

#include <cerrno>
#include <iconv.h>

namespace {

// iconv_open is costly; keep one descriptor per direction and thread.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input; on failure returns false and the offset where it stopped.
    bool convert(const char* input, size_t inputLength, QByteArray& out, size_t& failedAt)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        out.resize(qsizetype(inputLength * 2 + 16));
        char* src = const_cast<char*>(input);
        size_t srcLeft = inputLength;
        size_t written = 0;
        while (true) {
            char* dst = out.data() + written;
            size_t dstLeft = size_t(out.size()) - written;
            const size_t rc = iconv(m_cd, srcLeft ? &src : nullptr, &srcLeft, &dst, &dstLeft);
            written = size_t(dst - out.data());
            if (rc != size_t(-1)) {
                if (srcLeft == 0)
                    break;
                continue;
            }
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            failedAt = inputLength - srcLeft;
            out.resize(qsizetype(written));
            return false;
        }
        out.resize(qsizetype(written));
        return true;
    }

private:
    iconv_t m_cd;
};

Converter& toUnicode()
{
    thread_local Converter converter("UTF-16LE", "CP932");
    return converter;
}

Converter& fromUnicode()
{
    thread_local Converter converter("CP932", "UTF-16LE");
    return converter;
}

} // namespace

namespace Cp932 {

Decoded decode(QByteArrayView bytes)
{
    Decoded result;
    if (bytes.isEmpty())
        return result;
    QByteArray utf16;
    size_t failedAt = 0;
    if (!toUnicode().valid() ||
        !toUnicode().convert(bytes.data(), size_t(bytes.size()), utf16, failedAt)) {
        result.ok = false;
        result.errorOffset = qsizetype(failedAt);
    }
    result.text = QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
    return result;
}

Encoded encode(QStringView text)
{
    Encoded result;
    if (text.isEmpty())
        return result;
    size_t failedAt = 0;
    if (!fromUnicode().valid() ||
        !fromUnicode().convert(reinterpret_cast<const char*>(text.utf16()),
                               size_t(text.size()) * 2, result.bytes, failedAt)) {
        result.ok = false;
        result.errorIndex = qsizetype(failedAt / 2);
    }
    return result;
}

QByteArray encodeReplacing(QStringView text)
{
    QByteArray bytes;
    while (!text.isEmpty()) {
        const Encoded encoded = encode(text);
        bytes += encoded.bytes; // what converted before the failure
        if (encoded.ok)
            break;
        bytes += '?';
        const qsizetype at = encoded.errorIndex;
        const bool pair = text.at(at).isHighSurrogate() && at + 1 < text.size() &&
                          text.at(at + 1).isLowSurrogate();
        text = text.sliced(at + (pair ? 2 : 1));
    }
    return bytes;
}

std::optional<quint16> codeOf(QStringView character)
{
    const Encoded encoded = encode(character);
    if (!encoded.ok || encoded.bytes.isEmpty() || encoded.bytes.size() > 2)
        return std::nullopt;
    const auto lead = quint8(encoded.bytes.at(0));
    if (encoded.bytes.size() == 1)
        return lead;
    return quint16(lead * 256 + quint8(encoded.bytes.at(1)));
}

qsizetype byteLength(QStringView text)
{
    qsizetype total = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const auto code = codeOf(text.mid(i, len));
        total += code ? (*code > 0xFF ? 2 : 1) : 2;
        i += len;
    }
    return total;
}

QString leftBytes(QStringView text, qsizetype maxBytes)
{
    qsizetype used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const auto code = codeOf(text.mid(i, len));
        const qsizetype need = code ? (*code > 0xFF ? 2 : 1) : 2;
        if (used + need > maxBytes)
            break;
        used += need;
        i += len;
    }
    return text.left(i).toString();
}

} // namespace Cp932
