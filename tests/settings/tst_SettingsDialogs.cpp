#include "common/Cp932.h"
#include "platform/MessageService.h"
#include "settings/ColorChooser.h"
#include "settings/ColorLiteral.h"
#include "settings/FolderDialog.h"
#include "settings/LogFileDialog.h"
#include "settings/PassLogFormatDialog.h"
#include "settings/Settings.h"
#include "settings/SettingsDialog.h"
#include "settings/SystemColor.h"
#include "support/TempTree.h"
#include "support/WindowParts.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <functional>

namespace
{

// Runs the action once the next modal dialog is running; a failed check still ends it.
void whileModal(const std::function<void(QDialog&)>& action)
{
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTest::qFail("no modal dialog", __FILE__, __LINE__);
            return;
        }
        action(*dialog);
        if (QTest::currentTestFailed() && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    });
}

QStringList itemTexts(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

const QString kSaved = QStringLiteral("ＩＮＩファイルに書き出しました");

} // namespace

// The settings dialog, the pass-log format dialog and the colour chooser, driven offscreen.
class tst_SettingsDialogs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void barsAtTheirEndsSaveBack();
    void backMode_data();
    void backMode();
    void colourLiteralsChecked();
    void unknownPaperSizeKept();
    void folderOptionsCompareExactly();
    void practiceFolderFailsOnce();
    void browseStartsInTheGroupsFolder();
    void saveRoundTripThroughTheFile();
    void saveFailureSaysSo();
    void cancelCopiesNothing();
    void textsTooLongToSaveRefused();
    void everyGroupReachableByTab();

    void logStyleLists();
    void logStyleOkReportsUnwritableLog();

    void colorChooserBasics();
    void colorChooserCancelAndConfirm();
    void colourButtonCancelKeepsBox();
    void resolveColor();

    // Last: it uses up the failures the dialog allows in one run of the program.
    void tenFailuresCloseTheDialog();

private:
    void writeIni(const QString& lines);
    void load();
    Settings reloaded() const;

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<ScopedEnv> m_appData;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<SettingsDialog> m_dialog;
    QString m_app;
    QString m_logs; // the settings' default log folder, spelt "pelko"
};

void tst_SettingsDialogs::init()
{
    m_tree = std::make_unique<TempTree>();
    for (const char* folder : {"app/DATA", "app/PLACTICE", "ad/pelko"})
        m_tree->mkdir(QString::fromLatin1(folder));
    m_app = m_tree->file(QStringLiteral("app"));
    m_logs = m_tree->file(QStringLiteral("ad/pelko")) + u'/';
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_app);
    m_appData = std::make_unique<ScopedEnv>("APPDATA", m_tree->file(QStringLiteral("ad")));
    m_messages = std::make_unique<MessageRecorder>();
    m_settings = std::make_unique<Settings>();
    m_dialog = std::make_unique<SettingsDialog>(*m_settings);
}

void tst_SettingsDialogs::cleanup()
{
    m_dialog.reset();
    m_settings.reset();
    m_messages.reset();
    m_appData.reset();
    m_appDir.reset();
    m_tree.reset();
}

void tst_SettingsDialogs::writeIni(const QString& lines)
{
    m_tree->writeCp932(QStringLiteral("app/pelko.ini"), lines);
}

void tst_SettingsDialogs::load()
{
    m_settings->load();
    QVERIFY(m_settings->isLoaded());
    m_dialog->prepare();
}

Settings tst_SettingsDialogs::reloaded() const
{
    Settings settings;
    settings.load();
    return settings;
}

