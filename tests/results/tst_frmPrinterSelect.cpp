#include "support/TempTree.h"

#include "app/modPelko.h"
#include "platform/Printers.h"
#include "results/CurrentPrinter.h"
#include "results/frmPrinterSelect.h"
#include "settings/clsKankyo.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class tst_frmPrinterSelect : public QObject
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
};

void tst_frmPrinterSelect::init()
{
    m_tree = std::make_unique<TempTree>();
    m_appDir = std::make_unique<ScopedEnv>("PELKO_APPDIR", m_tree->path());
    objKankyo = std::make_unique<clsKankyo>();
    Printers::setProvider(
        [] {
            return QStringList{QStringLiteral("Alpha"), QStringLiteral("PDF"),
                               QStringLiteral("Zeta")};
        },
        [] { return QStringLiteral("PDF"); });
}

void tst_frmPrinterSelect::cleanup()
{
    Printers::setProvider({});
    CurrentPrinter::reset();
    objKankyo.reset();
    m_appDir.reset();
    m_tree.reset();
}

int tst_frmPrinterSelect::markedPaper() const
{
    const auto& options = frmPrinterSelect::instance().optPaper;
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

void tst_frmPrinterSelect::texts()
{
    frmPrinterSelect& form = frmPrinterSelect::instance();
    QCOMPARE(form.windowTitle(), QStringLiteral("プリンタの選択"));
    QCOMPARE(form.lblSelect->text(),
             QStringLiteral("使用するプリンタを選んで「選択」ボタンをクリックして下さい"));
    QCOMPARE(form.lblPrComment2->text(),
             QStringLiteral("　規定にする場合は環境設定で行ってください"));
    QCOMPARE(form.optPaper.size(), 3);
    QCOMPARE(form.optPaper.at(1)->text(), QStringLiteral("B4"));
    QVERIFY(form.cmdSelect->text().isEmpty());
    QVERIFY(!form.cmdSelect->icon().isNull());
}

void tst_frmPrinterSelect::printerList_data()
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

void tst_frmPrinterSelect::printerList()
{
    QFETCH(QStringList, printers);
    QFETCH(QString, systemDefault);
    QFETCH(QString, chosen);
    QFETCH(int, selected);
    Printers::setProvider([printers] { return printers; },
                          [systemDefault] { return systemDefault; });
    if (!chosen.isEmpty())
        CurrentPrinter::choose(chosen);
    frmPrinterSelect& form = frmPrinterSelect::instance();
    form.prepare();
    form.prepare(); // opened again: the list is refilled, not doubled
    QStringList shown;
    for (int i = 0; i < form.cbxPrinter->count(); ++i)
        shown << form.cbxPrinter->itemText(i);
    QCOMPARE(shown, printers); // the system's order
    QCOMPARE(form.cbxPrinter->currentIndex(), selected);
}

void tst_frmPrinterSelect::paperMarked_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("marked");
    QTest::newRow("A4") << QStringLiteral("9") << 0;
    QTest::newRow("B4") << QStringLiteral("12") << 1;
    QTest::newRow("B5") << QStringLiteral("13") << 2;
    QTest::newRow("other code") << QStringLiteral("5") << -1;
}

void tst_frmPrinterSelect::paperMarked()
{
    QFETCH(QString, setting);
    QFETCH(int, marked);
    frmPrinterSelect& form = frmPrinterSelect::instance();
    form.optPaper.at(1)->setChecked(true); // left from an earlier opening
    objKankyo->setPaperSize(setting);
    form.prepare();
    QCOMPARE(markedPaper(), marked);
}

void tst_frmPrinterSelect::selectLastsForThisRunOnly()
{
    frmPrinterSelect& form = frmPrinterSelect::instance();
    objKankyo->setPaperSize(QStringLiteral("9"));
    form.prepare();
    form.cbxPrinter->setCurrentIndex(2);
    form.optPaper.at(2)->setChecked(true);
    form.cmdSelect->click();
    QCOMPARE(CurrentPrinter::name(), QStringLiteral("Zeta"));
    QCOMPARE(objKankyo->PaperSize(), QStringLiteral("13"));
    QVERIFY(!form.isVisible());
    QVERIFY(QDir(m_tree->path()).entryList(QDir::Files).isEmpty()); // no settings file

    // Nothing marked: the paper setting stays as it was.
    objKankyo->setPaperSize(QStringLiteral("5"));
    form.prepare();
    QCOMPARE(form.cbxPrinter->currentText(), QStringLiteral("Zeta"));
    form.cmdSelect_Click();
    QCOMPARE(objKankyo->PaperSize(), QStringLiteral("5"));
}

void tst_frmPrinterSelect::closingChangesNothing()
{
    frmPrinterSelect& form = frmPrinterSelect::instance();
    objKankyo->setPaperSize(QStringLiteral("9"));
    form.prepare();
    form.cbxPrinter->setCurrentIndex(0);
    form.optPaper.at(1)->setChecked(true);
    form.reject();
    QCOMPARE(CurrentPrinter::name(), QStringLiteral("PDF"));
    QCOMPARE(objKankyo->PaperSize(), QStringLiteral("9"));
}

QTEST_MAIN(tst_frmPrinterSelect)
#include "tst_frmPrinterSelect.moc"
