#include "app/frmSentaku.h"
#include "app/modPelko.h"
#include "platform/MessageService.h"
#include "problems/colReidai.h"
#include "results/clsUser.h"
#include "settings/clsKankyo.h"
#include "support/TempTree.h"
#include "test/EndOfLineMark.h"
#include "test/InputZone.h"
#include "test/PictureBox.h"
#include "test/ReidaiLayout.h"
#include "test/mdiKenteiBack.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
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
    MsgAnswer show(const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override
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

} // namespace

class tst_mdiKenteiBack : public QObject
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
    void certificationTimeMenuFollowsChangeTime_data();
    void certificationTimeMenuFollowsChangeTime();
    void countdownEndsTheRunOnce();
    void cursorBlinksAndBackgroundFollowsSettings();
    void loadFailureWhileOpeningGivesUp();
    void loadFailureAfterNextKeepsTheWindow();
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

private:
    void writeProblems(const QStringList& texts);
    mdiKenteiBack& open();

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<MessageRecorder> m_messages;
};

void tst_mdiKenteiBack::init()
{
    m_tree = std::make_unique<TempTree>();
    m_tree->mkdir(QStringLiteral("DATA"));
    m_tree->mkdir(QStringLiteral("PLACTICE"));
    m_tree->mkdir(QStringLiteral("log"));
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->path());
    m_messages = std::make_unique<MessageRecorder>();
    objKankyo = std::make_unique<clsKankyo>();
    objKankyo->setFilepath(m_tree->file(QStringLiteral("DATA")));
    objKankyo->setTestFilepath(m_tree->file(QStringLiteral("PLACTICE")));
    objKankyo->setLogPath(m_tree->file(QStringLiteral("log")));
    objKankyo->setSortMode(QStringLiteral("SEQUENCE"));
    objKankyo->setLastTime(1);
    objUser = std::make_unique<clsUser>();
    objUser->setKenteiON(false);
    FontBase = 13;
    FontResult = 11;
    TestReady = true;
    mdiKenteiBack::instance().lStrFileName.clear();
}

