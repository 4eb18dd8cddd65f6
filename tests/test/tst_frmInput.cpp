#include "ProblemFile.h"
#include "app/modPelko.h"
#include "platform/MessageService.h"
#include "results/clsLogWriter.h"
#include "results/clsUser.h"
#include "settings/clsKankyo.h"
#include "test/InputZone.h"
#include "test/KeyStrokeCounter.h"
#include "test/PictureBox.h"
#include "test/TestHost.h"
#include "test/frmInput.h"
#include "test/frmReidai.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMimeData>
#include <QTest>

namespace
{

struct FakeHost : TestHost {
    int countdownStarts = 0;
    int countdownStops = 0;
    bool timeMenu = true;
    bool nextShown = false;
    bool printEnabled = false;
    void startCountdown() override { ++countdownStarts; }
    void stopCountdown() override { ++countdownStops; }
    void setTimeMenuEnabled(bool on) override { timeMenu = on; }
    void showNextProblemMenu() override { nextShown = true; }
    void enablePrintMenus() override { printEnabled = true; }
};

// Answers boxes like the recorder and, at the closing box, lets the input method commit
// what it was converting: the test window has already lost the run by then.
struct LateCommitService : MessageRecorder {
    InputZone* box = nullptr;
    MsgAnswer show(const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override
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

class tst_frmInput : public QObject
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
    void finishingWritesTheResultAndTheLog();
    void nothingCountsAfterTheEnd();
    void menusAfterTheRun_data();
    void menusAfterTheRun();
    void logFailureIsReported();
    void keyPressesSeenByTheWindowSystem();

private:
    void makeWindows(const QStringList& lines);
    void start();
    QString pair() const;

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<frmReidai> m_reidai;
    std::unique_ptr<frmInput> m_input;
    FakeHost m_host;
};

void tst_frmInput::initTestCase()
{
    FillLogColumn();
    objKankyo = std::make_unique<clsKankyo>();
}

void tst_frmInput::init()
{
    m_tree = std::make_unique<TempTree>();
    objUser = std::make_unique<clsUser>();
    objUser->setUserID(QStringLiteral("U01"));
    objUser->setUserName(QStringLiteral("Tester"));
    objKankyo->setLogPath(m_tree->path());
    objKankyo->setLogName(QStringLiteral("pelko.log"));
    objKankyo->setSubLog(false);
    objKankyo->setLastTime(3);
    objKankyo->setSpeed(25);
    objKankyo->setSortMode(QStringLiteral("RANDOM"));
    ReidaiInfo = QStringLiteral("総文字数:5文字");
    m_host = FakeHost();
}

void tst_frmInput::cleanup()
{
    m_input.reset();
    m_reidai.reset();
    objReidai.reset();
    m_tree.reset();
}

void tst_frmInput::makeWindows(const QStringList& lines)
{
    objReidai = loadProblem(*m_tree, lines);
    m_reidai = std::make_unique<frmReidai>();
    m_input = std::make_unique<frmInput>();
    m_input->setReidai(m_reidai.get());
    m_input->setHost(&m_host);
    m_input->Form_Load();
    m_input->lLngLineHeight = 20;
    m_input->lLngKaigyoHeight = 5;
    m_reidai->linNowLine->setGeometry(0, 20, 500, 1);
    m_reidai->shpCursor->setGeometry(0, 15, 10, 5);
    m_reidai->lblMin->setText(QStringLiteral("3"));
    m_reidai->lblSec->setText(QStringLiteral("0"));
    // As the test window leaves the box while the problem waits for its start.
    m_input->txtInputZone->setEnabled(false);
    m_input->txtInputZone->setVisible(false);
}

void tst_frmInput::start()
{
    QTest::keyClick(m_input.get(), Qt::Key_Space);
}

QString tst_frmInput::pair() const
{
    return m_reidai->lblReidaiInfo->text().section(QStringLiteral("入力:"), 1);
}

void tst_frmInput::startsOnTheSpaceBarOnly()
{
    makeWindows({QStringLiteral("　あ b")});
    QTest::keyClick(m_input.get(), Qt::Key_A);
    QTest::keyClick(m_input.get(), Qt::Key_Return);
    QVERIFY(!m_input->checker().Started);
    QCOMPARE(m_host.countdownStarts, 0);

    start();
    QVERIFY(m_input->checker().Started);
    QVERIFY(m_input->txtInputZone->isEnabled());
    QCOMPARE(m_host.countdownStarts, 1);
    QVERIFY(!m_host.timeMenu);
    QCOMPARE(m_reidai->lblHint->text(), InputChecker::HintFullSpace);
    QCOMPARE(m_input->pintStloke, qint16(0)); // the starting press is no stroke

    // After the start a space is an ordinary character: here a wrong one.
    QTest::keyClick(m_input->txtInputZone, Qt::Key_Space);
    QCOMPARE(m_host.countdownStarts, 1);
    QCOMPARE(objUser->ErrCount(), qint16(1));
    QCOMPARE(m_input->pintStloke, qint16(1));
}

void tst_frmInput::wrongCharacterShowsInTheStatus()
{
    makeWindows({QStringLiteral("abcdefghijk")});
    start();
    QTest::keyClicks(m_input->txtInputZone, QStringLiteral("abcdefghij"));
    QCOMPARE(pair(), QStringLiteral("10/10"));
    QTest::keyClicks(m_input->txtInputZone, QStringLiteral("x"));
    QCOMPARE(pair(), QStringLiteral("10/11"));
    QCOMPARE(m_input->txtInputZone->text(), QStringLiteral("abcdefghij"));
    QCOMPARE(m_reidai->lblReidaiInfo->text(),
             QStringLiteral("総文字数:5文字  ストローク:11  入力:10/11"));
    QTest::keyClicks(m_input->txtInputZone, QStringLiteral("k"));
    QVERIFY(m_input->checker().LineDone);
}

void tst_frmInput::fullWidthSpaceAndEarlyEnter()
{
    makeWindows({QStringLiteral("あ　い"), QStringLiteral("う")});
    start();
    commit(m_input->txtInputZone, QStringLiteral("あ　"));
    QCOMPARE(m_input->txtInputZone->text(), QStringLiteral("あ□"));
    QTest::keyClick(m_input->txtInputZone, Qt::Key_Return); // mid-line: nothing, one stroke
    QCOMPARE(m_input->pintStloke, qint16(1));
    QCOMPARE(objUser->ErrCount(), qint16(0));
    QCOMPARE(m_input->checker().NowLine, qint16(1));
    // Backspace and Tab change nothing either.
    QTest::keyClick(m_input->txtInputZone, Qt::Key_Backspace);
    QTest::keyClick(m_input->txtInputZone, Qt::Key_Tab);
    QCOMPARE(m_input->txtInputZone->text(), QStringLiteral("あ□"));
    QVERIFY(m_input->txtInputZone->hasFocus() || !m_input->isVisible());
    QCOMPARE(m_input->pintStloke, qint16(3));
}

void tst_frmInput::multiCharacterCommits_data()
{
    QTest::addColumn<QString>("committed");
    QTest::addColumn<QString>("box");
    QTest::addColumn<qint16>("accepted");
    QTest::addColumn<qint16>("errors");

    QTest::newRow("all right") << QStringLiteral("日本語") << QStringLiteral("日本語") << qint16(3)
                               << qint16(0);
    QTest::newRow("error inside") << QStringLiteral("日本後") << QStringLiteral("日本") << qint16(2)
                                  << qint16(1);
    QTest::newRow("error first, rest checked alone")
        << QStringLiteral("x日本") << QStringLiteral("日本") << qint16(2) << qint16(1);
    QTest::newRow("surrogate pair is one character")
        << QStringLiteral("𠮷日") << QStringLiteral("日") << qint16(1) << qint16(1);
}

void tst_frmInput::multiCharacterCommits()
{
    QFETCH(QString, committed);
    QFETCH(QString, box);
    QFETCH(qint16, accepted);
    QFETCH(qint16, errors);
    makeWindows({QStringLiteral("日本語です")});
    start();
    commit(m_input->txtInputZone, committed);
    QCOMPARE(m_input->txtInputZone->text(), box);
    QCOMPARE(objUser->InpMozisu(), accepted);
    QCOMPARE(objUser->ErrCount(), errors);
    QVERIFY(m_input->imeOn());
}

void tst_frmInput::preeditIsNeverChecked()
{
    makeWindows({QStringLiteral("日本語")});
    start();
    QInputMethodEvent preedit(QStringLiteral("にほんご"), {});
    QApplication::sendEvent(m_input->txtInputZone, &preedit);
    QCOMPARE(m_input->txtInputZone->text(), QString());
    QCOMPARE(objUser->InpMozisu(), qint16(0));
    QCOMPARE(objUser->ErrCount(), qint16(0));
    QCOMPARE(m_input->pintStloke, qint16(0));
    // Commit with a new preedit after it: only the commit is checked.
    QInputMethodEvent both(QStringLiteral("ご"), {});
    both.setCommitString(QStringLiteral("日本"));
    QApplication::sendEvent(m_input->txtInputZone, &both);
    QCOMPARE(m_input->txtInputZone->text(), QStringLiteral("日本"));
    QCOMPARE(objUser->InpMozisu(), qint16(2));
    const QRect caret = m_input->txtInputZone->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QVERIFY(caret.left() > 0);
}

void tst_frmInput::rowsMoveTheNowLineAndScrollFromRowSeven()
{
    QStringList lines;
    for (int i = 0; i < 9; ++i)
        lines << QStringLiteral("ab");
    makeWindows(lines);
    const int pictureTop = m_reidai->picReidai->y();
    start();
    for (int row = 1; row <= 8; ++row) {
        QTest::keyClicks(m_input->txtInputZone, QStringLiteral("ab"));
        QTest::keyClick(m_input->txtInputZone, Qt::Key_Return);
        QCOMPARE(m_reidai->linNowLine->y(), 20 + row * 25);
        QCOMPARE(m_reidai->shpCursor->y(), m_reidai->linNowLine->y() - 5);
        QCOMPARE(m_reidai->shpCursor->x(), 0);
        // Row seven begins after the sixth Enter: the first scroll.
        QCOMPARE(m_reidai->picReidai->y(), pictureTop - qMax(0, row - 5) * 25);
    }
    QCOMPARE(m_input->picInputAfter->printedRows().size(), 8);
    QCOMPARE(m_input->picInputAfter->printedRows().first(), QStringLiteral("ab"));
    QCOMPARE(m_input->picInputAfter->pictures().size(), 8); // one grey mark per Enter
    QCOMPARE(objUser->InpMozisu(), qint16(8));
}

void tst_frmInput::pasteRoutesAreRefused()
{
    MessageRecorder boxes;
    makeWindows({QStringLiteral("abc")});
    start();
    InputZone* box = m_input->txtInputZone;
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().text, QStringLiteral("ズルしないでね"));
    QCOMPARE(boxes.shown().first().title, QStringLiteral("注意"));
    QCOMPARE(boxes.shown().first().icon, MsgIcon::Exclamation);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    QCOMPARE(m_input->pintStloke, qint16(2)); // Ctrl and V are two presses

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
    QCOMPARE(objUser->InpMozisu() + objUser->ErrCount(), 0);
    QCOMPARE(boxes.shown().size(), 1); // only Ctrl+V warns
}

void tst_frmInput::finishingWritesTheResultAndTheLog()
{
    MessageRecorder boxes;
    // One record already in the log: this run's record gets the next number.
    clsLogWriter earlier;
    earlier.LogPath = m_tree->path();
    earlier.LogName = QStringLiteral("pelko.log");
    QCOMPARE(earlier.LogWrite(false), qint16(0));
    objUser->setLogNumber(99);

    makeWindows({QStringLiteral("abc"), QStringLiteral("de")});
    start();
    m_reidai->lblMin->setText(QStringLiteral("2"));
    m_reidai->lblSec->setText(QStringLiteral("59")); // 1 second used
    QTest::keyClicks(m_input->txtInputZone, QStringLiteral("abc"));
    QTest::keyClick(m_input->txtInputZone, Qt::Key_Return);
    QTest::keyClicks(m_input->txtInputZone, QStringLiteral("de"));
    QTest::keyClick(m_input->txtInputZone, Qt::Key_Return);

    QCOMPARE(objUser->UseTime(), qint16(1));
    QCOMPARE(objUser->InpMozisu(), qint16(3));
    QCOMPARE(objUser->InpSpeed(), 180.0f);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("お疲れ様でした")});
    QCOMPARE(boxes.shown().first().title, QStringLiteral("終了"));
    QCOMPARE(boxes.shown().first().icon, MsgIcon::Information);
    QCOMPARE(m_host.countdownStops, 1);
    QVERIFY(!m_input->txtInputZone->isEnabled());
    QVERIFY(!m_input->lblKekka->isHidden());
    QCOMPARE(
        m_input->lblKekka->text(),
        QStringLiteral("あなたの入力速度は180文字/分です(正打率100%)\n＜ワープロ検定１級レベル＞"));
    QCOMPARE(m_input->lblKekka->palette().color(QPalette::WindowText), QColor(0, 0, 0));

    QCOMPARE(objUser->LogNumber(), qint16(1));
    const QByteArray log = m_tree->read(QStringLiteral("pelko.log"));
    const QList<QByteArray> records = log.split('\n');
    QVERIFY(records.size() >= 2);
    QVERIFY(records.at(1).startsWith("1,"));
    QVERIFY(records.at(1).contains(",\"U01\",\"Tester\","));
    QVERIFY(records.at(1).contains(",\"jpn_dat.001\",180,100,0,3,5,"));
}

