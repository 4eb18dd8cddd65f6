#include "platform/MessageService.h"
#include "settings/DurationDialog.h"
#include "settings/FolderDialog.h"
#include "settings/LogFileDialog.h"
#include "settings/VolumeList.h"
#include "support/TempTree.h"
#include "support/WindowParts.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <functional>

namespace
{

// Runs the action once the modal loop of the dialog is running; a failed check inside it
// still ends the loop.
void whileModal(QDialog& dialog, const std::function<void()>& action)
{
    QTimer::singleShot(0, &dialog, [&dialog, action] {
        action();
        if (QTest::currentTestFailed() && dialog.isVisible())
            dialog.done(QDialog::Rejected);
    });
}

QStringList itemTexts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// The duration menu's exchange, on a dialog the test can reach while it is open.
int choose(DurationDialog& dialog, int current)
{
    if (!dialog.setMinutes(current))
        return -1;
    dialog.exec();
    return dialog.minutes().valueOr(-1);
}

const QString BadLog = QStringLiteral("指定したログファイルは不正です。別の名前に変更してください");
const QString TooLong = QStringLiteral(
    "が長すぎるため保存できません。\r半角99文字（全角49文字）以内で指定してください。");

} // namespace

class tst_ChooserDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void folderCancelAndOk();
    void folderFrameCloseKeepsCallerValue();
    void folderListMovesText();
    void folderShowsPath_data();
    void folderShowsPath();

    void fileCancelEmptiesBoth();
    void fileOkRunsLogCheck();
    void fileEnterAddsExtension_data();
    void fileEnterAddsExtension();
    void fileListAndMissingFolder();
    void textsTooLongToSaveRefused();

    void timeSteps();
    void timeCancelOkAndFrame();
    void timeOutsideBar();

private:
    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<MessageRecorder> m_messages;
    QString m_oldCurrent;
};

void tst_ChooserDialogs::init()
{
    m_tree = std::make_unique<TempTree>();
    m_messages = std::make_unique<MessageRecorder>();
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_tree->path());
}

void tst_ChooserDialogs::cleanup()
{
    QDir::setCurrent(m_oldCurrent);
    m_messages.reset();
    m_tree.reset();
}