void tst_SettingsDialogs::barsAtTheirEndsSaveBack()
{
    writeIni(QStringLiteral("[default]\r\ntime=60\r\ngspd=0\r\n[Font]\r\nBase=0.5\r\n"
                            "Return=9.6\r\nResult=30\r\n[Window]\r\nWidth=100\r\n"));
    load();
    SettingsDialog& settingsDialog = *m_dialog;
    QCOMPARE(part<QScrollBar>(settingsDialog, "durationBar")->value(), 1);
    QCOMPARE(part<QLabel>(settingsDialog, "durationLabel")->text(), QStringLiteral("60"));
    QCOMPARE(part<QScrollBar>(settingsDialog, "passSpeedBar")->value(), 399);
    QCOMPARE(part<QLabel>(settingsDialog, "passSpeedLabel")->text(), QStringLiteral("1"));
    QCOMPARE(part<QScrollBar>(settingsDialog, "baseFontBar")->value(), 295);
    QCOMPARE(part<QLabel>(settingsDialog, "baseFontLabel")->text(), QStringLiteral("0.5"));
    QCOMPARE(part<QScrollBar>(settingsDialog, "rowGapBar")->value(), 0);
    QCOMPARE(part<QLabel>(settingsDialog, "rowGapLabel")->text(), QStringLiteral("9.6"));
    QCOMPARE(part<QScrollBar>(settingsDialog, "resultFontBar")->value(), 0);
    QCOMPARE(part<QLabel>(settingsDialog, "resultFontLabel")->text(), QStringLiteral("30"));
    QCOMPARE(part<QScrollBar>(settingsDialog, "windowPercentBar")->value(), 0);
    QCOMPARE(part<QLabel>(settingsDialog, "windowPercentLabel")->text(), QStringLiteral("100"));

    // The up arrow adds: one step up from 1 minute shows 2.
    part<QScrollBar>(settingsDialog, "baseFontBar")
        ->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(part<QLabel>(settingsDialog, "baseFontLabel")->text(), QStringLiteral("1"));
    part<QScrollBar>(settingsDialog, "baseFontBar")
        ->triggerAction(QAbstractSlider::SliderSingleStepAdd);

    settingsDialog.confirm();
    QCOMPARE(m_messages->texts(), QStringList{kSaved});
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("成功"));
    const Settings settings = reloaded();
    QCOMPARE(settings.durationMinutes(), 60);
    QCOMPARE(settings.passSpeed(), 1);
    QCOMPARE(settings.windowPercent(), 100);
    QCOMPARE(settings.baseFontSize(), 0.5f);
    QCOMPARE(settings.rowGapFontSize(), 9.6f);
    QCOMPARE(settings.resultFontSize(), 30.0f);

    // Fixed by the administrator: shown, not to be changed.
    m_tree->write(QStringLiteral("site.ini"), "[default]\r\ngspd[$i]=30\r\n");
    m_settings->load(m_tree->file(QStringLiteral("site.ini")));
    settingsDialog.prepare();
    QCOMPARE(part<QLabel>(settingsDialog, "passSpeedLabel")->text(), QStringLiteral("30"));
    QVERIFY(!part<QScrollBar>(settingsDialog, "passSpeedBar")->isEnabled() &&
            part<QScrollBar>(settingsDialog, "durationBar")->isEnabled());
}

void tst_SettingsDialogs::backMode_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");
    QTest::newRow("maximised") << 1 << 1;
    QTest::newRow("not in the list") << 5 << 0;
}

void tst_SettingsDialogs::backMode()
{
    QFETCH(int, stored);
    QFETCH(int, shown);
    writeIni(QStringLiteral("[BackGround]\r\nMode=%1\r\n").arg(stored));
    load();
    SettingsDialog& settingsDialog = *m_dialog;
    QCOMPARE(qToUnderlying(m_settings->backgroundMode()), shown);
    QCOMPARE(part<QComboBox>(settingsDialog, "backgroundModeBox")->currentIndex(), shown);
    QCOMPARE(part<QGroupBox>(settingsDialog, "windowPercentGroup")->isHidden(), shown != 0);
    settingsDialog.confirm();
    QCOMPARE(qToUnderlying(reloaded().backgroundMode()), shown);

    // Choosing "通常" brings the window-size group back.
    part<QComboBox>(settingsDialog, "backgroundModeBox")->setCurrentIndex(0);
    QVERIFY(!part<QGroupBox>(settingsDialog, "windowPercentGroup")->isHidden());
}

void tst_SettingsDialogs::colourLiteralsChecked()
{
    writeIni(QStringLiteral("[BackGround]\r\nBackColor=&H1000000\r\nProblemColor=blue\r\n"
                            "ProblemBackColor=&H00FF00\r\n"));
    load();
    SettingsDialog& settingsDialog = *m_dialog;
    QCOMPARE(part<QLineEdit>(settingsDialog, "backColorEdit")->text(), QStringLiteral("&HE0E0E0"));
    QCOMPARE(part<QLineEdit>(settingsDialog, "problemColorEdit")->text(),
             QStringLiteral("&H000000"));
    QCOMPARE(part<QLineEdit>(settingsDialog, "problemBackColorEdit")->text(),
             QStringLiteral("&H00FF00"));
}

void tst_SettingsDialogs::unknownPaperSizeKept()
{
    writeIni(QStringLiteral("[default]\r\npaper=A4\r\n"));
    load();
    SettingsDialog& settingsDialog = *m_dialog;
    QCOMPARE(m_settings->paperSize(), PaperSize::fromCode(0));
    for (const char* option : {"paperOptions0", "paperOptions1", "paperOptions2"})
        QVERIFY(!part<QRadioButton>(settingsDialog, option)->isChecked());
    settingsDialog.confirm();
    QCOMPARE(reloaded().paperSize(), PaperSize::fromCode(0));

    // A known size is selected again on the next opening.
    m_settings->setPaperSize(PaperSize::B4);
    settingsDialog.prepare();
    QVERIFY(part<QRadioButton>(settingsDialog, "paperOptions1")->isChecked());
}

