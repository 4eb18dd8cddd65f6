#include "app/modPelko.h"
#include "common/Cp932.h"
#include "platform/MessageService.h"
#include "settings/ColorLiteral.h"
#include "settings/cColor.h"
#include "settings/cTransCol.h"
#include "settings/clsKankyo.h"
#include "settings/frmDir.h"
#include "settings/frmFile.h"
#include "settings/frmKankyo.h"
#include "settings/frmLogStyle.h"
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
    clsKankyo reloaded() const;

    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<ScopedEnv> m_appData;
    std::unique_ptr<MessageRecorder> m_messages;
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
    FillLogColumn();
    FontBase = 13;
    FontReturn = 3;
    FontResult = 11;
    objKankyo = std::make_unique<clsKankyo>();
}

void tst_SettingsDialogs::cleanup()
{
    frmKankyo::instance().hide();
    objKankyo.reset();
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
    objKankyo->LoadINI();
    QVERIFY(objKankyo->LoadFlg());
    frmKankyo::instance().Form_Load();
}

clsKankyo tst_SettingsDialogs::reloaded() const
{
    clsKankyo k;
    k.LoadINI();
    return k;
}

void tst_SettingsDialogs::barsAtTheirEndsSaveBack()
{
    writeIni(QStringLiteral("[default]\r\ntime=60\r\ngspd=0\r\n[Font]\r\nBase=0.5\r\n"
                            "Return=9.6\r\nResult=30\r\n[Window]\r\nWidth=100\r\n"));
    load();
    frmKankyo& f = frmKankyo::instance();
    QCOMPARE(f.vscLastTime->value(), 1);
    QCOMPARE(f.lblLastTime->text(), QStringLiteral("60"));
    QCOMPARE(f.vscSpeed->value(), 399);
    QCOMPARE(f.lblSpeed->text(), QStringLiteral("1"));
    QCOMPARE(f.vscBaseFont->value(), 295);
    QCOMPARE(f.lblBaseFont->text(), QStringLiteral("0.5"));
    QCOMPARE(f.vscReturnFont->value(), 0);
    QCOMPARE(f.lblReturnFont->text(), QStringLiteral("9.6"));
    QCOMPARE(f.vscResultFont->value(), 0);
    QCOMPARE(f.lblResultFont->text(), QStringLiteral("30"));
    QCOMPARE(f.vscWindowSize->value(), 0);
    QCOMPARE(f.lblWindowSize->text(), QStringLiteral("100"));

    // The up arrow adds: one step up from 1 minute shows 2.
    f.vscBaseFont->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(f.lblBaseFont->text(), QStringLiteral("1"));
    f.vscBaseFont->triggerAction(QAbstractSlider::SliderSingleStepAdd);

    f.cmdOk_Click();
    QCOMPARE(m_messages->texts(), QStringList{kSaved});
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("成功"));
    const clsKankyo k = reloaded();
    QCOMPARE(k.LastTime(), qint16(60));
    QCOMPARE(k.Speed(), qint16(1));
    QCOMPARE(k.WindowSize, qint16(100));
    QCOMPARE(FontBase, 0.5f);
    QCOMPARE(FontReturn, 9.6f);
    QCOMPARE(FontResult, 30.0f);
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
    frmKankyo& f = frmKankyo::instance();
    QCOMPARE(objKankyo->BackMode(), qint16(shown));
    QCOMPARE(f.cboBackMode->currentIndex(), shown);
    QCOMPARE(f.frmWindowSize->isHidden(), shown != 0);
    f.cmdOk_Click();
    QCOMPARE(reloaded().BackMode(), qint16(shown));

    // Choosing "通常" brings the window-size group back.
    f.cboBackMode->setCurrentIndex(0);
    QVERIFY(!f.frmWindowSize->isHidden());
}

