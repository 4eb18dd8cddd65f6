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
    QString m_logs; // the store's default log folder, spelt "pelko"
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
    Settings k;
    k.load();
    return k;
}

void tst_SettingsDialogs::barsAtTheirEndsSaveBack()
{
    writeIni(QStringLiteral("[default]\r\ntime=60\r\ngspd=0\r\n[Font]\r\nBase=0.5\r\n"
                            "Return=9.6\r\nResult=30\r\n[Window]\r\nWidth=100\r\n"));
    load();
    SettingsDialog& f = *m_dialog;
    QCOMPARE(f.m_durationBar->value(), 1);
    QCOMPARE(f.m_durationLabel->text(), QStringLiteral("60"));
    QCOMPARE(f.m_passSpeedBar->value(), 399);
    QCOMPARE(f.m_passSpeedLabel->text(), QStringLiteral("1"));
    QCOMPARE(f.m_baseFontBar->value(), 295);
    QCOMPARE(f.m_baseFontLabel->text(), QStringLiteral("0.5"));
    QCOMPARE(f.m_lineGapBar->value(), 0);
    QCOMPARE(f.m_lineGapLabel->text(), QStringLiteral("9.6"));
    QCOMPARE(f.m_resultFontBar->value(), 0);
    QCOMPARE(f.m_resultFontLabel->text(), QStringLiteral("30"));
    QCOMPARE(f.m_windowPercentBar->value(), 0);
    QCOMPARE(f.m_windowPercentLabel->text(), QStringLiteral("100"));

    // The up arrow adds: one step up from 1 minute shows 2.
    f.m_baseFontBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(f.m_baseFontLabel->text(), QStringLiteral("1"));
    f.m_baseFontBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);

    f.confirm();
    QCOMPARE(m_messages->texts(), QStringList{kSaved});
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("成功"));
    const Settings k = reloaded();
    QCOMPARE(k.durationMinutes(), qint16(60));
    QCOMPARE(k.passSpeed(), qint16(1));
    QCOMPARE(k.windowPercent, qint16(100));
    QCOMPARE(k.baseFontSize(), 0.5f);
    QCOMPARE(k.rowGapFontSize(), 9.6f);
    QCOMPARE(k.resultFontSize(), 30.0f);
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
    SettingsDialog& f = *m_dialog;
    QCOMPARE(m_settings->backgroundMode(), qint16(shown));
    QCOMPARE(f.m_backgroundModeBox->currentIndex(), shown);
    QCOMPARE(f.m_windowPercentGroup->isHidden(), shown != 0);
    f.confirm();
    QCOMPARE(reloaded().backgroundMode(), qint16(shown));

    // Choosing "通常" brings the window-size group back.
    f.m_backgroundModeBox->setCurrentIndex(0);
    QVERIFY(!f.m_windowPercentGroup->isHidden());
}

void tst_SettingsDialogs::colourLiteralsChecked()
{
    writeIni(QStringLiteral("[BackGround]\r\nBackColor=&H1000000\r\nProblemColor=blue\r\n"
                            "ProblemBackColor=&H00FF00\r\n"));
    load();
    SettingsDialog& f = *m_dialog;
    QCOMPARE(f.m_backColorEdit->text(), QStringLiteral("&HE0E0E0"));
    QCOMPARE(f.m_problemColorEdit->text(), QStringLiteral("&H000000"));
    QCOMPARE(f.m_problemBackColorEdit->text(), QStringLiteral("&H00FF00"));
}

void tst_SettingsDialogs::unknownPaperSizeKept()
{
    writeIni(QStringLiteral("[default]\r\npaper=A4\r\n"));
    load();
    SettingsDialog& f = *m_dialog;
    QCOMPARE(m_settings->paperSize(), QStringLiteral("0"));
    for (QRadioButton* option : f.m_paperOptions)
        QVERIFY(!option->isChecked());
    f.confirm();
    QCOMPARE(reloaded().paperSize(), QStringLiteral("0"));

    // A known size is selected again on the next opening.
    m_settings->setPaperSize(QStringLiteral("12"));
    f.prepare();
    QVERIFY(f.m_paperOptions[1]->isChecked());
}

