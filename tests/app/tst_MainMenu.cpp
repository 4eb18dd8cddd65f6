#include "app/MainMenu.h"
#include "app/SelfAssessmentDialog.h"
#include "app/UserEntryDialog.h"
#include "platform/HelpViewer.h"
#include "platform/MessageService.h"
#include "platform/Printers.h"
#include "problems/Problem.h"
#include "results/RunRecord.h"
#include "settings/FolderDialog.h"
#include "settings/Settings.h"
#include "support/SharedState.h"
#include "support/TempTree.h"
#include "support/WindowParts.h"
#include "typing/TestWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The main menu adapts its column of buttons to the two display switches, once.
class tst_MainMenu : public QObject
{
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
    void missingFolderOffersTheChooser_data();
    void missingFolderOffersTheChooser();
    void problemFilesFoundIgnoringCase();

private:
    // Answers the entry and self-assessment dialogs as a user pressing OK at once.
    void answerDialogs();

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<ScopedEnv> m_appData;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<SharedState> m_state;
    std::unique_ptr<HelpViewer> m_help;
    std::unique_ptr<TestWindow> m_test;
    std::unique_ptr<MainMenu> m_menu;
    QTimer m_answerer;
    bool m_entryShown = false;
    bool m_chooserShown = false;
    QString m_pickedFolder; // what the folder chooser answers; empty = Cancel
};

void tst_MainMenu::init()
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
    m_chooserShown = false;
    m_pickedFolder.clear();
    m_state = std::make_unique<SharedState>();
    m_state->settings.load();
    m_help = std::make_unique<HelpViewer>();
    m_test = std::make_unique<TestWindow>(m_state->settings, m_state->record, *m_help);
    m_menu = std::make_unique<MainMenu>(m_state->settings, m_state->record, *m_test);
    m_test->setMainMenu(m_menu.get());
    Printers::setProvider([] { return QStringList{QStringLiteral("PDF")}; });
    connect(&m_answerer, &QTimer::timeout, this, &tst_MainMenu::answerDialogs,
            Qt::UniqueConnection);
    m_answerer.start(20);
}

void tst_MainMenu::cleanup()
{
    m_answerer.stop();
    Printers::setProvider({});
    m_menu.reset();
    m_test.reset();
    m_help.reset();
    m_state.reset();
    m_messages.reset();
    m_appData.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_MainMenu::answerDialogs()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* entry = qobject_cast<UserEntryDialog*>(modal)) {
        m_entryShown = true;
        entry->confirm();
    } else if (auto* assessment = qobject_cast<SelfAssessmentDialog*>(modal)) {
        assessment->confirm();
    } else if (auto* chooser = qobject_cast<FolderDialog*>(modal)) {
        m_chooserShown = true;
        if (m_pickedFolder.isEmpty()) {
            chooser->cancel();
        } else {
            part<QLineEdit>(*chooser, "folderEdit")->setText(m_pickedFolder);
            chooser->confirm();
        }
    }
}

void tst_MainMenu::layoutOnFirstActivation_data()
{
    QTest::addColumn<bool>("practiceShown");
    QTest::addColumn<bool>("settingsShown");
    QTest::addColumn<QList<int>>(
        "tops"); // -1 = hidden; order: practice certification ranking settings quit
    QTest::addColumn<int>("height");
    QTest::newRow("all five") << true << true << QList<int>{0, 56, 112, 168, 224} << 280;
    QTest::newRow("no practice") << false << true << QList<int>{-1, 0, 56, 112, 168} << 224;
    QTest::newRow("no settings") << true << false << QList<int>{0, 56, 112, -1, 168} << 224;
    QTest::newRow("neither") << false << false << QList<int>{-1, 0, 56, -1, 112} << 168;
}

void tst_MainMenu::layoutOnFirstActivation()
{
    QFETCH(bool, practiceShown);
    QFETCH(bool, settingsShown);
    QFETCH(QList<int>, tops);
    QFETCH(int, height);
    m_state->settings.setMenuShowsPractice(practiceShown);
    m_state->settings.setMenuShowsSettings(settingsShown);
    MainMenu& menu = *m_menu;
    menu.prepare();
    menu.show();
    const QList<QPushButton*> buttons{
        part<QPushButton>(menu, "practiceButton"), part<QPushButton>(menu, "certificationButton"),
        part<QPushButton>(menu, "rankingButton"), part<QPushButton>(menu, "settingsButton"),
        part<QPushButton>(menu, "quitButton")};
    for (int i = 0; i < buttons.size(); ++i) {
        if (tops[i] < 0) {
            QVERIFY2(buttons[i]->isHidden(), qPrintable(buttons[i]->objectName()));
        } else {
            QVERIFY2(!buttons[i]->isHidden(), qPrintable(buttons[i]->objectName()));
            QCOMPARE(buttons[i]->y(), tops[i]);
            QCOMPARE(buttons[i]->height(), 56);
        }
    }
    QCOMPARE(menu.height(), height);
    menu.hide();
}