void tst_SettingsDialogs::folderOptionsCompareExactly()
{
    load();
    SettingsDialog& settingsDialog = *m_dialog;
    // A fresh installation: every folder group shows its default, the log folders too.
    QCOMPARE(part<QLineEdit>(settingsDialog, "logFolderEdit")->text(), m_logs);
    QCOMPARE(part<QCheckBox>(settingsDialog, "logDefaultCheck")->text(), m_logs);
    QCOMPARE(part<QCheckBox>(settingsDialog, "passLogDefaultCheck")->text(), m_logs);
    QVERIFY(part<QRadioButton>(settingsDialog, "logFolderOptions0")->isChecked());
    QVERIFY(part<QRadioButton>(settingsDialog, "passLogFolderOptions0")->isChecked());
    QVERIFY(!part<QLineEdit>(settingsDialog, "logFolderEdit")->isEnabled());
    QVERIFY(!part<QPushButton>(settingsDialog, "browseFolderButtons1")->isEnabled());
    QVERIFY(!part<QPushButton>(settingsDialog, "browseFolderButtons2")->isEnabled());
    QVERIFY(part<QRadioButton>(settingsDialog, "certificationFolderOptions0")->isChecked());
    QVERIFY(!part<QLineEdit>(settingsDialog, "certificationFolderEdit")->isEnabled());
    QVERIFY(!part<QPushButton>(settingsDialog, "browseFolderButtons0")->isEnabled());
    QCOMPARE(part<QCheckBox>(settingsDialog, "certificationDefaultCheck")->text(),
             m_app + QStringLiteral("/DATA/"));
    QCOMPARE(part<QCheckBox>(settingsDialog, "practiceDefaultCheck")->text(),
             m_app + QStringLiteral("/PLACTICE/"));

    // Saving without changes writes the folders the settings had.
    const QString logFolder = m_settings->logFolder();
    const QString passLogFolder = m_settings->passLogFolder();
    settingsDialog.checkFolders();
    settingsDialog.confirm();
    QCOMPARE(m_messages->texts(), QStringList{kSaved});
    QCOMPARE(m_settings->logFolder(), logFolder);
    QCOMPARE(m_settings->passLogFolder(), passLogFolder);
    const Settings settings = reloaded();
    QCOMPARE(settings.logFolder(), m_logs);
    QCOMPARE(settings.passLogFolder(), m_logs);

    // The comparison is exact: another letter case is another folder.
    const QString otherCase = m_tree->file(QStringLiteral("ad/Pelko")) + u'/';
    m_settings->setLogFolder(otherCase);
    settingsDialog.prepare();
    QVERIFY(part<QRadioButton>(settingsDialog, "logFolderOptions1")->isChecked());
    QVERIFY(part<QPushButton>(settingsDialog, "browseFolderButtons1")->isEnabled());
    QCOMPARE(part<QLineEdit>(settingsDialog, "logFolderEdit")->text(), otherCase);

    // Clicking the caption check box selects the default and puts it into the box.
    part<QRadioButton>(settingsDialog, "passLogFolderOptions1")->setChecked(true);
    part<QLineEdit>(settingsDialog, "passLogFolderEdit")->setText(QStringLiteral("/elsewhere"));
    part<QCheckBox>(settingsDialog, "passLogDefaultCheck")->click();
    QVERIFY(part<QRadioButton>(settingsDialog, "passLogFolderOptions0")->isChecked());
    QCOMPARE(part<QLineEdit>(settingsDialog, "passLogFolderEdit")->text(), m_logs);
    QVERIFY(part<QCheckBox>(settingsDialog, "passLogDefaultCheck")->isChecked());
}

void tst_SettingsDialogs::practiceFolderFailsOnce()
{
    load();
    SettingsDialog& settingsDialog = *m_dialog;
    const int before = settingsDialog.folderCheck().failures();
    const QString missing = m_tree->file(QStringLiteral("gone"));
    m_settings->setPracticeFolder(missing);
    settingsDialog.prepare();
    QVERIFY(part<QRadioButton>(settingsDialog, "practiceFolderOptions1")->isChecked());
    settingsDialog.checkFolders();
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral(
                 "練習用データの指定ディレクトリが間違っています。デフォルト値を使用します")});
    QVERIFY(part<QRadioButton>(settingsDialog, "practiceFolderOptions0")->isChecked());
    QCOMPARE(part<QLineEdit>(settingsDialog, "practiceFolderEdit")->text(),
             m_app + QStringLiteral("/PLACTICE/"));
    QCOMPARE(settingsDialog.folderCheck().failures(), before + 1);
    // Only the dialog is repaired; the settings learn it on saving.
    QCOMPARE(m_settings->practiceFolder(), missing);
}

