// The floor for keystroke-to-screen: a QLineEdit alone in its window, in the font of the
// input box, with nothing behind it. Whatever Pelko adds to a key press shows against this.
#include "platform/Fonts.h"

#include <QApplication>
#include <QLineEdit>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLineEdit box;
    box.setWindowTitle(QStringLiteral("bare line edit"));
    box.setFont(Fonts::fixedPitch(13));
    box.setFrame(false);
    box.setGeometry(100, 100, 560, 34);
    box.show();
    box.activateWindow();
    box.setFocus();
    return app.exec();
}
