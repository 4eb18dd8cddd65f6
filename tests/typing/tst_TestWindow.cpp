#include "app/MainMenu.h"
#include "common/Cp932.h"
#include "platform/HelpViewer.h"
#include "platform/MessageService.h"
#include "problems/Problem.h"
#include "results/LogWriter.h"
#include "results/PendingRecords.h"
#include "results/RunRecord.h"
#include "settings/ColorLiteral.h"
#include "settings/Settings.h"
#include "settings/SettingsText.h"
#include "support/SharedState.h"
#include "support/TempTree.h"
#include "support/WindowParts.h"
#include "typing/DrillBuilder.h"
#include "typing/EndOfLineMark.h"
#include "typing/InputBox.h"
#include "typing/ProblemLayout.h"
#include "typing/RunReview.h"
#include "typing/TestWindow.h"
#include "typing/TextRows.h"
#include "typing/WeakCharactersDialog.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace
{

const QString ErrorTitle = QStringLiteral("エラー");
const QString NoFileText = QStringLiteral(
    "指定したディレクトリ内にデータファイルが見つかりません。\r確認後もう一度起動して下さい");
const QString CodeOneText = QStringLiteral("例題文を読み出せませんので、画面を閉じます。"
                                           "環境設定の画面で例題文のフォルダを指定してください");
const QString WaitingHint = QStringLiteral("スペースバーを押すと開始します");
const QString DiscardQuestion =
    QStringLiteral("入力中の結果は破棄されます。画面を閉じてもよろしいですか？");
const QString Finished = QStringLiteral("お疲れ様でした");

// Answers the question about closing, after letting the countdown run out while it is open.
struct TimeUpWhileAsking : MessageRecorder {
    std::function<void()> whileAsking;
    MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override
    {
        if (text == DiscardQuestion && whileAsking)
            whileAsking();
        return MessageRecorder::show(text, title, buttons, icon);
    }
};

// 60 full-width characters: wraps at least once in any window here.
QString longLine(QChar c)
{
    return QString(60, c);
}

// The names of the widgets painted while it lives, in order; "|" where a drawing begins.
struct PaintOrder : QObject {
    PaintOrder() { qApp->installEventFilter(this); }
    QStringList painted;
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted.append(object->objectName());
        else if (event->type() == QEvent::UpdateRequest)
            painted.append(QStringLiteral("|"));
        return false;
    }
};

} // namespace

class tst_TestWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void drawsRowsByTheWrapRule();
    void markSizeFollowsRowHeight_data();
    void markSizeFollowsRowHeight();
    void narrowClientGivesNarrowerProblemWindow();
    void informationLine();
    void problemMenuByMode_data();
    void problemMenuByMode();
    void certificationDurationMenuFollowsSetting_data();
    void certificationDurationMenuFollowsSetting();
    void countdownEndsTheRunOnce();
    void cursorBlinksAndBackgroundFollowsSettings();
    void loadFailureWhileOpeningGivesUp();
    void loadFailureAfterNextKeepsTheWindowOpen();
    void utf8ProblemIsConvertedWhenAsked_data();
    void utf8ProblemIsConvertedWhenAsked();
    void closeMenuForgetsTheFileCloseBoxKeepsIt();
    void selectErrorDuringReplaceIsShown();
    void replaceOrCloseWhileDrawingWaits_data();
    void replaceOrCloseWhileDrawingWaits();
    void durationDialogErrorGivesFiveMinutes();
    void printAsksFirstAndCancelPrintsNothing();
    void problemWindowSwallowsKeysAndColours();
    void inputWindowFollowsAcrossReplacements();
    void menuClosedWithEscapeGivesTheKeysBack_data();
    void menuClosedWithEscapeGivesTheKeysBack();
    void closingAsksOnlyDuringARun_data();
    void closingAsksOnlyDuringARun();
    void timeUpWhileAskingToClose_data();
    void timeUpWhileAskingToClose();
    void failedResultLeavesTheRowsWhole_data();
    void failedResultLeavesTheRowsWhole();
    void drillIsPracticeHeldInMemory();
    void finishedRunIsLogged_data();
    void finishedRunIsLogged();

private:
    void writeProblems(const QStringList& texts);
    TestWindow& open();

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<SharedState> m_state;
    std::unique_ptr<HelpViewer> m_help;
    std::unique_ptr<TestWindow> m_window;
    std::unique_ptr<MainMenu> m_menu;
};

void tst_TestWindow::init()
{
    m_tree = std::make_unique<TempTree>();
    m_tree->mkdir(QStringLiteral("DATA"));
    m_tree->mkdir(QStringLiteral("PLACTICE"));
    m_tree->mkdir(QStringLiteral("log"));
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->path());
    m_messages = std::make_unique<MessageRecorder>();
    m_state = std::make_unique<SharedState>();
    m_state->settings.setCertificationFolder(m_tree->file(QStringLiteral("DATA")));
    m_state->settings.setPracticeFolder(m_tree->file(QStringLiteral("PLACTICE")));
    m_state->settings.setLogFolder(m_tree->file(QStringLiteral("log")));
    m_state->settings.setProblemOrder(ProblemOrder::Sequence);
    m_state->settings.setDurationMinutes(1);
    m_state->record.setCertification(false);
    m_state->settings.setBaseFontSize(13);
    m_state->settings.setResultFontSize(11);
    m_help = std::make_unique<HelpViewer>();
    m_window = std::make_unique<TestWindow>(m_state->settings, m_state->record, *m_help);
    m_menu = std::make_unique<MainMenu>(m_state->settings, m_state->record, *m_window);
    m_window->setMainMenu(m_menu.get());
    m_window->setReady(true);
}