void tst_frmInput::nothingCountsAfterTheEnd()
{
    LateCommitService boxes;
    makeWindows({QStringLiteral("あいうえお")});
    start();
    boxes.box = m_input->txtInputZone;
    commit(m_input->txtInputZone, QStringLiteral("あい"));
    objUser->setUseTime(180);
    m_input->FsubEnd_Syori(); // time is up
    m_input->FsubEnd_Syori(); // and once more: the run ends once
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("お疲れ様でした")});
    QCOMPARE(objUser->InpMozisu(), qint16(2));
    QCOMPARE(objUser->ErrCount(), qint16(0));
    QCOMPARE(m_input->pintStloke, qint16(0));
    QCOMPARE(m_input->txtInputZone->text(), QStringLiteral("あい"));
    QCOMPARE(m_host.countdownStops, 1);
}

void tst_frmInput::menusAfterTheRun_data()
{
    QTest::addColumn<bool>("certification");
    QTest::addColumn<QString>("order");
    QTest::addColumn<qint16>("accepted");
    QTest::addColumn<bool>("next");
    QTest::addColumn<bool>("print");

    // 75 characters in 180 s is 25 per minute: exactly the pass speed.
    QTest::newRow("practice, sequence, pass") << false << "SEQUENCE" << qint16(75) << true << false;
    QTest::newRow("practice, sequence, fail")
        << false << "SEQUENCE" << qint16(74) << false << false;
    QTest::newRow("practice, select, pass") << false << "SELECT" << qint16(75) << false << false;
    QTest::newRow("practice, random, pass") << false << "RANDOM" << qint16(75) << false << false;
    QTest::newRow("certification, random, pass") << true << "RANDOM" << qint16(75) << false << true;
    QTest::newRow("certification, random, fail")
        << true << "RANDOM" << qint16(74) << false << false;
    QTest::newRow("certification, sequence, pass")
        << true << "SEQUENCE" << qint16(75) << true << true;
}

