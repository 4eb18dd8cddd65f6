#include "ProblemFixture.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"
#include "settings/SettingsText.h"
#include "support/SharedState.h"
#include "support/TempTree.h"
#include "support/WindowParts.h"
#include "typing/InputBox.h"
#include "typing/InputPane.h"
#include "typing/KeyStrokeCounter.h"
#include "typing/ProblemView.h"
#include "typing/TestHost.h"
#include "typing/TextRows.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFrame>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <cstring>
#include <functional>

namespace
{

struct FakeHost : TestHost {
    int countdownStarts = 0;
    int countdownStops = 0;
    bool durationMenuEnabled = true;
    bool nextShown = false;
    bool printEnabled = false;
    void startCountdown() override { ++countdownStarts; }
    void stopCountdown() override { ++countdownStops; }
    void setDurationMenuEnabled(bool on) override { durationMenuEnabled = on; }
    void showNextProblemMenu() override { nextShown = true; }
    void enablePrintMenus() override { printEnabled = true; }
    int secondsLeft() const override { return left; }
    int left = 180;
};

// Answers boxes like the recorder and, at the closing box, lets the input method commit
// what it was converting: the test window has already lost the run by then.
struct LateCommitService : MessageRecorder {
    InputBox* box = nullptr;
    MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override
    {
        if (text == QStringLiteral("お疲れ様でした") && box) {
            QInputMethodEvent commit;
            commit.setCommitString(QStringLiteral("えお"));
            QApplication::sendEvent(box, &commit);
            QTest::keyClick(box, Qt::Key_A);
        }
        return MessageRecorder::show(text, title, buttons, icon);
    }
};

void commit(QWidget* box, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

} // namespace

class tst_InputPane : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startsOnTheSpaceBarOnly();
    void wrongCharacterShowsInTheStatus();
    void fullWidthSpaceAndEarlyEnter();
    void multiCharacterCommits_data();
    void multiCharacterCommits();
    void preeditIsNeverChecked();
    void rowsMoveTheNowLineAndScrollFromRowSeven();
    void pasteRoutesAreRefused();
    void typedKeysAreTheBoxsHeldKeysTheWindows();
    void drawnAsALineEditIs_data();
    void drawnAsALineEditIs();
    void finishingShowsTheResultAndHandsItOn();
    void nothingCountsAfterTheEnd();
    void menusAfterTheRun_data();
    void menusAfterTheRun();
    void keyPressesSeenByTheWindowSystem();

private:
    void makeWindows(const QStringList& lines);
    void start();
    QString acceptedOfTyped() const;

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appData;
    std::unique_ptr<SharedState> m_state;
    std::unique_ptr<Problem> m_problem;
    QString m_problemSummary;
    std::unique_ptr<ProblemView> m_problemView;
    std::unique_ptr<InputPane> m_input;
    FakeHost m_host;
};

void tst_InputPane::initTestCase()
{
}

void tst_InputPane::init()
{
    m_tree = std::make_unique<TempTree>();
    m_appData = std::make_unique<ScopedEnv>("APPDATA", m_tree->path()); // records kept here
    m_state = std::make_unique<SharedState>();
    m_state->record.setUserId(QStringLiteral("U01"));
    m_state->record.setUserName(QStringLiteral("Tester"));
    m_state->settings.setLogFolder(m_tree->path());
    m_state->settings.setLogName(QStringLiteral("pelko.log"));
    m_state->settings.setPassLogEnabled(false);
    m_state->settings.setDurationMinutes(3);
    m_state->settings.setPassSpeed(25);
    m_state->settings.setProblemOrder(ProblemOrder::Random);
    m_problemSummary = QStringLiteral("総文字数:5文字");
    m_host = FakeHost();
}

void tst_InputPane::cleanup()
{
    m_input.reset();
    m_problemView.reset();
    m_problem.reset();
    m_state.reset();
    m_tree.reset();
}

