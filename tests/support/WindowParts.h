#pragma once

// Tests reach a window's parts as a user's tools do: by their object names.
#include <QAction>
#include <QMenu>
#include <QObject>
#include <QTest>

#include <memory>
#include <source_location>

// A missing part fails the test that asked for it, at the caller's line, and not the whole
// program: the test goes on with a stand-in no window holds and stops at its next check.
template <typename T>
T* part(const QObject* window, const char* name,
        std::source_location where = std::source_location::current())
{
    if (T* found = window ? window->findChild<T*>(QLatin1String(name)) : nullptr)
        return found;
    const QByteArray why = QByteArray("no part named ") + name;
    QTest::qFail(why.constData(), where.file_name(), int(where.line()));
    static T* const standIn = new T;
    return standIn;
}

template <typename T>
T* part(const QObject& window, const char* name,
        std::source_location where = std::source_location::current())
{
    return part<T>(&window, name, where);
}

template <typename T, typename W>
T* part(const std::unique_ptr<W>& window, const char* name,
        std::source_location where = std::source_location::current())
{
    return part<T>(window.get(), name, where);
}

// The index-th of a row of like parts, named name0, name1, …
template <typename T, typename W>
T* part(const W& window, const char* name, int index,
        std::source_location where = std::source_location::current())
{
    const QByteArray indexed = QByteArray(name) + QByteArray::number(index);
    return part<T>(window, indexed.constData(), where);
}

// Every part of such a row, in index order.
template <typename T, typename W> QList<T*> partsNamed(const W& window, const char* name)
{
    QList<T*> found;
    for (int index = 0;; ++index) {
        const QByteArray indexed = QByteArray(name) + QByteArray::number(index);
        T* next = window->template findChild<T*>(QLatin1String(indexed));
        if (!next)
            return found;
        found.append(next);
    }
}