void tst_frmInput::menusAfterTheRun()
{
    QFETCH(bool, certification);
    QFETCH(QString, order);
    QFETCH(qint16, accepted);
    QFETCH(bool, next);
    QFETCH(bool, print);
    MessageRecorder boxes;
    objKankyo->setSortMode(order);
    objUser->setKenteiON(certification);
    makeWindows({QStringLiteral("abc")});
    objUser->setInpMozisu(accepted);
    objUser->setUseTime(180);
    m_input->FsubEnd_Syori();
    QCOMPARE(m_host.nextShown, next);
    QCOMPARE(m_host.printEnabled, print);
    const bool passed = accepted == 75;
    QCOMPARE(m_input->lblKekka->palette().color(QPalette::WindowText),
             passed ? QColor(0, 0, 0) : QColor(255, 0, 0));
    QCOMPARE(m_input->lblKekka->text().count(u'\n'), passed ? 1 : 2);
    // Every line of the result shows inside the window.
    const QLabel* result = m_input->lblKekka;
    QVERIFY(result->height() >= (passed ? 2 : 3) * result->fontMetrics().lineSpacing());
    QVERIFY(result->geometry().bottom() < m_input->height());
    QVERIFY(result->y() >= 0);
}

void tst_frmInput::logFailureIsReported()
{
    MessageRecorder boxes;
    objKankyo->setLogPath(m_tree->file(QStringLiteral("missing/folder")));
    objUser->setLogNumber(7);
    makeWindows({QStringLiteral("abc")});
    objUser->setUseTime(180);
    m_input->FsubEnd_Syori();
    QCOMPARE(boxes.texts(), (QStringList{QStringLiteral("お疲れ様でした"),
                                         QStringLiteral("ログが正常に書き込めませんでした")}));
    QCOMPARE(boxes.shown().last().title, QStringLiteral("ログ書き込みエラー"));
    QCOMPARE(boxes.shown().last().icon, MsgIcon::None);
    QVERIFY(!m_input->lblKekka->isHidden()); // the result stands
}

