#include "platform/SharpStyle.h"

#include <QImage>
#include <QPixmap>
#include <QTest>

class tst_SharpStyle : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void messagePicturesAtFullResolution_data();
    void messagePicturesAtFullResolution();
    void otherPicturesFromTheDesktopStyle();
};

void tst_SharpStyle::messagePicturesAtFullResolution_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("information") << int(QStyle::SP_MessageBoxInformation);
    QTest::newRow("warning") << int(QStyle::SP_MessageBoxWarning);
    QTest::newRow("critical") << int(QStyle::SP_MessageBoxCritical);
    QTest::newRow("question") << int(QStyle::SP_MessageBoxQuestion);
}

// At 200 % a 32-point picture needs 64 device pixels of its own, not 32 stretched.
void tst_SharpStyle::messagePicturesAtFullResolution()
{
    QFETCH(int, which);
    SharpStyle style;
    const QIcon icon = style.standardIcon(QStyle::StandardPixmap(which));
    for (qreal scale : {1.0, 1.5, 2.0}) {
        const QPixmap pixmap = icon.pixmap(QSize(32, 32), scale);
        QCOMPARE(pixmap.size(), QSize(32, 32) * scale);
        QCOMPARE(pixmap.devicePixelRatio(), scale);
        // Something is drawn in the middle, and the corners stay clear.
        const QImage image = pixmap.toImage();
        QCOMPARE(qAlpha(image.pixel(image.width() / 2, image.height() * 3 / 4)), 255);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }
}

void tst_SharpStyle::otherPicturesFromTheDesktopStyle()
{
    SharpStyle style;
    QVERIFY(!style.standardIcon(QStyle::SP_DirIcon).isNull());
    QVERIFY(!style.standardIcon(QStyle::SP_ArrowBack).isNull());
}

QTEST_MAIN(tst_SharpStyle)
#include "tst_SharpStyle.moc"