void tst_SettingsDialogs::browseStartsInTheGroupsFolder()
{
    load();
    SettingsDialog& settingsDialog = *m_dialog;
    m_tree->mkdir(QStringLiteral("sub"));
    part<QLineEdit>(settingsDialog, "passLogFolderEdit")
        ->setText(m_tree->file(QStringLiteral("sub")));
    part<QLineEdit>(settingsDialog, "passLogNameEdit")->setText(QStringLiteral("pass.log"));

    QString seenFolder, seenName;
    auto lookAndCancel = [&](QDialog& child) {
        seenFolder = static_cast<LogFileDialog&>(child).folder();
        seenName = static_cast<LogFileDialog&>(child).fileName();
        QMetaObject::invokeMethod(&child, "reject");
    };
    whileModal(lookAndCancel);
    part<QPushButton>(settingsDialog, "browseFileButtons0")->click();
    QCOMPARE(seenFolder, m_logs);
    QCOMPARE(seenName, QStringLiteral("pelko.log"));
    whileModal(lookAndCancel);
    part<QPushButton>(settingsDialog, "browseFileButtons1")->click();
    QCOMPARE(seenFolder, m_tree->file(QStringLiteral("sub")));
    QCOMPARE(seenName, QStringLiteral("pass.log"));

    // A name chosen there is taken over, the folder chosen there is not.
    whileModal([&](QDialog& child) {
        part<QLineEdit>(static_cast<LogFileDialog&>(child), "nameEdit")
            ->setText(QStringLiteral("new.log"));
        part<QPushButton>(static_cast<LogFileDialog&>(child), "okButton")->click();
    });
    part<QPushButton>(settingsDialog, "browseFileButtons1")->click();
    QCOMPARE(part<QLineEdit>(settingsDialog, "passLogNameEdit")->text(), QStringLiteral("new.log"));
    QCOMPARE(part<QLineEdit>(settingsDialog, "passLogFolderEdit")->text(),
             m_tree->file(QStringLiteral("sub")));

    // Folder browsing for the practice group (index 3) starts in its box and fills it.
    part<QRadioButton>(settingsDialog, "practiceFolderOptions1")->setChecked(true);
    whileModal([&](QDialog& child) {
        auto& chooser = static_cast<FolderDialog&>(child);
        seenFolder = chooser.folder();
        part<QLineEdit>(chooser, "folderEdit")->setText(m_tree->file(QStringLiteral("sub")));
        part<QPushButton>(chooser, "okButton")->click();
    });
    part<QPushButton>(settingsDialog, "browseFolderButtons3")->click();
    QCOMPARE(seenFolder, m_app + QStringLiteral("/PLACTICE/"));
    QCOMPARE(part<QLineEdit>(settingsDialog, "practiceFolderEdit")->text(),
             m_tree->file(QStringLiteral("sub")));
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_SettingsDialogs::saveRoundTripThroughTheFile()
{
    load();
    SettingsDialog& settingsDialog = *m_dialog;
    m_tree->mkdir(QStringLiteral("mine"));
    const QString mine = m_tree->file(QStringLiteral("mine"));

    part<QScrollBar>(settingsDialog, "durationBar")->setValue(55); // 6 minutes
    part<QRadioButton>(settingsDialog, "changeDurationOptions0")->setChecked(true);
    part<QScrollBar>(settingsDialog, "passSpeedBar")->setValue(299); // 101
    part<QRadioButton>(settingsDialog, "orderOptions2")->setChecked(true);
    part<QRadioButton>(settingsDialog, "certificationFolderOptions1")->setChecked(true);
    part<QLineEdit>(settingsDialog, "certificationFolderEdit")->setText(mine);
    part<QLineEdit>(settingsDialog, "logNameEdit")->setText(QStringLiteral("main.log"));
    part<QRadioButton>(settingsDialog, "passLogOptions0")->setChecked(true);
    part<QLineEdit>(settingsDialog, "passLogFolderEdit")->setText(mine + u'/');
    part<QLineEdit>(settingsDialog, "passLogNameEdit")->setText(QStringLiteral("pass.log"));
    part<QRadioButton>(settingsDialog, "paperOptions2")->setChecked(true);
    part<QRadioButton>(settingsDialog, "rankingOptions1")->setChecked(true);
    part<QLineEdit>(settingsDialog, "backColorEdit")->setText(QStringLiteral("&H102030"));
    part<QComboBox>(settingsDialog, "backgroundModeBox")->setCurrentIndex(1);
    part<QLineEdit>(settingsDialog, "problemColorEdit")->setText(QStringLiteral("&H0000FF"));
    part<QScrollBar>(settingsDialog, "baseFontBar")->setValue(200);    // 10
    part<QScrollBar>(settingsDialog, "rowGapBar")->setValue(91);       // 0.5
    part<QScrollBar>(settingsDialog, "resultFontBar")->setValue(195);  // 10.5
    part<QScrollBar>(settingsDialog, "windowPercentBar")->setValue(9); // 91
    settingsDialog.confirm();
    QCOMPARE(m_messages->texts(), QStringList{kSaved});

    const Settings settings = reloaded();
    QCOMPARE(settings.durationMinutes(), 6);
    QVERIFY(settings.canChangeDuration());
    QCOMPARE(settings.passSpeed(), 101);
    QCOMPARE(settings.problemOrder(), ProblemOrder::Select);
    QCOMPARE(settings.certificationFolder(), mine + u'/'); // typed without "/"; loading adds it
    QCOMPARE(settings.practiceFolder(), m_app + QStringLiteral("/PLACTICE/"));
    QCOMPARE(settings.logFolder(), m_logs);
    QCOMPARE(settings.logName(), QStringLiteral("main.log"));
    QVERIFY(settings.isPassLogEnabled());
    QCOMPARE(settings.passLogFolder(), mine + u'/');
    QCOMPARE(settings.passLogName(), QStringLiteral("pass.log"));
    QCOMPARE(settings.paperSize(), PaperSize(PaperSize::B5));
    QVERIFY(settings.rankingShowsRepeats());
    QCOMPARE(settings.backColor(), ColorLiteral::toColor(u"&H102030"));
    QCOMPARE(settings.backgroundMode(), BackgroundMode::Maximized);
    QCOMPARE(settings.problemBackColor(), ColorLiteral::toColor(u"&HFFFFFF"));
    QCOMPARE(settings.problemColor(), ColorLiteral::toColor(u"&H0000FF"));
    QCOMPARE(settings.baseFontSize(), 10.0f);
    QCOMPARE(settings.rowGapFontSize(), 0.5f);
    QCOMPARE(settings.resultFontSize(), 10.5f);
    QCOMPARE(settings.windowPercent(), 91);

    // Opening again shows exactly what was saved.
    *m_settings = settings;
    settingsDialog.prepare();
    QCOMPARE(part<QLabel>(settingsDialog, "durationLabel")->text(), QStringLiteral("6"));
    QCOMPARE(part<QLabel>(settingsDialog, "rowGapLabel")->text(), QStringLiteral("0.5"));
    QVERIFY(part<QRadioButton>(settingsDialog, "orderOptions2")->isChecked());
    QVERIFY(part<QRadioButton>(settingsDialog, "certificationFolderOptions1")->isChecked());
    QVERIFY(part<QPushButton>(settingsDialog, "passLogFormatButton")->isEnabled());
    // A pass log that would be the main log, told apart for this session too.
    part<QLineEdit>(settingsDialog, "passLogFolderEdit")->setText(m_logs.chopped(1));
    part<QLineEdit>(settingsDialog, "passLogNameEdit")->setText(QStringLiteral("MAIN.LOG"));
    settingsDialog.confirm();
    QCOMPARE(m_settings->passLogName(), QStringLiteral("MAIN.LOG2"));
}

void tst_SettingsDialogs::saveFailureSaysSo()
{
    // Settings that never loaded refuse to write; the new values still hold in memory.
    SettingsDialog& settingsDialog = *m_dialog;
    settingsDialog.prepare();
    part<QScrollBar>(settingsDialog, "passSpeedBar")->setValue(389); // 11
    settingsDialog.confirm();
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("INIファイルの書き出しに失敗しました。\r"
                                        "終了後、ＩＮＩファイルの内容を確認してください。")});
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("失敗"));
    QCOMPARE(m_messages->shown().at(0).icon, MessageIcon::Critical);
    QCOMPARE(m_settings->passSpeed(), 11);
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("app/pelko.ini"))));
}

