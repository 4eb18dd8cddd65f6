#pragma once

#include "platform/MessageService.h"
#include "platform/QtMessageService.h"
#include "problems/Problem.h"
#include "support/WindowParts.h"
#include "typing/InputBox.h"
#include "typing/InputPane.h"
#include "typing/TestWindow.h"

#include <QAbstractAnimation>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTimer>

#include <algorithm>

// Runs one after another in one test window, as a user makes them: the space bar, the input
// method's commits of a few characters each with a wrong one now and then, Enter at every
// line's end, the countdown ticking, and the menu back to the start. Shared by the load
// benchmark and its test.
namespace RepeatedRuns
{

// A few characters of each kind, a full-width space and a half-width one, over three lines.
inline QString problemText(int index)
{
    static const QString pool =
        QStringLiteral("日本語の入力速度を測ります。漢字かな交じり文ＡＢＣabc123、"
                       "「試験」は３分間です～－カタカナ");
    QStringList lines;
    for (int line = 0; line < 3; ++line) {
        QString text = QStringLiteral("第%1問　").arg(index + 1);
        for (int i = 0; i < 24 + 4 * index; ++i)
            text += pool.at((index * 11 + line * 7 + i * 5) % pool.size());
        lines << text + QStringLiteral(" end");
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

// Shows every box on screen as the program does and clicks its default button once it is
// up (all boxes of a run offer OK); keeps counts only, so that a long series holds no
// growing list of its own.
class BoxCounter : public MessageService
{
public:
    BoxCounter() : m_previous(setMessageService(this)) {}
    ~BoxCounter() override { setMessageService(m_previous); }
    BoxCounter(const BoxCounter&) = delete;
    BoxCounter& operator=(const BoxCounter&) = delete;

    MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override
    {
        if (text == QStringLiteral("お疲れ様でした"))
            ++finished;
        else if (other++ == 0)
            firstOther = text;
        QTimer::singleShot(0, [] { clickDefaultButton(100); });
        return QtMessageService().show(text, title, buttons, icon);
    }

    int finished = 0;
    int other = 0;
    QString firstOther;

private:
    static void clickDefaultButton(int triesLeft)
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QAbstractButton* button = box ? box->defaultButton() : nullptr;
        if (!button && box && !box->buttons().isEmpty())
            button = box->buttons().first();
        if (button)
            button->click();
        else if (triesLeft > 0)
            QTimer::singleShot(10, [triesLeft] { clickDefaultButton(triesLeft - 1); });
    }

    MessageService* m_previous;
};

// What may not pile up over runs: windows, timers, the test window's children.
struct Census {
    qsizetype windows = 0;
    qsizetype timers = 0;
    qsizetype childWidgets = 0;
    qsizetype childObjects = 0;
    bool operator==(const Census&) const = default;
};

inline Census census(const TestWindow& window)
{
    Census counted;
    const QWidgetList windows = QApplication::topLevelWidgets();
    counted.windows = windows.size();
    QSet<const QTimer*> timers;
    for (const QWidget* top : windows)
        for (const QTimer* timer : top->findChildren<QTimer*>())
            timers.insert(timer);
    for (const QTimer* timer : window.findChildren<QTimer*>())
        timers.insert(timer);
    counted.timers = timers.size();
    counted.childWidgets = window.findChildren<QWidget*>().size();
    // Animations come and go with the style's effects and delete themselves when done.
    const QObjectList objects = window.findChildren<QObject*>();
    counted.childObjects = std::count_if(objects.begin(), objects.end(), [](const QObject* object) {
        return !qobject_cast<const QAbstractAnimation*>(object);
    });
    return counted;
}

inline void commit(QWidget* box, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

inline void press(QWidget* widget, Qt::Key key, const QString& text)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &event);
}

// Types the window's problem from the space bar to its closing box: `mistakes` wrong
// characters (one in each of the first lines), `seconds` ticks of the countdown spread
// over the lines. True when the last Enter ended the run.
inline bool typeRun(TestWindow& window, int mistakes, int seconds)
{
    InputPane* input = window.inputPane();
    const Problem* problem = window.problem();
    if (!input || !problem)
        return false;
    press(input, Qt::Key_Space, QStringLiteral(" "));
    if (!input->runInProgress())
        return false;
    InputBox* box = part<InputBox>(input, "inputBox");
    const int lines = std::max(1, int(problem->count()));
    int line = 0;
    for (const ProblemLine& problemLine : *problem) {
        const QString text = problemLine.text();
        bool wrongTyped = line >= mistakes;
        for (qsizetype at = 0; at < text.size();) {
            // Phrases of one to three characters; a surrogate pair stays whole.
            qsizetype length = std::min<qsizetype>(1 + at % 3, text.size() - at);
            if (text.at(at + length - 1).isHighSurrogate() && at + length < text.size())
                ++length;
            if (!wrongTyped && at >= text.size() / 2) {
                commit(box, QStringLiteral("〓"));
                wrongTyped = true;
            }
            commit(box, text.mid(at, length));
            at += length;
        }
        for (int tick = seconds * line / lines; tick < seconds * (line + 1) / lines; ++tick)
            window.countdownTick();
        ++line;
        press(box, Qt::Key_Return, QStringLiteral("\r"));
        QCoreApplication::processEvents(); // painting between lines, as pauses allow
    }
    return input->checker().finished();
}

// Back to the start as the menu does it: the next problem after a pass, else start over.
// True when that was the next problem.
inline bool backToStart(TestWindow& window)
{
    const bool next = part<QAction>(window, "nextProblemAction")->isVisible();
    (next ? part<QAction>(window, "nextProblemAction") : part<QAction>(window, "startOverAction"))
        ->trigger();
    QCoreApplication::processEvents();
    return next;
}

// Loads the problem file at `index` (counted from 0, wrapping) from the problem menu.
inline QString chooseFromMenu(TestWindow& window, int index)
{
    const QList<QAction*> items = part<QMenu>(window, "problemMenu")->actions();
    const int files = int(items.size()) - 1;
    if (files < 1)
        return QString();
    QAction* item = items.at(1 + index % files);
    item->trigger();
    QCoreApplication::processEvents();
    return item->data().toString();
}

inline qsizetype logLines(const QString& path)
{
    QFile log(path);
    return log.open(QIODevice::ReadOnly) ? log.readAll().count("\r\n") : -1;
}

} // namespace RepeatedRuns
