// The checking core driven by random commits, preedits, keys, Enters and the clock running
// out, over a small problem made from the fuzz bytes. After every step the input box holds
// only accepted text, the counters stay sane and the run ends at most once.
#include "FuzzSupport.h"

#include "common/Cp932.h"
#include "problems/Problem.h"
#include "results/RunRecord.h"
#include "typing/InputChecker.h"

#include <QDir>

#include <memory>

namespace
{

// Problem characters: kana, kanji, letters, digits, half-width kana, both spaces and the
// characters the hints are about.
const QStringList& problemAlphabet()
{
    static const QStringList chars = {
        QStringLiteral("あ"), QStringLiteral("い"), QStringLiteral("漢"), QStringLiteral("A"),
        QStringLiteral("a"),  QStringLiteral("1"),  QStringLiteral("　"), QStringLiteral(" "),
        QStringLiteral("〇"), QStringLiteral("ｱ"),  QStringLiteral("ー"), QStringLiteral("～"),
        QStringLiteral("∵"),  QStringLiteral("①")};
    return chars;
}

// What may arrive: the same, look-alikes, a character outside Shift-JIS, a surrogate pair,
// Enter and control characters.
const QStringList& typedAlphabet()
{
    static const QStringList chars = [] {
        QStringList c = problemAlphabet();
        c << QStringLiteral("〜") << QStringLiteral("○") << QStringLiteral("x")
          << QStringLiteral("é") << QStringLiteral("😀") << QStringLiteral("\r")
          << QStringLiteral("\t") << QString(QChar(0x7f));
        return c;
    }();
    return chars;
}

qreal cellWidth(QStringView text)
{
    return qreal(Cp932::byteLength(text)) * 10;
}

QString shownForm(const QString& c)
{
    return c == InputChecker::FullSpace ? InputChecker::FullSpaceMark : c;
}

struct Harness;

// Keeps what the window would show and checks each decision against the checker's state.
struct RecordingView : InputCheckerView {
    Harness* h = nullptr;
    QString box;       // the input box: accepted characters of the row being typed
    QString lineSoFar; // rows of the current line already moved to the typed rows
    int rowsMoved = 0;

    void appendAccepted(const QString& shown) override;
    void moveRowToTypedRows(const QString& text, bool withEnter, bool scroll) override;
    void moveCursor(qreal x, qreal width) override { FUZZ_CHECK(x >= 0 && width >= 0); }
    void showHint(const QString&) override {}
    void showStatus(const QString&) override {}
};

struct Harness {
    std::unique_ptr<Problem> problem;
    RunRecord record;
    int strokes = 0;
    RecordingView view;
    InputChecker checker{strokes, view};
    qreal innerWidth = 0;
    int ends = 0;

    QString expectedLine(qint32 line) const
    {
        QString text;
        if (line < 1 || line > problem->count())
            return text;
        for (const ProblemChar& c : problem->line(line))
            text += shownForm(c.text());
        return text;
    }
    // A line passed with Enter alone: empty, or its first character wider than the row.
    bool passedWithEnter(qint32 line) const
    {
        const ProblemLine& l = problem->line(line);
        return l.count() == 0 || cellWidth(l.charAt(1).text()) > innerWidth;
    }
    // The accepted text of the current line so far, as far as it is due.
    QString duePrefix() const
    {
        const qint32 line = checker.currentLine();
        if (line < 1 || line > problem->count())
            return QString();
        QString text;
        for (qint32 i = 1; i < checker.currentChar(); ++i)
            text += shownForm(problem->line(line).charAt(i).text());
        return text;
    }

    void endRun()
    {
        if (checker.finish())
            ++ends;
        FUZZ_CHECK(ends <= 1);
    }
    void typeText(const QString& text)
    {
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype length = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
            const QStringView c = QStringView(text).mid(i, length);
            i += length;
            if (!checker.running())
                return;
            if (c.at(0) == u'\r') {
                enter();
            } else if (c.at(0).unicode() >= 0x20 && c.at(0).unicode() != 0x7f) {
                checker.typeCharacter(c);
            }
        }
    }
    void enter()
    {
        if (checker.enter())
            endRun();
    }
};

void RecordingView::appendAccepted(const QString& shown)
{
    box += shown;
    // Accepted text only: the line so far is exactly what is due.
    const QString typed = lineSoFar + box;
    FUZZ_CHECK(typed.startsWith(h->duePrefix()));
    FUZZ_CHECK(h->expectedLine(h->checker.currentLine()).startsWith(typed));
}