void tst_InputPane::makeWindows(const QStringList& lines)
{
    m_problem = loadProblem(*m_tree, lines);
    m_problemView = std::make_unique<ProblemView>(m_state->settings);
    m_input = std::make_unique<InputPane>(m_state->settings, m_state->record);
    m_input->setProblem(m_problem.get(), &m_problemSummary);
    m_input->setProblemView(m_problemView.get());
    m_input->setHost(&m_host);
    m_input->prepareRun();
    m_input->setRowHeights(5, 20);
    part<QFrame>(m_problemView, "currentRowLine")->setGeometry(0, 20, 500, 1);
    part<QFrame>(m_problemView, "cursorBar")->setGeometry(0, 15, 10, 5);
    // As the test window leaves the box while the problem waits for its start.
    part<InputBox>(m_input, "inputBox")->setEnabled(false);
    part<InputBox>(m_input, "inputBox")->setVisible(false);
}

void tst_InputPane::start()
{
    QTest::keyClick(m_input.get(), Qt::Key_Space);
}

QString tst_InputPane::acceptedOfTyped() const
{
    return part<QLabel>(m_problemView, "status")->text().section(QStringLiteral("入力:"), 1);
}

void tst_InputPane::startsOnTheSpaceBarOnly()
{
    makeWindows({QStringLiteral("　あ b")});
    QTest::keyClick(m_input.get(), Qt::Key_A);
    QTest::keyClick(m_input.get(), Qt::Key_Return);
    QVERIFY(!m_input->checker().started());
    QCOMPARE(m_host.countdownStarts, 0);

    start();
    QVERIFY(m_input->checker().started());
    QVERIFY(part<InputBox>(m_input, "inputBox")->isEnabled());
    QCOMPARE(m_host.countdownStarts, 1);
    QVERIFY(!m_host.durationMenuEnabled);
    QCOMPARE(part<QLabel>(m_problemView, "hint")->text(), InputChecker::HintFullSpace);
    QCOMPARE(m_input->strokes(), 0); // the starting press is no stroke

    // After the start a space is an ordinary character: here a wrong one.
    QTest::keyClick(part<InputBox>(m_input, "inputBox"), Qt::Key_Space);
    QCOMPARE(m_host.countdownStarts, 1);
    QCOMPARE(m_state->record.errors(), 1);
    QCOMPARE(m_input->strokes(), 1);
}

void tst_InputPane::wrongCharacterShowsInTheStatus()
{
    makeWindows({QStringLiteral("abcdefghijk")});
    start();
    QTest::keyClicks(part<InputBox>(m_input, "inputBox"), QStringLiteral("abcdefghij"));
    QTRY_COMPARE(acceptedOfTyped(), QStringLiteral("10/10")); // soon after the echo
    QTest::keyClicks(part<InputBox>(m_input, "inputBox"), QStringLiteral("x"));
    QCOMPARE(acceptedOfTyped(), QStringLiteral("10/11"));
    QCOMPARE(part<InputBox>(m_input, "inputBox")->text(), QStringLiteral("abcdefghij"));
    QCOMPARE(part<QLabel>(m_problemView, "status")->text(),
             QStringLiteral("総文字数:5文字  ストローク:11  入力:10/11"));
    QTest::keyClicks(part<InputBox>(m_input, "inputBox"), QStringLiteral("k"));
    QVERIFY(m_input->checker().lineDone());
}

void tst_InputPane::fullWidthSpaceAndEarlyEnter()
{
    makeWindows({QStringLiteral("あ　い"), QStringLiteral("う")});
    start();
    commit(part<InputBox>(m_input, "inputBox"), QStringLiteral("あ　"));
    QCOMPARE(part<InputBox>(m_input, "inputBox")->text(), QStringLiteral("あ□"));
    QTest::keyClick(part<InputBox>(m_input, "inputBox"),
                    Qt::Key_Return); // mid-line: nothing, one stroke
    QCOMPARE(m_input->strokes(), 1);
    QCOMPARE(m_state->record.errors(), 0);
    QCOMPARE(m_input->checker().currentLine(), 1);
    // Backspace and Tab change nothing either.
    QTest::keyClick(part<InputBox>(m_input, "inputBox"), Qt::Key_Backspace);
    QTest::keyClick(part<InputBox>(m_input, "inputBox"), Qt::Key_Tab);
    QCOMPARE(part<InputBox>(m_input, "inputBox")->text(), QStringLiteral("あ□"));
    QVERIFY(part<InputBox>(m_input, "inputBox")->hasFocus() || !m_input->isVisible());
    QCOMPARE(m_input->strokes(), 3);
}

