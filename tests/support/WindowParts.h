#pragma once

// Tests reach a window's parts as a user's tools do: by their object names.
#include <QAction>
#include <QMenu>
#include <QObject>
#include <QTest>

#include <memory>

// A missing part fails the test that asked for it, not the whole program: the test goes on
// with a stand-in no window holds and stops at its next check.
template <typename T> T* part(const QObject* window, const char* name)
{
    if (T* found = window->findChild<T*>(QLatin1String(name)))
        return found;
    QTest::qFail(QByteArray("no part named ").append(name).constData(), __FILE__, __LINE__);
    static T* const standIn = new T;
    return standIn;
}

template <typename T> T* part(const QObject& window, const char* name)
{
    return part<T>(&window, name);
}

template <typename T, typename W> T* part(const std::unique_ptr<W>& window, const char* name)
{
    return part<T>(window.get(), name);
}

// The index-th of a row of like parts, named name0, name1, …
template <typename T, typename W> T* part(const W& window, const char* name, int index)
{
    const QByteArray indexed = QByteArray(name) + QByteArray::number(index);
    return part<T>(window, indexed.constData());
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
