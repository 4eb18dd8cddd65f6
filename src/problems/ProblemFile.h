#pragma once

#include "common/Expected.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Reading problem files: strict Shift-JIS, lines ending at CR, CR LF or a lone LF (files
// saved on Linux work too). Nothing is ever dropped or replaced: a file that cannot be
// read whole gives an error whose message names the file.
namespace ProblemFile
{

inline constexpr qint32 MaxCharacters = 32767; // in a line and in the whole problem
inline constexpr qint32 MaxLines = 32767;

// The lines of the file at path, without their end markers; a final end marker does not
// start another line. name is the file name shown in error messages. A file a Linux
// editor saved as UTF-8 gives Error::Code::Utf8Text, its message saying how to convert it.
Expected<QStringList> readLines(const QString& path, const QString& name);

// The first maxCharacters characters of the first line; the empty text for an empty or
// unreadable file. Text after an invalid byte is left out.
QString fileHeader(const QString& path, qsizetype maxCharacters);

// Whether the bytes are valid UTF-8 holding at least one non-ASCII character, a
// byte-order mark allowed.
bool isUtf8(QByteArrayView bytes);

// The name the original of a converted file keeps: outside "jpn_dat.*", so never listed.
QString utf8OriginalName(const QString& name);

// Converts the UTF-8 problem file at path to Shift-JIS with CR LF, keeping the original
// beside it under utf8OriginalName(). An empty text when done, else what went wrong.
QString convertFromUtf8(const QString& path);

} // namespace ProblemFile
