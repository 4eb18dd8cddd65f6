#include "InputBoxAccessible.h"
#include "InputBox.h"

#include <QAccessibleWidget>

namespace
{

// Read-only text for screen readers: what has been accepted, the caret at its end.
class InputBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit InputBoxAccessible(InputBox* box) : QAccessibleWidget(box, QAccessible::EditableText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text which) const override
    {
        return which == QAccessible::Value ? shown() : QAccessibleWidget::text(which);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        return state;
    }
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return int(shown().size()); }
    int cursorPosition() const override { return characterCount(); }
    QRect characterRect(int offset) const override
    {
        const auto* box = static_cast<const InputBox*>(widget());
        const QRect local = box->characterRect(offset);
        return local.isEmpty() ? QRect() : QRect(box->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    QString shown() const { return static_cast<const InputBox*>(widget())->text(); }
};

} // namespace

QAccessibleInterface* inputBoxAccessible(const QString& className, QObject* object)
{
    if (className == u"InputBox" && object->isWidgetType())
        return new InputBoxAccessible(static_cast<InputBox*>(object));
    return nullptr;
}
