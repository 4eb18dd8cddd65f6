#pragma once

#include "IniFile.h"

#include <QString>

// The administrator's pelko.ini (/etc/xdg/pelko/pelko.ini on an installed system): its values
// hold for every user whose own file does not set the key. Fixed values follow KDE's
// immutable keys: "gspd[$i]=30" fixes one key, a section headed "[default][$i]" fixes all of
// its keys; a user's own file cannot change a fixed value.
class SiteSettings
{
public:
    // An empty path: no site file.
    explicit SiteSettings(const QString& path = QString());

    struct Value {
        bool found = false;
        bool fixed = false;
        QString text;  // as a read takes it
        QString whole; // as the file holds it
    };
    Value value(QStringView section, QStringView key) const;
    bool hasFixedValues() const { return m_hasFixed; }

private:
    IniFile m_file;
    bool m_hasFixed = false;
};
