#include "Startup.h"
#include "platform/QtMessageService.h"

#include <QApplication>
#include "platform/Fonts.h"

#include <QFont>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelko"));
    QApplication::setQuitOnLastWindowClosed(false);
    QFont font = Fonts::proportional(0);
    font.setPointSize(11);
    QApplication::setFont(font);

    QtMessageService messages;
    setMessageService(&messages);

    Main();
    return app.exec();
}