void tst_frmInput::keyPressesSeenByTheWindowSystem()
{
    const QByteArray xcb("xcb_generic_event_t");
    unsigned char press[32] = {2};
    unsigned char sentPress[32] = {2 | 0x80};
    unsigned char release[32] = {3};
    QVERIFY(KeyStrokeCounter::isKeyPress(xcb, press));
    QVERIFY(KeyStrokeCounter::isKeyPress(xcb, sentPress));
    QVERIFY(!KeyStrokeCounter::isKeyPress(xcb, release));
    QVERIFY(!KeyStrokeCounter::isKeyPress(QByteArray("windows_generic_MSG"), press));

    bool focused = false;
    int strokes = 0;
    KeyStrokeCounter counter([&] { return focused; }, [&] { ++strokes; });
    counter.nativeEventFilter(xcb, press, nullptr);
    focused = true;
    QVERIFY(!counter.nativeEventFilter(xcb, press, nullptr)); // never swallows the key
    counter.nativeEventFilter(xcb, release, nullptr);
    QCOMPARE(strokes, 1);
    // Offscreen shows no native keys: the box counts its own key events instead.
    QVERIFY(!KeyStrokeCounter::platformShowsKeys());
}

QTEST_MAIN(tst_frmInput)
#include "tst_frmInput.moc"