void tst_SettingsDialogs::colourLiteralsChecked()
{
    writeIni(QStringLiteral("[BackGround]\r\nBackColor=&H1000000\r\nProblemColor=blue\r\n"
                            "ProblemBackColor=&H00FF00\r\n"));
    load();
    frmKankyo& f = frmKankyo::instance();
    QCOMPARE(f.txtBackColor->text(), QStringLiteral("&HE0E0E0"));
    QCOMPARE(f.txtProblemColor->text(), QStringLiteral("&H000000"));
    QCOMPARE(f.txtProblemBackColor->text(), QStringLiteral("&H00FF00"));
}

void tst_SettingsDialogs::unknownPaperSizeKept()
{
    writeIni(QStringLiteral("[default]\r\npaper=A4\r\n"));
    load();
    frmKankyo& f = frmKankyo::instance();
    QCOMPARE(objKankyo->PaperSize(), QStringLiteral("0"));
    for (QRadioButton* option : f.optPaper)
        QVERIFY(!option->isChecked());
    f.cmdOk_Click();
    QCOMPARE(reloaded().PaperSize(), QStringLiteral("0"));

    // A known size is selected again on the next opening.
    objKankyo->setPaperSize(QStringLiteral("12"));
    f.Form_Load();
    QVERIFY(f.optPaper[1]->isChecked());
}

void tst_SettingsDialogs::folderOptionsCompareExactly()
{
    load();
    frmKankyo& f = frmKankyo::instance();
    // A fresh installation: every folder group shows its default, the log folders too.
    QCOMPARE(f.txtLogpath->text(), m_logs);
    QCOMPARE(f.chkLogPath->text(), m_logs);
    QCOMPARE(f.chkSubLogPath->text(), m_logs);
    QVERIFY(f.optLogPath[0]->isChecked());
    QVERIFY(f.optSubLogPath[0]->isChecked());
    QVERIFY(!f.txtLogpath->isEnabled());
    QVERIFY(!f.cmdSansyo[1]->isEnabled());
    QVERIFY(!f.cmdSansyo[2]->isEnabled());
    QVERIFY(f.optFilePath[0]->isChecked());
    QVERIFY(!f.txtFilePath->isEnabled());
    QVERIFY(!f.cmdSansyo[0]->isEnabled());
    QCOMPARE(f.chkDataPath->text(), m_app + QStringLiteral("/DATA/"));
    QCOMPARE(f.chkDefaultPlactice->text(), m_app + QStringLiteral("/PLACTICE/"));

    // Saving without changes writes the folders the store had.
    const QString logPath = objKankyo->LogPath();
    const QString subLogPath = objKankyo->SubLogPath();
    f.Form_Activate();
    f.cmdOk_Click();
    QCOMPARE(m_messages->texts(), QStringList{kSaved});
    QCOMPARE(objKankyo->LogPath(), logPath);
    QCOMPARE(objKankyo->SubLogPath(), subLogPath);
    const clsKankyo k = reloaded();
    QCOMPARE(k.LogPath(), m_logs);
    QCOMPARE(k.SubLogPath(), m_logs);

    // The comparison is exact: another letter case is another folder.
    const QString otherCase = m_tree->file(QStringLiteral("ad/Pelko")) + u'/';
    objKankyo->setLogPath(otherCase);
    f.Form_Load();
    QVERIFY(f.optLogPath[1]->isChecked());
    QVERIFY(f.cmdSansyo[1]->isEnabled());
    QCOMPARE(f.txtLogpath->text(), otherCase);

    // Clicking the caption check box selects the default and puts it into the box.
    f.optSubLogPath[1]->setChecked(true);
    f.txtSubLogPath->setText(QStringLiteral("/elsewhere"));
    f.chkSubLogPath->click();
    QVERIFY(f.optSubLogPath[0]->isChecked());
    QCOMPARE(f.txtSubLogPath->text(), m_logs);
    QVERIFY(f.chkSubLogPath->isChecked());
}

