#pragma once

#include <QtGlobal>

#include <array>

class QWidget;

// The colour chooser: a current colour and sixteen custom colours handed to the toolkit's
// colour dialog and taken back from it. Colours are 0x00BBGGRR values.
class cColor
{
public:
    // Flags of PickColor: start from PickedColor; open with the custom colours shown.
    static constexpr quint32 RgbInit = 1;
    static constexpr quint32 FullOpen = 2;

    cColor();

    // Runs the colour dialog modally; true when the operator confirmed a colour.
    bool PickColor(QWidget* owner, quint32 flags);

    qint32 PickedColor() const { return m_PickedColor; }
    void setPickedColor(qint32 color) { m_PickedColor = color; }

    // Entry 0 … 15 of the custom colours, resolved to plain RGB; other indexes read 0 and
    // ignore writes.
    qint32 CustomColorAt(int index) const;
    void setCustomColorAt(int index, qint32 color);

    quint8 RedByte() const { return quint8(m_PickedColor & 0xFF); }
    quint8 GreenByte() const { return quint8((m_PickedColor >> 8) & 0xFF); }
    quint8 BlueByte() const { return quint8((m_PickedColor >> 16) & 0xFF); }

private:
    qint32 m_PickedColor = 0;
    std::array<qint32, 16> m_custom;
};
