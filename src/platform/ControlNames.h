#pragma once

#include <QString>
#include <QWidget>

#include <initializer_list>
#include <utility>

// Gives each control its object name, by which tools and tests find it.
inline void nameControls(std::initializer_list<std::pair<QWidget*, const char*>> controls)
{
    for (const auto& [control, name] : controls)
        control->setObjectName(QLatin1StringView(name));
}
