// The problem loader gives the lines a plain splitter gives, also for lines that cross the
// loader's read chunks, and refuses exactly the files with bad bytes or too much text.
#include "FuzzSupport.h"

#include "common/Cp932.h"
#include "problems/ProblemFile.h"
#include "problems/ProblemLine.h"

#include <optional>

namespace
{

constexpr qsizetype ChunkSize = 64 * 1024; // the loader's read size

// Valid text up to just before a chunk edge, so the fuzz bytes straddle it: one long line and
// empty lines, close to the limit of characters or to that of lines. The tail leaves the
// edge after a CR, inside a double-byte character or inside a line.
QByteArray filler(uint8_t shift, uint8_t kind)
{
    const bool manyLines = kind & 4;
    const QByteArray longLine =
        QByteArrayLiteral("\x82\xa0").repeated(manyLines ? 16500 : 31000) + "\r\n";
    const QByteArray emptyLine = manyLines ? QByteArrayLiteral("\n") : QByteArrayLiteral("\r\n");
    QByteArray tail;
    switch (kind % 4) {
    case 1: tail = QByteArrayLiteral("\x82\xa2\r"); break;
    case 2: tail = QByteArrayLiteral("\x82\xa2\x82"); break; // lead byte of the next character
    case 3: tail = QByteArrayLiteral("\x82\xa2"); break;
    }
    if (kind % 4 == 3 && !manyLines) {
        // The long line itself runs up to the edge, close to the longest line there may be.
        const qsizetype chars = (ChunkSize - shift) / 2 - 8;
        const qsizetype rest = ChunkSize - shift - 2 * chars;
        return QByteArrayLiteral("\r\n").repeated(rest / 2) + (rest % 2 ? "\n" : "") +
               QByteArrayLiteral("\x82\xa0").repeated(chars);
    }
    const qsizetype length = ChunkSize - shift - tail.size() - longLine.size();
    QByteArray out = longLine + emptyLine.repeated(length / emptyLine.size());
    if (length % emptyLine.size())
        out += '\n';
    return out + tail;
}

struct Reference {
    QList<QByteArray> lines;
    std::optional<qsizetype> firstBadBytes; // line number of the first undecodable line
    std::optional<qsizetype> firstTooMuch;  // line number where a count passes its limit
    QStringList texts;
};

Reference split(const QByteArray& bytes)
{
    Reference e;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        e.lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        e.lines.append(bytes.mid(start));

    qsizetype total = 0;
    for (qsizetype n = 1; n <= e.lines.size(); ++n) {
        const Cp932::Decoded d = Cp932::decode(e.lines.at(n - 1));
        // A line longer than the longest possible is too long, unless a bad character starts
        // before that length.
        if (e.lines.at(n - 1).size() > 2 * qsizetype(ProblemFile::MaxCharacters)) {
            if (!d.ok && d.errorOffset < 2 * qsizetype(ProblemFile::MaxCharacters)) {
                if (!e.firstBadBytes)
                    e.firstBadBytes = n;
            } else if (!e.firstTooMuch) {
                e.firstTooMuch = n;
            }
            e.texts.append(d.text);
            continue;
        }
        if (!d.ok && !e.firstBadBytes)
            e.firstBadBytes = n;
        const qsizetype count = ProblemLine::characterCount(d.text);
        total += count;
        if (!e.firstTooMuch && (n > ProblemFile::MaxLines || count > ProblemFile::MaxCharacters ||
                                total > ProblemFile::MaxCharacters))
            e.firstTooMuch = n;
        e.texts.append(d.text);
    }
    return e;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::Bytes in(data, size);
    const uint8_t mode = in.byte();
    const uint8_t shift = in.byte();
    QByteArray bytes = in.rest();
    if (mode & 1)
        bytes.prepend(filler(shift, mode >> 1));

    static const QString path = Fuzz::scratchFolder() + QStringLiteral("/jpn_dat.001");
    Fuzz::writeFile(path, bytes);
    const Reference expected = split(bytes);

    const auto read = ProblemFile::readLines(path, QStringLiteral("jpn_dat.001"));
    if (read) {
        FUZZ_CHECK(!expected.firstBadBytes && !expected.firstTooMuch);
        FUZZ_CHECK(*read == expected.texts);
    } else {
        const Error& error = read.error();
        const auto bad = expected.firstBadBytes;
        const auto tooMuch = expected.firstTooMuch;
        if (error.code() == Error::Code::InvalidText || error.code() == Error::Code::Utf8Text) {
            FUZZ_CHECK(bad && (!tooMuch || *tooMuch >= *bad));
            // The message names the line; a file that is UTF-8 is named as such instead.
            FUZZ_CHECK(error.code() == Error::Code::Utf8Text ||
                       error.message().contains(u" の " + QString::number(*bad) + u" 行目"));
        } else {
            FUZZ_CHECK(error.code() == Error::Code::Overflow);
            // A line too long is refused before its bytes are looked at.
            FUZZ_CHECK(tooMuch && (!bad || *tooMuch <= *bad));
        }
    }

    // The title: the first line's first twenty characters, up to a bad byte; a file saved as
    // UTF-8 is read as such.
    const QString header = ProblemFile::fileHeader(path, 20);
    const QByteArray head = bytes.left(4 * 1024 * 1024);
    if (!Cp932::decode(head).ok && ProblemFile::isUtf8(head)) {
        QByteArray line = head.startsWith("\xEF\xBB\xBF") ? head.mid(3) : head;
        for (const char end : {'\r', '\n'}) {
            if (const qsizetype at = line.indexOf(end); at >= 0)
                line.truncate(at);
        }
        FUZZ_CHECK(QString::fromUtf8(line).startsWith(header) && header.size() <= 40);
        return 0;
    }
    const QString firstLine =
        expected.lines.isEmpty() ? QString() : Cp932::decode(expected.lines.first()).text;
    FUZZ_CHECK(header == firstLine.left(20));
    return 0;
}