void tst_InputPane::multiCharacterCommits_data()
{
    QTest::addColumn<QString>("committed");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("accepted");
    QTest::addColumn<int>("errors");

    QTest::newRow("all right") << QStringLiteral("日本語") << QStringLiteral("日本語") << 3 << 0;
    QTest::newRow("error inside") << QStringLiteral("日本後") << QStringLiteral("日本") << 2 << 1;
    QTest::newRow("error first, rest checked alone")
        << QStringLiteral("x日本") << QStringLiteral("日本") << 2 << 1;
    QTest::newRow("surrogate pair is one character")
        << QStringLiteral("𠮷日") << QStringLiteral("日") << 1 << 1;
}

void tst_InputPane::multiCharacterCommits()
{
    QFETCH(QString, committed);
    QFETCH(QString, box);
    QFETCH(int, accepted);
    QFETCH(int, errors);
    makeWindows({QStringLiteral("日本語です")});
    start();
    commit(part<InputBox>(m_input, "inputBox"), committed);
    QCOMPARE(part<InputBox>(m_input, "inputBox")->text(), box);
    QCOMPARE(m_state->record.acceptedChars(), accepted);
    QCOMPARE(m_state->record.errors(), errors);
    QVERIFY(m_input->imeOn());
}

void tst_InputPane::preeditIsNeverChecked()
{
    makeWindows({QStringLiteral("日本語")});
    start();
    QInputMethodEvent preedit(QStringLiteral("にほんご"), {});
    QApplication::sendEvent(part<InputBox>(m_input, "inputBox"), &preedit);
    QCOMPARE(part<InputBox>(m_input, "inputBox")->text(), QString());
    QCOMPARE(m_state->record.acceptedChars(), 0);
    QCOMPARE(m_state->record.errors(), 0);
    QCOMPARE(m_input->strokes(), 0);
    // Commit with a new preedit after it: only the commit is checked.
    QInputMethodEvent both(QStringLiteral("ご"), {});
    both.setCommitString(QStringLiteral("日本"));
    QApplication::sendEvent(part<InputBox>(m_input, "inputBox"), &both);
    QCOMPARE(part<InputBox>(m_input, "inputBox")->text(), QStringLiteral("日本"));
    QCOMPARE(m_state->record.acceptedChars(), 2);
    const QRect caret =
        part<InputBox>(m_input, "inputBox")->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QVERIFY(caret.left() > 0);

    // A commit with no preedit of its own takes the one shown away: the caret stands where
    // it would after the text alone.
    commit(part<InputBox>(m_input, "inputBox"), QStringLiteral("語"));
    QCOMPARE(part<InputBox>(m_input, "inputBox")->text(), QStringLiteral("日本語"));
    InputBox plain;
    plain.setFont(part<InputBox>(m_input, "inputBox")->font());
    plain.setGeometry(part<InputBox>(m_input, "inputBox")->geometry());
    plain.appendAccepted(QStringLiteral("日本語"));
    QCOMPARE(part<InputBox>(m_input, "inputBox")->inputMethodQuery(Qt::ImCursorRectangle).toRect(),
             plain.inputMethodQuery(Qt::ImCursorRectangle).toRect());
}

void tst_InputPane::rowsMoveTheNowLineAndScrollFromRowSeven()
{
    QStringList lines;
    for (int i = 0; i < 9; ++i)
        lines << QStringLiteral("ab");
    makeWindows(lines);
    const int problemTextTop = part<TextRows>(m_problemView, "problemText")->y();
    start();
    for (int row = 1; row <= 8; ++row) {
        QTest::keyClicks(part<InputBox>(m_input, "inputBox"), QStringLiteral("ab"));
        QTest::keyClick(part<InputBox>(m_input, "inputBox"), Qt::Key_Return);
        QCOMPARE(part<QFrame>(m_problemView, "currentRowLine")->y(), 20 + row * 25);
        QCOMPARE(part<QFrame>(m_problemView, "cursorBar")->y(),
                 part<QFrame>(m_problemView, "currentRowLine")->y() - 5);
        QCOMPARE(part<QFrame>(m_problemView, "cursorBar")->x(), 0);
        // Row seven begins after the sixth Enter: the first scroll.
        QCOMPARE(part<TextRows>(m_problemView, "problemText")->y(),
                 problemTextTop - qMax(0, row - 5) * 25);
    }
    QCOMPARE(part<TextRows>(m_input, "typedRows")->rows().size(), 8);
    QCOMPARE(part<TextRows>(m_input, "typedRows")->rows().first(), QStringLiteral("ab"));
    QCOMPARE(part<TextRows>(m_input, "typedRows")->marks().size(),
             8); // one grey mark per Enter
    QCOMPARE(m_state->record.acceptedChars(), 8);
}