void tst_SettingsDialogs::folderOptionsCompareExactly()
{
    load();
    SettingsDialog& f = *m_dialog;
    // A fresh installation: every folder group shows its default, the log folders too.
    QCOMPARE(f.m_logFolderEdit->text(), m_logs);
    QCOMPARE(f.m_logDefaultCheck->text(), m_logs);
    QCOMPARE(f.m_passLogDefaultCheck->text(), m_logs);
    QVERIFY(f.m_logFolderOptions[0]->isChecked());
    QVERIFY(f.m_passLogFolderOptions[0]->isChecked());
    QVERIFY(!f.m_logFolderEdit->isEnabled());
    QVERIFY(!f.m_browseFolderButtons[1]->isEnabled());
    QVERIFY(!f.m_browseFolderButtons[2]->isEnabled());
    QVERIFY(f.m_certificationFolderOptions[0]->isChecked());
    QVERIFY(!f.m_certificationFolderEdit->isEnabled());
    QVERIFY(!f.m_browseFolderButtons[0]->isEnabled());
    QCOMPARE(f.m_certificationDefaultCheck->text(), m_app + QStringLiteral("/DATA/"));
    QCOMPARE(f.m_practiceDefaultCheck->text(), m_app + QStringLiteral("/PLACTICE/"));

    // Saving without changes writes the folders the store had.
    const QString logPath = m_settings->logFolder();
    const QString subLogPath = m_settings->passLogFolder();
    f.checkFolders();
    f.confirm();
    QCOMPARE(m_messages->texts(), QStringList{kSaved});
    QCOMPARE(m_settings->logFolder(), logPath);
    QCOMPARE(m_settings->passLogFolder(), subLogPath);
    const Settings k = reloaded();
    QCOMPARE(k.logFolder(), m_logs);
    QCOMPARE(k.passLogFolder(), m_logs);

    // The comparison is exact: another letter case is another folder.
    const QString otherCase = m_tree->file(QStringLiteral("ad/Pelko")) + u'/';
    m_settings->setLogFolder(otherCase);
    f.prepare();
    QVERIFY(f.m_logFolderOptions[1]->isChecked());
    QVERIFY(f.m_browseFolderButtons[1]->isEnabled());
    QCOMPARE(f.m_logFolderEdit->text(), otherCase);

    // Clicking the caption check box selects the default and puts it into the box.
    f.m_passLogFolderOptions[1]->setChecked(true);
    f.m_passLogFolderEdit->setText(QStringLiteral("/elsewhere"));
    f.m_passLogDefaultCheck->click();
    QVERIFY(f.m_passLogFolderOptions[0]->isChecked());
    QCOMPARE(f.m_passLogFolderEdit->text(), m_logs);
    QVERIFY(f.m_passLogDefaultCheck->isChecked());
}

void tst_SettingsDialogs::practiceFolderFailsOnce()
{
    load();
    SettingsDialog& f = *m_dialog;
    const int before = f.folderCheck().failures();
    const QString missing = m_tree->file(QStringLiteral("gone"));
    m_settings->setPracticeFolder(missing);
    f.prepare();
    QVERIFY(f.m_practiceFolderOptions[1]->isChecked());
    f.checkFolders();
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral(
                 "練習用データの指定ディレクトリが間違っています。デフォルト値を使用します")});
    QVERIFY(f.m_practiceFolderOptions[0]->isChecked());
    QCOMPARE(f.m_practiceFolderEdit->text(), m_app + QStringLiteral("/PLACTICE/"));
    QCOMPARE(f.folderCheck().failures(), before + 1);
    // Only the dialog is repaired; the settings learn it on saving.
    QCOMPARE(m_settings->practiceFolder(), missing);
}

