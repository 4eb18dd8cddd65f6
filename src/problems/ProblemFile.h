#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Reading problem files: strict Shift-JIS, lines ending at CR, CR LF or a lone LF (files
// saved on Linux work too). Nothing is ever dropped or replaced: a file that cannot be
// read whole raises PelkoError with a description naming the file.
namespace ProblemFile
{

inline constexpr qint32 MaxCharacters = 32767; // in a line and in the whole problem
inline constexpr qint32 MaxLines = 32767;

// Error numbers carried by the raised errors.
inline constexpr int FileNotFound = 53;
inline constexpr int AccessError = 75;
inline constexpr int ReadError = 57;
inline constexpr int InvalidText = 5;
// Saved as UTF-8 by a Linux editor: the description says how to convert it.
inline constexpr int Utf8Text = 1005;

// The lines of the file at path, without their end markers; a final end marker does not
// start another line. name is the file name shown in error descriptions.
QStringList readLines(const QString& path, const QString& name);

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