void tst_SettingsDialogs::practiceFolderFailsOnce()
{
    load();
    frmKankyo& f = frmKankyo::instance();
    const int before = f.folderCheck().failures();
    const QString missing = m_tree->file(QStringLiteral("gone"));
    objKankyo->setTestFilepath(missing);
    f.Form_Load();
    QVERIFY(f.optTestFilePath[1]->isChecked());
    f.Form_Activate();
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral(
                 "練習用データの指定ディレクトリが間違っています。デフォルト値を使用します")});
    QVERIFY(f.optTestFilePath[0]->isChecked());
    QCOMPARE(f.txtTestFilePath->text(), m_app + QStringLiteral("/PLACTICE/"));
    QCOMPARE(f.folderCheck().failures(), before + 1);
    // Only the dialog is repaired; the settings learn it on saving.
    QCOMPARE(objKankyo->TestFilepath(), missing);
}

void tst_SettingsDialogs::browseStartsInTheGroupsFolder()
{
    load();
    frmKankyo& f = frmKankyo::instance();
    m_tree->mkdir(QStringLiteral("sub"));
    f.txtSubLogPath->setText(m_tree->file(QStringLiteral("sub")));
    f.txtSubLogName->setText(QStringLiteral("pass.log"));

    QString seenDir, seenName;
    auto lookAndCancel = [&](QDialog& d) {
        seenDir = DirPath;
        seenName = FileName;
        QMetaObject::invokeMethod(&d, "reject");
    };
    whileModal(lookAndCancel);
    f.cmdFile_Click(0);
    QCOMPARE(seenDir, m_logs);
    QCOMPARE(seenName, QStringLiteral("pelko.log"));
    whileModal(lookAndCancel);
    f.cmdFile_Click(1);
    QCOMPARE(seenDir, m_tree->file(QStringLiteral("sub")));
    QCOMPARE(seenName, QStringLiteral("pass.log"));

    // A name chosen there is taken over, the folder chosen there is not.
    whileModal([&](QDialog&) {
        frmFile::instance().txtFileName->setText(QStringLiteral("new.log"));
        frmFile::instance().cmdOk->click();
    });
    f.cmdFile_Click(1);
    QCOMPARE(f.txtSubLogName->text(), QStringLiteral("new.log"));
    QCOMPARE(f.txtSubLogPath->text(), m_tree->file(QStringLiteral("sub")));

    // Folder browsing for the practice group (index 3) starts in its box and fills it.
    f.optTestFilePath[1]->setChecked(true);
    whileModal([&](QDialog&) {
        seenDir = DirPath;
        frmDir::instance().txtDir->setText(m_tree->file(QStringLiteral("sub")));
        frmDir::instance().cmdOk->click();
    });
    f.cmdSansyo_Click(3);
    QCOMPARE(seenDir, m_app + QStringLiteral("/PLACTICE/"));
    QCOMPARE(f.txtTestFilePath->text(), m_tree->file(QStringLiteral("sub")));
    QVERIFY(m_messages->shown().isEmpty());
}