void tst_SettingsDialogs::browseStartsInTheGroupsFolder()
{
    load();
    SettingsDialog& f = *m_dialog;
    m_tree->mkdir(QStringLiteral("sub"));
    f.m_passLogFolderEdit->setText(m_tree->file(QStringLiteral("sub")));
    f.m_passLogNameEdit->setText(QStringLiteral("pass.log"));

    QString seenDir, seenName;
    auto lookAndCancel = [&](QDialog& d) {
        seenDir = static_cast<LogFileDialog&>(d).folder();
        seenName = static_cast<LogFileDialog&>(d).fileName();
        QMetaObject::invokeMethod(&d, "reject");
    };
    whileModal(lookAndCancel);
    f.browseLogFile(0);
    QCOMPARE(seenDir, m_logs);
    QCOMPARE(seenName, QStringLiteral("pelko.log"));
    whileModal(lookAndCancel);
    f.browseLogFile(1);
    QCOMPARE(seenDir, m_tree->file(QStringLiteral("sub")));
    QCOMPARE(seenName, QStringLiteral("pass.log"));

    // A name chosen there is taken over, the folder chosen there is not.
    whileModal([&](QDialog& d) {
        static_cast<LogFileDialog&>(d).m_nameEdit->setText(QStringLiteral("new.log"));
        static_cast<LogFileDialog&>(d).m_okButton->click();
    });
    f.browseLogFile(1);
    QCOMPARE(f.m_passLogNameEdit->text(), QStringLiteral("new.log"));
    QCOMPARE(f.m_passLogFolderEdit->text(), m_tree->file(QStringLiteral("sub")));

    // Folder browsing for the practice group (index 3) starts in its box and fills it.
    f.m_practiceFolderOptions[1]->setChecked(true);
    whileModal([&](QDialog& d) {
        auto& chooser = static_cast<FolderDialog&>(d);
        seenDir = chooser.folder();
        chooser.m_folderEdit->setText(m_tree->file(QStringLiteral("sub")));
        chooser.m_okButton->click();
    });
    f.browseFolder(3);
    QCOMPARE(seenDir, m_app + QStringLiteral("/PLACTICE/"));
    QCOMPARE(f.m_practiceFolderEdit->text(), m_tree->file(QStringLiteral("sub")));
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_SettingsDialogs::saveRoundTripThroughTheFile()
{
    load();
    SettingsDialog& f = *m_dialog;
    m_tree->mkdir(QStringLiteral("mine"));
    const QString mine = m_tree->file(QStringLiteral("mine"));

    f.m_durationBar->setValue(55); // 6 minutes
    f.m_changeDurationOptions[0]->setChecked(true);
    f.m_passSpeedBar->setValue(299); // 101
    f.m_orderOptions[2]->setChecked(true);
    f.m_certificationFolderOptions[1]->setChecked(true);
    f.m_certificationFolderEdit->setText(mine);
    f.m_logNameEdit->setText(QStringLiteral("main.log"));
    f.m_passLogOptions[0]->setChecked(true);
    f.m_passLogFolderEdit->setText(mine + u'/');
    f.m_passLogNameEdit->setText(QStringLiteral("pass.log"));
    f.m_paperOptions[2]->setChecked(true);
    f.m_rankingOptions[1]->setChecked(true);
    f.m_backColorEdit->setText(QStringLiteral("&H102030"));
    f.m_backgroundModeBox->setCurrentIndex(1);
    f.m_problemColorEdit->setText(QStringLiteral("&H0000FF"));
    f.m_baseFontBar->setValue(200);    // 10
    f.m_lineGapBar->setValue(91);      // 0.5
    f.m_resultFontBar->setValue(195);  // 10.5
    f.m_windowPercentBar->setValue(9); // 91
    f.confirm();
    QCOMPARE(m_messages->texts(), QStringList{kSaved});

    const Settings k = reloaded();
    QCOMPARE(k.durationMinutes(), qint16(6));
    QVERIFY(k.canChangeDuration());
    QCOMPARE(k.passSpeed(), qint16(101));
    QCOMPARE(k.problemOrder(), QStringLiteral("SELECT"));
    QCOMPARE(k.certificationFolder(), mine + u'/'); // typed without "/"; loading adds it
    QCOMPARE(k.practiceFolder(), m_app + QStringLiteral("/PLACTICE/"));
    QCOMPARE(k.logFolder(), m_logs);
    QCOMPARE(k.logName(), QStringLiteral("main.log"));
    QVERIFY(k.isPassLogEnabled());
    QCOMPARE(k.passLogFolder(), mine + u'/');
    QCOMPARE(k.passLogName(), QStringLiteral("pass.log"));
    QCOMPARE(k.paperSize(), QStringLiteral("13"));
    QVERIFY(k.rankingShowsRepeats());
    QCOMPARE(k.backColor(), QStringLiteral("&H102030"));
    QCOMPARE(k.backgroundMode(), qint16(1));
    QCOMPARE(k.problemBackColor(), QStringLiteral("&HFFFFFF"));
    QCOMPARE(k.problemColor(), QStringLiteral("&H0000FF"));
    QCOMPARE(k.baseFontSize(), 10.0f);
    QCOMPARE(k.rowGapFontSize(), 0.5f);
    QCOMPARE(k.resultFontSize(), 10.5f);
    QCOMPARE(k.windowPercent, qint16(91));

    // Opening again shows exactly what was saved.
    *m_settings = k;
    f.prepare();
    QCOMPARE(f.m_durationLabel->text(), QStringLiteral("6"));
    QCOMPARE(f.m_lineGapLabel->text(), QStringLiteral("0.5"));
    QVERIFY(f.m_orderOptions[2]->isChecked());
    QVERIFY(f.m_certificationFolderOptions[1]->isChecked());
    QVERIFY(f.m_passLogFormatButton->isEnabled());
}

void tst_SettingsDialogs::saveFailureSaysSo()
{
    // A store that never loaded refuses to write; the new values still hold in memory.
    SettingsDialog& f = *m_dialog;
    f.prepare();
    f.m_passSpeedBar->setValue(389); // 11
    f.confirm();
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("INIファイルの書き出しに失敗しました。\r"
                                        "終了後、ＩＮＩファイルの内容を確認してください。")});
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("失敗"));
    QCOMPARE(m_messages->shown().at(0).icon, MessageIcon::Critical);
    QCOMPARE(m_settings->passSpeed(), qint16(11));
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("app/pelko.ini"))));
}