void tst_InputPane::pasteRoutesAreRefused()
{
    MessageRecorder boxes;
    makeWindows({QStringLiteral("abc")});
    start();
    InputBox* box = part<InputBox>(m_input, "inputBox");
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().text, QStringLiteral("ズルしないでね"));
    QCOMPARE(boxes.shown().first().title, QStringLiteral("注意"));
    QCOMPARE(boxes.shown().first().icon, MessageIcon::Warning);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    QCOMPARE(m_input->strokes(), 2); // Ctrl and V are two presses

    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::mouseClick(box, Qt::MiddleButton);
    QMimeData mime;
    mime.setText(QStringLiteral("abc"));
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);
    QCOMPARE(box->text(), QString());
    QCOMPARE(box->contextMenuPolicy(), Qt::NoContextMenu);
    QVERIFY(!box->acceptDrops());
    QCOMPARE(m_state->record.acceptedChars() + m_state->record.errors(), 0);
    QCOMPARE(boxes.shown().size(), 1); // only Ctrl+V warns
}

void tst_InputPane::typedKeysAreTheBoxsHeldKeysTheWindows()
{
    makeWindows({QStringLiteral("ab")});
    QAction plain(QStringLiteral("plain"));
    plain.setShortcut(QKeySequence(Qt::Key_A));
    QAction held(QStringLiteral("held"));
    held.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_input->addActions({&plain, &held});
    QSignalSpy plainShortcut(&plain, &QAction::triggered);
    QSignalSpy heldShortcut(&held, &QAction::triggered);
    m_input->show();
    m_input->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_input.get()));
    start();
    InputBox* box = part<InputBox>(m_input, "inputBox");
    QTest::keyClick(box, Qt::Key_A);
    QTest::keyClick(box, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("a"));
    QCOMPARE(plainShortcut.size(), 0);
    QCOMPARE(heldShortcut.size(), 1);
}

void tst_InputPane::drawnAsALineEditIs_data()
{
    QTest::addColumn<QString>("accepted");
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<bool>("focused");

    QTest::newRow("empty, caret") << QString() << QString() << true;
    QTest::newRow("accepted, caret")
        << QStringLiteral("日本語の入力 abc□か\u3099") << QString() << true;
    QTest::newRow("preedit underlined, its caret")
        << QStringLiteral("日本") << QStringLiteral("ごです") << true;
    QTest::newRow("longer than the box")
        << QStringLiteral("あいうえおかきくけこ").repeated(5) << QStringLiteral("さ") << false;
}

void tst_InputPane::drawnAsALineEditIs()
{
    QFETCH(QString, accepted);
    QFETCH(QString, preedit);
    QFETCH(bool, focused);
    QTextCharFormat underline;
    underline.setFontUnderline(true);
    QInputMethodEvent converting(
        preedit, {{QInputMethodEvent::TextFormat, 0, int(preedit.size()), underline},
                  {QInputMethodEvent::Cursor, 1, 1, {}}});
    // What reaches the screen: the box draws each character alone, the line edit its row.
    const auto picture = [&](QWidget* box, const std::function<void()>& type) {
        QWidget window;
        box->setParent(&window);
        box->setFont(Fonts::fixedPitch(14));
        box->setGeometry(10, 8, 560, 24);
        window.show();
        if (focused) {
            window.activateWindow();
            box->setFocus();
            [&] { QVERIFY(QTest::qWaitForWindowActive(&window)); }();
        }
        QCoreApplication::processEvents();
        type();
        if (!preedit.isEmpty())
            QApplication::sendEvent(box, &converting);
        QCoreApplication::processEvents();
        const QImage image = window.screen()->grabWindow(window.winId(), 10, 8, 560, 24).toImage();
        box->setParent(nullptr);
        return image;
    };
    InputBox box;
    QLineEdit line;
    line.setFrame(false);
    QCOMPARE(picture(&box,
                     [&] {
                         for (const QChar c : accepted) {
                             box.appendAccepted(c);
                             box.drawNow();
                         }
                     }),
             picture(&line, [&] { line.setText(accepted); }));
    QCOMPARE(box.inputMethodQuery(Qt::ImCursorRectangle).toRect(),
             line.inputMethodQuery(Qt::ImCursorRectangle).toRect());
    // A screen reader reads the two alike.
    QAccessibleInterface* boxReader = QAccessible::queryAccessibleInterface(&box);
    QAccessibleInterface* lineReader = QAccessible::queryAccessibleInterface(&line);
    QCOMPARE(boxReader->role(), lineReader->role());
    QCOMPARE(boxReader->text(QAccessible::Value), lineReader->text(QAccessible::Value));
    QCOMPARE(boxReader->textInterface()->cursorPosition(),
             lineReader->textInterface()->cursorPosition());
}