void RecordingView::moveRowToTypedRows(const QString& text, bool withEnter, bool)
{
    FUZZ_CHECK(text == box);
    ++rowsMoved;
    const qint32 line = h->checker.currentLine();
    if (withEnter) {
        const QString whole = lineSoFar + text;
        FUZZ_CHECK(whole == h->expectedLine(line) || (whole.isEmpty() && h->passedWithEnter(line)));
        lineSoFar.clear();
    } else {
        lineSoFar += text;
        FUZZ_CHECK(h->expectedLine(line).startsWith(lineSoFar));
    }
    box.clear();
}

std::unique_ptr<Problem> makeProblem(Fuzz::Bytes& in)
{
    const int lineCount = 1 + in.byte() % 4;
    QStringList lines;
    for (int l = 0; l < lineCount; ++l) {
        const int length = in.byte() % 12;
        QString line;
        for (int i = 0; i < length; ++i)
            line += problemAlphabet().at(in.byte() % problemAlphabet().size());
        lines.append(line);
    }
    static const QString folder = Fuzz::scratchFolder() + QStringLiteral("/problems");
    QDir().mkpath(folder);
    const Cp932::Encoded bytes = Cp932::encode(lines.join(QStringLiteral("\r\n")));
    FUZZ_CHECK(bytes.ok);
    Fuzz::writeFile(folder + QStringLiteral("/jpn_dat.001"), bytes.bytes);
    auto problem = std::make_unique<Problem>();
    if (problem->loadFrom(folder, QString(), QStringLiteral("SEQUENCE")) != Problem::Loaded)
        return nullptr;
    return problem;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::Bytes in(data, size);
    Harness h;
    h.view.h = &h;
    h.innerWidth = 5 + in.byte() * 2;
    h.problem = makeProblem(in);
    if (!h.problem)
        return 0;
    h.checker.setMeasure(cellWidth, [&h] { return h.innerWidth; });
    h.checker.setImeOn([] { return true; });
    // Keys before the start count nothing.
    h.checker.countStroke();
    FUZZ_CHECK(h.strokes == 0);
    FUZZ_CHECK(h.checker.start(h.problem.get(), h.record, QStringLiteral("総文字数:10文字")));

    int lastTotal = 0;
    while (!in.atEnd()) {
        const bool wasFinished = h.checker.finished();
        const int strokesBefore = h.strokes;
        const int acceptedBefore = h.record.acceptedChars();
        const int errorsBefore = h.record.errors();
        const uint8_t op = in.byte();
        switch (op % 8) {
        case 0: { // a commit of one to three characters
            QString text;
            for (int i = 0, n = 1 + (op >> 3) % 3; i < n; ++i)
                text += typedAlphabet().at(in.byte() % typedAlphabet().size());
            h.checker.countStroke();
            h.typeText(text);
            break;
        }
        case 1: // the character that is due, committed
        case 2: {
            const qint32 line = h.checker.currentLine();
            const qint32 at = h.checker.currentChar();
            if (line >= 1 && line <= h.problem->count() && at <= h.problem->line(line).count())
                h.typeText(h.problem->line(line).charAt(at).text());
            else
                h.typeText(QStringLiteral("\r"));
            break;
        }
        case 3: // a key the input method keeps for its preedit: counted, nothing typed
            h.checker.countStroke();
            break;
        case 4: // a plain key with the input method off
            h.checker.countStroke();
            h.checker.setImeOn([] { return false; });
            h.typeText(typedAlphabet().at(in.byte() % typedAlphabet().size()));
            h.checker.setImeOn([] { return true; });
            break;
        case 5:
        case 6: // Enter
            h.checker.countStroke();
            h.enter();
            break;
        case 7: // the clock runs out, now and then
            if ((op >> 3) == 0)
                h.endRun();
            break;
        }

        FUZZ_CHECK(h.view.box == h.checker.rowText());
        if (h.checker.currentLine() <= h.problem->count())
            FUZZ_CHECK(QString(h.view.lineSoFar + h.view.box) == h.duePrefix());
        FUZZ_CHECK(h.strokes >= 0 && h.record.acceptedChars() >= 0 && h.record.errors() >= 0);
        const int total = h.record.acceptedChars() + h.record.errors();
        FUZZ_CHECK(total >= lastTotal);
        lastTotal = total;
        if (wasFinished) {
            // After the end nothing is checked or counted.
            FUZZ_CHECK(h.strokes == strokesBefore && h.record.acceptedChars() == acceptedBefore &&
                       h.record.errors() == errorsBefore);
        }
        FUZZ_CHECK(h.ends <= 1);
    }
    return 0;
}