void tst_TestWindow::cleanup()
{
    if (m_window->isVisible())
        m_window->closeWindow();
    m_menu.reset();
    m_window.reset();
    m_help.reset();
    m_state.reset();
    m_messages.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_TestWindow::writeProblems(const QStringList& texts)
{
    for (int i = 0; i < texts.size(); ++i) {
        const QString name = QStringLiteral("jpn_dat.00") + QString::number(i + 1);
        m_tree->writeCp932(QStringLiteral("PLACTICE/") + name, texts.at(i));
        m_tree->writeCp932(QStringLiteral("DATA/") + name, texts.at(i));
    }
}

TestWindow& tst_TestWindow::open()
{
    TestWindow& window = *m_window;
    window.open();
    return window;
}

void tst_TestWindow::drawsRowsByTheWrapRule()
{
    // Full-width spaces show as □; a half-width space is drawn unchanged.
    const QString first = QStringLiteral("あ\u3000い") + longLine(QChar(0x5B57));
    const QString second = QStringLiteral("abc def");
    writeProblems({first + QStringLiteral("\r\n") + second + QStringLiteral("\r\n")});
    TestWindow& window = open();
    QVERIFY(window.isVisible());
    TextRows* problemText = part<TextRows>(window.problemView(), "problemText");

    QList<qreal> widths;
    for (QChar c : first)
        widths.append(problemText->textWidth(QString(c)));
    const QList<int> lengths =
        ProblemLayout::rowLengths(widths, problemText->textWidth(u" "), problemText->width());
    QVERIFY(lengths.size() >= 2);

    QStringList expected;
    const QString shown = QString(first).replace(QChar(0x3000), QStringLiteral("□"));
    int rowStart = 0;
    for (int length : lengths) {
        expected.append(shown.mid(rowStart, length));
        rowStart += length;
    }
    expected.append(second);
    QCOMPARE(problemText->rows(), expected);
    QVERIFY(expected.first().startsWith(QStringLiteral("あ□い")));

    // One mark per line, right after its last character, 90 % of a full-width cell.
    QCOMPARE(problemText->marks().size(), 2);
    const QRectF mark = problemText->marks().at(1);
    QCOMPARE(mark.left(), problemText->textWidth(second));
    QCOMPARE(mark.width(), 0.9 * problemText->textWidth(QStringLiteral("\u3000")));
    QVERIFY(mark.top() > problemText->marks().at(0).top());

    // Rows are a text row and a thin gap row apart; the input window gets both heights.
    QVERIFY(window.inputPane()->textRowHeight() > window.inputPane()->gapRowHeight());
    QCOMPARE(part<QLabel>(window.problemView(), "hint")->text(), WaitingHint);
    QVERIFY(!part<InputBox>(window.inputPane(), "inputBox")->isEnabled());
    QVERIFY(!part<InputBox>(window.inputPane(), "inputBox")->isVisibleTo(window.inputPane()));

    // The widths kept per character are the font's own, and a new font measures afresh.
    QFont font = problemText->textFont();
    for (qreal size : {12.0, 30.0}) {
        font.setPointSizeF(size);
        problemText->setTextFont(font);
        const QFontMetricsF metrics(font, problemText);
        for (const QString& text : {QStringLiteral("a"), QStringLiteral("字"),
                                    QStringLiteral("\U00020B9F"), QStringLiteral("a字")})
            QCOMPARE(problemText->textWidth(text), metrics.horizontalAdvance(text));
    }
}

void tst_TestWindow::markSizeFollowsRowHeight_data()
{
    QTest::addColumn<float>("fontBase");
    QTest::addColumn<int>("size");
    QTest::newRow("rows of 30 px or more") << 36.0f << 30;
    QTest::newRow("rows under 12 px") << 6.0f << 10;
}

void tst_TestWindow::markSizeFollowsRowHeight()
{
    QFETCH(float, fontBase);
    QFETCH(int, size);
    m_state->settings.setBaseFontSize(fontBase);
    writeProblems({QStringLiteral("字\r\n")});
    TestWindow& window = open();
    const int rowPixels = int(part<TextRows>(window.problemView(), "problemText")->rowHeight());
    QVERIFY2(size == 30 ? rowPixels >= 30 : rowPixels < 12, qPrintable(QString::number(rowPixels)));
    QCOMPARE(window.problemView()->endMarkSize(), size);
    QCOMPARE(window.inputPane()->endMarkSize(), size);
    // The rule itself, between the extremes.
    QCOMPARE(EndOfLineMark::chooseSize(11), 10);
    QCOMPARE(EndOfLineMark::chooseSize(12), 12);
    QCOMPARE(EndOfLineMark::chooseSize(17), 16);
}

void tst_TestWindow::narrowClientGivesNarrowerProblemWindow()
{
    writeProblems({QStringLiteral("字\r\n")});
    m_state->settings.setWindowPercent(40);
    TestWindow& window = open();
    TextRows* problemText = part<TextRows>(window.problemView(), "problemText");
    const int client = part<QMdiArea>(window, "mdiArea")->viewport()->width();
    QVERIFY(client < problemText->textWidth(QString(82, u' ')));
    QMdiSubWindow* problemSub = part<QMdiArea>(window, "mdiArea")->subWindowList().first();
    QCOMPARE(problemSub->width(), client - int(std::lround(problemText->textWidth(u" "))));
    // The input window sits right under the problem window, as wide.
    QMdiSubWindow* inputSub = part<QMdiArea>(window, "mdiArea")->subWindowList().last();
    QCOMPARE(inputSub->x(), problemSub->x());
    QCOMPARE(inputSub->y(), problemSub->y() + problemSub->height());
    QCOMPARE(inputSub->width(), problemSub->width());
}

void tst_TestWindow::informationLine()
{
    // 4 characters: 2 kanji, 1 alphanumeric, 1 half-width.
    writeProblems({QStringLiteral("漢字Ａa\r\n")});
    TestWindow& window = open();
    QCOMPARE(m_window->problemSummary(),
             QStringLiteral("総文字数:4文字  漢字率:50%  英数記号率:25%  半角率:25%"));
    QLabel* info = part<QLabel>(window.problemView(), "status");
    QCOMPARE(info->text(), m_window->problemSummary() + QStringLiteral("  ストローク:0  入力:0/0"));
    const int oneRowTop = info->y();

    // Too narrow for the frame: two rows, at the bottom of the frame.
    window.closeWindow();
    m_state->settings.setWindowPercent(30);
    open();
    info = part<QLabel>(window.problemView(), "status");
    QVERIFY(info->wordWrap());
    QCOMPARE(info->y() + info->height(),
             part<QGroupBox>(window.problemView(), "infoFrame")->height());
    QVERIFY(info->y() < oneRowTop);
}

void tst_TestWindow::problemMenuByMode_data()
{
    QTest::addColumn<QString>("sortMode");
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("menuShown");
    QTest::newRow("sequence") << QStringLiteral("SEQUENCE") << 3 << true;
    QTest::newRow("select") << QStringLiteral("SELECT") << 2 << true;
    QTest::newRow("random") << QStringLiteral("RANDOM") << 3 << false;
}

void tst_TestWindow::problemMenuByMode()
{
    QFETCH(QString, sortMode);
    QFETCH(int, files);
    QFETCH(bool, menuShown);
    QStringList texts;
    for (int i = 1; i <= files; ++i)
        texts.append(QStringLiteral("第%1問の見出しはここまでの二十文字です。続き\r\n").arg(i));
    writeProblems(texts);
    m_state->settings.setProblemOrder(SettingsText::toProblemOrder(sortMode));
    TestWindow& window = open();
    QCOMPARE(window.windowTitle(), QStringLiteral("練習中"));
    QCOMPARE(part<QMenu>(window, "problemMenu")->menuAction()->isVisible(), menuShown);
    if (!menuShown) {
        QCOMPARE(part<QMenu>(window, "problemMenu")->actions().size(), 1);
        return;
    }
    QCOMPARE(part<QMenu>(window, "problemMenu")->actions().size(), files + 1);
    QVERIFY(!part<QMenu>(window, "problemMenu")->actions()[0]->isVisible());
    QCOMPARE(part<QMenu>(window, "problemMenu")->actions()[2]->text(),
             QStringLiteral("jpn_dat.002;第2問の見出しはここまでの二十文字です。・・・"));
    QCOMPARE(part<QMenu>(window, "problemMenu")->actions()[2]->data().toString(),
             QStringLiteral("jpn_dat.002"));
    QCOMPARE(window.problemFileName(), QStringLiteral("jpn_dat.001"));

    // Choosing an item loads that file; a second opening does not duplicate the items.
    part<QMenu>(window, "problemMenu")->actions()[2]->trigger();
    QCOMPARE(window.problemFileName(), QStringLiteral("jpn_dat.002"));
    QCOMPARE(m_window->problem()->fileName(), QStringLiteral("jpn_dat.002"));
    window.closeWindow();
    open();
    QCOMPARE(part<QMenu>(window, "problemMenu")->actions().size(), files + 1);
}

void tst_TestWindow::certificationDurationMenuFollowsSetting_data()
{
    QTest::addColumn<bool>("canChangeDuration");
    QTest::newRow("may change") << true;
    QTest::newRow("fixed") << false;
}

void tst_TestWindow::certificationDurationMenuFollowsSetting()
{
    QFETCH(bool, canChangeDuration);
    writeProblems({QStringLiteral("検定\r\n"), QStringLiteral("問題\r\n")});
    m_state->record.setCertification(true);
    m_state->settings.setCanChangeDuration(canChangeDuration);
    m_state->settings.setDurationMinutes(5);
    TestWindow& window = open();
    QCOMPARE(window.windowTitle(), QStringLiteral("検定中"));
    QVERIFY(!part<QMenu>(window, "problemMenu")->menuAction()->isVisible());
    QCOMPARE(part<QAction>(window, "durationMenuAction")->isEnabled(), canChangeDuration);
    QCOMPARE(part<QAction>(window, "durationAction")->text(), QStringLiteral("5分"));
    QVERIFY(part<QAction>(window, "durationAction")->isChecked());
    QCOMPARE(part<QLabel>(window.problemView(), "minutes")->text(), QStringLiteral("5"));
    QCOMPARE(part<QLabel>(window.problemView(), "seconds")->text(), QStringLiteral("0"));
    QVERIFY(!part<QAction>(window, "printAction")->isEnabled());
    QVERIFY(!part<QAction>(window, "choosePrinterAction")->isEnabled());
    QVERIFY(!part<QAction>(window, "nextProblemAction")->isVisible());

    // A run disables the duration menu; a new problem brings it back by the setting.
    window.setDurationMenuEnabled(false);
    window.startOver();
    QCOMPARE(part<QAction>(window, "durationMenuAction")->isEnabled(), canChangeDuration);

    // Reused for practice, the window never shows with the certification's title.
    window.closeWindow();
    m_state->record.setCertification(false);
    struct TitleAtShow : QObject {
        QString title;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Show)
                title = static_cast<QWidget*>(watched)->windowTitle();
            return false;
        }
    } titleAtShow;
    window.installEventFilter(&titleAtShow);
    open();
    QCOMPARE(titleAtShow.title, QStringLiteral("練習中"));
}

