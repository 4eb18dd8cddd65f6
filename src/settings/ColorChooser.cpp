#include "ColorChooser.h"

#include "ColorLiteral.h"
#include "SystemColor.h"

#include <QColorDialog>

ColorChooser::ColorChooser()
{
    m_customColors.fill(0x00FFFFFF);
}

qint32 ColorChooser::customColorAt(int index) const
{
    if (index < 0 || index >= int(m_customColors.size()))
        return 0;
    return SystemColor().resolve(m_customColors[index]);
}

void ColorChooser::setCustomColorAt(int index, qint32 color)
{
    if (index < 0 || index >= int(m_customColors.size()))
        return;
    m_customColors[index] = color;
}

bool ColorChooser::pick(QWidget* owner, quint32 flags)
{
    const SystemColor resolver;
    // The toolkit keeps one table for every colour dialog: hand it ours for this run.
    for (int i = 0; i < int(m_customColors.size()); ++i) {
        const qint32 rgb = resolver.resolve(m_customColors[i]);
        QColorDialog::setCustomColor(i, rgb == SystemColor::NoColor
                                            ? QColor(Qt::white)
                                            : ColorLiteral::bgrToColor(quint32(rgb)));
    }

    QColor start(Qt::black);
    if (flags & StartFromPicked) {
        const qint32 rgb = resolver.resolve(m_pickedColor);
        if (rgb != SystemColor::NoColor)
            start = ColorLiteral::bgrToColor(quint32(rgb));
    }

    QColorDialog dialog(start, owner);
    // The desktop's own dialogs may not show custom colours; the toolkit's always does.
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setCurrentColor(start);
    if (dialog.exec() != QDialog::Accepted)
        return false;

    m_pickedColor = qint32(ColorLiteral::colorToBgr(dialog.selectedColor()));
    for (int i = 0; i < int(m_customColors.size()); ++i) {
        const qint32 bgr = qint32(ColorLiteral::colorToBgr(QColorDialog::customColor(i)));
        m_customColors[i] = resolver.resolve(bgr);
    }
    return true;
}
