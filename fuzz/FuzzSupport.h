#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>

// Shared by the fuzz targets: failing loudly, a scratch folder and a reader of fuzz bytes.
namespace Fuzz
{

// Prints what broke and traps, so libFuzzer keeps the input.
[[noreturn]] void fail(const char* what, const char* file, int line);

// A folder of this process for the files a target writes; created on first use, removed at exit.
const QString& scratchFolder();

// Replaces the file's content; traps when the scratch folder cannot be written.
void writeFile(const QString& path, QByteArrayView bytes);

// Takes the fuzz bytes apart from the front; past the end every read gives zero.
class Bytes
{
public:
    Bytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }
    size_t remaining() const { return m_size - m_pos; }
    uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t word() { return uint16_t(byte() | (byte() << 8)); }
    // Up to length bytes, fewer at the end.
    QByteArray take(size_t length);
    QByteArray rest() { return take(remaining()); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace Fuzz

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::Fuzz::fail(#cond, __FILE__, __LINE__);                                               \
    } while (false)