void tst_mdiKenteiBack::cleanup()
{
    mdiKenteiBack& window = mdiKenteiBack::instance();
    if (window.isVisible())
        window.Unload();
    frmSentaku::instance().hide();
    objReidai.reset();
    m_messages.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_mdiKenteiBack::writeProblems(const QStringList& texts)
{
    for (int i = 0; i < texts.size(); ++i) {
        const QString name = QStringLiteral("jpn_dat.00") + QString::number(i + 1);
        m_tree->writeCp932(QStringLiteral("PLACTICE/") + name, texts.at(i));
        m_tree->writeCp932(QStringLiteral("DATA/") + name, texts.at(i));
    }
}

mdiKenteiBack& tst_mdiKenteiBack::open()
{
    mdiKenteiBack& window = mdiKenteiBack::instance();
    window.MDIForm_Load();
    return window;
}

void tst_mdiKenteiBack::drawsRowsByTheWrapRule()
{
    // Full-width spaces show as □; a half-width space is drawn unchanged.
    const QString first = QStringLiteral("あ\u3000い") + longLine(QChar(0x5B57));
    const QString second = QStringLiteral("abc def");
    writeProblems({first + QStringLiteral("\r\n") + second + QStringLiteral("\r\n")});
    mdiKenteiBack& window = open();
    QVERIFY(window.isVisible());
    PictureBox* pic = window.Reidai()->picReidai;

    QList<qreal> widths;
    for (QChar c : first)
        widths.append(pic->TextWidth(QString(c)));
    const QList<int> lengths =
        ReidaiLayout::rowLengths(widths, pic->TextWidth(u" "), pic->ScaleWidth());
    QVERIFY(lengths.size() >= 2);

    QStringList expected;
    const QString shown = QString(first).replace(QChar(0x3000), QStringLiteral("□"));
    int at = 0;
    for (int length : lengths) {
        expected.append(shown.mid(at, length));
        at += length;
    }
    expected.append(second);
    QCOMPARE(pic->printedRows(), expected);
    QVERIFY(expected.first().startsWith(QStringLiteral("あ□い")));

    // One mark per line, right after its last character, 90 % of a full-width cell.
    QCOMPARE(pic->pictures().size(), 2);
    const QRectF mark = pic->pictures().at(1);
    QCOMPARE(mark.left(), pic->TextWidth(second));
    QCOMPARE(mark.width(), 0.9 * pic->TextWidth(QStringLiteral("\u3000")));
    QVERIFY(mark.top() > pic->pictures().at(0).top());

    // Rows are a text row and a thin gap row apart; the input window gets both heights.
    QVERIFY(window.Input()->lLngLineHeight > window.Input()->lLngKaigyoHeight);
    QCOMPARE(window.Reidai()->lblHint->text(), WaitingHint);
    QVERIFY(!window.Input()->txtInputZone->isEnabled());
    QVERIFY(!window.Input()->txtInputZone->isVisibleTo(window.Input()));
}

void tst_mdiKenteiBack::markSizeFollowsRowHeight_data()
{
    QTest::addColumn<float>("fontBase");
    QTest::addColumn<int>("size");
    QTest::newRow("rows of 30 px or more") << 36.0f << 30;
    QTest::newRow("rows under 12 px") << 6.0f << 10;
}

void tst_mdiKenteiBack::markSizeFollowsRowHeight()
{
    QFETCH(float, fontBase);
    QFETCH(int, size);
    FontBase = fontBase;
    writeProblems({QStringLiteral("字\r\n")});
    mdiKenteiBack& window = open();
    const int rowPixels = int(window.Reidai()->picReidai->TextHeight(u" "));
    QVERIFY2(size == 30 ? rowPixels >= 30 : rowPixels < 12, qPrintable(QString::number(rowPixels)));
    QCOMPARE(window.Reidai()->imgEnterSize, size);
    QCOMPARE(window.Input()->imgEnterGraySize, size);
    // The rule itself, between the extremes.
    QCOMPARE(EndOfLineMark::chooseSize(11), 10);
    QCOMPARE(EndOfLineMark::chooseSize(12), 12);
    QCOMPARE(EndOfLineMark::chooseSize(17), 16);
}

void tst_mdiKenteiBack::narrowClientGivesNarrowerProblemWindow()
{
    writeProblems({QStringLiteral("字\r\n")});
    objKankyo->WindowSize = 40;
    mdiKenteiBack& window = open();
    PictureBox* pic = window.Reidai()->picReidai;
    const int client = window.mdiArea->viewport()->width();
    QVERIFY(client < pic->TextWidth(QString(82, u' ')));
    QMdiSubWindow* sub = window.mdiArea->subWindowList().first();
    QCOMPARE(sub->width(), client - int(std::lround(pic->TextWidth(u" "))));
    // The input window sits right under the problem window, as wide.
    QMdiSubWindow* inputSub = window.mdiArea->subWindowList().last();
    QCOMPARE(inputSub->x(), sub->x());
    QCOMPARE(inputSub->y(), sub->y() + sub->height());
    QCOMPARE(inputSub->width(), sub->width());
}

void tst_mdiKenteiBack::informationLine()
{
    // 4 characters: 2 kanji, 1 alphanumeric, 1 half-width.
    writeProblems({QStringLiteral("漢字Ａa\r\n")});
    mdiKenteiBack& window = open();
    QCOMPARE(ReidaiInfo, QStringLiteral("総文字数:4文字  漢字率:50%  英数記号率:25%  半角率:25%"));
    QLabel* info = window.Reidai()->lblReidaiInfo;
    QCOMPARE(info->text(), ReidaiInfo + QStringLiteral("  ストローク:0  入力:0/0"));
    const int oneRowTop = info->y();

    // Too narrow for the frame: two rows, at the bottom of the frame.
    window.Unload();
    objKankyo->WindowSize = 30;
    open();
    info = window.Reidai()->lblReidaiInfo;
    QVERIFY(info->wordWrap());
    QCOMPARE(info->y() + info->height(), window.Reidai()->fraMozi->height());
    QVERIFY(info->y() < oneRowTop);
}

void tst_mdiKenteiBack::problemMenuByMode_data()
{
    QTest::addColumn<QString>("sortMode");
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("menuShown");
    QTest::newRow("sequence") << QStringLiteral("SEQUENCE") << 3 << true;
    QTest::newRow("select") << QStringLiteral("SELECT") << 2 << true;
    QTest::newRow("random") << QStringLiteral("RANDOM") << 3 << false;
}

void tst_mdiKenteiBack::problemMenuByMode()
{
    QFETCH(QString, sortMode);
    QFETCH(int, files);
    QFETCH(bool, menuShown);
    QStringList texts;
    for (int i = 1; i <= files; ++i)
        texts.append(QStringLiteral("第%1問の見出しはここまでの二十文字です。続き\r\n").arg(i));
    writeProblems(texts);
    objKankyo->setSortMode(sortMode);
    mdiKenteiBack& window = open();
    QCOMPARE(window.windowTitle(), QStringLiteral("練習中"));
    QCOMPARE(window.mnuProblem->menuAction()->isVisible(), menuShown);
    if (!menuShown) {
        QCOMPARE(window.mnuProblemList.size(), 1);
        return;
    }
    QCOMPARE(window.mnuProblemList.size(), files + 1);
    QVERIFY(!window.mnuProblemList[0]->isVisible());
    QCOMPARE(window.mnuProblemList[2]->text(),
             QStringLiteral("jpn_dat.002;第2問の見出しはここまでの二十文字です。・・・"));
    QCOMPARE(window.mnuProblemList[2]->data().toString(), QStringLiteral("jpn_dat.002"));
    QCOMPARE(window.lStrFileName, QStringLiteral("jpn_dat.001"));

    // Choosing an item loads that file; a second opening does not duplicate the items.
    window.mnuProblemList[2]->trigger();
    QCOMPARE(window.lStrFileName, QStringLiteral("jpn_dat.002"));
    QCOMPARE(objReidai->Filename(), QStringLiteral("jpn_dat.002"));
    window.Unload();
    open();
    QCOMPARE(window.mnuProblemList.size(), files + 1);
}

void tst_mdiKenteiBack::certificationTimeMenuFollowsChangeTime_data()
{
    QTest::addColumn<bool>("changeTime");
    QTest::newRow("may change") << true;
    QTest::newRow("fixed") << false;
}

void tst_mdiKenteiBack::certificationTimeMenuFollowsChangeTime()
{
    QFETCH(bool, changeTime);
    writeProblems({QStringLiteral("検定\r\n"), QStringLiteral("問題\r\n")});
    objUser->setKenteiON(true);
    objKankyo->setChangeTime(changeTime);
    objKankyo->setLastTime(5);
    mdiKenteiBack& window = open();
    QCOMPARE(window.windowTitle(), QStringLiteral("検定中"));
    QVERIFY(!window.mnuProblem->menuAction()->isVisible());
    QCOMPARE(window.mnuTime->isEnabled(), changeTime);
    QCOMPARE(window.mnuMin->text(), QStringLiteral("5分"));
    QVERIFY(window.mnuMin->isChecked());
    QCOMPARE(window.Reidai()->lblMin->text(), QStringLiteral("5"));
    QCOMPARE(window.Reidai()->lblSec->text(), QStringLiteral("0"));
    QVERIFY(!window.mnuPrint->isEnabled());
    QVERIFY(!window.mnuPrinter_select->isEnabled());
    QVERIFY(!window.mnuNext->isVisible());

    // A run disables the time menu; a new problem brings it back by the setting.
    window.setTimeMenuEnabled(false);
    window.mnuStop_Click();
    QCOMPARE(window.mnuTime->isEnabled(), changeTime);
}

void tst_mdiKenteiBack::countdownEndsTheRunOnce()
{
    writeProblems({QStringLiteral("時間切れ\r\n")});
    objKankyo->setLastTime(1);
    mdiKenteiBack& window = open();
    window.startCountdown();
    window.timLastTime_Timer();
    QCOMPARE(window.Reidai()->lblMin->text(), QStringLiteral("0"));
    QCOMPARE(window.Reidai()->lblSec->text(), QStringLiteral("59"));
    for (int tick = 2; tick <= 50; ++tick)
        window.timLastTime_Timer();
    QCOMPARE(window.Reidai()->lblSec->text(), QStringLiteral("10"));
    window.timLastTime_Timer();
    QCOMPARE(window.Reidai()->lblSec->text(), QStringLiteral("9"));
    for (int tick = 52; tick <= 59; ++tick)
        window.timLastTime_Timer();
    QCOMPARE(objUser->UseTime(), qint16(0));
    QVERIFY(m_messages->texts().isEmpty());

    window.timLastTime_Timer(); // tick 60
    QCOMPARE(objUser->UseTime(), qint16(60));
    QVERIFY(!window.timLastTime->isActive());
    QCOMPARE(m_messages->texts().count(QStringLiteral("お疲れ様でした")), 1);
    QVERIFY(window.Input()->lblKekka->isVisibleTo(window.Input()));
}

void tst_mdiKenteiBack::cursorBlinksAndBackgroundFollowsSettings()
{
    writeProblems({QStringLiteral("一\r\n")});
    objKankyo->setBackColor(QStringLiteral("&H00FF00"));
    mdiKenteiBack& window = open();
    QCOMPARE(window.mdiArea->background().color(), QColor(0, 255, 0));
    QVERIFY(window.timCursor->isActive());
    QWidget* cursor = window.Reidai()->shpCursor;
    QCOMPARE(window.timCursor->interval(), 500);
    window.timCursor_Timer(); // shown 500 ms, now hidden for 700
    QCOMPARE(window.timCursor->interval(), 700);
    QVERIFY(!cursor->isVisibleTo(window.Reidai()));
    window.timCursor_Timer();
    QCOMPARE(window.timCursor->interval(), 500);
    QVERIFY(cursor->isVisibleTo(window.Reidai()));
    // The cursor spans the first character, on the foot of the first row.
    PictureBox* pic = window.Reidai()->picReidai;
    QCOMPARE(cursor->width(), int(std::lround(pic->TextWidth(QStringLiteral("一")))));
    QCOMPARE(cursor->y() + cursor->height(), int(std::lround(pic->TextHeight(u" "))));
}

void tst_mdiKenteiBack::loadFailureWhileOpeningGivesUp()
{
    // An empty practice folder: no menu, and the window gives up.
    mdiKenteiBack& window = open();
    QCOMPARE(m_messages->texts(), QStringList({NoFileText, CodeOneText}));
    QCOMPARE(m_messages->shown().at(1).title, ErrorTitle);
    QCOMPARE(m_messages->shown().at(1).icon, MsgIcon::None);
    QVERIFY(!TestReady);
    QVERIFY(!window.isVisible());
    QVERIFY(!window.mnuProblem->menuAction()->isVisible());
    QVERIFY(!window.Reidai());
    QVERIFY(!window.Input());
    QVERIFY(!objReidai);
    QVERIFY(frmSentaku::instance().isVisible());
}

void tst_mdiKenteiBack::loadFailureAfterNextKeepsTheWindow()
{
    writeProblems({QStringLiteral("一\r\n"), QStringLiteral("二\r\n")});
    mdiKenteiBack& window = open();
    QVERIFY(window.isVisible());
    window.showNextProblemMenu();
    QFile::remove(m_tree->file(QStringLiteral("PLACTICE/jpn_dat.001")));
    QFile::remove(m_tree->file(QStringLiteral("PLACTICE/jpn_dat.002")));
    window.mnuNext->trigger();
    QCOMPARE(m_messages->texts(), QStringList({NoFileText, CodeOneText}));
    QVERIFY(TestReady);
    QVERIFY(window.isVisible());
    QVERIFY(window.Reidai() && window.Input());
    QVERIFY(window.Reidai()->isVisible());
    QVERIFY(window.Reidai()->picReidai->printedRows().isEmpty());
    QVERIFY(!window.mnuNext->isVisible());
}

void tst_mdiKenteiBack::closeMenuForgetsTheFileCloseBoxKeepsIt()
{
    writeProblems({QStringLiteral("一\r\n"), QStringLiteral("二\r\n"), QStringLiteral("三\r\n")});
    mdiKenteiBack& window = open();
    QCOMPARE(window.lStrFileName, QStringLiteral("jpn_dat.001"));
    window.mnuEnd->trigger();
    QVERIFY(!window.isVisible());
    QVERIFY(window.lStrFileName.isEmpty());
    QVERIFY(!window.timCursor->isActive());
    QVERIFY(frmSentaku::instance().isVisible());

    open();
    QCOMPARE(window.lStrFileName, QStringLiteral("jpn_dat.001"));
    window.close();
    QVERIFY(!window.isVisible());
    QCOMPARE(window.lStrFileName, QStringLiteral("jpn_dat.001"));
    QVERIFY(!objReidai);
    open();
    QCOMPARE(window.lStrFileName, QStringLiteral("jpn_dat.002"));
}

void tst_mdiKenteiBack::selectErrorDuringReplaceIsShown()
{
    writeProblems({QStringLiteral("一\r\n"), QStringLiteral("二\r\n")});
    mdiKenteiBack& window = open();
    QFile::remove(m_tree->file(QStringLiteral("PLACTICE/jpn_dat.001")));
    window.mnuStop->trigger();
    QCOMPARE(m_messages->texts(), QStringList({QStringLiteral("ファイル指定に失敗しました")}));
    QCOMPARE(m_messages->shown().first().title, ErrorTitle);
    QVERIFY(window.isVisible());
    QVERIFY(window.Reidai() && window.Reidai()->isVisible());

    // Still usable: the next problem loads.
    m_messages->clear();
    window.mnuNext_Click();
    QVERIFY(m_messages->texts().isEmpty());
    QCOMPARE(window.lStrFileName, QStringLiteral("jpn_dat.002"));
}

void tst_mdiKenteiBack::replaceOrCloseWhileDrawingWaits_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("next") << QStringLiteral("next");
    QTest::newRow("start again") << QStringLiteral("stop");
    QTest::newRow("close menu") << QStringLiteral("end");
    QTest::newRow("close box") << QStringLiteral("box");
}