void tst_SettingsDialogs::cancelCopiesNothing()
{
    load();
    SettingsDialog& settingsDialog = *m_dialog;
    part<QScrollBar>(settingsDialog, "passSpeedBar")->setValue(0);
    part<QLineEdit>(settingsDialog, "logNameEdit")->setText(QStringLiteral("other.log"));
    settingsDialog.cancel();
    QCOMPARE(m_settings->passSpeed(), 25);
    QCOMPARE(m_settings->logName(), QStringLiteral("pelko.log"));
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("app/pelko.ini"))));
}

void tst_SettingsDialogs::textsTooLongToSaveRefused()
{
    const QString deep = u"/srv/" + QString(100, u'd');
    writeIni(u"[MainLog]\r\nPath=" + deep + u"\r\n");
    load();
    const QByteArray before = m_tree->read(QStringLiteral("app/pelko.ini"));
    SettingsDialog& settingsDialog = *m_dialog;
    settingsDialog.setResult(-1);
    const QString tail = QStringLiteral(
        "が長すぎるため保存できません。\r半角99文字（全角49文字）以内で指定してください。");

    part<QScrollBar>(settingsDialog, "passSpeedBar")->setValue(0);
    part<QRadioButton>(settingsDialog, "logNameOptions1")->setChecked(true);
    part<QLineEdit>(settingsDialog, "logNameEdit")
        ->setText(QString(97, u'n') + QStringLiteral(".log"));
    settingsDialog.confirm();
    QCOMPARE(m_messages->texts(), QStringList{u"ログファイルの名前" + tail});
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("入力エラー"));

    m_messages->clear();
    part<QLineEdit>(settingsDialog, "logNameEdit")->setText(QStringLiteral("main.log"));
    part<QRadioButton>(settingsDialog, "passLogFolderOptions1")->setChecked(true);
    part<QLineEdit>(settingsDialog, "passLogFolderEdit")->setText(QString(50, u'合'));
    settingsDialog.confirm();
    QCOMPARE(m_messages->texts(), QStringList{u"合格ログファイルのパス" + tail});
    // Still open, nothing copied, nothing written.
    QCOMPARE(settingsDialog.result(), -1);
    QCOMPARE(m_settings->passSpeed(), 25);
    QCOMPARE(m_settings->logName(), QStringLiteral("pelko.log"));
    QCOMPARE(m_tree->read(QStringLiteral("app/pelko.ini")), before);

    // The log folder, cut on reading and left alone, is no reason to refuse and stays whole.
    m_messages->clear();
    part<QLineEdit>(settingsDialog, "passLogFolderEdit")->setText(m_logs);
    settingsDialog.confirm();
    QCOMPARE(m_messages->texts(), QStringList{kSaved});
    QVERIFY(Cp932::decode(m_tree->read(QStringLiteral("app/pelko.ini")))
                .text.contains(u"Path=" + deep + u"\r\n"));
    QCOMPARE(reloaded().logName(), QStringLiteral("main.log"));
}

