#include "TempTree.h"

#include "common/Cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

TempTree::TempTree() { QVERIFY2(m_dir.isValid(), "cannot create a temporary folder"); }

QString TempTree::file(const QString& relative) const { return m_dir.filePath(relative); }

void TempTree::write(const QString& relative, const QByteArray& bytes) const
{
    const QString full = file(relative);
    QDir().mkpath(QFileInfo(full).path());
    QFile target(full);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(full));
    target.write(bytes);
}

void TempTree::writeCp932(const QString& relative, const QString& text) const
{
    const Cp932::Encoded encoded = Cp932::encode(text);
    if (!encoded.ok)
        qFatal("test text not representable in CP932");
    write(relative, encoded.bytes);
}

QByteArray TempTree::read(const QString& relative) const
{
    QFile source(file(relative));
    if (!source.open(QIODevice::ReadOnly))
        return {};
    return source.readAll();
}

void TempTree::mkdir(const QString& relative) const { QDir().mkpath(file(relative)); }

ScopedEnv::ScopedEnv(const char* name, const QString& value)
    : m_name(name), m_previousValue(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name))
{
    qputenv(name, value.toUtf8());
}

ScopedEnv::~ScopedEnv()
{
    if (m_wasSet)
        qputenv(m_name.constData(), m_previousValue);
    else
        qunsetenv(m_name.constData());
}