void tst_SettingsDialogs::cancelCopiesNothing()
{
    load();
    SettingsDialog& f = *m_dialog;
    f.m_passSpeedBar->setValue(0);
    f.m_logNameEdit->setText(QStringLiteral("other.log"));
    f.cancel();
    QCOMPARE(m_settings->passSpeed(), qint16(25));
    QCOMPARE(m_settings->logName(), QStringLiteral("pelko.log"));
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("app/pelko.ini"))));
}

void tst_SettingsDialogs::everyGroupReachableByTab()
{
    load();
    SettingsDialog& f = *m_dialog;
    f.show();
    QSet<QWidget*> chain;
    QWidget* w = &f;
    do {
        w = w->nextInFocusChain();
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&f))
            chain.insert(w);
    } while (w != &f);
    const QList<QWidget*> wanted{f.m_durationBar,
                                 f.m_changeDurationOptions[0],
                                 f.m_passSpeedBar,
                                 f.m_orderOptions[0],
                                 f.m_paperOptions[0],
                                 f.m_rankingOptions[0],
                                 f.m_certificationFolderOptions[0],
                                 f.m_certificationDefaultCheck,
                                 f.m_certificationFolderEdit,
                                 f.m_logNameOptions[0],
                                 f.m_passLogOptions[0],
                                 f.m_passLogFormatButton,
                                 f.m_passLogNameEdit,
                                 f.m_backColorEdit,
                                 f.m_backgroundModeBox,
                                 f.m_windowPercentBar,
                                 f.m_baseFontBar,
                                 f.m_lineGapBar,
                                 f.m_resultFontBar,
                                 f.m_okButton,
                                 f.m_cancelButton};
    for (QWidget* control : wanted)
        QVERIFY2(chain.contains(control),
                 qPrintable(control->accessibleName() + control->objectName()));
    f.hide();
}