void tst_mdiKenteiBack::replaceOrCloseWhileDrawingWaits()
{
    QFETCH(QString, action);
    const QString kanji = QStringLiteral("日本語入力速度正確問題文字練習検定時間分秒終了開始");
    QString many;
    for (QChar c : kanji)
        many += longLine(c) + QStringLiteral("\r\n");
    writeProblems({many, QStringLiteral("二\r\n")});
    mdiKenteiBack& window = mdiKenteiBack::instance();
    std::optional<bool> drawingWhenClicked;
    // Runs at the first yield of the drawing.
    QTimer::singleShot(0, &window, [&] {
        drawingWhenClicked = window.isDrawing();
        if (action == u"next")
            window.mnuNext_Click();
        else if (action == u"stop")
            window.mnuStop_Click();
        else if (action == u"end")
            window.mnuEnd_Click();
        else
            window.close();
    });
    window.MDIForm_Load();
    QCOMPARE(drawingWhenClicked, std::optional<bool>(true));
    QVERIFY(!window.isDrawing());
    if (action == u"next") {
        QCOMPARE(window.lStrFileName, QStringLiteral("jpn_dat.002"));
        QCOMPARE(window.Reidai()->picReidai->printedRows(), QStringList({QStringLiteral("二")}));
    } else if (action == u"stop") {
        QCOMPARE(window.lStrFileName, QStringLiteral("jpn_dat.001"));
        QVERIFY(window.Reidai()->picReidai->printedRows().size() > 20);
    } else {
        QVERIFY(!window.isVisible());
        QVERIFY(!window.Reidai());
    }
    QVERIFY(m_messages->texts().isEmpty());
}

