#include "DrillBuilder.h"

#include "problems/ProblemFile.h"
#include "problems/ProblemLine.h"

#include <QSet>

#include <algorithm>

namespace DrillBuilder
{

namespace
{

QString lineAt(const QStringList& lines, qint32 line)
{
    return line >= 1 && line <= lines.size() ? lines.at(line - 1) : QString();
}

// The missed character with a few of its neighbours. Where Enter was due the context is the
// end of the last line that has characters, so the short line ends where Enter is due.
QString contextOf(const QStringList& lines, const RunReview::Where& where)
{
    QStringList characters = ProblemLine::characters(lineAt(lines, where.line));
    const qsizetype at = where.position - 1; // 0-based
    if (at >= characters.size()) {
        for (qint32 line = where.line; characters.isEmpty() && line > 1; --line)
            characters = ProblemLine::characters(lineAt(lines, line - 1));
        const qsizetype from = std::max<qsizetype>(0, characters.size() - (2 * ContextChars + 1));
        return characters.mid(from).join(QString());
    }
    const qsizetype from = std::max<qsizetype>(0, at - ContextChars);
    const qsizetype to = std::min<qsizetype>(characters.size(), at + ContextChars + 1);
    return characters.mid(from, to - from).join(QString());
}

} // namespace

QStringList build(const QStringList& problemLines, const QList<RunReview::Missed>& missed)
{
    QStringList drill;
    QSet<QString> taken;
    qsizetype characters = 0;
    const auto add = [&](const QString& line) {
        if (line.isEmpty() || taken.contains(line))
            return;
        // A problem holds at most so many characters; a line that would pass it is left out.
        const qsizetype count = ProblemLine::characterCount(line);
        if (characters + count > ProblemFile::MaxCharacters)
            return;
        characters += count;
        taken.insert(line);
        drill.append(line);
    };

    QList<qint32> lineNumbers;
    for (const RunReview::Missed& entry : missed) {
        for (const RunReview::Where& where : entry.places)
            lineNumbers.append(where.line);
    }
    std::sort(lineNumbers.begin(), lineNumbers.end());
    for (qint32 line : lineNumbers)
        add(lineAt(problemLines, line));

    for (const RunReview::Missed& entry : missed) {
        if (entry.places.isEmpty())
            continue;
        const QString context = contextOf(problemLines, entry.places.first());
        if (context.isEmpty())
            continue;
        // Enter is practised by ending the short line with it; a character by repeating it.
        QStringList repeated;
        for (int i = 0; i < (entry.expected.isEmpty() ? 1 : Repeats); ++i)
            repeated.append(context);
        add(repeated.join(QStringLiteral("　")));
    }

    // A miss only on empty lines of a problem that starts with them: its first line to type.
    if (drill.isEmpty() && !missed.isEmpty()) {
        const auto first = std::find_if(problemLines.begin(), problemLines.end(),
                                        [](const QString& line) { return !line.isEmpty(); });
        if (first != problemLines.end())
            add(*first);
    }
    return drill;
}

} // namespace DrillBuilder