void tst_TestWindow::countdownEndsTheRunOnce()
{
    writeProblems({QStringLiteral("時間切れ\r\n")});
    m_state->settings.setDurationMinutes(1);
    TestWindow& window = open();
    window.startCountdown();
    window.countdownTick();
    QCOMPARE(part<QLabel>(window.problemView(), "minutes")->text(), QStringLiteral("0"));
    QCOMPARE(part<QLabel>(window.problemView(), "seconds")->text(), QStringLiteral("59"));
    for (int tick = 2; tick <= 50; ++tick)
        window.countdownTick();
    QCOMPARE(part<QLabel>(window.problemView(), "seconds")->text(), QStringLiteral("10"));
    window.countdownTick();
    QCOMPARE(part<QLabel>(window.problemView(), "seconds")->text(), QStringLiteral("9"));
    for (int tick = 52; tick <= 59; ++tick)
        window.countdownTick();
    QCOMPARE(m_state->record.secondsUsed(), 0);
    QVERIFY(m_messages->texts().isEmpty());

    window.countdownTick(); // tick 60
    QCOMPARE(m_state->record.secondsUsed(), 60);
    QVERIFY(!window.isCountingDown());
    QCOMPARE(m_messages->texts().count(QStringLiteral("お疲れ様でした")), 1);
    QVERIFY(part<QLabel>(window.inputPane(), "result")->isVisibleTo(window.inputPane()));
}

