#pragma once

#include <QByteArray>
#include <QStringList>

// The stroke counter reads the key presses the input method consumes from X11 events; a
// native Wayland window never sees them. On a Wayland session the program therefore runs
// through XWayland, unless the user named a platform himself.
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

// Reads the session from the environment and sets QT_QPA_PLATFORM where needed; call it
// before the application object exists.
void chooseForSession(int argc, char** argv);

} // namespace DisplayPlatform
