#pragma once

#include <QtGlobal>

// Turns a stored colour value (0x00BBGGRR, or 0x80000000 + index for a system colour)
// into a plain RGB value.
class SystemColor
{
public:
    static constexpr qint32 NoColor = -1;

    // Plain values pass through, system-colour indexes become the desktop's current colour;
    // NoColor when the value names no colour.
    qint32 resolve(qint32 color) const;
};
