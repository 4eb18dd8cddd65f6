#pragma once

// What the picture tools for docs/ share: the program's own font, and a fresh installation in
// a scratch folder so that every folder check passes.
#include "platform/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

inline void useProgramFont()
{
    QFont font = Fonts::proportional(0);
    font.setPointSize(11);
    QApplication::setFont(font);
}

// PELKO_APPDIR and APPDATA point into it.
struct ScratchInstallation {
    QTemporaryDir folder;

    ScratchInstallation()
    {
        const QDir root(folder.path());
        root.mkpath(QStringLiteral("app/DATA"));
        root.mkpath(QStringLiteral("app/PLACTICE"));
        root.mkpath(QStringLiteral("appdata/pelko"));
        qputenv("PELKO_APPDIR", folder.filePath(QStringLiteral("app")).toLocal8Bit());
        qputenv("APPDATA", folder.filePath(QStringLiteral("appdata")).toLocal8Bit());
    }
};
