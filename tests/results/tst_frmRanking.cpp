#include "app/modPelko.h"
#include "results/clsUser.h"
#include "results/frmRanking.h"
#include "settings/clsKankyo.h"
#include "support/TempTree.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class tst_frmRanking : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void loadsTheLogIntoTheLabels();
    void longValuesEndInAnEllipsis_data();
    void longValuesEndInAnEllipsis();
};

void tst_frmRanking::loadsTheLogIntoTheLabels()
{
    TempTree tree;
    tree.writeCp932(QStringLiteral("PELKO.LOG"),
                    QStringLiteral("0,\"05-20-2005\",\"14:03:12\",\"A001\",\"山田\",\"PC\",\"u\","
                                   "\"jpn_dat.1\",85.5,97.25,3,257,260,35,12,180\r\n"
                                   "1,\"05-21-2005\",\"09:00:00\",\"B002\",\"佐藤\",\"PC\",\"u\","
                                   "\"jpn_dat.2\",120,.5,3,257,260,35,12,60\r\n"));
    objKankyo = std::make_unique<clsKankyo>();
    objKankyo->setLogPath(tree.path());
    objKankyo->setLogName(QStringLiteral("pelko.log"));

    frmRanking& form = frmRanking::instance();
    form.lblUserName[5]->setText(QStringLiteral("stale"));
    form.Form_Load();
    QCOMPARE(form.windowTitle(), QStringLiteral("ランキング情報"));
    QCOMPARE(form.lblNum.size(), 10);
    QCOMPARE(form.lblNum[0]->text(), QStringLiteral("1:"));
    QCOMPARE(form.lblNum[9]->text(), QStringLiteral("10:"));
    QCOMPARE(form.lblSeidaTitle->text(), QStringLiteral("正打率"));
    const QStringList row0 = {form.lblUserID[0]->text(), form.lblUserName[0]->text(),
                              form.lblDate[0]->text(),   form.lblSpeed[0]->text(),
                              form.lblSeida[0]->text(),  form.lblTime[0]->text()};
    QCOMPARE(row0, QStringList({QStringLiteral("B002"), QStringLiteral("佐藤"),
                                QStringLiteral("05-21-2005"), QStringLiteral("120"),
                                QStringLiteral("0.5"), QStringLiteral("60")}));
    QCOMPARE(form.lblSpeed[1]->text(), QStringLiteral("85.5"));
    QCOMPARE(form.lblUserName[5]->text(), QString());
    QVERIFY(form.cmdReturn->text().isEmpty());
    QVERIFY(!form.cmdReturn->icon().pixmap(QSize(64, 64)).isNull());
    QCOMPARE(form.cmdReturn->accessibleName(), QStringLiteral("閉じる"));

    form.show();
    QVERIFY(form.isVisible());
    QTest::mouseClick(form.cmdReturn, Qt::LeftButton);
    QVERIFY(!form.isVisible());
    objKankyo.reset();
}

void tst_frmRanking::longValuesEndInAnEllipsis_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::newRow("half-width") << QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")
                                << QStringLiteral("Jugemu Jugemu Gokou no Surikire Kaijari");
    QTest::newRow("full-width") << QStringLiteral("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰ")
                                << QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水行末");
}

void tst_frmRanking::longValuesEndInAnEllipsis()
{
    QFETCH(QString, id);
    QFETCH(QString, name);
    TempTree tree;
    tree.writeCp932(
        QStringLiteral("pelko.log"),
        QStringLiteral("0,\"05-20-2005\",\"14:03:12\",\"") + id + u"\",\"" + name +
            QStringLiteral("\",\"PC\",\"u\",\"jpn_dat.1\",85.5,97.25,3,257,260,35,12,180\r\n"
                           "1,\"05-21-2005\",\"09:00:00\",\"B002\",\"佐藤\",\"PC\","
                           "\"u\",\"jpn_dat.2\",80,90,3,257,260,35,12,60\r\n"));
    objKankyo = std::make_unique<clsKankyo>();
    objKankyo->setLogPath(tree.path());
    objKankyo->setLogName(QStringLiteral("pelko.log"));

    frmRanking& form = frmRanking::instance();
    form.Form_Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QList<std::pair<QLabel*, QString>> cells = {{form.lblUserID[0], id},
                                                      {form.lblUserName[0], name}};
    for (const auto& [label, full] : cells) {
        const QString shown = label->text();
        QVERIFY2(shown.endsWith(u'…'), qPrintable(shown));
        QVERIFY2(full.startsWith(shown.chopped(1)), qPrintable(shown));
        QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width());
        QCOMPARE(label->toolTip(), full);
    }
    // The short values of the next row are left alone, in the same column.
    QCOMPARE(form.lblUserID[1]->text(), QStringLiteral("B002"));
    QCOMPARE(form.lblUserName[1]->text(), QStringLiteral("佐藤"));
    QCOMPARE(form.lblUserName[1]->width(), form.lblUserName[0]->width());
    form.hide();
    objKankyo.reset();
}

QTEST_MAIN(tst_frmRanking)
#include "tst_frmRanking.moc"