void tst_InputPane::finishingShowsTheResultAndHandsItOn()
{
    MessageRecorder boxes;
    makeWindows({QStringLiteral("abc"), QStringLiteral("de")});
    QSignalSpy finished(m_input.get(), &InputPane::runFinished);
    start();
    m_host.left = 179; // 1 second used
    QTest::keyClicks(part<InputBox>(m_input, "inputBox"), QStringLiteral("abc"));
    QTest::keyClick(part<InputBox>(m_input, "inputBox"), Qt::Key_Return);
    QTest::keyClicks(part<InputBox>(m_input, "inputBox"), QStringLiteral("de"));
    QTest::keyClick(part<InputBox>(m_input, "inputBox"), Qt::Key_Return);

    QCOMPARE(m_state->record.secondsUsed(), 1);
    QCOMPARE(m_state->record.acceptedChars(), 3);
    QCOMPARE(m_state->record.charsPerMinute(), 180.0f);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("お疲れ様でした")});
    QCOMPARE(boxes.shown().first().title, QStringLiteral("終了"));
    QCOMPARE(boxes.shown().first().icon, MessageIcon::Information);
    QCOMPARE(m_host.countdownStops, 1);
    QVERIFY(!part<InputBox>(m_input, "inputBox")->isEnabled());
    QVERIFY(!part<QLabel>(m_input, "result")->isHidden());
    QCOMPARE(
        part<QLabel>(m_input, "result")->text(),
        QStringLiteral("あなたの入力速度は180文字/分です(正打率100%)\n＜ワープロ検定１級レベル＞"));
    QCOMPARE(part<QLabel>(m_input, "result")->palette().color(QPalette::WindowText),
             QColor(0, 0, 0));

    // The test window writes the log from what the run hands on.
    QCOMPARE(finished.size(), 1);
    const RunResult run = finished.first().first().value<RunResult>();
    QCOMPARE(run.userId, QStringLiteral("U01"));
    QCOMPARE(run.userName, QStringLiteral("Tester"));
    QCOMPARE(run.fileName, QStringLiteral("jpn_dat.001"));
    QCOMPARE(run.charsPerMinute, 180.0f);
    QCOMPARE(run.accuracy, 100.0f);
    QCOMPARE(run.errors, 0);
    QCOMPARE(run.acceptedChars, 3);
    QCOMPARE(run.totalChars, 5);
    QVERIFY(!QFile::exists(m_tree->file(QStringLiteral("pelko.log"))));
}

void tst_InputPane::nothingCountsAfterTheEnd()
{
    LateCommitService boxes;
    makeWindows({QStringLiteral("あいうえお")});
    start();
    boxes.box = part<InputBox>(m_input, "inputBox");
    commit(part<InputBox>(m_input, "inputBox"), QStringLiteral("あい"));
    m_state->record.setSecondsUsed(180);
    m_input->finishRun(); // time is up
    m_input->finishRun(); // and once more: the run ends once
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("お疲れ様でした")});
    QCOMPARE(m_state->record.acceptedChars(), 2);
    QCOMPARE(m_state->record.errors(), 0);
    QCOMPARE(m_input->strokes(), 0);
    QCOMPARE(part<InputBox>(m_input, "inputBox")->text(), QStringLiteral("あい"));
    QCOMPARE(m_host.countdownStops, 1);
}

