#include "DisplayPlatform.h"

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
    return wayland ? QByteArrayLiteral("xcb") : QByteArray();
}

void chooseForSession(int argc, char** argv)
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
}

} // namespace DisplayPlatform