void tst_SettingsDialogs::everyGroupReachableByTab()
{
    load();
    SettingsDialog& settingsDialog = *m_dialog;
    settingsDialog.show();
    QSet<QWidget*> chain;
    QWidget* widget = &settingsDialog;
    do {
        widget = widget->nextInFocusChain();
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(&settingsDialog))
            chain.insert(widget);
    } while (widget != &settingsDialog);
    const QList<QWidget*> wanted{part<QScrollBar>(settingsDialog, "durationBar"),
                                 part<QRadioButton>(settingsDialog, "changeDurationOptions0"),
                                 part<QScrollBar>(settingsDialog, "passSpeedBar"),
                                 part<QRadioButton>(settingsDialog, "orderOptions0"),
                                 part<QRadioButton>(settingsDialog, "paperOptions0"),
                                 part<QRadioButton>(settingsDialog, "rankingOptions0"),
                                 part<QRadioButton>(settingsDialog, "certificationFolderOptions0"),
                                 part<QCheckBox>(settingsDialog, "certificationDefaultCheck"),
                                 part<QLineEdit>(settingsDialog, "certificationFolderEdit"),
                                 part<QRadioButton>(settingsDialog, "logNameOptions0"),
                                 part<QRadioButton>(settingsDialog, "passLogOptions0"),
                                 part<QPushButton>(settingsDialog, "passLogFormatButton"),
                                 part<QLineEdit>(settingsDialog, "passLogNameEdit"),
                                 part<QLineEdit>(settingsDialog, "backColorEdit"),
                                 part<QComboBox>(settingsDialog, "backgroundModeBox"),
                                 part<QScrollBar>(settingsDialog, "windowPercentBar"),
                                 part<QScrollBar>(settingsDialog, "baseFontBar"),
                                 part<QScrollBar>(settingsDialog, "rowGapBar"),
                                 part<QScrollBar>(settingsDialog, "resultFontBar"),
                                 part<QPushButton>(settingsDialog, "okButton"),
                                 part<QPushButton>(settingsDialog, "cancelButton")};
    for (QWidget* control : wanted)
        QVERIFY2(chain.contains(control),
                 qPrintable(control->accessibleName() + control->objectName()));
    settingsDialog.hide();
}

