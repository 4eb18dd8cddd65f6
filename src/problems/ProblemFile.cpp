#include "ProblemFile.h"

#include "common/Cp932.h"
#include "common/PelkoError.h"
#include "problems/ProblemLine.h"

#include <QFile>
#include <QFileInfo>

namespace ProblemFile
{

namespace
{

constexpr char CR = '\r';
constexpr char LF = '\n';
constexpr qint64 ChunkSize = 64 * 1024;
// No Shift-JIS character takes more than two bytes, so a longer line is too long.
constexpr qsizetype MaxLineBytes = qsizetype(MaxCharacters) * 2;

QString fileLabel(const QString& name)
{
    return QStringLiteral("問題ファイル ") + name;
}

[[noreturn]] void raiseInvalidText(const QString& name, qint64 lineNumber)
{
    throw PelkoError(InvalidText, fileLabel(name) + QStringLiteral(" の ") +
                                      QString::number(lineNumber) +
                                      QStringLiteral(" 行目に読み込めない文字があります。"));
}

[[noreturn]] void raiseOverflow(const QString& what)
{
    throw PelkoError(PelkoError::Overflow, what + QStringLiteral("（32767 まで）。"));
}

class LineCollector
{
public:
    explicit LineCollector(const QString& name) : m_name(name) {}

    void add(const char* bytes, qsizetype size)
    {
        m_current.append(bytes, size);
        if (m_current.size() > MaxLineBytes)
            raiseTooLong();
    }

    void endLine()
    {
        const Cp932::Decoded decoded = Cp932::decode(m_current);
        m_current.clear();
        const qint64 lineNumber = m_lines.size() + 1;
        if (!decoded.ok)
            raiseInvalidText(m_name, lineNumber);
        if (lineNumber > MaxLines)
            raiseOverflow(fileLabel(m_name) + QStringLiteral(" の行数が多すぎます"));
        const qsizetype count = ProblemLine::characterCount(decoded.text);
        if (count > MaxCharacters)
            raiseOverflow(fileLabel(m_name) + QStringLiteral(" の ") + QString::number(lineNumber) +
                          QStringLiteral(" 行目の文字数が多すぎます"));
        m_total += count;
        if (m_total > MaxCharacters)
            raiseOverflow(fileLabel(m_name) + QStringLiteral(" の文字数が多すぎます"));
        m_lines.append(decoded.text);
    }

    bool hasUnfinishedLine() const { return !m_current.isEmpty(); }
    QStringList takeLines() { return std::move(m_lines); }

private:
    // Report bad bytes as such rather than as a long line.
    [[noreturn]] void raiseTooLong()
    {
        const qint64 lineNumber = m_lines.size() + 1;
        // One byte past the cut, so that a character the cut splits is judged whole.
        const Cp932::Decoded head = Cp932::decode(m_current.first(MaxLineBytes + 1));
        if (!head.ok && head.errorOffset < MaxLineBytes)
            raiseInvalidText(m_name, lineNumber);
        raiseOverflow(fileLabel(m_name) + QStringLiteral(" の ") + QString::number(lineNumber) +
                      QStringLiteral(" 行目の文字数が多すぎます"));
    }

    QString m_name;
    QByteArray m_current; // bytes of the line not yet ended
    QStringList m_lines;
    qint64 m_total = 0;
};

void openForReading(QFile& file, const QString& name)
{
    if (file.open(QIODevice::ReadOnly))
        return;
    if (!QFileInfo::exists(file.fileName()))
        throw PelkoError(FileNotFound, fileLabel(name) + QStringLiteral(" が見つかりません。"));
    throw PelkoError(AccessError, fileLabel(name) + QStringLiteral(" を開けません。"));
}

} // namespace

QStringList readLines(const QString& path, const QString& name)
{
    QFile file(path);
    openForReading(file, name);
    LineCollector lines(name);
    QByteArray chunk;
    bool afterCR = false;
    while (true) {
        chunk = file.read(ChunkSize);
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError || !file.atEnd())
                throw PelkoError(ReadError,
                                 fileLabel(name) + QStringLiteral(" を読み込めません。"));
            break;
        }
        const char* bytes = chunk.constData();
        const qsizetype size = chunk.size();
        qsizetype start = 0;
        for (qsizetype i = 0; i < size; ++i) {
            const char c = bytes[i];
            if (c != CR && c != LF)
                continue;
            if (c == LF && afterCR && i == start) { // the LF of a CR LF
                afterCR = false;
                start = i + 1;
                continue;
            }
            lines.add(bytes + start, i - start);
            lines.endLine();
            afterCR = (c == CR);
            start = i + 1;
        }
        if (start < size) {
            lines.add(bytes + start, size - start);
            afterCR = false;
        }
    }
    if (lines.hasUnfinishedLine())
        lines.endLine();
    return lines.takeLines();
}

QString fileHeader(const QString& path, qsizetype maxCharacters)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Two bytes a character at most, plus room for a cut double-byte character.
    const QByteArray head = file.read(qint64(maxCharacters) * 2 + 2);
    qsizetype end = 0;
    while (end < head.size() && head.at(end) != CR && head.at(end) != LF)
        ++end;
    const QString text = Cp932::decode(head.first(end)).text;
    qsizetype cut = 0;
    for (qsizetype taken = 0; taken < maxCharacters && cut < text.size(); ++taken)
        cut += (text.at(cut).isHighSurrogate() && cut + 1 < text.size()) ? 2 : 1;
    return text.left(cut);
}

} // namespace ProblemFile
