#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class ClassLog;
class QIODevice;

// Comma-separated values for spreadsheets: UTF-8 with a byte-order mark (so spreadsheet
// programs know the encoding without asking), a title row, CR LF after every row, and a
// field in double quotes, its quotes doubled, when it holds a comma, a quote or a line break.
namespace CsvExport
{

// Spreadsheets run a cell that begins with = + - @ (or their full-width forms), a tab or a CR
// as a formula, quoted or not; such a text gets a leading apostrophe. Plain numbers stay
// numbers.
QString neutralised(const QString& text);

// Every exported cell goes through here, so no export path can skip the apostrophe.
QByteArray field(const QString& text);
QByteArray row(const QStringList& fields);

// The title row and the given log rows in that order, every column the browser shows.
// False when the device refuses a write.
bool write(QIODevice& out, const ClassLog& log, const std::vector<int>& rows, int passSpeed);
// The same in parts, for rows read a batch at a time.
bool writeTitles(QIODevice& out);
bool writeRows(QIODevice& out, const ClassLog& log, const std::vector<int>& rows, int passSpeed);

} // namespace CsvExport