void tst_mdiKenteiBack::durationDialogErrorGivesFiveMinutes()
{
    writeProblems({QStringLiteral("一\r\n")});
    objKankyo->setLastTime(1);
    mdiKenteiBack& window = open();
    // The dialog cannot show 0 minutes: the duration falls back to 5, the caption stays.
    objKankyo->setLastTime(0);
    window.mnuMin_Click();
    QCOMPARE(objKankyo->LastTime(), qint16(5));
    QCOMPARE(window.mnuMin->text(), QStringLiteral("1分"));
}

void tst_mdiKenteiBack::printAsksFirstAndCancelPrintsNothing()
{
    writeProblems({QStringLiteral("一\r\n")});
    mdiKenteiBack& window = open();
    m_messages->script({MsgAnswer::Cancel});
    window.mnuPrint_Click();
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_messages->shown().first().text, QStringLiteral("印刷を行います。よろしいですか？"));
    QCOMPARE(m_messages->shown().first().title, QStringLiteral("印刷確認"));
    QCOMPARE(m_messages->shown().first().buttons, MsgButtons::OkCancel);
    QCOMPARE(m_messages->shown().first().icon, MsgIcon::Information);
}

void tst_mdiKenteiBack::problemWindowSwallowsKeysAndColours()
{
    writeProblems({QStringLiteral("一\r\n")});
    objKankyo->setProblemBackColor(QStringLiteral("&HFF0000")); // blue
    objKankyo->setProblemColor(QStringLiteral("&H0000FF"));     // red
    mdiKenteiBack& window = open();
    QApplication::setActiveWindow(&window);
    frmReidai* reidai = window.Reidai();
    QCOMPARE(reidai->picReidai->foreColor(), QColor(255, 0, 0));
    QCOMPARE(reidai->picReidai->palette().color(QPalette::Window), QColor(0, 0, 255));
    // The input window has the focus once the problem is drawn: the space bar starts.
    QCOMPARE(QApplication::focusWidget(), window.Input());
    reidai->setFocus();
    QTest::keyClick(reidai, Qt::Key_A);
    QCOMPARE(QApplication::focusWidget(), window.Input());
    QVERIFY(!window.timLastTime->isActive());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(window.timLastTime->isActive());
    QVERIFY(!window.mnuTime->isEnabled());
    QVERIFY(reidai->picReidai->printedRows() == QStringList({QStringLiteral("一")}));
}

