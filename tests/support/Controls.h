#pragma once

#include <QWidget>

// A control of a window, found by its object name; the test stops when there is none.
template <typename T> T* control(const QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1StringView(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}
