#include "app/frmSentaku.h"
#include "app/modPelko.h"
#include "settings/clsKankyo.h"

#include <QPushButton>
#include <QTest>

// The main menu adapts its column of buttons to the two display switches, once.
class tst_frmSentaku : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { objKankyo = std::make_unique<clsKankyo>(); }
    void cleanup() { objKankyo.reset(); }
    void layoutOnFirstActivation_data();
    void layoutOnFirstActivation();
    void laterActivationsMoveNothing();
};

void tst_frmSentaku::layoutOnFirstActivation_data()
{
    QTest::addColumn<bool>("plactice");
    QTest::addColumn<bool>("kankyo");
    QTest::addColumn<QList<int>>("tops"); // -1 = hidden; order: rensyu nintei ranking kankyo end
    QTest::addColumn<int>("height");
    QTest::newRow("all five") << true << true << QList<int>{0, 56, 112, 168, 224} << 280;
    QTest::newRow("no practice") << false << true << QList<int>{-1, 0, 56, 112, 168} << 224;
    QTest::newRow("no settings") << true << false << QList<int>{0, 56, 112, -1, 168} << 224;
    QTest::newRow("neither") << false << false << QList<int>{-1, 0, 56, -1, 112} << 168;
}

void tst_frmSentaku::layoutOnFirstActivation()
{
    QFETCH(bool, plactice);
    QFETCH(bool, kankyo);
    QFETCH(QList<int>, tops);
    QFETCH(int, height);
    objKankyo->setShowPlactice(plactice);
    objKankyo->setShowKankyo(kankyo);
    frmSentaku& form = frmSentaku::instance();
    form.Form_Load();
    form.show();
    const QList<QPushButton*> buttons{form.cmdRensyu, form.cmdNintei, form.cmdRanking,
                                      form.cmdKankyo, form.cmdEnd};
    for (int i = 0; i < buttons.size(); ++i) {
        if (tops[i] < 0) {
            QVERIFY2(buttons[i]->isHidden(), qPrintable(buttons[i]->objectName()));
        } else {
            QVERIFY2(!buttons[i]->isHidden(), qPrintable(buttons[i]->objectName()));
            QCOMPARE(buttons[i]->y(), tops[i]);
            QCOMPARE(buttons[i]->height(), 56);
        }
    }
    QCOMPARE(form.height(), height);
    form.hide();
}

void tst_frmSentaku::laterActivationsMoveNothing()
{
    objKankyo->setShowPlactice(false);
    objKankyo->setShowKankyo(false);
    frmSentaku& form = frmSentaku::instance();
    form.Form_Load();
    form.show();
    form.hide();
    form.show();
    form.Form_Activate();
    QCOMPARE(form.cmdEnd->y(), 112);
    QCOMPARE(form.height(), 168);
    form.hide();
}

QTEST_MAIN(tst_frmSentaku)
#include "tst_frmSentaku.moc"