void tst_SettingsDialogs::logStyleLists()
{
    m_settings->load();
    PassLogFormatDialog d(*m_settings);
    d.prepare();
    QCOMPARE(itemTexts(d.m_catalogueList), itemTexts(d.m_chosenList));
    QCOMPARE(d.m_chosenList->count(), 16);
    QCOMPARE(d.m_catalogueList->currentRow(), 0);

    // Already chosen: only the selection on the left moves on.
    d.addSelectedColumn();
    QCOMPARE(d.m_chosenList->count(), 16);
    QCOMPARE(d.m_catalogueList->currentRow(), 1);

    // Removing keeps a selection at the same place, or the last one at the end.
    d.m_chosenList->setCurrentRow(2);
    d.removeSelectedColumn();
    QCOMPARE(d.m_chosenList->count(), 15);
    QCOMPARE(d.m_chosenList->currentItem()->text(), QStringLiteral("入力ユーザＩＤ"));
    d.m_chosenList->setCurrentRow(14);
    d.removeSelectedColumn();
    QCOMPARE(d.m_chosenList->currentRow(), 13);

    // Adding the removed time back appends it and selects the first entry.
    d.m_catalogueList->setCurrentRow(2);
    d.addSelectedColumn();
    QCOMPARE(d.m_chosenList->item(14)->text(), QStringLiteral("時間"));
    QCOMPARE(d.m_chosenList->currentRow(), 0);
    QCOMPARE(d.m_catalogueList->currentRow(), 3);
    d.m_catalogueList->setCurrentRow(15);
    d.addSelectedColumn();
    QCOMPARE(d.m_catalogueList->currentRow(), 15);

    // Cancel leaves the setting alone.
    d.cancel();
    QCOMPARE(m_settings->passLogFormat(), QStringLiteral("0123456789ABCDEF"));
}

void tst_SettingsDialogs::logStyleOkReportsUnwritableLog()
{
    m_settings->load();
    m_settings->setPassLogFolder(m_tree->file(QStringLiteral("missing")) + u'/');
    PassLogFormatDialog d(*m_settings);
    d.prepare();
    d.m_chosenList->setCurrentRow(0);
    d.removeSelectedColumn();
    d.confirm();
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("ログ書き込みエラー"));
    QCOMPARE(m_settings->passLogFormat(), QStringLiteral("123456789ABCDEF"));
    QVERIFY(m_tree->read(QStringLiteral("app/pelko.ini")).contains("Style=123456789ABCDEF"));
}

void tst_SettingsDialogs::colorChooserBasics()
{
    ColorChooser c;
    for (int i = 0; i < 16; ++i)
        QCOMPARE(c.customColorAt(i), 0xFFFFFF);
    c.setPickedColor(0x336699);
    QCOMPARE(c.redByte(), quint8(0x99));
    QCOMPARE(c.greenByte(), quint8(0x66));
    QCOMPARE(c.blueByte(), quint8(0x33));
    for (const int bad : {-1, 16}) {
        c.setCustomColorAt(bad, 0x123456);
        QCOMPARE(c.customColorAt(bad), 0);
    }
    for (int i = 0; i < 16; ++i)
        QCOMPARE(c.customColorAt(i), 0xFFFFFF);
}