void tst_TestWindow::cursorBlinksAndBackgroundFollowsSettings()
{
    writeProblems({QStringLiteral("一\r\n")});
    m_state->settings.setBackColor(ColorLiteral::toColor(u"&H00FF00"));
    TestWindow& window = open();
    QCOMPARE(part<QMdiArea>(window, "mdiArea")->background().color(), QColor(0, 255, 0));
    QVERIFY(window.isCursorBlinking());
    QWidget* cursor = part<QFrame>(window.problemView(), "cursorBar");
    QVERIFY(window.problemView()->isCursorShown());
    window.blinkCursor(); // shown 500 ms, now hidden for 700
    QVERIFY(!window.problemView()->isCursorShown());
    QVERIFY(!cursor->isVisibleTo(window.problemView()));
    window.blinkCursor();
    QVERIFY(window.problemView()->isCursorShown());
    QVERIFY(cursor->isVisibleTo(window.problemView()));
    // The cursor spans the first character, on the foot of the first row.
    TextRows* problemText = part<TextRows>(window.problemView(), "problemText");
    QCOMPARE(cursor->width(), int(std::lround(problemText->textWidth(QStringLiteral("一")))));
    QCOMPARE(cursor->y() + cursor->height(), int(std::lround(problemText->rowHeight())));
}

void tst_TestWindow::loadFailureWhileOpeningGivesUp()
{
    // An empty practice folder: no menu, and the window gives up.
    TestWindow& window = open();
    QCOMPARE(m_messages->texts(), QStringList({NoFileText, CodeOneText}));
    QCOMPARE(m_messages->shown().at(1).title, ErrorTitle);
    QCOMPARE(m_messages->shown().at(1).icon, MessageIcon::None);
    QVERIFY(!m_window->isReady());
    QVERIFY(!window.isVisible());
    QVERIFY(!part<QMenu>(window, "problemMenu")->menuAction()->isVisible());
    QVERIFY(!window.problemView());
    QVERIFY(!window.inputPane());
    QVERIFY(!m_window->problem());
    QVERIFY(m_menu->isVisible());
}

void tst_TestWindow::loadFailureAfterNextKeepsTheWindowOpen()
{
    // The window stays with nothing to type: the space bar starts nothing, the 問題 menu
    // loads another problem.
    writeProblems({QStringLiteral("一\r\n"), QStringLiteral("二\r\n")});
    TestWindow& window = open();
    window.showNextProblemMenu();
    QFile::remove(m_tree->file(QStringLiteral("PLACTICE/jpn_dat.001")));
    QFile::remove(m_tree->file(QStringLiteral("PLACTICE/jpn_dat.002")));
    part<QAction>(window, "nextProblemAction")->trigger();
    QCOMPARE(m_messages->texts(), QStringList({NoFileText, CodeOneText}));
    QVERIFY(window.isVisible());
    QTest::keyClick(window.inputPane(), Qt::Key_Space);
    QVERIFY(!window.isCountingDown());

    writeProblems({QStringLiteral("一\r\n")});
    part<QMenu>(window, "problemMenu")->actions().at(1)->trigger();
    QCOMPARE(window.problem()->fileName(), QStringLiteral("jpn_dat.001"));
    QTest::keyClick(window.inputPane(), Qt::Key_Space);
    QVERIFY(window.isCountingDown());
}

void tst_TestWindow::utf8ProblemIsConvertedWhenAsked_data()
{
    QTest::addColumn<QByteArray>("bom");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::newRow("LF, converted") << QByteArray() << QByteArray("\n") << MessageAnswer::Yes;
    QTest::newRow("BOM, CR LF, converted")
        << QByteArray("\xEF\xBB\xBF") << QByteArray("\r\n") << MessageAnswer::Yes;
    QTest::newRow("declined") << QByteArray() << QByteArray("\n") << MessageAnswer::No;
}

void tst_TestWindow::utf8ProblemIsConvertedWhenAsked()
{
    QFETCH(QByteArray, bom);
    QFETCH(QByteArray, lineEnd);
    QFETCH(MessageAnswer, answer);
    writeProblems({QStringLiteral("二\r\n")}); // jpn_dat.001
    const QString name = QStringLiteral("PLACTICE/jpn_dat.000");
    const QByteArray utf8 = bom + QStringLiteral("秋の日").toUtf8() + lineEnd + "x" + lineEnd;
    m_tree->write(name, utf8);
    m_messages->script({answer});
    TestWindow& window = open();
    const QString asked = m_messages->texts().value(0);
    QVERIFY2(asked.contains(QStringLiteral("jpn_dat.000 は UTF-8 で保存されています")),
             qPrintable(asked));
    QVERIFY2(asked.contains(QStringLiteral(" && mv 'jpn_dat.000' 'utf8-jpn_dat.000' && ")),
             qPrintable(asked));
    QCOMPARE(asked.contains(QStringLiteral("sed '1s/^\\xEF\\xBB\\xBF//'")), !bom.isEmpty());
    if (answer == MessageAnswer::No) {
        QCOMPARE(m_messages->shown().size(), 1);
        QVERIFY(!window.isVisible());
        QCOMPARE(m_tree->read(name), utf8);
        return;
    }
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_tree->read(name), QByteArray("\x8f\x48\x82\xcc\x93\xfa\r\nx\r\n"));
    QCOMPARE(m_tree->read(QStringLiteral("PLACTICE/utf8-jpn_dat.000")), utf8);
    QVERIFY(window.isVisible());
    QCOMPARE(part<QLabel>(window.problemView(), "hint")->text(),
             QStringLiteral("スペースバーを押すと開始します"));
    QCOMPARE(part<QMenu>(window, "problemMenu")->actions().at(1)->text(),
             QStringLiteral("jpn_dat.000;秋の日・・・"));
}

