#include "support/TempTree.h"
#include "support/WindowParts.h"

#include "platform/Printers.h"
#include "results/CurrentPrinter.h"
#include "results/PrinterDialog.h"
#include "settings/Settings.h"
#include "settings/SettingsText.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class tst_PrinterDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void texts();
    void printerList_data();
    void printerList();
    void paperMarked_data();
    void paperMarked();
    void selectLastsForThisRunOnly();
    void closingChangesNothing();

private:
    int markedPaper() const;
    std::unique_ptr<TempTree> m_tree;
    std::unique_ptr<ScopedEnv> m_appDir;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<PrinterDialog> m_dialog;
};

void tst_PrinterDialog::init()
{
    m_tree = std::make_unique<TempTree>();
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->path());
    m_settings = std::make_unique<Settings>();
    m_dialog = std::make_unique<PrinterDialog>(*m_settings);
    Printers::setProvider(
        [] {
            return QStringList{QStringLiteral("Alpha"), QStringLiteral("PDF"),
                               QStringLiteral("Zeta")};
        },
        [] { return QStringLiteral("PDF"); });
}

void tst_PrinterDialog::cleanup()
{
    Printers::setProvider({});
    m_dialog.reset();
    m_settings.reset();
    m_appDir.reset();
    m_tree.reset();
}

int tst_PrinterDialog::markedPaper() const
{
    const auto options = partsNamed<QRadioButton>(m_dialog, "paperButton");
    int marked = -1;
    for (int i = 0; i < options.size(); ++i) {
        if (options.at(i)->isChecked()) {
            if (marked >= 0)
                return -2; // two marked at once
            marked = i;
        }
    }
    return marked;
}

void tst_PrinterDialog::texts()
{
    PrinterDialog& form = *m_dialog;
    QCOMPARE(form.windowTitle(), QStringLiteral("プリンタの選択"));
    QCOMPARE(part<QLabel>(form, "promptLabel")->text(),
             QStringLiteral("使用するプリンタを選んで「選択」ボタンをクリックして下さい"));
    QCOMPARE(part<QLabel>(form, "settingsNoteLabel")->text(),
             QStringLiteral("　規定にする場合は環境設定で行ってください"));
    QCOMPARE(partsNamed<QRadioButton>(&form, "paperButton").size(), 3);
    QCOMPARE(partsNamed<QRadioButton>(&form, "paperButton").at(1)->text(), QStringLiteral("B4"));
    QVERIFY(part<QPushButton>(form, "selectButton")->text().isEmpty());
    QVERIFY(!part<QPushButton>(form, "selectButton")->icon().isNull());
}

void tst_PrinterDialog::printerList_data()
{
    QTest::addColumn<QStringList>("printers");
    QTest::addColumn<QString>("systemDefault");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("selected");
    const QStringList three{QStringLiteral("Zeta"), QStringLiteral("Alpha"), QStringLiteral("PDF")};
    QTest::newRow("system default") << three << QStringLiteral("PDF") << QString() << 2;
    QTest::newRow("default not installed") << three << QStringLiteral("Gone") << QString() << 0;
    QTest::newRow("names differ in case") << three << QStringLiteral("pdf") << QString() << 0;
    QTest::newRow("chosen this run")
        << three << QStringLiteral("PDF") << QStringLiteral("Alpha") << 1;
    QTest::newRow("no printer") << QStringList() << QString() << QString() << -1;
}

void tst_PrinterDialog::printerList()
{
    QFETCH(QStringList, printers);
    QFETCH(QString, systemDefault);
    QFETCH(QString, chosen);
    QFETCH(int, selected);
    Printers::setProvider([printers] { return printers; },
                          [systemDefault] { return systemDefault; });
    if (!chosen.isEmpty())
        m_settings->setPrinterName(chosen);
    PrinterDialog& form = *m_dialog;
    form.prepare();
    form.prepare(); // opened again: the list is refilled, not doubled
    QStringList shown;
    for (int i = 0; i < part<QComboBox>(form, "printerBox")->count(); ++i)
        shown << part<QComboBox>(form, "printerBox")->itemText(i);
    QCOMPARE(shown, printers); // the system's order
    QCOMPARE(part<QComboBox>(form, "printerBox")->currentIndex(), selected);
}

void tst_PrinterDialog::paperMarked_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("marked");
    QTest::newRow("A4") << QStringLiteral("9") << 0;
    QTest::newRow("B4") << QStringLiteral("12") << 1;
    QTest::newRow("B5") << QStringLiteral("13") << 2;
    QTest::newRow("other code") << QStringLiteral("5") << -1;
}

void tst_PrinterDialog::paperMarked()
{
    QFETCH(QString, setting);
    QFETCH(int, marked);
    PrinterDialog& form = *m_dialog;
    partsNamed<QRadioButton>(&form, "paperButton")
        .at(1)
        ->setChecked(true); // left from an earlier opening
    m_settings->setPaperSize(SettingsText::toPaperSize(setting));
    form.prepare();
    QCOMPARE(markedPaper(), marked);
}

void tst_PrinterDialog::selectLastsForThisRunOnly()
{
    PrinterDialog& form = *m_dialog;
    m_settings->setPaperSize(PaperSize::A4);
    form.prepare();
    part<QComboBox>(form, "printerBox")->setCurrentIndex(2);
    partsNamed<QRadioButton>(&form, "paperButton").at(2)->setChecked(true);
    part<QPushButton>(form, "selectButton")->click();
    QCOMPARE(CurrentPrinter::name(m_settings->printerName()), QStringLiteral("Zeta"));
    QCOMPARE(m_settings->paperSize(), PaperSize(PaperSize::B5));
    QVERIFY(!form.isVisible());
    QVERIFY(QDir(m_tree->path()).entryList(QDir::Files).isEmpty()); // no settings file

    // Nothing marked: the paper setting stays as it was.
    m_settings->setPaperSize(PaperSize::fromCode(5));
    form.prepare();
    QCOMPARE(part<QComboBox>(form, "printerBox")->currentText(), QStringLiteral("Zeta"));
    form.applyChoice();
    QCOMPARE(m_settings->paperSize(), PaperSize::fromCode(5));
}

void tst_PrinterDialog::closingChangesNothing()
{
    PrinterDialog& form = *m_dialog;
    m_settings->setPaperSize(PaperSize::A4);
    form.prepare();
    part<QComboBox>(form, "printerBox")->setCurrentIndex(0);
    partsNamed<QRadioButton>(&form, "paperButton").at(1)->setChecked(true);
    form.reject();
    QCOMPARE(CurrentPrinter::name(m_settings->printerName()), QStringLiteral("PDF"));
    QCOMPARE(m_settings->paperSize(), PaperSize(PaperSize::A4));
}

QTEST_MAIN(tst_PrinterDialog)
#include "tst_PrinterDialog.moc"