void tst_SettingsDialogs::saveRoundTripThroughTheFile()
{
    load();
    frmKankyo& f = frmKankyo::instance();
    m_tree->mkdir(QStringLiteral("mine"));
    const QString mine = m_tree->file(QStringLiteral("mine"));

    f.vscLastTime->setValue(55); // 6 minutes
    f.optChangeTime[0]->setChecked(true);
    f.vscSpeed->setValue(299); // 101
    f.optRandom[2]->setChecked(true);
    f.optFilePath[1]->setChecked(true);
    f.txtFilePath->setText(mine);
    f.txtLogName->setText(QStringLiteral("main.log"));
    f.optSubLog[0]->setChecked(true);
    f.txtSubLogPath->setText(mine + u'/');
    f.txtSubLogName->setText(QStringLiteral("pass.log"));
    f.optPaper[2]->setChecked(true);
    f.optRanking[1]->setChecked(true);
    f.txtBackColor->setText(QStringLiteral("&H102030"));
    f.cboBackMode->setCurrentIndex(1);
    f.txtProblemColor->setText(QStringLiteral("&H0000FF"));
    f.vscBaseFont->setValue(200);   // 10
    f.vscReturnFont->setValue(91);  // 0.5
    f.vscResultFont->setValue(195); // 10.5
    f.vscWindowSize->setValue(9);   // 91
    f.cmdOk_Click();
    QCOMPARE(m_messages->texts(), QStringList{kSaved});

    const clsKankyo k = reloaded();
    QCOMPARE(k.LastTime(), qint16(6));
    QVERIFY(k.ChangeTime());
    QCOMPARE(k.Speed(), qint16(101));
    QCOMPARE(k.SortMode(), QStringLiteral("SELECT"));
    QCOMPARE(k.Filepath(), mine + u'/'); // typed without "/"; loading adds it
    QCOMPARE(k.TestFilepath(), m_app + QStringLiteral("/PLACTICE/"));
    QCOMPARE(k.LogPath(), m_logs);
    QCOMPARE(k.LogName(), QStringLiteral("main.log"));
    QVERIFY(k.SubLog());
    QCOMPARE(k.SubLogPath(), mine + u'/');
    QCOMPARE(k.SubLogName(), QStringLiteral("pass.log"));
    QCOMPARE(k.PaperSize(), QStringLiteral("13"));
    QVERIFY(k.RankingMode());
    QCOMPARE(k.BackColor(), QStringLiteral("&H102030"));
    QCOMPARE(k.BackMode(), qint16(1));
    QCOMPARE(k.ProblemBackColor(), QStringLiteral("&HFFFFFF"));
    QCOMPARE(k.ProblemColor(), QStringLiteral("&H0000FF"));
    QCOMPARE(FontBase, 10.0f);
    QCOMPARE(FontReturn, 0.5f);
    QCOMPARE(FontResult, 10.5f);
    QCOMPARE(k.WindowSize, qint16(91));

    // Opening again shows exactly what was saved.
    *objKankyo = k;
    f.Form_Load();
    QCOMPARE(f.lblLastTime->text(), QStringLiteral("6"));
    QCOMPARE(f.lblReturnFont->text(), QStringLiteral("0.5"));
    QVERIFY(f.optRandom[2]->isChecked());
    QVERIFY(f.optFilePath[1]->isChecked());
    QVERIFY(f.cmdLogstyle->isEnabled());
}

void tst_SettingsDialogs::saveFailureSaysSo()
{
    // A store that never loaded refuses to write; the new values still hold in memory.
    frmKankyo& f = frmKankyo::instance();
    f.Form_Load();
    f.vscSpeed->setValue(389); // 11
    f.cmdOk_Click();
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("INIファイルの書き出しに失敗しました。\r"
                                        "終了後、ＩＮＩファイルの内容を確認してください。")});
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("失敗"));
    QCOMPARE(m_messages->shown().at(0).icon, MsgIcon::Critical);
    QCOMPARE(objKankyo->Speed(), qint16(11));
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("app/pelko.ini"))));
}

void tst_SettingsDialogs::cancelCopiesNothing()
{
    load();
    frmKankyo& f = frmKankyo::instance();
    f.vscSpeed->setValue(0);
    f.txtLogName->setText(QStringLiteral("other.log"));
    f.cmdCancel_Click();
    QCOMPARE(objKankyo->Speed(), qint16(25));
    QCOMPARE(objKankyo->LogName(), QStringLiteral("pelko.log"));
    QVERIFY(m_messages->shown().isEmpty());
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("app/pelko.ini"))));
}

void tst_SettingsDialogs::everyGroupReachableByTab()
{
    load();
    frmKankyo& f = frmKankyo::instance();
    f.show();
    QSet<QWidget*> chain;
    QWidget* w = &f;
    do {
        w = w->nextInFocusChain();
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(&f))
            chain.insert(w);
    } while (w != &f);
    const QList<QWidget*> wanted{
        f.vscLastTime,   f.optChangeTime[0], f.vscSpeed,      f.optRandom[0],  f.optPaper[0],
        f.optRanking[0], f.optFilePath[0],   f.chkDataPath,   f.txtFilePath,   f.optLogName[0],
        f.optSubLog[0],  f.cmdLogstyle,      f.txtSubLogName, f.txtBackColor,  f.cboBackMode,
        f.vscWindowSize, f.vscBaseFont,      f.vscReturnFont, f.vscResultFont, f.cmdOk,
        f.cmdCancel};
    for (QWidget* control : wanted)
        QVERIFY2(chain.contains(control),
                 qPrintable(control->accessibleName() + control->objectName()));
    f.hide();
}