void tst_TestWindow::closeMenuForgetsTheFileCloseBoxKeepsIt()
{
    writeProblems({QStringLiteral("一\r\n"), QStringLiteral("二\r\n"), QStringLiteral("三\r\n")});
    TestWindow& window = open();
    QCOMPARE(window.problemFileName(), QStringLiteral("jpn_dat.001"));
    part<QAction>(window, "closeAction")->trigger();
    QVERIFY(!window.isVisible());
    QVERIFY(window.problemFileName().isEmpty());
    QVERIFY(!window.isCursorBlinking());
    QVERIFY(m_menu->isVisible());

    open();
    QCOMPARE(window.problemFileName(), QStringLiteral("jpn_dat.001"));
    window.close();
    QVERIFY(!window.isVisible());
    QCOMPARE(window.problemFileName(), QStringLiteral("jpn_dat.001"));
    QVERIFY(!m_window->problem());
    open();
    QCOMPARE(window.problemFileName(), QStringLiteral("jpn_dat.002"));
}

void tst_TestWindow::selectErrorDuringReplaceIsShown()
{
    writeProblems({QStringLiteral("一\r\n"), QStringLiteral("二\r\n")});
    TestWindow& window = open();
    QFile::remove(m_tree->file(QStringLiteral("PLACTICE/jpn_dat.001")));
    part<QAction>(window, "startOverAction")->trigger();
    QCOMPARE(m_messages->texts(), QStringList({QStringLiteral("ファイル指定に失敗しました")}));
    QCOMPARE(m_messages->shown().first().title, ErrorTitle);
    QVERIFY(window.isVisible());
    QVERIFY(!window.problem());
}

void tst_TestWindow::replaceOrCloseWhileDrawingWaits_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("next") << QStringLiteral("next");
    QTest::newRow("start again") << QStringLiteral("stop");
    QTest::newRow("close menu") << QStringLiteral("end");
    QTest::newRow("close box") << QStringLiteral("box");
}

void tst_TestWindow::replaceOrCloseWhileDrawingWaits()
{
    QFETCH(QString, action);
    const QString kanji = QStringLiteral("日本語入力速度正確問題文字練習検定時間分秒終了開始");
    QString many;
    for (QChar c : kanji)
        many += longLine(c) + QStringLiteral("\r\n");
    writeProblems({many, QStringLiteral("二\r\n")});
    TestWindow& window = *m_window;
    std::optional<qsizetype> rowsWhenClicked;
    // The first event after the opening: no event runs while the problem is drawn.
    QTimer::singleShot(0, &window, [&] {
        rowsWhenClicked = part<TextRows>(window.problemView(), "problemText")->rows().size();
        if (action == u"next")
            window.nextProblem();
        else if (action == u"stop")
            window.startOver();
        else if (action == u"end")
            window.closeTest();
        else
            window.close();
    });
    window.open();
    QTRY_VERIFY(rowsWhenClicked.has_value());
    QVERIFY(*rowsWhenClicked > 20); // the whole problem was there
    if (action == u"next") {
        QCOMPARE(window.problemFileName(), QStringLiteral("jpn_dat.002"));
        QCOMPARE(part<TextRows>(window.problemView(), "problemText")->rows(),
                 QStringList({QStringLiteral("二")}));
    } else if (action == u"stop") {
        QCOMPARE(window.problemFileName(), QStringLiteral("jpn_dat.001"));
        QVERIFY(part<TextRows>(window.problemView(), "problemText")->rows().size() > 20);
    } else {
        QVERIFY(!window.isVisible());
        QVERIFY(!window.problemView());
    }
    QVERIFY(m_messages->texts().isEmpty());
}

void tst_TestWindow::durationDialogErrorGivesFiveMinutes()
{
    writeProblems({QStringLiteral("一\r\n")});
    m_state->settings.setDurationMinutes(1);
    TestWindow& window = open();
    // The dialog cannot show 0 minutes: the duration falls back to 5, and the menu and the
    // clock time the run by it.
    m_state->settings.setDurationMinutes(0);
    window.chooseDuration();
    QCOMPARE(m_state->settings.durationMinutes(), 5);
    QCOMPARE(part<QAction>(window, "durationAction")->text(), QStringLiteral("5分"));
    QCOMPARE(window.secondsLeft(), 300);
}

void tst_TestWindow::printAsksFirstAndCancelPrintsNothing()
{
    writeProblems({QStringLiteral("一\r\n")});
    TestWindow& window = open();
    // A record that did not reach the log has no number to print; one kept for later is
    // sent when the log takes it again.
    const ScopedEnv appData("APPDATA", m_tree->path());
    LogWriter writer({}, {m_tree->file(QStringLiteral("class")), QStringLiteral("pelko.log")});
    m_state->record.setKeptAs(
        PendingRecords(PendingRecords::defaultFolder()).write(writer, false).keptAs);
    QVERIFY(!m_state->record.keptAs().isEmpty());
    m_state->record.setLogged(false);
    window.printCertificate();
    QCOMPARE(
        m_messages->texts(),
        QStringList{QStringLiteral("この結果はログに記録されていないため、認定証を印刷できません。"
                                   "\r記録は保管してあります。ログに書き込めるようになってから、"
                                   "もう一度印刷してください。")});
    m_messages->clear();
    m_tree->mkdir(QStringLiteral("class"));
    m_messages->script({MessageAnswer::Cancel});
    window.printCertificate();
    QVERIFY(m_state->record.isLogged());
    QCOMPARE(m_state->record.recordNumber(), 0);
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_messages->shown().first().text, QStringLiteral("印刷を行います。よろしいですか？"));
    QCOMPARE(m_messages->shown().first().title, QStringLiteral("印刷確認"));
    QCOMPARE(m_messages->shown().first().buttons, MessageButtons::OkCancel);
    QCOMPARE(m_messages->shown().first().icon, MessageIcon::Information);
}

