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
    QTest::newRow("x11 session") << QByteArray() << QByteArray() << QByteArray("x11") << plain
                                 << QByteArray();
    QTest::newRow("no session type")
        << QByteArray() << QByteArray() << QByteArray() << plain << QByteArray();
    QTest::newRow("wayland display")
        << QByteArray() << QByteArray("wayland-0") << QByteArray() << plain << QByteArray("xcb");
    QTest::newRow("wayland session type")
        << QByteArray() << QByteArray() << QByteArray("Wayland") << plain << QByteArray("xcb");
    QTest::newRow("user chose wayland") << QByteArray("wayland") << QByteArray("wayland-0")
                                        << QByteArray("wayland") << plain << QByteArray();
    QTest::newRow("empty choice is no choice")
        << QByteArray(" ") << QByteArray("wayland-0") << QByteArray() << plain << QByteArray("xcb");
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
        << QStringList{QStringLiteral("-platform")} << QByteArray("xcb");
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
}

QTEST_APPLESS_MAIN(tst_DisplayPlatform)
#include "tst_DisplayPlatform.moc"
