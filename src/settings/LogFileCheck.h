#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Decides whether a log name chosen in the file dialog may be used. A name that does not
// exist yet or an empty file is fine; an existing file must begin like a main-log record,
// a record number and then a date, so that no other file gets appended to by mistake.
namespace LogFileCheck
{

// The file is looked up in the folder ignoring letter case; only its first line is read.
bool isAcceptable(const QString& folder, const QString& name);

// The rule for the first line of an existing file (line end already removed).
bool firstLineLooksLikeLog(const QByteArray& line);

// mm-dd-yyyy as the main log writes it; also the other numeric orders a log may hold.
bool isLogDate(QStringView text);

} // namespace LogFileCheck
