#include "FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace Fuzz
{

void fail(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "\n*** invariant broken at %s:%d: %s\n", file, line, what);
    std::fflush(stderr);
    __builtin_trap();
}

const QString& scratchFolder()
{
    // Files live in memory where the system offers it: every run writes one.
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        const QString shm = QStringLiteral("/dev/shm");
        const QString base = QDir(shm).exists() ? shm : QDir::tempPath();
        auto made = std::make_unique<QTemporaryDir>(base + QStringLiteral("/pelko-fuzz-XXXXXX"));
        if (!made->isValid())
            fail("scratch folder", __FILE__, __LINE__);
        return made;
    }();
    static const QString path = dir->path();
    return path;
}

void writeFile(const QString& path, QByteArrayView bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size())
        fail("write scratch file", __FILE__, __LINE__);
}

QByteArray Bytes::take(size_t length)
{
    const size_t n = length < remaining() ? length : remaining();
    QByteArray out(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(n));
    m_pos += n;
    return out;
}

} // namespace Fuzz
