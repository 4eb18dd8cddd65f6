#include "InputBox.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

InputBox::InputBox(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("inputBox"));
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setAcceptDrops(false);
    setFrame(false);
}

void InputBox::caretToEnd()
{
    // Moving the caret makes the line edit commit the input method's preedit: only move it
    // when it is not at the end already, which the box's own edits never cause.
    if (hasSelectedText())
        deselect();
    if (cursorPosition() != text().size())
        end(false);
}

void InputBox::appendAccepted(const QString& text)
{
    caretToEnd();
    insert(text);
}

void InputBox::clearRow()
{
    clear();
}

bool InputBox::event(QEvent* event)
{
    // Taken here rather than in keyPressEvent so that Tab never moves the focus.
    if (event->type() == QEvent::KeyPress) {
        handleKey(static_cast<QKeyEvent*>(event));
        return true;
    }
    // The test window's shortcuts (start again, print) win over the box's editing keys.
    if (event->type() == QEvent::ShortcutOverride) {
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

void InputBox::handleKey(QKeyEvent* event)
{
    event->accept();
    Q_EMIT keyDown(event);
    // With Ctrl, Alt or Meta held a key is a shortcut, never a character or an Enter.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        caretToEnd();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT keyPress(QStringLiteral("\r"));
        break;
    case Qt::Key_Backspace:
        Q_EMIT keyPress(QStringLiteral("\b"));
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        Q_EMIT keyPress(QStringLiteral("\t"));
        break;
    default:
        // Editing and paste shortcuts carry control characters or nothing: the window
        // drops them, so the box is only ever changed by accepted text.
        if (!event->text().isEmpty())
            Q_EMIT keyPress(event->text());
        break;
    }
    caretToEnd();
}

void InputBox::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    // Committed text is the window's to check; replacements of text already accepted and
    // selections inside it are refused, so only the preedit reaches the box itself.
    QList<QInputMethodEvent::Attribute> attributes;
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type != QInputMethodEvent::Selection)
            attributes.append(attribute);
    }
    // The preedit goes first, so that the echo of the commit, drawn at once, never shows the
    // preedit it replaces. The line edit lays its whole text out again for every event it
    // takes: with no preedit before or after, as for a commit of a key typed straight
    // through, it has nothing to change.
    const bool preeditShown = !event->preeditString().isEmpty();
    if (preeditShown || m_preeditShown) {
        QInputMethodEvent preeditOnly(event->preeditString(), attributes);
        QLineEdit::inputMethodEvent(&preeditOnly);
    }
    m_preeditShown = preeditShown;
    if (!commit.isEmpty())
        Q_EMIT committed(commit);
    if (!commit.isEmpty() || preeditShown)
        Q_EMIT inputMethodUsed();
    event->accept();
}

QVariant InputBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImCursorRectangle:
        // The candidate window opens at the caret, which stays after the last character.
        return QRectF(cursorRect());
    case Qt::ImEnabled:
        return isEnabled();
    default:
        return QLineEdit::inputMethodQuery(query);
    }
}

void InputBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    caretToEnd();
}

void InputBox::mousePressEvent(QMouseEvent* event)
{
    // No selection, no caret placement, no middle-button paste.
    event->accept();
    if (event->button() != Qt::MiddleButton && !hasFocus())
        setFocus(Qt::MouseFocusReason);
    caretToEnd();
}

void InputBox::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    caretToEnd();
}

void InputBox::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void InputBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    caretToEnd();
}

void InputBox::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
}

void InputBox::dragEnterEvent(QDragEnterEvent* event)
{
    event->ignore();
}

void InputBox::dragMoveEvent(QDragMoveEvent* event)
{
    event->ignore();
}

void InputBox::dropEvent(QDropEvent* event)
{
    event->ignore();
}