void tst_MainMenu::laterActivationsMoveNothing()
{
    m_state->settings.setMenuShowsPractice(false);
    m_state->settings.setMenuShowsSettings(false);
    MainMenu& menu = *m_menu;
    menu.prepare();
    menu.show();
    menu.hide();
    menu.show();
    menu.hideSwitchedOffButtons();
    QCOMPARE(part<QPushButton>(menu, "quitButton")->y(), 112);
    QCOMPARE(menu.height(), 168);
    menu.hide();
}

void tst_MainMenu::practiceRunOpensTestWindow()
{
    MainMenu& menu = *m_menu;
    menu.prepare();
    menu.show();
    menu.startPractice();
    QVERIFY(m_test->isReady());
    QVERIFY(!m_state->record.isCertification());
    QVERIFY(!menu.isVisible());
    TestWindow& test = *m_test;
    QVERIFY(test.isVisible());
    QCOMPARE(test.windowTitle(), QStringLiteral("練習中"));
    QCOMPARE(m_test->problem()->fileName(), QStringLiteral("jpn_dat.001"));
    QCOMPARE(m_state->record.userId(), m_state->record.loginName());
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_MainMenu::certificationNeedsAPrinter()
{
    Printers::setProvider([] { return QStringList(); });
    MainMenu& menu = *m_menu;
    menu.prepare();
    menu.show();
    m_test->setReady(false);
    menu.startCertification();
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("認定には最低1台のプリンタが必要です。"
                                        "プリンタのインストールを行ってください")});
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("プリンタ数のエラー"));
    QVERIFY(menu.isVisible());
    QVERIFY(!m_test->isReady());
    QVERIFY(!m_test->isVisible());
    // Practice stays possible.
    menu.startPractice();
    QVERIFY(m_test->isVisible());
}

void tst_MainMenu::selfAssessmentTurnsCertificationIntoPractice()
{
    m_state->settings.setMenuShowsPractice(true);
    MainMenu& menu = *m_menu;
    menu.prepare();
    menu.show();
    menu.startCertification();
    QCOMPARE(m_messages->shown().size(), 1); // the advice to practise first
    QVERIFY(!m_state->record.isCertification());
    QCOMPARE(m_test->windowTitle(), QStringLiteral("練習中"));
    QVERIFY(!part<QAction>(m_test.get(), "printAction")->isEnabled());

    m_state->settings.setMenuShowsPractice(false);
    m_messages->clear();
    m_test->hide();
    menu.startCertification();
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(m_state->record.isCertification());
    QCOMPARE(m_test->windowTitle(), QStringLiteral("検定中"));
}

void tst_MainMenu::problemsMissingBringsMenuBack()
{
    m_state->settings.setPracticeFolder(m_tree->file(QStringLiteral("appdata/")));
    MainMenu& menu = *m_menu;
    menu.prepare();
    menu.show();
    menu.startPractice();
    QVERIFY(!m_test->isReady());
    QVERIFY(menu.isVisible());
    QVERIFY(!m_test->isVisible());
    QVERIFY(m_messages->shown().size() >= 1);
}

void tst_MainMenu::noProblemsSaidOnceBeforeTheEntry_data()
{
    QTest::addColumn<bool>("certification");
    QTest::addColumn<QString>("folder"); // under the test tree
    QTest::addColumn<bool>("printer");
    QTest::addColumn<QString>("title"); // of the one box shown
    const QString folderError = QStringLiteral("エラー");
    QTest::newRow("practice, empty folder")
        << false << QStringLiteral("EMPTY/") << true << folderError;
    QTest::newRow("certification, other files only")
        << true << QStringLiteral("OTHER/") << true << folderError;
    QTest::newRow("certification, printer asked first")
        << true << QStringLiteral("EMPTY/") << false << QStringLiteral("プリンタ数のエラー");
}

