#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The stroke counter reads the key presses the input method consumes from X11 events; a
// native Wayland window never sees them. On a Wayland session the program therefore runs
// through XWayland where there is one, unless the user named a platform himself.
namespace DisplayPlatform
{

struct Session {
    QByteArray qpaPlatform;    // QT_QPA_PLATFORM
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray sessionType;    // XDG_SESSION_TYPE
    QStringList arguments;     // the command line, program name first
};

// The platform to force, or empty to leave Qt's own choice.
QByteArray forcedPlatform(const Session& session);

// Reads the session from the environment and sets QT_QPA_PLATFORM where needed, and turns off
// X11 shared-memory drawing (see the source); call it before the application object exists.
// Returns the platform it set, if any.
QByteArray chooseForSession(int argc, char** argv);

// What to tell on standard error when the platform set could not be XWayland's and Qt
// took the platform it ended on (platformName); empty when there is nothing to tell.
QString fallbackNotice(const QByteArray& forced, const QString& platformName);

} // namespace DisplayPlatform