void tst_mdiKenteiBack::inputWindowFollowsAcrossReplacements()
{
    writeProblems({QStringLiteral("あい\r\n"), QStringLiteral("うえ\r\n")});
    mdiKenteiBack& window = open();
    QVERIFY(window.isReidaiHooked());

    auto dragProblemWindow = [&](QPoint to) {
        QWidget* frame = window.Reidai()->parentWidget();
        frame->move(to);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 5),
                       frame->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(frame, &up);
        return frame->geometry();
    };
    QRect problem = dragProblemWindow(QPoint(20, 30));
    QCOMPARE(window.Input()->parentWidget()->pos(), QPoint(problem.left(), problem.bottom() + 1));

    // The new windows of the next problem follow as well, through one hook.
    window.mnuNext_Click();
    QVERIFY(window.isReidaiHooked());
    problem = dragProblemWindow(QPoint(5, 10));
    QCOMPARE(window.Input()->parentWidget()->pos(), QPoint(problem.left(), problem.bottom() + 1));

    window.mnuEnd_Click();
    QVERIFY(!window.isReidaiHooked());
}

void tst_mdiKenteiBack::menuClosedWithEscapeGivesTheKeysBack_data()
{
    QTest::addColumn<bool>("running");
    QTest::newRow("running") << true;
    QTest::newRow("waiting for the space bar") << false;
}

