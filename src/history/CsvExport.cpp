#include "CsvExport.h"

#include "ClassLogQuery.h"

#include <QIODevice>
#include <QRegularExpression>

namespace CsvExport
{

namespace
{

bool isPlainNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    return number.match(text).hasMatch();
}

} // namespace

QString neutralised(const QString& text)
{
    if (text.isEmpty() || isPlainNumber(text))
        return text;
    switch (text.front().unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    // A spreadsheet in a Japanese locale may read the full-width signs as formulas too.
    case u'＝':
    case u'＋':
    case u'－':
    case u'＠':
    case u'\t':
    case u'\r':
        return u'\'' + text;
    default:
        return text;
    }
}

QByteArray field(const QString& text)
{
    QByteArray bytes = neutralised(text).toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') &&
        !bytes.contains('\n'))
        return bytes;
    bytes.replace('"', QByteArrayLiteral("\"\""));
    return '"' + bytes + '"';
}

QByteArray row(const QStringList& fields)
{
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += ',';
        line += field(fields[i]);
    }
    return line + "\r\n";
}

bool writeTitles(QIODevice& out)
{
    QStringList fields;
    for (int column = 0; column < ClassLogColumns::Count; ++column)
        fields.append(ClassLogColumns::title(column));
    const QByteArray bytes = QByteArrayLiteral("\xEF\xBB\xBF") + row(fields);
    return out.write(bytes) == bytes.size();
}

bool writeRows(QIODevice& out, const ClassLog& log, const std::vector<int>& rows, int passSpeed)
{
    QByteArray buffer;
    for (int logRow : rows) {
        buffer += row(ClassLogColumns::rowTexts(log, logRow, passSpeed));
        if (buffer.size() > 1 << 20) {
            if (out.write(buffer) != buffer.size())
                return false;
            buffer.clear();
        }
    }
    return out.write(buffer) == buffer.size();
}

bool write(QIODevice& out, const ClassLog& log, const std::vector<int>& rows, int passSpeed)
{
    return writeTitles(out) && writeRows(out, log, rows, passSpeed);
}

} // namespace CsvExport
