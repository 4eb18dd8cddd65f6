#include "common/Cp932.h"
#include "history/ClassLog.h"
#include "history/ClassLogModel.h"
#include "history/DateField.h"
#include "history/ProgressChart.h"
#include "history/ResultsBrowser.h"
#include "platform/MessageService.h"
#include "settings/Settings.h"
#include "support/TempTree.h"
#include "support/WindowParts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

class tst_ResultsBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void browsesFiltersAndExports()
    {
        TempTree tree;
        QByteArray log;
        const char* const users[] = {"\"A01\",\"佐藤\"", "\"B02\",\"伊藤\"", "\"A01\",\"佐藤\""};
        const char* const speeds[] = {"31", "52.5", "18"};
        for (int i = 0; i < 3; ++i)
            log += Cp932::encode(
                       QString(QString::number(i) +
                               QStringLiteral(",\"12-0%1-2026\",\"09:00:00\",").arg(i + 1) +
                               QString::fromUtf8(users[i]) +
                               QStringLiteral(",\"PC\",\"u\",\"jpn_dat.1\",%1,99,0,1,1,1,1,60\r\n")
                                   .arg(QString::fromUtf8(speeds[i]))))
                       .bytes;
        log += "torn,\"12";
        tree.write(QStringLiteral("pelko.log"), log);
        Settings settings;
        settings.setLogFolder(tree.path() + u'/');
        settings.setPassSpeed(30);

        ResultsBrowser browser(settings);
        browser.reload();
        QCOMPARE(part<ClassLogModel>(browser, "model")->rowCount(), 3);
        QCOMPARE(part<QTableWidget>(browser, "SummaryTable")->rowCount(), 2);
        QCOMPARE(part<ClassLogModel>(browser, "model")->index(0, 0).data().toString(),
                 QStringLiteral("0")); // log order
        QVERIFY(part<QStatusBar>(browser, "statusBar")
                    ->currentMessage()
                    .contains(QStringLiteral("16 列でない行 1 行")));

        part<QTableView>(browser, "ResultsTable")->sortByColumn(8, Qt::DescendingOrder);
        QCOMPARE(part<ClassLogModel>(browser, "model")->index(0, 8).data().toString(),
                 QStringLiteral("52.5"));

        // The period starts as the log's own; narrowing it takes effect once ticked.
        QCOMPARE(part<DateField>(browser, "fromEdit")->date(), QDate(2026, 12, 1));
        QCOMPARE(part<DateField>(browser, "toEdit")->date(), QDate(2026, 12, 3));
        part<DateField>(browser, "toEdit")->setDate(QDate(2026, 12, 2));
        QCOMPARE(part<ClassLogModel>(browser, "model")->rowCount(), 3);
        part<QCheckBox>(browser, "periodCheck")->setChecked(true);
        QCOMPARE(part<ClassLogModel>(browser, "model")->rowCount(), 2);
        part<QCheckBox>(browser, "periodCheck")->setChecked(false);

        part<QComboBox>(browser, "outcomeCombo")->setCurrentIndex(1); // passed: 30 and up
        QCOMPARE(part<ClassLogModel>(browser, "model")->rowCount(), 2);
        part<QComboBox>(browser, "outcomeCombo")->setCurrentIndex(0);
        part<QLineEdit>(browser, "userEdit")->setText(QStringLiteral("佐藤"));
        QTRY_COMPARE(part<ClassLogModel>(browser, "model")->rowCount(), 2);
        QCOMPARE(part<QTableWidget>(browser, "SummaryTable")->rowCount(), 1);
        // Still in the order asked for.
        QCOMPARE(part<ClassLogModel>(browser, "model")->index(0, 8).data().toString(),
                 QStringLiteral("31"));

        part<QTableView>(browser, "ResultsTable")->selectRow(1);
        QCOMPARE(browser.selectedUserId(), QStringLiteral("A01"));

        // The dialog may name the log itself; the export refuses it, the log stays.
        MessageRecorder messages;
        QVERIFY(!browser.exportTo(tree.file(QStringLiteral("./pelko.log"))));
        QCOMPARE(tree.read(QStringLiteral("pelko.log")), log);
        QVERIFY(messages.texts().join(u' ').contains(QStringLiteral("ログファイルそのもの")));

        const QString csv = tree.file(QStringLiteral("out.csv"));
        QVERIFY(browser.exportTo(csv));
        const QByteArray bytes = tree.read(QStringLiteral("out.csv"));
        QCOMPARE(bytes.count("\r\n"), 3);
        QVERIFY(bytes.contains(QStringLiteral("\r\n0,2026-12-01,09:00:00,A01,佐藤,").toUtf8()));
    }

    // Through the real field: keys as typed, or one commit from the input method.
    void datesAsTyped_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("committed");
        QTest::addColumn<QDate>("date");
        const QDate newYear(2025, 12, 31);
        QTest::newRow("digits only") << QStringLiteral("20251231") << QString() << newYear;
        QTest::newRow("slashes") << QStringLiteral("2025/12/31") << QString() << newYear;
        QTest::newRow("short parts")
            << QStringLiteral("2025-1-5") << QString() << QDate(2025, 1, 5);
        QTest::newRow("input method, full width")
            << QString() << QStringLiteral("２０２５ー１２ー３１") << newYear;
        QTest::newRow("input method, 年月日")
            << QString() << QStringLiteral("２０２５年１２月３１日") << newYear;
        QTest::newRow("no such day keeps the last")
            << QStringLiteral("2025-02-30") << QString() << QDate(2026, 12, 1);
    }

    void datesAsTyped()
    {
        QFETCH(QString, keys);
        QFETCH(QString, committed);
        QFETCH(QDate, date);
        DateField field;
        field.setDate(QDate(2026, 12, 1));
        field.show();
        field.setFocus();
        field.selectAll();
        QTest::keyClick(&field, Qt::Key_Delete);
        if (!keys.isEmpty())
            QTest::keyClicks(&field, keys);
        QInputMethodEvent commit;
        commit.setCommitString(committed);
        if (!committed.isEmpty())
            QApplication::sendEvent(&field, &commit);
        Q_EMIT field.editingFinished();
        QCOMPARE(field.date(), date);
        QCOMPARE(field.text(), date.toString(QStringLiteral("yyyy-MM-dd")));
    }

    void offersToReadAChangedLogAgain()
    {
        // A kernel file says it is longer than what it holds: read like a log cut meanwhile.
        const QFileInfo file(QStringLiteral("/sys/kernel/profiling"));
        if (!file.isFile() || file.size() < 64)
            QSKIP("no such file here");
        Settings settings;
        settings.setLogFolder(file.absolutePath() + u'/');
        settings.setLogName(file.fileName());
        MessageRecorder messages;
        messages.script({MessageAnswer::Yes, MessageAnswer::No});
        ResultsBrowser browser(settings);
        browser.reload();
        QCOMPARE(messages.shown().size(), 2); // read again after Yes, asked again
        QVERIFY(messages.texts().first().startsWith(QStringLiteral(
            "ログファイルが読み込み中に変更されました。\nもう一度読み込みますか？")));
        QVERIFY(part<QStatusBar>(browser, "statusBar")
                    ->currentMessage()
                    .contains(QStringLiteral("変更されました")));
    }

    void saysWhyTheDatabaseCannotBeRead()
    {
        Settings settings;
        settings.setDatabaseServer({{QStringLiteral("host"), QStringLiteral("127.0.0.1")},
                                    {QStringLiteral("port"), QStringLiteral("1")}});
        MessageRecorder messages;
        ResultsBrowser browser(settings);
        browser.reload();
        QCOMPARE(part<QTableView>(browser, "ResultsTable")->model()->rowCount(), 0);
        QVERIFY(part<QStatusBar>(browser, "statusBar")
                    ->currentMessage()
                    .startsWith(QStringLiteral("結果データベースを読めません: ")));
        QVERIFY(part<QComboBox>(browser, "siteCombo")->isVisibleTo(&browser));
        // Nothing read is nothing written: no empty file that looks like an export.
        TempTree tree;
        QVERIFY(!browser.exportTo(tree.file(QStringLiteral("out.csv"))));
        QVERIFY(!QFileInfo::exists(tree.file(QStringLiteral("out.csv"))));
    }

    void chartFindsItsPoints()
    {
        ProgressChart chart;
        chart.resize(600, 400);
        ProgressData data;
        data.bands = Scoring::gradeBands();
        QCOMPARE(chart.pointAt(QPointF(300, 200)), -1); // no records: nothing to hover
        data.points.append({QDateTime(QDate(2026, 12, 1), QTime(9, 0)), 40, 100, {}});
        chart.setData(data);
        // A single run sits in the middle; the rate's point is at the top.
        int found = -1;
        for (int y = 0; y < 400 && found < 0; y += 2)
            found = chart.pointAt(QPointF(chart.width() / 2.0, y));
        QCOMPARE(found, 0);
        QVERIFY(!chart.grab().isNull());

        // The last run stays left of the band names at the plot's right edge.
        data.points.append({QDateTime(QDate(2026, 12, 8), QTime(9, 0)), 40, 100, {}});
        chart.setData(data);
        int lastX = chart.width();
        for (found = -1; found != 1 && lastX > 0; --lastX)
            for (int y = 0; y < 400 && found != 1; y += 2)
                found = chart.pointAt(QPointF(lastX, y));
        const int rateAxis = chart.fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 16;
        const int name = chart.fontMetrics().horizontalAdvance(QStringLiteral("1級"));
        QVERIFY2(lastX < chart.width() - rateAxis - name, qPrintable(QString::number(lastX)));
    }
};

QTEST_MAIN(tst_ResultsBrowser)
#include "tst_ResultsBrowser.moc"