void tst_mdiKenteiBack::menuClosedWithEscapeGivesTheKeysBack()
{
    QFETCH(bool, running);
    writeProblems({QStringLiteral("abcdef\r\n")});
    mdiKenteiBack& window = open();
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(&window);
    InputZone* box = window.Input()->txtInputZone;
    if (running) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClick(box, Qt::Key_A);
    }

    // Escape leaves the bar holding the keyboard, as after a click on the menu.
    window.menuBar()->setActiveAction(window.mnuKentei->menuAction());
    QTRY_COMPARE(QApplication::activePopupWidget(), window.mnuKentei);
    QTest::keyClick(window.mnuKentei, Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    // A display gives the window back its activation when the popup goes; offscreen does not.
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(&window);

    if (!running) {
        QTRY_COMPARE(QApplication::focusWidget(), window.Input());
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

void tst_mdiKenteiBack::closingAsksOnlyDuringARun_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("asked");
    QTest::newRow("waiting, menu") << "waiting" << true << MsgAnswer::Yes << false;
    QTest::newRow("finished, close box") << "finished" << false << MsgAnswer::Yes << false;
    QTest::newRow("running, menu, no") << "running" << true << MsgAnswer::No << true;
    QTest::newRow("running, close box, no") << "running" << false << MsgAnswer::No << true;
    QTest::newRow("running, menu, yes") << "running" << true << MsgAnswer::Yes << true;
    QTest::newRow("running, close box, yes") << "running" << false << MsgAnswer::Yes << true;
}

void tst_mdiKenteiBack::closingAsksOnlyDuringARun()
{
    QFETCH(QString, state);
    QFETCH(bool, byMenu);
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, asked);
    writeProblems({QStringLiteral("一二三\r\n"), QStringLiteral("四\r\n")});
    mdiKenteiBack& window = open();
    QApplication::setActiveWindow(&window);
    if (state != u"waiting")
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    if (state == u"finished")
        window.Input()->FsubEnd_Syori();
    m_messages->clear();
    m_messages->script({answer});

    if (byMenu)
        window.mnuEnd->trigger();
    else
        window.close();

    QCOMPARE(m_messages->shown().size(), asked ? 1 : 0);
    if (asked) {
        const MessageRecorder::Shown& box = m_messages->shown().first();
        QCOMPARE(box.text, DiscardQuestion);
        QCOMPARE(box.title, QStringLiteral("確認"));
        QCOMPARE(box.buttons, MsgButtons::YesNoDefaultNo);
        QCOMPARE(box.icon, MsgIcon::Question);
    }
    if (asked && answer == MsgAnswer::No) {
        // The run goes on, typed into as before.
        QVERIFY(window.isVisible());
        QVERIFY(window.runInProgress());
        QVERIFY(window.timLastTime->isActive());
        QCOMPARE(QApplication::focusWidget(), window.Input()->txtInputZone);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(frmSentaku::instance().isHidden());
        return;
    }
    // Closed as ever: the menu forgets the file, the close box keeps it.
    QVERIFY(!window.isVisible());
    QVERIFY(!window.Input());
    QVERIFY(!window.timLastTime->isActive());
    QVERIFY(frmSentaku::instance().isVisible());
    QCOMPARE(window.lStrFileName.isEmpty(), byMenu);
}