void tst_SettingsDialogs::logStyleLists()
{
    m_settings->load();
    PassLogFormatDialog formatDialog(*m_settings);
    formatDialog.prepare();
    QCOMPARE(itemTexts(part<QListWidget>(formatDialog, "catalogueList")),
             itemTexts(part<QListWidget>(formatDialog, "chosenList")));
    QCOMPARE(part<QListWidget>(formatDialog, "chosenList")->count(), 16);
    QCOMPARE(part<QListWidget>(formatDialog, "catalogueList")->currentRow(), 0);

    // Already chosen: only the selection on the left moves on.
    part<QPushButton>(formatDialog, "addButton")->click();
    QCOMPARE(part<QListWidget>(formatDialog, "chosenList")->count(), 16);
    QCOMPARE(part<QListWidget>(formatDialog, "catalogueList")->currentRow(), 1);

    // Removing keeps a selection at the same place, or the last one at the end.
    part<QListWidget>(formatDialog, "chosenList")->setCurrentRow(2);
    part<QPushButton>(formatDialog, "removeButton")->click();
    QCOMPARE(part<QListWidget>(formatDialog, "chosenList")->count(), 15);
    QCOMPARE(part<QListWidget>(formatDialog, "chosenList")->currentItem()->text(),
             QStringLiteral("入力ユーザＩＤ"));
    part<QListWidget>(formatDialog, "chosenList")->setCurrentRow(14);
    part<QPushButton>(formatDialog, "removeButton")->click();
    QCOMPARE(part<QListWidget>(formatDialog, "chosenList")->currentRow(), 13);

    // Adding the removed time back appends it and selects the first entry.
    part<QListWidget>(formatDialog, "catalogueList")->setCurrentRow(2);
    part<QPushButton>(formatDialog, "addButton")->click();
    QCOMPARE(part<QListWidget>(formatDialog, "chosenList")->item(14)->text(),
             QStringLiteral("時間"));
    QCOMPARE(part<QListWidget>(formatDialog, "chosenList")->currentRow(), 0);
    QCOMPARE(part<QListWidget>(formatDialog, "catalogueList")->currentRow(), 3);
    part<QListWidget>(formatDialog, "catalogueList")->setCurrentRow(15);
    part<QPushButton>(formatDialog, "addButton")->click();
    QCOMPARE(part<QListWidget>(formatDialog, "catalogueList")->currentRow(), 15);

    // Cancel leaves the setting alone.
    formatDialog.cancel();
    QCOMPARE(m_settings->passLogFormat(), QStringLiteral("0123456789ABCDEF"));
}

void tst_SettingsDialogs::logStyleOkReportsUnwritableLog()
{
    m_settings->load();
    m_settings->setPassLogFolder(m_tree->file(QStringLiteral("missing")) + u'/');
    PassLogFormatDialog formatDialog(*m_settings);
    formatDialog.prepare();
    part<QListWidget>(formatDialog, "chosenList")->setCurrentRow(0);
    part<QPushButton>(formatDialog, "removeButton")->click();
    formatDialog.confirm();
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("ログ書き込みエラー"));
    QCOMPARE(m_settings->passLogFormat(), QStringLiteral("123456789ABCDEF"));
    QVERIFY(m_tree->read(QStringLiteral("app/pelko.ini")).contains("Style=123456789ABCDEF"));
}

void tst_SettingsDialogs::colorChooserBasics()
{
    ColorChooser chooser;
    for (int i = 0; i < 16; ++i)
        QCOMPARE(chooser.customColorAt(i), 0xFFFFFF);
    chooser.setPickedColor(0x336699);
    QCOMPARE(chooser.redByte(), quint8(0x99));
    QCOMPARE(chooser.greenByte(), quint8(0x66));
    QCOMPARE(chooser.blueByte(), quint8(0x33));
    for (const int bad : {-1, 16}) {
        chooser.setCustomColorAt(bad, 0x123456);
        QCOMPARE(chooser.customColorAt(bad), 0);
    }
    for (int i = 0; i < 16; ++i)
        QCOMPARE(chooser.customColorAt(i), 0xFFFFFF);
}