void tst_TestWindow::problemWindowSwallowsKeysAndColours()
{
    writeProblems({QStringLiteral("一\r\n")});
    m_state->settings.setProblemBackColor(ColorLiteral::toColor(u"&HFF0000")); // blue
    m_state->settings.setProblemColor(ColorLiteral::toColor(u"&H0000FF"));     // red
    TestWindow& window = open();
    QApplication::setActiveWindow(&window);
    ProblemView* view = window.problemView();
    QCOMPARE(part<TextRows>(view, "problemText")->textColor(), QColor(255, 0, 0));
    QCOMPARE(part<TextRows>(view, "problemText")->palette().color(QPalette::Window),
             QColor(0, 0, 255));
    // An unreadable colour takes its own default: white behind, black text.
    m_state->settings.setProblemBackColor(SettingsText::toColor(QStringLiteral("&HFFFF"), {}));
    m_state->settings.setProblemColor(SettingsText::toColor(QStringLiteral("&HFFFF"), {}));
    view->applyColors();
    QCOMPARE(part<TextRows>(view, "problemText")->palette().color(QPalette::Window),
             QColor(255, 255, 255));
    QCOMPARE(part<TextRows>(view, "problemText")->textColor(), QColor(0, 0, 0));
    // The input window has the focus once the problem is drawn: the space bar starts.
    QCOMPARE(QApplication::focusWidget(), window.inputPane());
    view->setFocus();
    QTest::keyClick(view, Qt::Key_A);
    QCOMPARE(QApplication::focusWidget(), window.inputPane());
    QVERIFY(!window.isCountingDown());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(window.isCountingDown());
    QVERIFY(!part<QAction>(window, "durationMenuAction")->isEnabled());
    QVERIFY(part<TextRows>(view, "problemText")->rows() == QStringList({QStringLiteral("一")}));
}

void tst_TestWindow::inputWindowFollowsAcrossReplacements()
{
    writeProblems({QStringLiteral("あい\r\n"), QStringLiteral("うえ\r\n")});
    TestWindow& window = open();
    QVERIFY(window.isFollowingProblemWindow());

    auto dragProblemWindow = [&](QPoint to) {
        QWidget* frame = window.problemView()->parentWidget();
        frame->move(to);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 5), frame->mapToGlobal(QPointF(5, 5)),
                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &up);
        return frame->geometry();
    };
    QRect problem = dragProblemWindow(QPoint(20, 30));
    QCOMPARE(window.inputPane()->parentWidget()->pos(),
             QPoint(problem.left(), problem.bottom() + 1));

    // The new windows of the next problem follow as well, through one follower.
    window.nextProblem();
    QVERIFY(window.isFollowingProblemWindow());
    problem = dragProblemWindow(QPoint(5, 10));
    QCOMPARE(window.inputPane()->parentWidget()->pos(),
             QPoint(problem.left(), problem.bottom() + 1));

    window.closeTest();
    QVERIFY(!window.isFollowingProblemWindow());
}

void tst_TestWindow::menuClosedWithEscapeGivesTheKeysBack_data()
{
    QTest::addColumn<bool>("running");
    QTest::newRow("running") << true;
    QTest::newRow("waiting for the space bar") << false;
}

void tst_TestWindow::menuClosedWithEscapeGivesTheKeysBack()
{
    QFETCH(bool, running);
    writeProblems({QStringLiteral("abcdef\r\n")});
    TestWindow& window = open();
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(&window);
    InputBox* box = part<InputBox>(window.inputPane(), "inputBox");
    if (running) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClick(box, Qt::Key_A);
    }

    // Escape leaves the bar holding the keyboard, as after a click on the menu.
    window.menuBar()->setActiveAction(part<QMenu>(window, "testMenu")->menuAction());
    QTRY_COMPARE(QApplication::activePopupWidget(), part<QMenu>(window, "testMenu"));
    QTest::keyClick(part<QMenu>(window, "testMenu"), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    // A display gives the window back its activation when the popup goes; offscreen does not.
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(&window);

    if (!running) {
        QTRY_COMPARE(QApplication::focusWidget(), window.inputPane());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(window.runInProgress());
        QTest::keyClick(box, Qt::Key_A);
    }
    // The next keys are typed, and Enter opens no menu over the run.
    QTRY_COMPARE(QApplication::focusWidget(), box);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_B);
    QCoreApplication::processEvents();
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(box->text(), QStringLiteral("ab"));
    QVERIFY(window.runInProgress());
}

void tst_TestWindow::closingAsksOnlyDuringARun_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<bool>("asked");
    QTest::newRow("waiting, menu") << "waiting" << true << MessageAnswer::Yes << false;
    QTest::newRow("finished, close box") << "finished" << false << MessageAnswer::Yes << false;
    QTest::newRow("running, menu, no") << "running" << true << MessageAnswer::No << true;
    QTest::newRow("running, close box, no") << "running" << false << MessageAnswer::No << true;
    QTest::newRow("running, menu, yes") << "running" << true << MessageAnswer::Yes << true;
    QTest::newRow("running, close box, yes") << "running" << false << MessageAnswer::Yes << true;
}

