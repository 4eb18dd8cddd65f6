#pragma once

#include <QList>
#include <QRectF>
#include <QString>

// A QR code as dark modules on a square grid (libqrencode, error correction level M: a
// printed sheet survives a fold, a smudge or a photo at an angle).
class QrCode
{
public:
    // Empty when the text is too long for any QR code.
    static QrCode encode(const QString& text);

    bool isEmpty() const { return m_size == 0; }
    // Modules along a side, without the quiet zone.
    int size() const { return m_size; }
    bool isDark(int x, int y) const { return m_modules[y * m_size + x]; }
    // The dark modules in a square of the given side (the quiet zone of four modules
    // included), each row's runs joined: few shapes for a printer.
    QList<QRectF> darkRects(const QRectF& square) const;

    static constexpr int QuietZone = 4;

private:
    int m_size = 0;
    QList<bool> m_modules;
};