void tst_ChooserDialogs::folderCancelAndOk()
{
    FolderDialog dialog;
    dialog.setFolder(m_tree->path());
    whileModal(dialog, [&] { part<QPushButton>(dialog, "cancelButton")->click(); });
    dialog.exec();
    QCOMPARE(dialog.folder(), QString());

    dialog.setFolder(m_tree->path());
    const QString typed = m_tree->file(QStringLiteral("not/there/yet"));
    whileModal(dialog, [&] {
        part<QLineEdit>(dialog, "folderEdit")->setText(typed);
        part<QPushButton>(dialog, "okButton")->click();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.folder(), typed);
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_ChooserDialogs::folderFrameCloseKeepsCallerValue()
{
    FolderDialog dialog;
    const QString start = m_tree->file(QStringLiteral("missing")) + u'/';
    dialog.setFolder(start);
    whileModal(dialog, [&] {
        // Enter changes the folder while the dialog is open; the frame gives the start back.
        part<QLineEdit>(dialog, "folderEdit")->setText(m_tree->path());
        QTest::keyClick(part<QLineEdit>(dialog, "folderEdit"), Qt::Key_Return);
        QCOMPARE(dialog.folder(), m_tree->path());
        dialog.close();
    });
    dialog.exec();
    QCOMPARE(dialog.folder(), start);
}

void tst_ChooserDialogs::folderListMovesText()
{
    m_tree->mkdir(QStringLiteral("a/inner"));
    m_tree->mkdir(QStringLiteral("b"));
    m_tree->write(QStringLiteral("file.txt"), "x");
    FolderDialog dialog;
    dialog.setFolder(m_tree->path() + u'/');
    dialog.prepare();
    QCOMPARE(part<QLineEdit>(dialog, "folderEdit")->text(), m_tree->path());
    QCOMPARE(itemTexts(part<QListWidget>(dialog, "folderList")),
             (QStringList{QStringLiteral(".."), QStringLiteral("a"), QStringLiteral("b")}));

    part<QListWidget>(dialog, "folderList")->setCurrentRow(1);
    Q_EMIT part<QListWidget>(dialog, "folderList")
        ->itemActivated(part<QListWidget>(dialog, "folderList")->currentItem());
    QCOMPARE(part<QLineEdit>(dialog, "folderEdit")->text(), m_tree->file(QStringLiteral("a")));
    QCOMPARE(itemTexts(part<QListWidget>(dialog, "folderList")),
             (QStringList{QStringLiteral(".."), QStringLiteral("inner")}));

    part<QListWidget>(dialog, "folderList")->setCurrentRow(0);
    QTest::keyClick(part<QListWidget>(dialog, "folderList"), Qt::Key_Return);
    QCOMPARE(part<QLineEdit>(dialog, "folderEdit")->text(), m_tree->path());
    QCOMPARE(dialog.listedFolder(), m_tree->path());
    // The drive list follows the folder list.
    QCOMPARE(part<QComboBox>(dialog, "driveBox")->currentData().toString(),
             VolumeList::driveOf(m_tree->path(), VolumeList::driveRoots()));
    dialog.cancel();
}

void tst_ChooserDialogs::folderShowsPath_data()
{
    // "@" stands for the scratch folder, which is also the current folder.
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("dirPath");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<bool>("driveMessage");

    QTest::newRow("existing, trailing slash") << "@/data/sub/"
                                              << "@/data/sub/"
                                              << "@/data/sub" << false;
    QTest::newRow("letter case differs") << "@/DATA/Sub"
                                         << "@/DATA/Sub"
                                         << "@/data/sub" << false;
    QTest::newRow("folder missing on the drive") << "@/nothing"
                                                 << "<drive>"
                                                 << "@" << false;
    QTest::newRow("empty") << ""
                           << "<drive>"
                           << "@" << false;
    QTest::newRow("no such drive") << "Q:\\data"
                                   << "@/app/data/"
                                   << "@/app/data" << true;
}

void tst_ChooserDialogs::folderShowsPath()
{
    QFETCH(QString, given);
    QFETCH(QString, dirPath);
    QFETCH(QString, listed);
    QFETCH(bool, driveMessage);
    m_tree->mkdir(QStringLiteral("data/sub"));
    m_tree->mkdir(QStringLiteral("app/data"));
    ScopedEnv appDir("PELKO_APPDIR", m_tree->file(QStringLiteral("app")));
    const QString drive = VolumeList::driveOf(m_tree->path(), VolumeList::driveRoots());
    const auto expand = [&](QString s) {
        return s == u"<drive>" ? drive : s.replace(u'@', m_tree->path());
    };

    FolderDialog dialog;
    dialog.setFolder(expand(given));
    dialog.prepare();
    QCOMPARE(dialog.folder(), expand(dirPath));
    QCOMPARE(dialog.listedFolder(), expand(listed));
    QCOMPARE(part<QLineEdit>(dialog, "folderEdit")->text(), expand(listed));
    if (driveMessage) {
        QCOMPARE(m_messages->shown().size(), 1);
        QCOMPARE(m_messages->shown().at(0).text,
                 QStringLiteral("Q:\\dataは正しくありません。デフォルト値を使用します"));
        QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("ドライブエラー"));
        QCOMPARE(m_messages->shown().at(0).buttons, MessageButtons::Ok);
    } else {
        QVERIFY(m_messages->shown().isEmpty());
    }
    dialog.cancel();
}

void tst_ChooserDialogs::fileCancelEmptiesBoth()
{
    LogFileDialog dialog;
    dialog.setFolder(m_tree->path());
    dialog.setFileName(QStringLiteral("pelko.log"));
    whileModal(dialog, [&] {
        QCOMPARE(part<QLineEdit>(dialog, "nameEdit")->text(), QStringLiteral("pelko.log"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    dialog.exec();
    QCOMPARE(dialog.folder(), QString());
    QCOMPARE(dialog.fileName(), QString());

    // Closing by the frame hands back what the caller set.
    dialog.setFolder(m_tree->path());
    dialog.setFileName(QStringLiteral("pelko.log"));
    whileModal(dialog, [&] {
        part<QLineEdit>(dialog, "nameEdit")->setText(QStringLiteral("other.log"));
        dialog.close();
    });
    dialog.exec();
    QCOMPARE(dialog.folder(), m_tree->path());
    QCOMPARE(dialog.fileName(), QStringLiteral("pelko.log"));
}

void tst_ChooserDialogs::fileOkRunsLogCheck()
{
    m_tree->writeCp932(QStringLiteral("notes.txt"), QStringLiteral("hello,world\r\n"));
    m_tree->writeCp932(QStringLiteral("pelko.log"), QStringLiteral("0,\"05-20-2005\",\"x\"\r\n"));
    LogFileDialog dialog;
    dialog.setFolder(m_tree->path());
    dialog.setFileName(QStringLiteral("notes.txt"));
    whileModal(dialog, [&] {
        part<QPushButton>(dialog, "okButton")->click();
        // Refused: the box was shown and the dialog is still open for another name.
        QCOMPARE(m_messages->texts(), QStringList{BadLog});
        QCOMPARE(m_messages->shown().at(0).title, applicationTitle());
        QVERIFY(dialog.isVisible());
        part<QListWidget>(dialog, "fileList")
            ->setCurrentRow(part<QListWidget>(dialog, "fileList")
                                ->row(part<QListWidget>(dialog, "fileList")
                                          ->findItems(QStringLiteral("pelko.log"), Qt::MatchExactly)
                                          .at(0)));
        Q_EMIT part<QListWidget>(dialog, "fileList")
            ->itemActivated(part<QListWidget>(dialog, "fileList")->currentItem());
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(dialog.fileName(), QStringLiteral("pelko.log"));
    QCOMPARE(dialog.folder(), m_tree->path());
    QCOMPARE(m_messages->shown().size(), 1);
}

void tst_ChooserDialogs::fileEnterAddsExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::newRow("bare name") << "mylog"
                               << "mylog.log";
    QTest::newRow("other extension") << "result.csv"
                                     << "result.csv";
    QTest::newRow("already .log") << "pelko.log"
                                  << "pelko.log";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_ChooserDialogs::fileEnterAddsExtension()
{
    QFETCH(QString, typed);
    QFETCH(QString, after);
    LogFileDialog dialog;
    dialog.setFolder(m_tree->path());
    dialog.setFileName(typed);
    whileModal(dialog, [&] {
        QTest::keyClick(part<QLineEdit>(dialog, "nameEdit"), Qt::Key_Return);
        QCOMPARE(part<QLineEdit>(dialog, "nameEdit")->text(), after);
        QVERIFY(dialog.isVisible());
        part<QPushButton>(dialog, "cancelButton")->click();
    });
    dialog.exec();
}

void tst_ChooserDialogs::fileListAndMissingFolder()
{
    m_tree->write(QStringLiteral("b.log"), "");
    m_tree->write(QStringLiteral("A.txt"), "");
    m_tree->mkdir(QStringLiteral("folder"));
    LogFileDialog dialog;
    dialog.setFolder(m_tree->path());
    dialog.prepare();
    QCOMPARE(itemTexts(part<QListWidget>(dialog, "fileList")),
             (QStringList{QStringLiteral("A.txt"), QStringLiteral("b.log")}));
    part<QListWidget>(dialog, "fileList")->setCurrentRow(1);
    dialog.takeSelectedName();
    QCOMPARE(part<QLineEdit>(dialog, "nameEdit")->text(), QStringLiteral("b.log"));
    dialog.cancel();

    dialog.setFolder(m_tree->file(QStringLiteral("no/such/folder")));
    dialog.setFileName(QStringLiteral("new.log"));
    dialog.prepare();
    QCOMPARE(part<QListWidget>(dialog, "fileList")->count(), 0);
    dialog.confirm();
    QCOMPARE(dialog.fileName(), QStringLiteral("new.log"));
    QVERIFY(m_messages->shown().isEmpty());
}

// What the settings file would cut is refused while the chooser is still open.
void tst_ChooserDialogs::textsTooLongToSaveRefused()
{
    FolderDialog folders;
    folders.setFolder(m_tree->path());
    const QString shorter = QStringLiteral("/t/") + QString(96, u'f');
    whileModal(folders, [&] {
        part<QLineEdit>(folders, "folderEdit")->setText(shorter + u"ff");
        part<QPushButton>(folders, "okButton")->click();
        QCOMPARE(m_messages->texts(), QStringList{u"フォルダのパス" + TooLong});
        QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("入力エラー"));
        QVERIFY(folders.isVisible());
        part<QLineEdit>(folders, "folderEdit")->setText(shorter);
        part<QPushButton>(folders, "okButton")->click();
    });
    QCOMPARE(folders.exec(), int(QDialog::Accepted));
    QCOMPARE(folders.folder(), shorter);

    m_messages->clear();
    LogFileDialog files;
    files.setFolder(m_tree->path());
    files.setFileName(QString(48, u'名') + QStringLiteral(".log"));
    whileModal(files, [&] {
        part<QPushButton>(files, "okButton")->click();
        QCOMPARE(m_messages->texts(), QStringList{u"ログファイルの名前" + TooLong});
        QVERIFY(files.isVisible());
        part<QLineEdit>(files, "nameEdit")->setText(QString(47, u'名') + QStringLiteral(".log"));
        part<QPushButton>(files, "okButton")->click();
    });
    QCOMPARE(files.exec(), int(QDialog::Accepted));
    QCOMPARE(files.fileName(), QString(47, u'名') + QStringLiteral(".log"));
    QCOMPARE(m_messages->shown().size(), 1);
}

void tst_ChooserDialogs::timeSteps()
{
    DurationDialog dialog;
    whileModal(dialog, [&] {
        QScrollBar* bar = part<QScrollBar>(dialog, "minutesBar");
        QCOMPARE(bar->value(), 57);
        QCOMPARE(part<QLabel>(dialog, "minutesLabel")->text(), QStringLiteral("3"));
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(part<QLabel>(dialog, "minutesLabel")->text(), QStringLiteral("4"));
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(part<QLabel>(dialog, "minutesLabel")->text(), QStringLiteral("1"));
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(part<QLabel>(dialog, "minutesLabel")->text(), QStringLiteral("60"));
        QTest::keyClick(bar, Qt::Key_Down);
        QCOMPARE(part<QLabel>(dialog, "minutesLabel")->text(), QStringLiteral("59"));
        part<QPushButton>(dialog, "okButton")->click();
    });
    QCOMPARE(choose(dialog, 3), 59);
}

void tst_ChooserDialogs::timeCancelOkAndFrame()
{
    DurationDialog dialog;
    const auto stepUpThen = [&](const std::function<void()>& closeIt) {
        whileModal(dialog, [&, closeIt] {
            part<QScrollBar>(dialog, "minutesBar")
                ->triggerAction(QAbstractSlider::SliderSingleStepSub);
            closeIt();
        });
    };
    stepUpThen([&] { part<QPushButton>(dialog, "cancelButton")->click(); });
    QCOMPARE(choose(dialog, 3), 3);
    QCOMPARE(part<QLabel>(dialog, "minutesLabel")->text(), QStringLiteral("3"));
    stepUpThen([&] { dialog.close(); });
    QCOMPARE(choose(dialog, 3), 3);
    stepUpThen([&] { QTest::keyClick(&dialog, Qt::Key_Return); });
    QCOMPARE(choose(dialog, 3), 4);
    stepUpThen([&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
    QCOMPARE(choose(dialog, 60), 60);
}

void tst_ChooserDialogs::timeOutsideBar()
{
    for (const int minutes : {0, 61}) {
        const Expected<int> chosen = DurationDialog::chooseMinutes(minutes);
        QVERIFY2(!chosen, "no error");
        QCOMPARE(chosen.error().code(), Error::Code::InvalidValue);
        QCOMPARE(chosen.error().number(), 380);
    }
}

QTEST_MAIN(tst_ChooserDialogs)
#include "tst_ChooserDialogs.moc"