void tst_InputPane::menusAfterTheRun_data()
{
    QTest::addColumn<bool>("certification");
    QTest::addColumn<QString>("order");
    QTest::addColumn<int>("accepted");
    QTest::addColumn<bool>("next");
    QTest::addColumn<bool>("print");

    // 75 characters in 180 s is 25 per minute: exactly the pass speed.
    QTest::newRow("practice, sequence, pass") << false << "SEQUENCE" << 75 << true << false;
    QTest::newRow("practice, sequence, fail") << false << "SEQUENCE" << 74 << false << false;
    QTest::newRow("practice, select, pass") << false << "SELECT" << 75 << false << false;
    QTest::newRow("practice, random, pass") << false << "RANDOM" << 75 << false << false;
    QTest::newRow("certification, random, pass") << true << "RANDOM" << 75 << false << true;
    QTest::newRow("certification, random, fail") << true << "RANDOM" << 74 << false << false;
    QTest::newRow("certification, sequence, pass") << true << "SEQUENCE" << 75 << true << true;
}

void tst_InputPane::menusAfterTheRun()
{
    QFETCH(bool, certification);
    QFETCH(QString, order);
    QFETCH(int, accepted);
    QFETCH(bool, next);
    QFETCH(bool, print);
    MessageRecorder boxes;
    m_state->settings.setProblemOrder(SettingsText::toProblemOrder(order));
    m_state->record.setCertification(certification);
    makeWindows({QStringLiteral("abc")});
    m_state->record.setAcceptedChars(accepted);
    m_state->record.setSecondsUsed(180);
    m_input->finishRun();
    QCOMPARE(m_host.nextShown, next);
    QCOMPARE(m_host.printEnabled, print);
    const bool passed = accepted == 75;
    QCOMPARE(part<QLabel>(m_input, "result")->palette().color(QPalette::WindowText),
             passed ? QColor(0, 0, 0) : QColor(255, 0, 0));
    QCOMPARE(part<QLabel>(m_input, "result")->text().count(u'\n'), passed ? 1 : 2);
    // Every line of the result shows inside the window.
    const QLabel* result = part<QLabel>(m_input, "result");
    QVERIFY(result->height() >= (passed ? 2 : 3) * result->fontMetrics().lineSpacing());
    QVERIFY(result->geometry().bottom() < m_input->height());
    QVERIFY(result->y() >= 0);
}

void tst_InputPane::keyPressesSeenByTheWindowSystem()
{
    const QByteArray xcb("xcb_generic_event_t");
    unsigned char press[32] = {2};
    unsigned char sentPress[32] = {2 | 0x80};
    unsigned char release[32] = {3};
    QVERIFY(KeyStrokeCounter::isKeyPress(xcb, press));
    QVERIFY(KeyStrokeCounter::isKeyPress(xcb, sentPress));
    QVERIFY(!KeyStrokeCounter::isKeyPress(xcb, release));
    QVERIFY(!KeyStrokeCounter::isKeyPress(QByteArray("windows_generic_MSG"), press));

    // The press names its window at byte 12 (after type, detail, sequence, time and root).
    const quint32 boxWindow = 0x0a00005;
    std::memcpy(press + 12, &boxWindow, sizeof boxWindow);
    QCOMPARE(KeyStrokeCounter::keyWindow(press), boxWindow);

    bool focused = false;
    int strokes = 0;
    KeyStrokeCounter counter([&](quint32 window) { return focused && window == boxWindow; },
                             [&] { ++strokes; });
    counter.nativeEventFilter(xcb, press, nullptr);
    focused = true;
    QVERIFY(!counter.nativeEventFilter(xcb, press, nullptr)); // never swallows the key
    counter.nativeEventFilter(xcb, release, nullptr);
    counter.nativeEventFilter(xcb, sentPress, nullptr); // another window's press
    QCOMPARE(strokes, 1);
    // Offscreen shows no native keys: the box counts its own key events instead.
    QVERIFY(!KeyStrokeCounter::platformShowsKeys());
}

QTEST_MAIN(tst_InputPane)
#include "tst_InputPane.moc"
