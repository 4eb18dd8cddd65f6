#pragma once

#include <QIcon>

#include <functional>

class QPainter;
class QPushButton;

// Pictures drawn in code at whatever size and scale they are shown, so they stay sharp.
namespace DrawnIcon {

// Draws into the square rect; disabled tells whether to draw the greyed-out form.
using Drawing = std::function<void(QPainter& painter, const QRectF& rect, bool disabled)>;

QIcon make(Drawing drawing);

// Gives a button its picture and the name screen readers announce; iconSide 0 sizes the
// picture from the button's font.
void makePictureButton(QPushButton* button, const QIcon& icon, const QString& name,
                       int iconSide = 0);

} // namespace DrawnIcon
