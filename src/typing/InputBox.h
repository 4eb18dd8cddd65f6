#pragma once

#include <QLineEdit>

// The input box of a test. It never edits its own text: key text and committed input-method
// text go to the window, which checks them and adds what it accepts. Preedit is shown where
// the user types. Every paste route and every editing key is refused.
class InputBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit InputBox(QWidget* parent = nullptr);

    // Adds accepted text at the end, leaving any preedit in place.
    void appendAccepted(const QString& text);
    // Empties the box for the next row.
    void clearRow();

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

Q_SIGNALS:
    // Every key press, before anything else.
    void keyDown(QKeyEvent* event);
    // The text of a key press: a character, or "\r" for Enter, "\b" for Backspace,
    // "\t" for Tab.
    void keyPress(const QString& text);
    // Text the input method committed, possibly several characters.
    void committed(const QString& text);
    // The input method sent a commit or a preedit: it is on.
    void inputMethodUsed();

protected:
    bool event(QEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void handleKey(QKeyEvent* event);
    void caretToEnd();

    bool m_preeditShown = false; // what the line edit was last handed
};
