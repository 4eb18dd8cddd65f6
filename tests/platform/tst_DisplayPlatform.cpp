#include "platform/DisplayPlatform.h"

#include <QTest>

class tst_DisplayPlatform : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void forcedPlatform_data();
    void forcedPlatform();
};

void tst_DisplayPlatform::forcedPlatform_data()
{
    QTest::addColumn<QByteArray>("qpa");
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("expected");

    const QStringList plain{QStringLiteral("pelko")};
    const QByteArray xwayland("xcb;wayland");
    QTest::newRow("x11 session") << QByteArray() << QByteArray() << QByteArray("x11") << plain
                                 << QByteArray();
    QTest::newRow("no session type")
        << QByteArray() << QByteArray() << QByteArray() << plain << QByteArray();
    QTest::newRow("wayland display")
        << QByteArray() << QByteArray("wayland-0") << QByteArray() << plain << xwayland;
    QTest::newRow("wayland session type")
        << QByteArray() << QByteArray() << QByteArray("Wayland") << plain << xwayland;
    QTest::newRow("user chose wayland") << QByteArray("wayland") << QByteArray("wayland-0")
                                        << QByteArray("wayland") << plain << QByteArray();
    QTest::newRow("empty choice is no choice")
        << QByteArray(" ") << QByteArray("wayland-0") << QByteArray() << plain << xwayland;
    QTest::newRow("platform argument")
        << QByteArray() << QByteArray("wayland-0") << QByteArray()
        << QStringList{QStringLiteral("pelko"), QStringLiteral("-platform"),
                       QStringLiteral("wayland")}
        << QByteArray();
    QTest::newRow("double-dash argument")
        << QByteArray() << QByteArray("wayland-0") << QByteArray()
        << QStringList{QStringLiteral("pelko"), QStringLiteral("--platform=wayland")}
        << QByteArray();
    // Only an option counts, not a word that happens to be the program's name.
    QTest::newRow("program named like the option")
        << QByteArray() << QByteArray("wayland-0") << QByteArray()
        << QStringList{QStringLiteral("-platform")} << xwayland;
}

void tst_DisplayPlatform::forcedPlatform()
{
    QFETCH(QByteArray, qpa);
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QByteArray, sessionType);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, expected);
    const DisplayPlatform::Session session{qpa, waylandDisplay, sessionType, arguments};
    QCOMPARE(DisplayPlatform::forcedPlatform(session), expected);
    // Only when Qt had to fall back from XWayland is the user told what is lost.
    QCOMPARE(DisplayPlatform::fallbackNotice(expected, QStringLiteral("wayland")).isEmpty(),
             expected.isEmpty());
    QVERIFY(DisplayPlatform::fallbackNotice(expected, QStringLiteral("xcb")).isEmpty());
}

QTEST_APPLESS_MAIN(tst_DisplayPlatform)
#include "tst_DisplayPlatform.moc"
