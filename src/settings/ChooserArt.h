#pragma once

#include <QIcon>

class QPushButton;

// The pictures on the OK and cancel buttons of the folder and file dialogs, drawn rather than
// stored so they stay sharp at any display scale.
namespace ChooserArt
{

QIcon okIcon();
QIcon cancelIcon();

// Gives a button its picture, sized from the font, and the name screen readers announce.
void makePictureButton(QPushButton* button, const QIcon& icon, const QString& name);

} // namespace ChooserArt
