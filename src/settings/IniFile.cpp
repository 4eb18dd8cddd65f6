#include "IniFile.h"

#include "common/Cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace
{

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

QStringView trimBlanks(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s.at(begin).unicode()))
        ++begin;
    while (end > begin && isBlank(s.at(end - 1).unicode()))
        --end;
    return s.mid(begin, end - begin);
}

// Blanks are never trail bytes of a double-byte character, so bytes can be trimmed directly.
QByteArray trimBlankBytes(QByteArrayView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
    };
    while (begin < end && blank(s.at(begin)))
        ++begin;
    while (end > begin && blank(s.at(end - 1)))
        --end;
    return s.sliced(begin, end - begin).toByteArray();
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A name or value that would break the line structure, or that Shift-JIS cannot hold.
bool storable(QStringView text, QByteArray* bytes)
{
    if (text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0)))
        return false;
    const Cp932::Encoded encoded = Cp932::encode(text);
    if (!encoded.ok)
        return false;
    *bytes = encoded.bytes;
    return true;
}

// A value as a read takes it: up to a NUL, without surrounding quotes.
QStringView unquoted(QStringView text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text = text.left(nul);
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        text = text.sliced(1, text.size() - 2);
    return text;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path))
{
}

IniFile::Line IniFile::parse(QByteArray raw, QByteArray eol)
{
    Line line;
    line.raw = std::move(raw);
    line.eol = std::move(eol);
    const Cp932::Decoded decoded = Cp932::decode(line.raw);
    if (!decoded.ok)
        return line; // not interpreted, kept as bytes
    const QStringView text = trimBlanks(decoded.text);
    if (text.isEmpty() || text.startsWith(u';'))
        return line;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.lastIndexOf(u']');
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = trimBlanks(text.sliced(1, close - 1)).toString();
        }
        return line;
    }
    line.kind = Kind::Key;
    const qsizetype equalsSign = text.indexOf(u'=');
    if (equalsSign < 0) {
        line.name = text.toString();
    } else {
        line.name = trimBlanks(text.left(equalsSign)).toString();
        line.value = trimBlanks(text.sliced(equalsSign + 1)).toString();
    }
    return line;
}

bool IniFile::load()
{
    m_lines.clear();
    m_readable = true;
    const QFileInfo info(m_path);
    if (!info.exists())
        return true;
    QFile file(m_path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        m_readable = false;
        return false;
    }
    const QByteArray all = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_readable = false;
        return false;
    }
    qsizetype pos = 0;
    while (pos < all.size()) {
        qsizetype lineEnd = all.indexOf('\n', pos);
        QByteArray raw;
        QByteArray eol;
        if (lineEnd < 0) {
            raw = all.sliced(pos);
            pos = all.size();
        } else {
            raw = all.sliced(pos, lineEnd - pos);
            eol = QByteArrayLiteral("\n");
            pos = lineEnd + 1;
            if (raw.endsWith('\r')) {
                raw.chop(1);
                eol = kCrLf;
            }
        }
        m_lines.append(parse(std::move(raw), std::move(eol)));
    }
    return true;
}

qsizetype IniFile::findSection(QStringView section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines.at(i).kind == Kind::Section && sameName(m_lines.at(i).name, section))
            return i;
    }
    return -1;
}

qsizetype IniFile::findKey(qsizetype sectionLine, QStringView key, qsizetype* lastKey) const
{
    if (lastKey)
        *lastKey = sectionLine;
    for (qsizetype i = sectionLine + 1; i < m_lines.size(); ++i) {
        const Line& line = m_lines.at(i);
        if (line.kind == Kind::Section)
            break;
        if (line.kind != Kind::Key)
            continue;
        if (sameName(line.name, key))
            return i;
        if (lastKey)
            *lastKey = i;
    }
    return -1;
}

QString IniFile::wholeValue(QStringView section, QStringView key) const
{
    const qsizetype sectionLine = findSection(trimBlanks(section));
    if (sectionLine < 0)
        return {};
    const qsizetype keyLine = findKey(sectionLine, trimBlanks(key), nullptr);
    if (keyLine < 0)
        return {};
    return unquoted(m_lines.at(keyLine).value).toString();
}

bool IniFile::contains(QStringView section, QStringView key) const
{
    const qsizetype sectionLine = findSection(trimBlanks(section));
    return sectionLine >= 0 && findKey(sectionLine, trimBlanks(key), nullptr) >= 0;
}

QString IniFile::value(QStringView section, QStringView key) const
{
    return Cp932::leftBytes(wholeValue(section, key), ValueBufferSize - 1);
}

bool IniFile::readsBackWhole(QStringView value)
{
    const QStringView text = unquoted(trimBlanks(value));
    return Cp932::leftBytes(text, ValueBufferSize - 1).size() == text.size();
}

void IniFile::insertLine(qsizetype at, Line line)
{
    if (at > 0 && m_lines.at(at - 1).eol.isEmpty())
        m_lines[at - 1].eol = kCrLf;
    m_lines.insert(at, std::move(line));
}

bool IniFile::setValue(QStringView section, QStringView key, QStringView value)
{
    const QStringView sectionName = trimBlanks(section);
    const QStringView keyName = trimBlanks(key);
    QByteArray sectionBytes;
    QByteArray keyBytes;
    QByteArray valueBytes;
    if (sectionName.isEmpty() || keyName.isEmpty() || sectionName.contains(u']') ||
        keyName.contains(u'=') || keyName.startsWith(u'[') || keyName.startsWith(u';') ||
        !storable(sectionName, &sectionBytes) || !storable(keyName, &keyBytes) ||
        !storable(value, &valueBytes))
        return false;

    qsizetype sectionLine = findSection(sectionName);
    if (sectionLine < 0) {
        Line header;
        header.raw = '[' + sectionBytes + ']';
        header.eol = kCrLf;
        header.kind = Kind::Section;
        header.name = sectionName.toString();
        insertLine(m_lines.size(), std::move(header));
        sectionLine = m_lines.size() - 1;
    }

    qsizetype lastKey = sectionLine;
    const qsizetype keyLine = findKey(sectionLine, keyName, &lastKey);
    if (keyLine >= 0) {
        // Keep the name as the file spells it; only the value changes.
        Line& line = m_lines[keyLine];
        const qsizetype equalsSign = line.raw.indexOf('=');
        const QByteArray name = trimBlankBytes(
            equalsSign < 0 ? QByteArrayView(line.raw) : QByteArrayView(line.raw).first(equalsSign));
        line.raw = name + '=' + valueBytes;
        line.value = trimBlanks(value).toString();
        return true;
    }

    Line entry;
    entry.raw = keyBytes + '=' + valueBytes;
    entry.eol = kCrLf;
    entry.kind = Kind::Key;
    entry.name = keyName.toString();
    entry.value = trimBlanks(value).toString();
    insertLine(lastKey + 1, std::move(entry));
    return true;
}

QByteArray IniFile::bytes() const
{
    qsizetype size = 0;
    for (const Line& line : m_lines)
        size += line.raw.size() + line.eol.size();
    QByteArray out;
    out.reserve(size);
    for (const Line& line : m_lines) {
        out += line.raw;
        out += line.eol;
    }
    return out;
}

bool IniFile::save()
{
    if (!m_readable)
        return false;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray content = bytes();
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString IniFile::readString(const QString& path, QStringView section, QStringView key)
{
    IniFile file(path);
    file.load();
    return file.value(section, key);
}

bool IniFile::writeString(const QString& path, QStringView section, QStringView key,
                          QStringView value)
{
    IniFile file(path);
    return file.load() && file.setValue(section, key, value) && file.save();
}