void tst_mdiKenteiBack::timeUpWhileAskingToClose_data()
{
    QTest::addColumn<MsgAnswer>("answer");
    QTest::newRow("then yes") << MsgAnswer::Yes;
    QTest::newRow("then no") << MsgAnswer::No;
}

void tst_mdiKenteiBack::timeUpWhileAskingToClose()
{
    QFETCH(MsgAnswer, answer);
    FillLogColumn();
    writeProblems({QStringLiteral("一二三\r\n")});
    objKankyo->setLastTime(1);
    m_messages.reset();
    TimeUpWhileAsking messages;
    mdiKenteiBack& window = open();
    QApplication::setActiveWindow(&window);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    messages.whileAsking = [&] {
        for (int tick = 0; tick < 60; ++tick)
            window.timLastTime_Timer();
    };
    // The closing box of the run is answered inside the question, so it comes first.
    messages.script({MsgAnswer::Ok, answer});

    window.mnuEnd->trigger();
    QCOMPARE(messages.texts(), QStringList({Finished, DiscardQuestion}));
    QFile log(m_tree->file(QStringLiteral("log/pelko.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll().count("\r\n"), 1);
    QCOMPARE(objUser->UseTime(), qint16(60));
    if (answer == MsgAnswer::Yes) {
        QVERIFY(!window.isVisible());
        return;
    }
    // The finished run's result stays; a later close needs no question.
    QVERIFY(window.isVisible());
    QVERIFY(window.Input()->lblKekka->isVisibleTo(window.Input()));
    QVERIFY(!window.timLastTime->isActive());
    window.mnuEnd->trigger();
    QCOMPARE(messages.shown().size(), 2);
    QVERIFY(!window.isVisible());
}

void tst_mdiKenteiBack::failedResultLeavesTheRowsWhole_data()
{
    QTest::addColumn<float>("fontBase");
    QTest::addColumn<float>("fontResult");
    QTest::newRow("default fonts") << 13.0f << 11.0f;
    QTest::newRow("rows of a fractional height") << 9.5f << 11.0f;
    QTest::newRow("large fonts") << 20.0f << 14.0f;
}

void tst_mdiKenteiBack::failedResultLeavesTheRowsWhole()
{
    QFETCH(float, fontBase);
    QFETCH(float, fontResult);
    FontBase = fontBase;
    FontResult = fontResult;
    const QStringList lines = {QStringLiteral("abcdefghij"), QStringLiteral("klmnopqrst"),
                               QStringLiteral("uvwxyzabcd"), QStringLiteral("efghijklmn"),
                               QStringLiteral("opqrstuvwx"), QStringLiteral("yzabcdefgh"),
                               QStringLiteral("ijklmnopqr"), QStringLiteral("stuvwxyzab")};
    writeProblems({lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")});
    objKankyo->setLastTime(1);
    objKankyo->setSpeed(9999);
    mdiKenteiBack& window = open();
    QApplication::setActiveWindow(&window);
    frmInput* input = window.Input();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    // More finished rows than the strip holds, and half of the last line.
    for (int i = 0; i < lines.size() - 1; ++i) {
        QTest::keyClicks(input->txtInputZone, lines.at(i));
        QTest::keyClick(input->txtInputZone, Qt::Key_Return);
    }
    QTest::keyClicks(input->txtInputZone, QStringLiteral("stuv"));
    for (int tick = 0; tick < 60; ++tick)
        window.timLastTime_Timer();
    QVERIFY(!window.runInProgress());
    QCOMPARE(input->lblKekka->text().count(u'\n'), 2);

    // The three result lines show, and cover neither the unfinished row nor the strip.
    const QRect result = input->lblKekka->geometry();
    const QRect box = input->picInputZoneBack->geometry();
    const QRect strip = input->picInputAfterBack->geometry();
    QVERIFY(result.height() >= 3 * input->lblKekka->fontMetrics().lineSpacing());
    QVERIFY(result.bottom() < input->height());
    QVERIFY(!result.intersects(box));
    QVERIFY(!result.intersects(strip));
    QVERIFY(input->txtInputZone->geometry().bottom() < box.height());
    QCOMPARE(input->txtInputZone->text(), QStringLiteral("stuv"));

    // Every row the strip shows is whole; the newest stands at its bottom.
    const PictureBox* echo = input->picInputAfter;
    const int rows = int(echo->printedRows().size());
    QCOMPARE(rows, lines.size() - 1);
    const qreal pitch = echo->CurrentY() / rows;
    QVERIFY(strip.height() >= pitch);
    QVERIFY(rows * pitch > strip.height()); // the strip has scrolled
    int shown = 0;
    for (int i = 0; i < rows; ++i) {
        const qreal top = echo->y() + i * pitch;
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
    QCOMPARE(echo->y() + rows * pitch, qreal(strip.height()));
    QCOMPARE(shown * pitch, qreal(strip.height()));
}

QTEST_MAIN(tst_mdiKenteiBack)
#include "tst_mdiKenteiBack.moc"
