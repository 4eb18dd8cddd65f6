#pragma once

#include <QIcon>

class QPushButton;
class QWidget;

// The pictures on the OK and cancel buttons of the folder and file dialogs, drawn rather than
// stored so they stay sharp at any display scale.
namespace ChooserArt
{

QIcon okIcon();
QIcon cancelIcon();

// Gives a button its picture, sized from the font, and the name screen readers announce.
void makePictureButton(QPushButton* button, const QIcon& icon, const QString& name);

// The OK and cancel buttons of the program's dialogs: a picture and no text.
QPushButton* okButton(QWidget* parent);
QPushButton* cancelButton(QWidget* parent);

} // namespace ChooserArt
