#include "ProblemFile.h"

#include "common/Cp932.h"
#include "problems/ProblemLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

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

Error invalidText(const QString& name, qint64 lineNumber)
{
    return Error(Error::Code::InvalidText,
                 fileLabel(name) + QStringLiteral(" の ") + QString::number(lineNumber) +
                     QStringLiteral(" 行目に読み込めない文字があります。"
                                    "Shift-JIS（CP932）にないバイト列です。"
                                    "エディタで Shift-JIS を選んで保存し直して"
                                    "ください。"));
}

Error overflow(const QString& what)
{
    return Error(Error::Code::Overflow, what + QStringLiteral("（32767 まで）。"));
}

class LineCollector
{
public:
    explicit LineCollector(const QString& name) : m_name(name) {}

    // add and endLine return false once the file has proved unreadable; error() says why.
    bool add(const char* bytes, qsizetype size)
    {
        m_current.append(bytes, size);
        if (m_current.size() > MaxLineBytes)
            return fail(tooLong());
        return true;
    }

    bool endLine()
    {
        const Cp932::Decoded decoded = Cp932::decode(m_current);
        m_current.clear();
        const qint64 lineNumber = m_lines.size() + 1;
        if (!decoded.ok)
            return fail(invalidText(m_name, lineNumber));
        if (lineNumber > MaxLines)
            return fail(overflow(fileLabel(m_name) + QStringLiteral(" の行数が多すぎます")));
        const qsizetype count = ProblemLine::characterCount(decoded.text);
        if (count > MaxCharacters)
            return fail(overflow(fileLabel(m_name) + QStringLiteral(" の ") +
                                 QString::number(lineNumber) +
                                 QStringLiteral(" 行目の文字数が多すぎます")));
        m_total += count;
        if (m_total > MaxCharacters)
            return fail(overflow(fileLabel(m_name) + QStringLiteral(" の文字数が多すぎます")));
        m_lines.append(decoded.text);
        return true;
    }

    bool hasUnfinishedLine() const { return !m_current.isEmpty(); }
    QStringList takeLines() { return std::move(m_lines); }
    const Error& error() const { return *m_error; }

private:
    bool fail(const Error& error)
    {
        m_error = error;
        return false;
    }

    // Report bad bytes as such rather than as a long line.
    Error tooLong() const
    {
        const qint64 lineNumber = m_lines.size() + 1;
        // One byte past the cut, so that a character the cut splits is judged whole.
        const Cp932::Decoded head = Cp932::decode(m_current.first(MaxLineBytes + 1));
        if (!head.ok && head.errorOffset < MaxLineBytes)
            return invalidText(m_name, lineNumber);
        return overflow(fileLabel(m_name) + QStringLiteral(" の ") + QString::number(lineNumber) +
                        QStringLiteral(" 行目の文字数が多すぎます"));
    }

    QString m_name;
    QByteArray m_current; // bytes of the line not yet ended
    QStringList m_lines;
    qint64 m_total = 0;
    std::optional<Error> m_error;
};

constexpr qint64 MaxUtf8FileBytes = 4 * 1024 * 1024;
const QByteArray Utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

QString shellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

// The text without its byte-order mark, and the first character Shift-JIS lacks.
struct Utf8Contents {
    QString text;
    QString missingCharacter;
    qsizetype missingLine = 0;
};

Utf8Contents utf8Contents(QByteArray bytes)
{
    if (bytes.startsWith(Utf8Bom))
        bytes.remove(0, Utf8Bom.size());
    Utf8Contents contents;
    contents.text = QString::fromUtf8(bytes);
    const Cp932::Encoded encoded = Cp932::encode(contents.text);
    if (!encoded.ok) {
        const QStringView before = QStringView(contents.text).first(encoded.errorIndex);
        contents.missingLine = before.count(u'\n') + 1;
        contents.missingCharacter =
            contents.text.mid(encoded.errorIndex,
                              contents.text.at(encoded.errorIndex).isHighSurrogate() ? 2 : 1);
    }
    return contents;
}

QString missingCharacterText(const QString& name, const Utf8Contents& contents)
{
    return fileLabel(name) + QStringLiteral(" の ") + QString::number(contents.missingLine) +
           QStringLiteral(" 行目の「") + contents.missingCharacter +
           QStringLiteral("」は Shift-JIS にない文字です。");
}

// The cause, the exact command that converts the file, and what to fix first if needed.
Error utf8Error(const QString& path, const QString& name, const QByteArray& bytes)
{
    const QString original = utf8OriginalName(name);
    // iconv would stop at the byte-order mark, which Shift-JIS lacks.
    const QString source = bytes.startsWith(Utf8Bom)
                               ? QString(QStringLiteral("sed '1s/^\\xEF\\xBB\\xBF//' ") +
                                         shellQuoted(original) + QStringLiteral(" | iconv"))
                               : QString(QStringLiteral("iconv ") + shellQuoted(original));
    QString text = fileLabel(name) +
                   QStringLiteral(" は UTF-8 で保存されています。問題ファイルは Shift-JIS"
                                  "（CP932）で読みます。\r端末では次のコマンドで変換できます"
                                  "（元のファイルは ") +
                   original + QStringLiteral(" として残ります）。\r\rcd ") +
                   shellQuoted(QFileInfo(path).absolutePath()) + QStringLiteral(" && mv ") +
                   shellQuoted(name) + u' ' + shellQuoted(original) + QStringLiteral(" && ") +
                   source + QStringLiteral(" -f UTF-8 -t CP932 > ") + shellQuoted(name);
    const Utf8Contents contents = utf8Contents(bytes);
    if (!contents.missingCharacter.isEmpty())
        text += QStringLiteral("\r\rただし、") + missingCharacterText(name, contents) +
                QStringLiteral("先にその文字を直してください。");
    return Error(Error::Code::Utf8Text, text);
}

