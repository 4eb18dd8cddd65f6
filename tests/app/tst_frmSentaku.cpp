#include "app/frmKakunin.h"
#include "app/frmSentaku.h"
#include "app/frmTouroku.h"
#include "app/modPelko.h"
#include "platform/MessageService.h"
#include "platform/Printers.h"
#include "problems/colReidai.h"
#include "results/clsUser.h"
#include "settings/clsKankyo.h"
#include "support/TempTree.h"
#include "test/mdiKenteiBack.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The main menu adapts its column of buttons to the two display switches, once.
class tst_frmSentaku : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void layoutOnFirstActivation_data();
    void layoutOnFirstActivation();
    void laterActivationsMoveNothing();
    void practiceRunOpensTestWindow();
    void certificationNeedsAPrinter();
    void selfAssessmentTurnsCertificationIntoPractice();
    void problemsMissingBringsMenuBack();
    void noProblemsSaidOnceBeforeTheEntry_data();
    void noProblemsSaidOnceBeforeTheEntry();
    void problemFilesFoundIgnoringCase();

private:
    // Answers the entry and self-assessment dialogs as a user pressing OK at once.
    void answerDialogs();

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<ScopedEnv> m_appData;
    std::unique_ptr<MessageRecorder> m_messages;
    QTimer m_answerer;
    bool m_entryShown = false;
};

void tst_frmSentaku::init()
{
    m_tree = std::make_unique<TempTree>();
    const QString problem = QStringLiteral("テスト\r\nあいう\r\n");
    m_tree->writeCp932(QStringLiteral("DATA/jpn_dat.001"), QStringLiteral("認定\r\nかきく\r\n"));
    m_tree->writeCp932(QStringLiteral("PLACTICE/jpn_dat.001"), problem);
    m_tree->mkdir(QStringLiteral("appdata/pelko"));
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->path());
    m_appData = std::make_unique<ScopedEnv>("APPDATA", m_tree->file(QStringLiteral("appdata")));
    m_messages = std::make_unique<MessageRecorder>();
    m_entryShown = false;
    objKankyo = std::make_unique<clsKankyo>();
    objKankyo->LoadINI();
    objUser = std::make_unique<clsUser>();
    Printers::setProvider([] { return QStringList{QStringLiteral("PDF")}; });
    connect(&m_answerer, &QTimer::timeout, this, &tst_frmSentaku::answerDialogs,
            Qt::UniqueConnection);
    m_answerer.start(20);
}

void tst_frmSentaku::cleanup()
{
    m_answerer.stop();
    mdiKenteiBack::instance().hide();
    frmSentaku::instance().hide();
    Printers::setProvider({});
    objReidai.reset();
    objUser.reset();
    objKankyo.reset();
    m_messages.reset();
    m_appData.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_frmSentaku::answerDialogs()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == &frmTouroku::instance()) {
        m_entryShown = true;
        frmTouroku::instance().cmdOK_Click();
    } else if (modal == &frmKakunin::instance())
        frmKakunin::instance().cmdOk_Click();
}

void tst_frmSentaku::layoutOnFirstActivation_data()
{
    QTest::addColumn<bool>("plactice");
    QTest::addColumn<bool>("kankyo");
    QTest::addColumn<QList<int>>("tops"); // -1 = hidden; order: rensyu nintei ranking kankyo end
    QTest::addColumn<int>("height");
    QTest::newRow("all five") << true << true << QList<int>{0, 56, 112, 168, 224} << 280;
    QTest::newRow("no practice") << false << true << QList<int>{-1, 0, 56, 112, 168} << 224;
    QTest::newRow("no settings") << true << false << QList<int>{0, 56, 112, -1, 168} << 224;
    QTest::newRow("neither") << false << false << QList<int>{-1, 0, 56, -1, 112} << 168;
}

void tst_frmSentaku::layoutOnFirstActivation()
{
    QFETCH(bool, plactice);
    QFETCH(bool, kankyo);
    QFETCH(QList<int>, tops);
    QFETCH(int, height);
    objKankyo->setShowPlactice(plactice);
    objKankyo->setShowKankyo(kankyo);
    frmSentaku& form = frmSentaku::instance();
    form.Form_Load();
    form.show();
    const QList<QPushButton*> buttons{form.cmdRensyu, form.cmdNintei, form.cmdRanking,
                                      form.cmdKankyo, form.cmdEnd};
    for (int i = 0; i < buttons.size(); ++i) {
        if (tops[i] < 0) {
            QVERIFY2(buttons[i]->isHidden(), qPrintable(buttons[i]->objectName()));
        } else {
            QVERIFY2(!buttons[i]->isHidden(), qPrintable(buttons[i]->objectName()));
            QCOMPARE(buttons[i]->y(), tops[i]);
            QCOMPARE(buttons[i]->height(), 56);
        }
    }
    QCOMPARE(form.height(), height);
    form.hide();
}

void tst_frmSentaku::laterActivationsMoveNothing()
{
    objKankyo->setShowPlactice(false);
    objKankyo->setShowKankyo(false);
    frmSentaku& form = frmSentaku::instance();
    form.Form_Load();
    form.show();
    form.hide();
    form.show();
    form.Form_Activate();
    QCOMPARE(form.cmdEnd->y(), 112);
    QCOMPARE(form.height(), 168);
    form.hide();
}

