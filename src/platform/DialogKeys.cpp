#include "DialogKeys.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace DialogKeys {

bool handle(QWidget* dialog, QKeyEvent* event, const std::function<void()>& cancel)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        if (cancel)
            cancel();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(dialog->focusWidget()))
            button->click();
        return true;
    default:
        return false;
    }
}

} // namespace DialogKeys
