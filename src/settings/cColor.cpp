#include "cColor.h"

#include "ColorLiteral.h"
#include "cTransCol.h"

#include <QColorDialog>

cColor::cColor()
{
    m_custom.fill(0x00FFFFFF);
}

qint32 cColor::CustomColorAt(int index) const
{
    if (index < 0 || index >= int(m_custom.size()))
        return 0;
    return cTransCol().ResolveColor(m_custom[index]);
}

void cColor::setCustomColorAt(int index, qint32 color)
{
    if (index < 0 || index >= int(m_custom.size()))
        return;
    m_custom[index] = color;
}

bool cColor::PickColor(QWidget* owner, quint32 flags)
{
    const cTransCol trans;
    // The toolkit keeps one table for every colour dialog: hand it ours for this run.
    for (int i = 0; i < int(m_custom.size()); ++i) {
        const qint32 rgb = trans.ResolveColor(m_custom[i]);
        QColorDialog::setCustomColor(i, rgb == cTransCol::NoColor
                                            ? QColor(Qt::white)
                                            : ColorLiteral::bgrToColor(quint32(rgb)));
    }

    QColor start(Qt::black);
    if (flags & RgbInit) {
        const qint32 rgb = trans.ResolveColor(m_PickedColor);
        if (rgb != cTransCol::NoColor)
            start = ColorLiteral::bgrToColor(quint32(rgb));
    }

    QColorDialog dialog(start, owner);
    // The desktop's own dialogs may not show custom colours; the toolkit's always does.
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setCurrentColor(start);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    m_PickedColor = qint32(ColorLiteral::colorToBgr(dialog.selectedColor()));
    for (int i = 0; i < int(m_custom.size()); ++i) {
        const qint32 bgr = qint32(ColorLiteral::colorToBgr(QColorDialog::customColor(i)));
        m_custom[i] = trans.ResolveColor(bgr);
    }
    return true;
}
