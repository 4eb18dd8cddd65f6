#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class Settings;

// The rules of the pass-log format dialog: which titles a column string shows, how the two
// lists change, and how a confirmed choice becomes the new column string.
namespace PassLogFormatRules
{

// Titles of the catalogue in its order.
QStringList catalogueTitles();

// The titles a column string shows, in its order: a repeated code repeats its title, a
// character that is no code shows nothing.
QStringList titlesOf(const QString& format);

// Appends the title unless the list holds it already; true when appended.
bool addTitle(QStringList& chosen, const QString& title);

// The row to select once row `removed` is gone from a list now `remaining` long; -1 for none.
int rowAfterRemove(int removed, int remaining);

// The codes of the chosen titles, always in catalogue order.
QString formatOf(const QStringList& chosen);

enum class Outcome {
    Unchanged,      // same columns: stored again, nothing appended
    Changed,        // new columns stored and announced in the pass log
    BlockNotWritten // new columns stored, but the pass log could not take the announcement
};

// Confirms the choice: a changed column string is set and announced in the pass log (also
// while the pass log is off), and the setting is stored in every case.
Outcome confirm(Settings& settings, const QStringList& chosen,
                const QDateTime& now = QDateTime::currentDateTime());

// The message shown when the announcement could not be appended.
QString blockFailureText(const Settings& settings);

} // namespace PassLogFormatRules

// Appends to the pass log the block that marks a change of its columns. False on any failure.
bool appendColumnChange(const QString& passLogFolder, const QString& passLogName,
                        const QString& newFormat,
                        const QDateTime& now = QDateTime::currentDateTime(),
                        int lockTimeoutMs = 3000);