void tst_SettingsDialogs::colorChooserCancelAndConfirm()
{
    ColorChooser c;
    c.setPickedColor(0x336699);
    c.setCustomColorAt(3, 0x0000FF);
    QColor shownStart, shownCustom;
    whileModal([&](QDialog& d) {
        auto& dialog = static_cast<QColorDialog&>(d);
        shownStart = dialog.currentColor();
        shownCustom = QColorDialog::customColor(3);
        dialog.setCurrentColor(Qt::green);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    QVERIFY(!c.pick(nullptr, ColorChooser::StartFromPicked | ColorChooser::FullDialog));
    QCOMPARE(shownStart, QColor(0x99, 0x66, 0x33));
    QCOMPARE(shownCustom, QColor(Qt::red));
    QCOMPARE(c.pickedColor(), 0x336699);
    QCOMPARE(c.customColorAt(5), 0xFFFFFF);

    whileModal([&](QDialog& d) {
        auto& dialog = static_cast<QColorDialog&>(d);
        QColorDialog::setCustomColor(5, QColor(1, 2, 3));
        dialog.setCurrentColor(QColor(0x10, 0x20, 0x30));
        const auto* box = dialog.findChild<QDialogButtonBox*>();
        QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QVERIFY(c.pick(nullptr, ColorChooser::StartFromPicked | ColorChooser::FullDialog));
    QCOMPARE(c.pickedColor(), 0x302010);
    QCOMPARE(c.customColorAt(5), 0x030201);
    QCOMPARE(c.customColorAt(3), 0x0000FF);
}

void tst_SettingsDialogs::colourButtonCancelKeepsBox()
{
    load();
    SettingsDialog& f = *m_dialog;
    const auto before = f.customColors();
    QCOMPARE(before[1], 0x1FFFFF);
    f.m_problemColorEdit->setText(QStringLiteral("&H0080FF"));
    QColor start;
    whileModal([&](QDialog& d) {
        start = static_cast<QColorDialog&>(d).currentColor();
        QColorDialog::setCustomColor(0, Qt::black);
        d.reject();
    });
    f.pickProblemColor();
    QCOMPARE(start, QColor(0xFF, 0x80, 0x00));
    QCOMPARE(f.m_problemColorEdit->text(), QStringLiteral("&H0080FF"));
    QCOMPARE(f.customColors(), before);

    whileModal([&](QDialog& d) {
        QColorDialog::setCustomColor(0, Qt::black);
        static_cast<QColorDialog&>(d).setCurrentColor(QColor(0, 0, 0x0A));
        d.accept();
    });
    f.pickProblemColor();
    QCOMPARE(f.m_problemColorEdit->text(), QStringLiteral("&H0A0000"));
    QCOMPARE(f.customColors()[0], 0);
    QCOMPARE(f.customColors()[1], 0x1FFFFF);
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
        SettingsDialog f(*m_settings);
        whileModal([](QDialog& d) { static_cast<SettingsDialog&>(d).cancel(); });
        f.exec();
        QCOMPARE(f.folderCheck().failures(), before + 1);
        QVERIFY(++openings < 10);
    }
    SettingsDialog f(*m_settings);
    QVERIFY(f.folderCheck().failedBefore(SettingsRules::Practice));
    m_messages->clear();
    // The tenth failure comes at the first activation: no modal loop is entered.
    QCOMPARE(f.exec(), int(QDialog::Rejected));
    QVERIFY(!f.isVisible());
    QCOMPARE(
        m_messages->texts(),
        (QStringList{QStringLiteral("仮にPelkoのフォルダに参照します。あとから見直してください"),
                     QStringLiteral("データファイルが正しくセットされているかどうかを確認して"
                                    "もう一度起動してください")}));
    QCOMPARE(m_settings->passSpeed(), qint16(7));
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("app/pelko.ini"))));
}

QTEST_MAIN(tst_SettingsDialogs)
#include "tst_SettingsDialogs.moc"