void tst_TestWindow::closingAsksOnlyDuringARun()
{
    QFETCH(QString, state);
    QFETCH(bool, byMenu);
    QFETCH(MessageAnswer, answer);
    QFETCH(bool, asked);
    writeProblems({QStringLiteral("一二三\r\n"), QStringLiteral("四\r\n")});
    TestWindow& window = open();
    QApplication::setActiveWindow(&window);
    if (state != u"waiting")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    if (state == u"finished")
        window.inputPane()->finishRun();
    m_messages->clear();
    m_messages->script({answer});

    if (byMenu)
        part<QAction>(window, "closeAction")->trigger();
    else
        window.close();

    QCOMPARE(m_messages->shown().size(), asked ? 1 : 0);
    if (asked) {
        const MessageRecorder::Shown& box = m_messages->shown().first();
        QCOMPARE(box.text, DiscardQuestion);
        QCOMPARE(box.title, QStringLiteral("確認"));
        QCOMPARE(box.buttons, MessageButtons::YesNoDefaultNo);
        QCOMPARE(box.icon, MessageIcon::Question);
    }
    if (asked && answer == MessageAnswer::No) {
        // The run goes on, typed into as before.
        QVERIFY(window.isVisible());
        QVERIFY(window.runInProgress());
        QVERIFY(window.isCountingDown());
        QCOMPARE(QApplication::focusWidget(), part<InputBox>(window.inputPane(), "inputBox"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(m_menu->isHidden());
        return;
    }
    // Closed as ever: the menu forgets the file, the close box keeps it.
    QVERIFY(!window.isVisible());
    QVERIFY(!window.inputPane());
    QVERIFY(!window.isCountingDown());
    QVERIFY(m_menu->isVisible());
    QCOMPARE(window.problemFileName().isEmpty(), byMenu);
}

void tst_TestWindow::timeUpWhileAskingToClose_data()
{
    QTest::addColumn<MessageAnswer>("answer");
    QTest::newRow("then yes") << MessageAnswer::Yes;
    QTest::newRow("then no") << MessageAnswer::No;
}

void tst_TestWindow::timeUpWhileAskingToClose()
{
    QFETCH(MessageAnswer, answer);
    writeProblems({QStringLiteral("一二三\r\n")});
    m_state->settings.setDurationMinutes(1);
    m_messages.reset();
    TimeUpWhileAsking messages;
    TestWindow& window = open();
    QApplication::setActiveWindow(&window);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    messages.whileAsking = [&] {
        for (int tick = 0; tick < 60; ++tick)
            window.countdownTick();
    };
    // The closing box of the run is answered inside the question, so it comes first.
    messages.script({MessageAnswer::Ok, answer});

    part<QAction>(window, "closeAction")->trigger();
    QCOMPARE(messages.texts(), QStringList({Finished, DiscardQuestion}));
    QFile log(m_tree->file(QStringLiteral("log/pelko.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll().count("\r\n"), 1);
    QCOMPARE(m_state->record.secondsUsed(), 60);
    if (answer == MessageAnswer::Yes) {
        QVERIFY(!window.isVisible());
        return;
    }
    // The finished run's result stays; a later close needs no question.
    QVERIFY(window.isVisible());
    QVERIFY(part<QLabel>(window.inputPane(), "result")->isVisibleTo(window.inputPane()));
    QVERIFY(!window.isCountingDown());
    part<QAction>(window, "closeAction")->trigger();
    QCOMPARE(messages.shown().size(), 2);
    QVERIFY(!window.isVisible());
}

void tst_TestWindow::failedResultLeavesTheRowsWhole_data()
{
    QTest::addColumn<float>("fontBase");
    QTest::addColumn<float>("fontResult");
    QTest::newRow("default fonts") << 13.0f << 11.0f;
    QTest::newRow("rows of a fractional height") << 9.5f << 11.0f;
    QTest::newRow("large fonts") << 20.0f << 14.0f;
}

void tst_TestWindow::failedResultLeavesTheRowsWhole()
{
    QFETCH(float, fontBase);
    QFETCH(float, fontResult);
    m_state->settings.setBaseFontSize(fontBase);
    m_state->settings.setResultFontSize(fontResult);
    const QStringList lines = {QStringLiteral("abcdefghij"), QStringLiteral("klmnopqrst"),
                               QStringLiteral("uvwxyzabcd"), QStringLiteral("efghijklmn"),
                               QStringLiteral("opqrstuvwx"), QStringLiteral("yzabcdefgh"),
                               QStringLiteral("ijklmnopqr"), QStringLiteral("stuvwxyzab")};
    writeProblems({lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")});
    m_state->settings.setDurationMinutes(1);
    m_state->settings.setPassSpeed(9999);
    TestWindow& window = open();
    QApplication::setActiveWindow(&window);
    InputPane* input = window.inputPane();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCoreApplication::processEvents();
    {
        // A key's echo is drawn while the key is handled, alone; the status line after it.
        PaintOrder order;
        QTest::keyClick(part<InputBox>(input, "inputBox"), Qt::Key_A);
        QVERIFY(order.painted.contains(u"inputBox") && !order.painted.contains(u"status"));
        QTRY_VERIFY(order.painted.contains(u"status"));
        // So is an input method's preedit, though it comes with the next drawing.
        order.painted.clear();
        QTest::keyClick(part<InputBox>(input, "inputBox"), Qt::Key_Shift);
        QInputMethodEvent preedit(QStringLiteral("か"), {});
        QApplication::sendEvent(part<InputBox>(input, "inputBox"), &preedit);
        QTRY_VERIFY(order.painted.contains(u"status"));
        QVERIFY(order.painted.lastIndexOf(u"|", order.painted.indexOf(u"status")) >
                order.painted.indexOf(u"inputBox"));
        QInputMethodEvent cancel;
        QApplication::sendEvent(part<InputBox>(input, "inputBox"), &cancel);
    }
    // More finished rows than the strip holds, and half of the last line.
    for (int i = 0; i < lines.size() - 1; ++i) {
        QTest::keyClicks(part<InputBox>(input, "inputBox"), lines.at(i).mid(i == 0 ? 1 : 0));
        QTest::keyClick(part<InputBox>(input, "inputBox"), Qt::Key_Return);
    }
    QTest::keyClicks(part<InputBox>(input, "inputBox"), QStringLiteral("stuv"));
    for (int tick = 0; tick < 60; ++tick)
        window.countdownTick();
    QVERIFY(!window.runInProgress());
    QCOMPARE(part<QLabel>(input, "result")->text().count(u'\n'), 2);

    // The three result lines show, and cover neither the unfinished row nor the strip.
    const QRect result = part<QLabel>(input, "result")->geometry();
    const QRect box = part<QWidget>(input, "inputBoxBack")->geometry();
    const QRect strip = part<QWidget>(input, "typedRowsBack")->geometry();
    QVERIFY(result.height() >= 3 * part<QLabel>(input, "result")->fontMetrics().lineSpacing());
    QVERIFY(result.bottom() < input->height());
    QVERIFY(!result.intersects(box));
    QVERIFY(!result.intersects(strip));
    QVERIFY(part<InputBox>(input, "inputBox")->geometry().bottom() < box.height());
    QCOMPARE(part<InputBox>(input, "inputBox")->text(), QStringLiteral("stuv"));

    // Every row the strip shows is whole; the newest stands at its bottom.
    const TextRows* typedRows = part<TextRows>(input, "typedRows");
    const int rows = int(typedRows->rows().size());
    QCOMPARE(rows, lines.size() - 1);
    const qreal pitch = input->typedRowPitch();
    QVERIFY(strip.height() >= pitch);
    QVERIFY(rows * pitch > strip.height()); // the strip has scrolled
    int shown = 0;
    for (int i = 0; i < rows; ++i) {
        const qreal top = typedRows->y() + i * pitch;
        if (top + pitch <= 0 || top >= strip.height())
            continue;
        ++shown;
        QVERIFY2(top >= 0 && top + pitch <= strip.height(),
                 qPrintable(QStringLiteral("row %1 spans %2 to %3 of %4")
                                .arg(i)
                                .arg(top)
                                .arg(top + pitch)
                                .arg(strip.height())));
    }
    QCOMPARE(typedRows->y() + rows * pitch, qreal(strip.height()));
    QCOMPARE(shown * pitch, qreal(strip.height()));
}

void tst_TestWindow::drillIsPracticeHeldInMemory()
{
    writeProblems({QStringLiteral("abc\r\n")});
    TestWindow& window = open();
    QApplication::setActiveWindow(&window);
    InputPane* input = window.inputPane();
    const auto typeThrough = [&](const QStringList& lines) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        for (const QString& line : lines) {
            QInputMethodEvent commit;
            commit.setCommitString(line);
            QApplication::sendEvent(part<InputBox>(input, "inputBox"), &commit);
            QTest::keyClick(part<InputBox>(input, "inputBox"), Qt::Key_Return);
        }
    };
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::keyClicks(part<InputBox>(input, "inputBox"), QStringLiteral("xabc"));
    QTest::keyClick(part<InputBox>(input, "inputBox"), Qt::Key_Return);
    QVERIFY(input->checker().finished());

    const RunReview::Review review = RunReview::review(input->checker().trace());
    QCOMPARE(WeakCharactersDialog::missText(review.missed.value(0)), QStringLiteral("「a」→「x」"));
    QVERIFY(WeakCharactersDialog(review, true).offersDrill());
    QVERIFY(!WeakCharactersDialog(review, false).offersDrill());
    QVERIFY(!WeakCharactersDialog(RunReview::Review(), true).offersDrill());

    const QStringList drill = DrillBuilder::build({QStringLiteral("abc")}, review.missed);
    window.startDrill(drill);
    input = window.inputPane();
    QCOMPARE(window.problem()->fileName(), QStringLiteral("弱点練習"));
    QCOMPARE(window.problem()->count(), drill.size());
    QCOMPARE(window.windowTitle(), QStringLiteral("練習中"));
    QCOMPARE(part<QLabel>(window.problemView(), "hint")->text(), WaitingHint);
    typeThrough(drill);
    QVERIFY(input->checker().finished());
    QCOMPARE(m_state->record.errors(), 0);

    // The log names the drill; nothing new in the problem folders.
    QFile log(m_tree->file(QStringLiteral("log/pelko.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> records = log.readAll().split('\n');
    QCOMPARE(records.value(1).split(',').value(7),
             '"' + Cp932::encode(QStringLiteral("弱点練習")).bytes + '"');
    QCOMPARE(Problem::problemFiles(m_tree->file(QStringLiteral("PLACTICE")))->size(), 1);
    QCOMPARE(Problem::problemFiles(m_tree->file(QStringLiteral("DATA")))->size(), 1);

    // やり直し brings the drill back; the next problem leaves it.
    window.startOver();
    QCOMPARE(window.problem()->fileName(), QStringLiteral("弱点練習"));
    window.nextProblem();
    QCOMPARE(window.problem()->fileName(), QStringLiteral("jpn_dat.001"));

    // Certification never runs a drill.
    window.closeWindow();
    m_state->record.setCertification(true);
    open();
    window.startDrill(drill);
    QCOMPARE(window.problem()->fileName(), QStringLiteral("jpn_dat.001"));
}

void tst_TestWindow::finishedRunIsLogged_data()
{
    QTest::addColumn<bool>("folderThere");
    QTest::newRow("numbered after the last record") << true;
    QTest::newRow("log folder missing") << false;
}

void tst_TestWindow::finishedRunIsLogged()
{
    QFETCH(bool, folderThere);
    const ScopedEnv appData("APPDATA", m_tree->path()); // records kept here
    writeProblems({QStringLiteral("abc\r\n")});
    m_state->record.setUserId(QStringLiteral("U01"));
    m_state->record.setUserName(QStringLiteral("Tester"));
    m_state->settings.setPassLogEnabled(false);
    // One record already in the log: this run's record gets the next number.
    QVERIFY(LogWriter({}, {m_tree->file(QStringLiteral("log")), QStringLiteral("pelko.log")})
                .write(false));
    if (!folderThere)
        m_state->settings.setLogFolder(m_tree->file(QStringLiteral("missing/folder")));
    m_state->record.setRecordNumber(folderThere ? 99 : 7);
    m_state->record.setLogged(true);
    TestWindow& window = open();
    QApplication::setActiveWindow(&window);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    m_messages->clear();
    window.inputPane()->finishRun();

    if (folderThere) {
        QCOMPARE(m_messages->texts(), QStringList{Finished});
        QCOMPARE(m_state->record.recordNumber(), 1);
        QVERIFY(m_state->record.isLogged());
        const QByteArray log = m_tree->read(QStringLiteral("log/pelko.log"));
        const QList<QByteArray> records = log.split('\n');
        QVERIFY(records.size() >= 2);
        QVERIFY(records.at(1).startsWith("1,"));
        QVERIFY(records.at(1).contains(",\"U01\",\"Tester\","));
        QVERIFY(records.at(1).contains(",\"jpn_dat.001\","));
        return;
    }
    const QString log = m_tree->file(QStringLiteral("missing/folder/pelko.log"));
    QCOMPARE(
        m_messages->texts(),
        (QStringList{Finished, QStringLiteral("ログが正常に書き込めませんでした\r") + log +
                                   QStringLiteral(": フォルダが見つかりません\r記録は保管しました。"
                                                  "次にログへ書き込めたときに追加します。")}));
    QVERIFY(part<QLabel>(window.problemView(), "hint")->text().contains(QStringLiteral("保管中")));
    QCOMPARE(m_messages->shown().last().title, QStringLiteral("ログ書き込みエラー"));
    QCOMPARE(m_messages->shown().last().icon, MessageIcon::None);
    QVERIFY(part<QLabel>(window.inputPane(), "result")
                ->isVisibleTo(window.inputPane())); // the result stands
    QVERIFY(!m_state->record.isLogged());           // and no certificate names it
}

QTEST_MAIN(tst_TestWindow)
#include "tst_TestWindow.moc"