void tst_SettingsDialogs::logStyleLists()
{
    objKankyo->LoadINI();
    frmLogStyle& d = frmLogStyle::instance();
    d.Form_Load();
    QCOMPARE(itemTexts(d.lstKoumoku), itemTexts(d.lstInsert));
    QCOMPARE(d.lstInsert->count(), 16);
    QCOMPARE(d.lstKoumoku->currentRow(), 0);

    // Already chosen: only the selection on the left moves on.
    d.cmdAdd_Click();
    QCOMPARE(d.lstInsert->count(), 16);
    QCOMPARE(d.lstKoumoku->currentRow(), 1);

    // Removing keeps a selection at the same place, or the last one at the end.
    d.lstInsert->setCurrentRow(2);
    d.cmdRemove_Click();
    QCOMPARE(d.lstInsert->count(), 15);
    QCOMPARE(d.lstInsert->currentItem()->text(), QStringLiteral("入力ユーザＩＤ"));
    d.lstInsert->setCurrentRow(14);
    d.cmdRemove_Click();
    QCOMPARE(d.lstInsert->currentRow(), 13);

    // Adding the removed time back appends it and selects the first entry.
    d.lstKoumoku->setCurrentRow(2);
    d.cmdAdd_Click();
    QCOMPARE(d.lstInsert->item(14)->text(), QStringLiteral("時間"));
    QCOMPARE(d.lstInsert->currentRow(), 0);
    QCOMPARE(d.lstKoumoku->currentRow(), 3);
    d.lstKoumoku->setCurrentRow(15);
    d.cmdAdd_Click();
    QCOMPARE(d.lstKoumoku->currentRow(), 15);

    // Cancel leaves the setting alone.
    d.cmdCancel_Click();
    QCOMPARE(objKankyo->LogStyle(), QStringLiteral("0123456789ABCDEF"));
}

void tst_SettingsDialogs::logStyleOkReportsUnwritableLog()
{
    objKankyo->LoadINI();
    objKankyo->setSubLogPath(m_tree->file(QStringLiteral("missing")) + u'/');
    frmLogStyle& d = frmLogStyle::instance();
    d.Form_Load();
    d.lstInsert->setCurrentRow(0);
    d.cmdRemove_Click();
    d.cmdOk_Click();
    QCOMPARE(m_messages->shown().size(), 1);
    QCOMPARE(m_messages->shown().at(0).title, QStringLiteral("ログ書き込みエラー"));
    QCOMPARE(objKankyo->LogStyle(), QStringLiteral("123456789ABCDEF"));
    QVERIFY(m_tree->read(QStringLiteral("app/pelko.ini")).contains("Style=123456789ABCDEF"));
}

void tst_SettingsDialogs::colorChooserBasics()
{
    cColor c;
    for (int i = 0; i < 16; ++i)
        QCOMPARE(c.CustomColorAt(i), 0xFFFFFF);
    c.setPickedColor(0x336699);
    QCOMPARE(c.RedByte(), quint8(0x99));
    QCOMPARE(c.GreenByte(), quint8(0x66));
    QCOMPARE(c.BlueByte(), quint8(0x33));
    for (const int bad : {-1, 16}) {
        c.setCustomColorAt(bad, 0x123456);
        QCOMPARE(c.CustomColorAt(bad), 0);
    }
    for (int i = 0; i < 16; ++i)
        QCOMPARE(c.CustomColorAt(i), 0xFFFFFF);
}

