#include "app/modPelko.h"
#include "common/PelkoError.h"
#include "platform/MessageService.h"
#include "settings/VolumeList.h"
#include "settings/frmChangeTime.h"
#include "settings/frmDir.h"
#include "settings/frmFile.h"
#include "support/TempTree.h"

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

const QString BadLog = QStringLiteral("指定したログファイルは不正です。別の名前に変更してください");

} // namespace

class tst_ChooserDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void dirCancelAndOk();
    void dirFrameCloseKeepsCallerValue();
    void dirListMovesText();
    void dirShowDirPath_data();
    void dirShowDirPath();

    void fileCancelEmptiesBoth();
    void fileOkRunsLogCheck();
    void fileEnterAddsExtension_data();
    void fileEnterAddsExtension();
    void fileListAndMissingFolder();

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
    DirPath.clear();
    FileName.clear();
}

void tst_ChooserDialogs::cleanup()
{
    QDir::setCurrent(m_oldCurrent);
    m_messages.reset();
    m_tree.reset();
}

void tst_ChooserDialogs::dirCancelAndOk()
{
    frmDir& form = frmDir::instance();
    DirPath = m_tree->path();
    whileModal(form, [&] { form.cmdCancel->click(); });
    form.showModal();
    QCOMPARE(DirPath, QString());

    DirPath = m_tree->path();
    const QString typed = m_tree->file(QStringLiteral("not/there/yet"));
    whileModal(form, [&] {
        form.txtDir->setText(typed);
        form.cmdOk->click();
    });
    QCOMPARE(form.showModal(), int(QDialog::Accepted));
    QCOMPARE(DirPath, typed);
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_ChooserDialogs::dirFrameCloseKeepsCallerValue()
{
    frmDir& form = frmDir::instance();
    const QString start = m_tree->file(QStringLiteral("missing")) + u'/';
    DirPath = start;
    whileModal(form, [&] {
        // Enter changes DirPath while the dialog is open; the frame gives the start back.
        form.txtDir->setText(m_tree->path());
        form.txtDir_KeyPress(13);
        QCOMPARE(DirPath, m_tree->path());
        form.close();
    });
    form.showModal();
    QCOMPARE(DirPath, start);
}

void tst_ChooserDialogs::dirListMovesText()
{
    m_tree->mkdir(QStringLiteral("a/inner"));
    m_tree->mkdir(QStringLiteral("b"));
    m_tree->write(QStringLiteral("file.txt"), "x");
    frmDir& form = frmDir::instance();
    DirPath = m_tree->path() + u'/';
    form.Form_Load();
    QCOMPARE(form.txtDir->text(), m_tree->path());
    QCOMPARE(itemTexts(form.dirRefer),
             (QStringList{QStringLiteral(".."), QStringLiteral("a"), QStringLiteral("b")}));

    form.dirRefer->setCurrentRow(1);
    Q_EMIT form.dirRefer->itemActivated(form.dirRefer->currentItem());
    QCOMPARE(form.txtDir->text(), m_tree->file(QStringLiteral("a")));
    QCOMPARE(itemTexts(form.dirRefer),
             (QStringList{QStringLiteral(".."), QStringLiteral("inner")}));

    form.dirRefer->setCurrentRow(0);
    QTest::keyClick(form.dirRefer, Qt::Key_Return);
    QCOMPARE(form.txtDir->text(), m_tree->path());
    QCOMPARE(form.dirReferPath(), m_tree->path());
    // The drive list follows the folder list.
    QCOMPARE(form.drvRefer->currentData().toString(),
             VolumeList::driveOf(m_tree->path(), VolumeList::driveRoots()));
    form.cmdCancel_Click();
}

void tst_ChooserDialogs::dirShowDirPath_data()
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

void tst_ChooserDialogs::dirShowDirPath()
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

    frmDir& form = frmDir::instance();
    DirPath = expand(given);
    form.Form_Load();
    QCOMPARE(DirPath, expand(dirPath));
    QCOMPARE(form.dirReferPath(), expand(listed));
    QCOMPARE(form.txtDir->text(), expand(listed));
    if (driveMessage) {
        QCOMPARE(m_messages->shown().size(), 1);
        QCOMPARE(m_messages->shown().at(0).text,
                 QStringLiteral("Q:\\dataは正しくありません。デフォルト値を使用します"));
        QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("ドライブエラー"));
        QCOMPARE(m_messages->shown().at(0).buttons, MsgButtons::Ok);
    } else {
        QVERIFY(m_messages->shown().isEmpty());
    }
    form.cmdCancel_Click();
}

void tst_ChooserDialogs::fileCancelEmptiesBoth()
{
    frmFile& form = frmFile::instance();
    DirPath = m_tree->path();
    FileName = QStringLiteral("pelko.log");
    whileModal(form, [&] {
        QCOMPARE(form.txtFileName->text(), QStringLiteral("pelko.log"));
        QTest::keyClick(&form, Qt::Key_Escape);
    });
    form.showModal();
    QCOMPARE(DirPath, QString());
    QCOMPARE(FileName, QString());

    // Closing by the frame hands back what the caller set.
    DirPath = m_tree->path();
    FileName = QStringLiteral("pelko.log");
    whileModal(form, [&] {
        form.txtFileName->setText(QStringLiteral("other.log"));
        form.close();
    });
    form.showModal();
    QCOMPARE(DirPath, m_tree->path());
    QCOMPARE(FileName, QStringLiteral("pelko.log"));
}

