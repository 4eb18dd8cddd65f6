#pragma once

#include <QtGlobal>

#include <array>

class QWidget;

// The colour chooser: a current colour and sixteen custom colours handed to the toolkit's
// colour dialog and taken back from it. Colours are 0x00BBGGRR values.
class ColorChooser
{
public:
    // Flags of pick: start from pickedColor; open with the custom colours shown.
    static constexpr quint32 StartFromPicked = 1;
    static constexpr quint32 FullDialog = 2;

    ColorChooser();

    // Runs the colour dialog modally; true when the operator confirmed a colour.
    bool pick(QWidget* owner, quint32 flags);

    qint32 pickedColor() const { return m_pickedColor; }
    void setPickedColor(qint32 color) { m_pickedColor = color; }

    // Entry 0 … 15 of the custom colours, resolved to plain RGB; other indexes read 0 and
    // ignore writes.
    qint32 customColorAt(int index) const;
    void setCustomColorAt(int index, qint32 color);

    quint8 redByte() const { return quint8(m_pickedColor & 0xFF); }
    quint8 greenByte() const { return quint8((m_pickedColor >> 8) & 0xFF); }
    quint8 blueByte() const { return quint8((m_pickedColor >> 16) & 0xFF); }

private:
    qint32 m_pickedColor = 0;
    std::array<qint32, 16> m_customColors;
};
