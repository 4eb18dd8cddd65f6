#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;

// The input box as screen readers see it: an editable text whose text is what has been
// accepted, the caret at its end. A factory for QAccessible::installFactory.
QAccessibleInterface* inputBoxAccessible(const QString& className, QObject* object);