void tst_SettingsDialogs::colorChooserCancelAndConfirm()
{
    cColor c;
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
    QVERIFY(!c.PickColor(nullptr, cColor::RgbInit | cColor::FullOpen));
    QCOMPARE(shownStart, QColor(0x99, 0x66, 0x33));
    QCOMPARE(shownCustom, QColor(Qt::red));
    QCOMPARE(c.PickedColor(), 0x336699);
    QCOMPARE(c.CustomColorAt(5), 0xFFFFFF);

    whileModal([&](QDialog& d) {
        auto& dialog = static_cast<QColorDialog&>(d);
        QColorDialog::setCustomColor(5, QColor(1, 2, 3));
        dialog.setCurrentColor(QColor(0x10, 0x20, 0x30));
        const auto* box = dialog.findChild<QDialogButtonBox*>();
        QTest::mouseClick(box->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QVERIFY(c.PickColor(nullptr, cColor::RgbInit | cColor::FullOpen));
    QCOMPARE(c.PickedColor(), 0x302010);
    QCOMPARE(c.CustomColorAt(5), 0x030201);
    QCOMPARE(c.CustomColorAt(3), 0x0000FF);
}

void tst_SettingsDialogs::colourButtonCancelKeepsBox()
{
    load();
    frmKankyo& f = frmKankyo::instance();
    const auto before = f.customColors();
    QCOMPARE(before[1], 0x1FFFFF);
    f.txtProblemColor->setText(QStringLiteral("&H0080FF"));
    QColor start;
    whileModal([&](QDialog& d) {
        start = static_cast<QColorDialog&>(d).currentColor();
        QColorDialog::setCustomColor(0, Qt::black);
        d.reject();
    });
    f.cmdProblemColor_Click();
    QCOMPARE(start, QColor(0xFF, 0x80, 0x00));
    QCOMPARE(f.txtProblemColor->text(), QStringLiteral("&H0080FF"));
    QCOMPARE(f.customColors(), before);

    whileModal([&](QDialog& d) {
        QColorDialog::setCustomColor(0, Qt::black);
        static_cast<QColorDialog&>(d).setCurrentColor(QColor(0, 0, 0x0A));
        d.accept();
    });
    f.cmdProblemColor_Click();
    QCOMPARE(f.txtProblemColor->text(), QStringLiteral("&H0A0000"));
    QCOMPARE(f.customColors()[0], 0);
    QCOMPARE(f.customColors()[1], 0x1FFFFF);
}

void tst_SettingsDialogs::resolveColor()
{
    const cTransCol t;
    QCOMPARE(t.ResolveColor(0x123456), 0x123456);
    const QColor window = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    QCOMPARE(t.ResolveColor(qint32(0x80000005u)), qint32(ColorLiteral::colorToBgr(window)));
    QCOMPARE(t.ResolveColor(qint32(0x80000063u)), cTransCol::NoColor);
    QCOMPARE(t.ResolveColor(-1), cTransCol::NoColor);
}

void tst_SettingsDialogs::tenFailuresCloseTheDialog()
{
    // A missing practice folder with a usable default fails once per opening; the failures
    // add up over the openings and the tenth closes the dialog without saving.
    load();
    frmKankyo& f = frmKankyo::instance();
    objKankyo->setTestFilepath(m_tree->file(QStringLiteral("gone")));
    objKankyo->setSpeed(7);
    int openings = 0;
    while (f.folderCheck().failures() < 9) {
        const int before = f.folderCheck().failures();
        whileModal([](QDialog& d) { static_cast<frmKankyo&>(d).cmdCancel_Click(); });
        f.showModal();
        QCOMPARE(f.folderCheck().failures(), before + 1);
        QVERIFY(++openings < 10);
    }
    QVERIFY(f.folderCheck().failedBefore(KankyoRules::Practice));
    m_messages->clear();
    // The tenth failure comes at the first activation: no modal loop is entered.
    QCOMPARE(f.showModal(), int(QDialog::Rejected));
    QVERIFY(!f.isVisible());
    QCOMPARE(
        m_messages->texts(),
        (QStringList{QStringLiteral("仮にPelkoのフォルダに参照します。あとから見直してください"),
                     QStringLiteral("データファイルが正しくセットされているかどうかを確認して"
                                    "もう一度起動してください")}));
    QCOMPARE(objKankyo->Speed(), qint16(7));
    QVERIFY(!QFileInfo::exists(m_tree->file(QStringLiteral("app/pelko.ini"))));
}

QTEST_MAIN(tst_SettingsDialogs)
#include "tst_SettingsDialogs.moc"
