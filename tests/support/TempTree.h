#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A scratch folder for one test, with helpers to lay out files in it.
class TempTree {
public:
    TempTree();

    QString path() const { return m_dir.path(); }
    QString file(const QString& relative) const;

    // Writes raw bytes, creating parent folders.
    void write(const QString& relative, const QByteArray& bytes) const;
    // Writes text as Shift-JIS, line ends as they are in the text.
    void writeCp932(const QString& relative, const QString& text) const;
    QByteArray read(const QString& relative) const;
    void mkdir(const QString& relative) const;

private:
    QTemporaryDir m_dir;
};

// Scoped environment variable for a test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value);
    ~ScopedEnv();

private:
    QByteArray m_name;
    QByteArray m_previousValue;
    bool m_wasSet;
};