void tst_frmSentaku::practiceRunOpensTestWindow()
{
    frmSentaku& menu = frmSentaku::instance();
    menu.Form_Load();
    menu.show();
    menu.cmdRensyu_Click();
    QVERIFY(TestReady);
    QVERIFY(!objUser->KenteiON());
    QVERIFY(!menu.isVisible());
    mdiKenteiBack& test = mdiKenteiBack::instance();
    QVERIFY(test.isVisible());
    QCOMPARE(test.windowTitle(), QStringLiteral("練習中"));
    QCOMPARE(objReidai->Filename(), QStringLiteral("jpn_dat.001"));
    QCOMPARE(objUser->UserID(), objUser->PC_UserID());
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_frmSentaku::certificationNeedsAPrinter()
{
    Printers::setProvider([] { return QStringList(); });
    frmSentaku& menu = frmSentaku::instance();
    menu.Form_Load();
    menu.show();
    TestReady = false;
    menu.cmdNintei_Click();
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("認定には最低1台のプリンタが必要です。"
                                        "プリンタのインストールを行ってください")});
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("プリンタ数のエラー"));
    QVERIFY(menu.isVisible());
    QVERIFY(!TestReady);
    QVERIFY(!mdiKenteiBack::instance().isVisible());
    // Practice stays possible.
    menu.cmdRensyu_Click();
    QVERIFY(mdiKenteiBack::instance().isVisible());
}

void tst_frmSentaku::selfAssessmentTurnsCertificationIntoPractice()
{
    objKankyo->setShowPlactice(true);
    frmSentaku& menu = frmSentaku::instance();
    menu.Form_Load();
    menu.show();
    menu.cmdNintei_Click();
    QCOMPARE(m_messages->shown().size(), 1); // the advice to practise first
    QVERIFY(!objUser->KenteiON());
    QCOMPARE(mdiKenteiBack::instance().windowTitle(), QStringLiteral("練習中"));
    QVERIFY(!mdiKenteiBack::instance().mnuPrint->isEnabled());

    objKankyo->setShowPlactice(false);
    m_messages->clear();
    mdiKenteiBack::instance().hide();
    menu.cmdNintei_Click();
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(objUser->KenteiON());
    QCOMPARE(mdiKenteiBack::instance().windowTitle(), QStringLiteral("検定中"));
}

void tst_frmSentaku::problemsMissingBringsMenuBack()
{
    objKankyo->setTestFilepath(m_tree->file(QStringLiteral("appdata/")));
    frmSentaku& menu = frmSentaku::instance();
    menu.Form_Load();
    menu.show();
    menu.cmdRensyu_Click();
    QVERIFY(!TestReady);
    QVERIFY(menu.isVisible());
    QVERIFY(!mdiKenteiBack::instance().isVisible());
    QVERIFY(m_messages->shown().size() >= 1);
}

void tst_frmSentaku::noProblemsSaidOnceBeforeTheEntry_data()
{
    QTest::addColumn<bool>("certification");
    QTest::addColumn<QString>("folder"); // under the test tree
    QTest::addColumn<bool>("printer");
    QTest::addColumn<bool>("folderMessage"); // else the printer message
    QTest::newRow("practice, empty folder") << false << QStringLiteral("EMPTY/") << true << true;
    QTest::newRow("practice, missing folder") << false << QStringLiteral("GONE/") << true << true;
    QTest::newRow("certification, other files only")
        << true << QStringLiteral("OTHER/") << true << true;
    QTest::newRow("certification, printer asked first")
        << true << QStringLiteral("EMPTY/") << false << false;
}

void tst_frmSentaku::noProblemsSaidOnceBeforeTheEntry()
{
    QFETCH(bool, certification);
    QFETCH(QString, folder);
    QFETCH(bool, printer);
    QFETCH(bool, folderMessage);
    m_tree->mkdir(QStringLiteral("EMPTY"));
    m_tree->writeCp932(QStringLiteral("OTHER/jpn_dat"), QStringLiteral("拡張子なし\r\n"));
    m_tree->writeCp932(QStringLiteral("OTHER/readme.txt"), QStringLiteral("例題\r\n"));
    const QString path = m_tree->file(folder);
    if (certification)
        objKankyo->setFilepath(path);
    else
        objKankyo->setTestFilepath(path);
    if (!printer)
        Printers::setProvider([] { return QStringList(); });
    TestReady = true;
    frmSentaku& menu = frmSentaku::instance();
    menu.Form_Load();
    menu.show();
    if (certification)
        menu.cmdNintei_Click();
    else
        menu.cmdRensyu_Click();

    QCOMPARE(m_messages->shown().size(), 1);
    const MessageRecorder::Shown& box = m_messages->shown().at(0);
    if (folderMessage) {
        QCOMPARE(box.text,
                 QStringLiteral("例題文のフォルダ「") + path +
                     QStringLiteral("」に例題文（jpn_dat.*）がありません。"
                                    "環境設定の画面で例題文のフォルダを指定してください"));
        QCOMPARE(box.title, QStringLiteral("エラー"));
        QCOMPARE(box.icon, MsgIcon::Critical);
        QVERIFY(!TestReady);
    } else {
        QCOMPARE(box.title, QStringLiteral("プリンタ数のエラー"));
    }
    QVERIFY(menu.isVisible());
    QVERIFY(!m_entryShown);
    QVERIFY(!mdiKenteiBack::instance().isVisible());
}

void tst_frmSentaku::problemFilesFoundIgnoringCase()
{
    m_tree->writeCp932(QStringLiteral("Renshu/JPN_DAT.007"), QStringLiteral("大文字\r\nあ\r\n"));
    objKankyo->setTestFilepath(m_tree->file(QStringLiteral("renshu/")));
    frmSentaku& menu = frmSentaku::instance();
    menu.Form_Load();
    menu.show();
    menu.cmdRensyu_Click();
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(m_entryShown);
    QVERIFY(mdiKenteiBack::instance().isVisible());
    QCOMPARE(objReidai->Filename(), QStringLiteral("JPN_DAT.007"));
}

QTEST_MAIN(tst_frmSentaku)
#include "tst_frmSentaku.moc"
