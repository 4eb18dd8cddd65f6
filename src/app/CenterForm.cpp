#include "CenterForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CenterForm(QWidget* form, const QString& position)
{
    if (!form || position != u"center")
        return;
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = form->frameGeometry().size();
    form->move(area.x() + (area.width() - size.width()) / 2,
               area.y() + (area.height() - size.height()) / 2);
}
