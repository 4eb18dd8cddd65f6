#include "DisplayPlatform.h"

#include <QString>
#include <QtGlobal>

namespace DisplayPlatform
{

static bool platformArgumentGiven(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        // Qt accepts both -platform and --platform, also in the name=value form.
        if (a == QLatin1String("-platform") || a == QLatin1String("--platform") ||
            a.startsWith(QLatin1String("-platform=")) || a.startsWith(QLatin1String("--platform=")))
            return true;
    }
    return false;
}

QByteArray forcedPlatform(const Session& session)
{
    if (!session.qpaPlatform.trimmed().isEmpty() || platformArgumentGiven(session.arguments))
        return {};
    const bool wayland =
        !session.waylandDisplay.isEmpty() || session.sessionType.trimmed().toLower() == "wayland";
    // Wayland stays as the fall-back: a desktop without XWayland still starts the program.
    return wayland ? QByteArrayLiteral("xcb;wayland") : QByteArray();
}

QString fallbackNotice(const QByteArray& forced, const QString& platformName)
{
    if (forced.isEmpty() || platformName != u"wayland")
        return {};
    return QStringLiteral("Pelko: XWayland が使えないため Wayland で表示しています。"
                          "入力メソッドが受け取ったキーはストローク数に数えられません。\n");
}

QByteArray chooseForSession(int argc, char** argv)
{
    Session session;
    session.qpaPlatform = qgetenv("QT_QPA_PLATFORM");
    session.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    session.sessionType = qgetenv("XDG_SESSION_TYPE");
    for (int i = 0; i < argc; ++i)
        session.arguments << QString::fromLocal8Bit(argv[i]);
    const QByteArray platform = forcedPlatform(session);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    // With shared memory, X11 windows wait for a round trip to the server before drawing again
    // where they drew last, which a key's echo always does: the echo would wait for it.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    return platform;
}

} // namespace DisplayPlatform