void tst_MainMenu::noProblemsSaidOnceBeforeTheEntry()
{
    QFETCH(bool, certification);
    QFETCH(QString, folder);
    QFETCH(bool, printer);
    QFETCH(QString, title);
    m_tree->mkdir(QStringLiteral("EMPTY"));
    m_tree->writeCp932(QStringLiteral("OTHER/jpn_dat"), QStringLiteral("拡張子なし\r\n"));
    m_tree->writeCp932(QStringLiteral("OTHER/readme.txt"), QStringLiteral("例題\r\n"));
    const QString path = m_tree->file(folder);
    if (certification)
        m_state->settings.setCertificationFolder(path);
    else
        m_state->settings.setPracticeFolder(path);
    if (!printer)
        Printers::setProvider([] { return QStringList(); });
    m_test->setReady(true);
    MainMenu& menu = *m_menu;
    menu.prepare();
    menu.show();
    if (certification)
        menu.startCertification();
    else
        menu.startPractice();

    QCOMPARE(m_messages->shown().size(), 1);
    const MessageRecorder::Shown& box = m_messages->shown().at(0);
    QCOMPARE(box.title, title);
    if (title == QStringLiteral("エラー")) {
        QCOMPARE(box.text,
                 QStringLiteral("例題文のフォルダ「") + path +
                     QStringLiteral("」に例題文（jpn_dat.*）がありません。"
                                    "環境設定の画面で例題文のフォルダを指定してください"));
        QCOMPARE(box.icon, MessageIcon::Critical);
        QVERIFY(!m_test->isReady());
    }
    QVERIFY(menu.isVisible());
    QVERIFY(!m_entryShown);
    QVERIFY(!m_test->isVisible());
}

void tst_MainMenu::missingFolderOffersTheChooser_data()
{
    const QString pathWrong =
        QStringLiteral("パスの設定が不正です。データが入っているパスを指定して下さい。");
    QTest::addColumn<QString>("picked"); // under the test tree; empty = cancelled
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("cancelled")
        << QString()
        << QStringList{pathWrong, QStringLiteral("パスの指定が間違っています"),
                       QStringLiteral("例題文が読み出せません。"
                                      "環境設定でデータのファイルパスを指定しておいて下さい")};
    QTest::newRow("folder picked") << QStringLiteral("PLACTICE") << QStringList{pathWrong};
}

void tst_MainMenu::missingFolderOffersTheChooser()
{
    QFETCH(QString, picked);
    QFETCH(QStringList, boxes);
    m_tree->writeCp932(QStringLiteral("PLACTICE/jpn_dat.002"), QStringLiteral("二問目\r\nえ\r\n"));
    m_pickedFolder = picked.isEmpty() ? QString() : m_tree->file(picked);
    m_state->settings.setPracticeFolder(m_tree->file(QStringLiteral("GONE/")));
    m_state->settings.setProblemOrder(ProblemOrder::Sequence);
    MainMenu& menu = *m_menu;
    menu.prepare();
    menu.show();
    menu.startPractice();
    QCOMPARE(m_messages->texts(), boxes);
    QVERIFY(m_chooserShown);
    QCOMPARE(m_entryShown, !picked.isEmpty());
    QCOMPARE(m_test->isVisible(), !picked.isEmpty());
    if (!picked.isEmpty()) {
        // The picked folder serves the window: its problems in the menu, and loaded from it.
        QCOMPARE(m_test->problem()->fileName(), QStringLiteral("jpn_dat.001"));
        const QList<QAction*> listed = part<QMenu>(m_test.get(), "problemMenu")->actions();
        QCOMPARE(listed.size(), 3);
        listed.at(2)->trigger();
        QCOMPARE(m_test->problem()->fileName(), QStringLiteral("jpn_dat.002"));
        QCOMPARE(m_messages->texts(), boxes);
    }
    // Only that run used the picked folder.
    QCOMPARE(m_state->settings.practiceFolder(), m_tree->file(QStringLiteral("GONE/")));
}

void tst_MainMenu::problemFilesFoundIgnoringCase()
{
    m_tree->writeCp932(QStringLiteral("Renshu/JPN_DAT.007"), QStringLiteral("大文字\r\nあ\r\n"));
    m_state->settings.setPracticeFolder(m_tree->file(QStringLiteral("renshu/")));
    MainMenu& menu = *m_menu;
    menu.prepare();
    menu.show();
    menu.startPractice();
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(m_entryShown);
    QVERIFY(m_test->isVisible());
    QCOMPARE(m_test->problem()->fileName(), QStringLiteral("JPN_DAT.007"));
}

QTEST_MAIN(tst_MainMenu)
#include "tst_MainMenu.moc"
