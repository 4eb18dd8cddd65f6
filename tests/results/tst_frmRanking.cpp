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

QTEST_MAIN(tst_frmRanking)
#include "tst_frmRanking.moc"
