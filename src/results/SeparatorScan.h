#pragma once

#include <QtGlobal>

// Where a piece of a log (at most 4 GiB) has its commas and line ends (CR or LF), and how
// many commas come before each line end. The LF of a CR LF is no line end of its own. The
// caller gives room for one entry per byte and SpareEntries more.
struct SeparatorList {
    quint32* commaAt = nullptr;
    quint32* lineEndAt = nullptr;
    quint32* commasBefore = nullptr;
    qsizetype commaCount = 0;
    qsizetype lineEndCount = 0;
};

namespace SeparatorScan
{
constexpr int SpareEntries = 12;

// Fills list from bytes, with the widest instructions this processor has.
void list(const char* bytes, qsizetype size, SeparatorList& list);

// The two ways list() may take, for comparing them: sixteen bytes at a time on any x86-64
// processor (byte by byte elsewhere), and thirty-two with AVX2 where wideAvailable().
void listPortable(const char* bytes, qsizetype size, SeparatorList& list);
void listWide(const char* bytes, qsizetype size, SeparatorList& list);
bool wideAvailable();
} // namespace SeparatorScan