void tst_SettingsDialogs::colorChooserCancelAndConfirm()
{
    ColorChooser chooser;
    chooser.setPickedColor(0x336699);
    chooser.setCustomColorAt(3, 0x0000FF);
    QColor shownStart, shownCustom;
    whileModal([&](QDialog& child) {
        auto& dialog = static_cast<QColorDialog&>(child);
        shownStart = dialog.currentColor();
        shownCustom = QColorDialog::customColor(3);
        dialog.setCurrentColor(Qt::green);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QVERIFY(!chooser.pick(nullptr, ColorChooser::StartFromPicked | ColorChooser::FullDialog));
    QCOMPARE(shownStart, QColor(0x99, 0x66, 0x33));
    QCOMPARE(shownCustom, QColor(Qt::red));
    QCOMPARE(chooser.pickedColor(), 0x336699);
    QCOMPARE(chooser.customColorAt(5), 0xFFFFFF);

    whileModal([&](QDialog& child) {
        auto& dialog = static_cast<QColorDialog&>(child);
        QColorDialog::setCustomColor(5, QColor(1, 2, 3));
        dialog.setCurrentColor(QColor(0x10, 0x20, 0x30));
        const auto* box = dialog.findChild<QDialogButtonBox*>();
        QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QVERIFY(chooser.pick(nullptr, ColorChooser::StartFromPicked | ColorChooser::FullDialog));
    QCOMPARE(chooser.pickedColor(), 0x302010);
    QCOMPARE(chooser.customColorAt(5), 0x030201);
    QCOMPARE(chooser.customColorAt(3), 0x0000FF);
}

void tst_SettingsDialogs::colourButtonCancelKeepsBox()
{
    load();
    SettingsDialog& settingsDialog = *m_dialog;
    const auto before = settingsDialog.customColors();
    QCOMPARE(before[1], 0x1FFFFF);
    part<QLineEdit>(settingsDialog, "problemColorEdit")->setText(QStringLiteral("&H0080FF"));
    QColor start;
    whileModal([&](QDialog& child) {
        start = static_cast<QColorDialog&>(child).currentColor();
        QColorDialog::setCustomColor(0, Qt::black);
        child.reject();
    });
    part<QPushButton>(settingsDialog, "problemColorButton")->click();
    QCOMPARE(start, QColor(0xFF, 0x80, 0x00));
    QCOMPARE(part<QLineEdit>(settingsDialog, "problemColorEdit")->text(),
             QStringLiteral("&H0080FF"));
    QCOMPARE(settingsDialog.customColors(), before);

    whileModal([&](QDialog& child) {
        QColorDialog::setCustomColor(0, Qt::black);
        static_cast<QColorDialog&>(child).setCurrentColor(QColor(0, 0, 0x0A));
        child.accept();
    });
    part<QPushButton>(settingsDialog, "problemColorButton")->click();
    QCOMPARE(part<QLineEdit>(settingsDialog, "problemColorEdit")->text(),
             QStringLiteral("&H0A0000"));
    QCOMPARE(settingsDialog.customColors()[0], 0);
    QCOMPARE(settingsDialog.customColors()[1], 0x1FFFFF);
}

void tst_SettingsDialogs::resolveColor()
{
    const SystemColor t;
    QCOMPARE(t.resolve(0x123456), 0x123456);
    const QColor window = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    QCOMPARE(t.resolve(qint32(0x80000005u)), qint32(ColorLiteral::colorToBgr(window)));
    QCOMPARE(t.resolve(qint32(0x80000063u)), SystemColor::NoColor);
    QCOMPARE(t.resolve(-1), SystemColor::NoColor);
}

void tst_SettingsDialogs::tenFailuresCloseTheDialog()
{
    // A missing practice folder with a usable default fails once per opening; the failures
    // add up over the openings, each with a dialog of its own, and the tenth closes the
    // dialog without saving.
    load();
    m_settings->setPracticeFolder(m_tree->file(QStringLiteral("gone")));
    m_settings->setPassSpeed(7);
    int openings = 0;
    while (m_settings->folderCheck().failures() < 9) {
        const int before = m_settings->folderCheck().failures();
        SettingsDialog settingsDialog(*m_settings);
        whileModal([](QDialog& child) { static_cast<SettingsDialog&>(child).cancel(); });
        settingsDialog.exec();
        QCOMPARE(settingsDialog.folderCheck().failures(), before + 1);
        QVERIFY(++openings < 10);
    }
    SettingsDialog settingsDialog(*m_settings);
    QVERIFY(settingsDialog.folderCheck().failedBefore(SettingsRules::Practice));
    m_messages->clear();
    // The tenth failure comes at the first activation: no modal loop is entered.
    QCOMPARE(settingsDialog.exec(), int(QDialog::Rejected));
    QVERIFY(!settingsDialog.isVisible());
    QCOMPARE(
        m_messages->texts(),
        (QStringList{QStringLiteral("仮にPelkoのフォルダに参照します。あとから見直してください"),
                     QStringLiteral("データファイルが正しくセットされているかどうかを確認して"
                                    "もう一度起動してください")}));
    QCOMPARE(m_settings->passSpeed(), 7);
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("app/pelko.ini"))));
}

QTEST_MAIN(tst_SettingsDialogs)
#include "tst_SettingsDialogs.moc"
