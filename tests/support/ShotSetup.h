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

// PELKO_APPDIR and APPDATA point into it. The folder's name is always the same, as the
// settings window shows it and pictures made at different times are compared.
struct ScratchInstallation {
    QDir root{QDir::temp().filePath(QStringLiteral("pelko-shot"))};

    ScratchInstallation()
    {
        root.removeRecursively();
        root.mkpath(QStringLiteral("app/DATA"));
        root.mkpath(QStringLiteral("app/PLACTICE"));
        root.mkpath(QStringLiteral("appdata/pelko"));
        qputenv("PELKO_APPDIR", root.filePath(QStringLiteral("app")).toLocal8Bit());
        qputenv("APPDATA", root.filePath(QStringLiteral("appdata")).toLocal8Bit());
    }
    ~ScratchInstallation() { root.removeRecursively(); }
};