void tst_ChooserDialogs::fileOkRunsLogCheck()
{
    m_tree->writeCp932(QStringLiteral("notes.txt"), QStringLiteral("hello,world\r\n"));
    m_tree->writeCp932(QStringLiteral("pelko.log"), QStringLiteral("0,\"05-20-2005\",\"x\"\r\n"));
    frmFile& form = frmFile::instance();
    DirPath = m_tree->path();
    FileName = QStringLiteral("notes.txt");
    whileModal(form, [&] {
        form.cmdOk->click();
        // Refused: the box was shown and the dialog is still open for another name.
        QCOMPARE(m_messages->texts(), QStringList{BadLog});
        QCOMPARE(m_messages->shown().at(0).title, applicationTitle());
        QVERIFY(form.isVisible());
        form.filList->setCurrentRow(form.filList->row(
            form.filList->findItems(QStringLiteral("pelko.log"), Qt::MatchExactly).at(0)));
        Q_EMIT form.filList->itemActivated(form.filList->currentItem());
    });
    QCOMPARE(form.showModal(), int(QDialog::Accepted));
    QCOMPARE(FileName, QStringLiteral("pelko.log"));
    QCOMPARE(DirPath, m_tree->path());
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
    frmFile& form = frmFile::instance();
    DirPath = m_tree->path();
    FileName = typed;
    whileModal(form, [&] {
        QTest::keyClick(form.txtFileName, Qt::Key_Return);
        QCOMPARE(form.txtFileName->text(), after);
        QVERIFY(form.isVisible());
        form.cmdCancel->click();
    });
    form.showModal();
}

void tst_ChooserDialogs::fileListAndMissingFolder()
{
    m_tree->write(QStringLiteral("b.log"), "");
    m_tree->write(QStringLiteral("A.txt"), "");
    m_tree->mkdir(QStringLiteral("folder"));
    frmFile& form = frmFile::instance();
    DirPath = m_tree->path();
    form.Form_Load();
    QCOMPARE(itemTexts(form.filList),
             (QStringList{QStringLiteral("A.txt"), QStringLiteral("b.log")}));
    form.filList->setCurrentRow(1);
    form.filList_Click();
    QCOMPARE(form.txtFileName->text(), QStringLiteral("b.log"));
    form.cmdCancel_Click();

    DirPath = m_tree->file(QStringLiteral("no/such/folder"));
    FileName = QStringLiteral("new.log");
    form.Form_Load();
    QCOMPARE(form.filList->count(), 0);
    form.cmdOk_Click();
    QCOMPARE(FileName, QStringLiteral("new.log"));
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_ChooserDialogs::timeSteps()
{
    frmChangeTime& form = frmChangeTime::instance();
    whileModal(form, [&] {
        QScrollBar* bar = form.vscChangeTime;
        QCOMPARE(bar->value(), 57);
        QCOMPARE(form.lblTime->text(), QStringLiteral("3"));
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(form.lblTime->text(), QStringLiteral("4"));
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(form.lblTime->text(), QStringLiteral("1"));
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(form.lblTime->text(), QStringLiteral("60"));
        QTest::keyClick(bar, Qt::Key_Down);
        QCOMPARE(form.lblTime->text(), QStringLiteral("59"));
        form.cmdOk->click();
    });
    QCOMPARE(frmChangeTime::ChooseMinutes(3), 59);
}

void tst_ChooserDialogs::timeCancelOkAndFrame()
{
    frmChangeTime& form = frmChangeTime::instance();
    const auto stepUpThen = [&](const std::function<void()>& closeIt) {
        whileModal(form, [&, closeIt] {
            form.vscChangeTime->triggerAction(QAbstractSlider::SliderSingleStepSub);
            closeIt();
        });
    };
    stepUpThen([&] { form.cmdCancel->click(); });
    QCOMPARE(frmChangeTime::ChooseMinutes(3), 3);
    QCOMPARE(form.lblTime->text(), QStringLiteral("3"));
    stepUpThen([&] { form.close(); });
    QCOMPARE(frmChangeTime::ChooseMinutes(3), 3);
    stepUpThen([&] { QTest::keyClick(&form, Qt::Key_Return); });
    QCOMPARE(frmChangeTime::ChooseMinutes(3), 4);
    stepUpThen([&] { QTest::keyClick(&form, Qt::Key_Escape); });
    QCOMPARE(frmChangeTime::ChooseMinutes(60), 60);
}

void tst_ChooserDialogs::timeOutsideBar()
{
    for (const int minutes : {0, 61}) {
        try {
            frmChangeTime::ChooseMinutes(minutes);
            QFAIL("no error raised");
        } catch (const PelkoError& e) {
            QCOMPARE(e.number(), 380);
        }
    }
}

QTEST_MAIN(tst_ChooserDialogs)
#include "tst_ChooserDialogs.moc"
