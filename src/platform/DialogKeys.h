#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

// The keys of the program's own dialogs: Escape cancels, and Enter acts only on a button
// that has the focus, so Enter in a text box or list never closes or saves a dialog.
// True when the key was handled.
namespace DialogKeys {

bool handle(QWidget* dialog, QKeyEvent* event, const std::function<void()>& cancel);

} // namespace DialogKeys