Expected<void> openForReading(QFile& file, const QString& name)
{
    if (file.open(QIODevice::ReadOnly))
        return {};
    const QFileInfo info(file.fileName());
    if (!info.exists())
        return Error(Error::Code::FileNotFound,
                     fileLabel(name) + QStringLiteral(" が見つかりません。"));
    const QString cause = info.isDir()         ? QStringLiteral("フォルダです")
                          : !info.isReadable() ? QStringLiteral("読み取りの許可がありません")
                                               : file.errorString();
    return Error(Error::Code::FileAccessDenied, fileLabel(name) +
                                                    QStringLiteral(" を開けません（") + cause +
                                                    QStringLiteral("）。"));
}

Expected<QStringList> readCp932Lines(const QString& path, const QString& name)
{
    QFile file(path);
    if (const Expected<void> opened = openForReading(file, name); !opened)
        return opened.error();
    LineCollector lines(name);
    QByteArray chunk;
    bool afterCR = false;
    while (true) {
        chunk = file.read(ChunkSize);
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError || !file.atEnd())
                return Error(Error::Code::ReadFailure,
                             fileLabel(name) + QStringLiteral(" を読み込めません（") +
                                 file.errorString() + QStringLiteral("）。"));
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
            if (!lines.add(bytes + start, i - start) || !lines.endLine())
                return lines.error();
            afterCR = (c == CR);
            start = i + 1;
        }
        if (start < size) {
            if (!lines.add(bytes + start, size - start))
                return lines.error();
            afterCR = false;
        }
    }
    if (lines.hasUnfinishedLine() && !lines.endLine())
        return lines.error();
    return lines.takeLines();
}

} // namespace

// Lines of a Shift-JIS file; a file a Linux editor saved as UTF-8 is named as such.
Expected<QStringList> readLines(const QString& path, const QString& name)
{
    Expected<QStringList> lines = readCp932Lines(path, name);
    if (lines || lines.error().code() != Error::Code::InvalidText)
        return lines;
    QFile file(path);
    if (file.size() > MaxUtf8FileBytes || !file.open(QIODevice::ReadOnly))
        return lines;
    const QByteArray bytes = file.readAll();
    if (!isUtf8(bytes))
        return lines;
    return utf8Error(path, name, bytes);
}

bool isUtf8(QByteArrayView bytes)
{
    bool nonAscii = false;
    for (const char c : bytes) {
        if (uchar(c) >= 0x80) {
            nonAscii = true;
            break;
        }
    }
    if (!nonAscii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QString utf8OriginalName(const QString& name)
{
    return QStringLiteral("utf8-") + name;
}

QString convertFromUtf8(const QString& path)
{
    const QFileInfo info(path);
    const QString name = info.fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fileLabel(name) + QStringLiteral(" を開けません（") + file.errorString() +
               QStringLiteral("）。");
    const QByteArray bytes = file.read(MaxUtf8FileBytes + 1);
    file.close();
    if (!isUtf8(bytes))
        return fileLabel(name) + QStringLiteral(" は UTF-8 のファイルではありません。");
    const Utf8Contents contents = utf8Contents(bytes);
    if (!contents.missingCharacter.isEmpty())
        return missingCharacterText(name, contents) + QStringLiteral("その文字を直してください。");
    // Stored problem files end their lines with CR LF.
    QString text = contents.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));

    const QString originalPath = info.dir().filePath(utf8OriginalName(name));
    if (QFileInfo::exists(originalPath))
        return utf8OriginalName(name) + QStringLiteral(" がすでにあるので、") + fileLabel(name) +
               QStringLiteral(" を変換しません。");
    // The original first: whatever happens next, the teacher's text is never lost.
    if (!QFile::copy(path, originalPath))
        return QStringLiteral("フォルダ ") + info.absolutePath() +
               QStringLiteral(" に元のファイルの控え ") + utf8OriginalName(name) +
               QStringLiteral(" を作れません（書き込みの許可がないか、空きがありません）。");
    QSaveFile converted(path);
    const QByteArray cp932 = Cp932::encode(text).bytes;
    if (!converted.open(QIODevice::WriteOnly) || converted.write(cp932) != cp932.size() ||
        !converted.commit()) {
        QFile::remove(originalPath);
        return fileLabel(name) + QStringLiteral(" を書き換えられません（") +
               converted.errorString() + QStringLiteral("）。");
    }
    return {};
}

QString fileHeader(const QString& path, qsizetype maxCharacters)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // The whole file decides its encoding: a UTF-8 line may pass for Shift-JIS by chance.
    QByteArray head = file.read(MaxUtf8FileBytes);
    const bool utf8 = !Cp932::decode(head).ok && isUtf8(head);
    if (utf8 && head.startsWith(Utf8Bom))
        head.remove(0, Utf8Bom.size());
    qsizetype end = 0;
    while (end < head.size() && head.at(end) != CR && head.at(end) != LF)
        ++end;
    const QString text = utf8 ? QString::fromUtf8(head.first(end)) : Cp932::decode(head.first(end)).text;
    qsizetype cut = 0;
    for (qsizetype taken = 0; taken < maxCharacters && cut < text.size(); ++taken)
        cut += (text.at(cut).isHighSurrogate() && cut + 1 < text.size()) ? 2 : 1;
    return text.left(cut);
}

} // namespace ProblemFile
