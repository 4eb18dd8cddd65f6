#pragma once

#include "TypedRow.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

class QStyleOptionFrame;

// The input box of a test. It never edits its own text: key text and committed input-method
// text go to the window, which checks them and adds what it accepts. Preedit is shown where
// the user types. There is no selection, no caret but at the end and nothing to paste into.
//
// It draws itself, looking as a frameless QLineEdit does to the pixel: a line edit lays out,
// repaints and announces its whole row for every character, which costs a key's echo about
// a third of a millisecond. This box redraws only what an accepted character changed.
class InputBox : public QWidget
{
    Q_OBJECT
public:
    explicit InputBox(QWidget* parent = nullptr);

    // The accepted text, without the preedit.
    QString text() const { return m_row.text(); }

    // Adds accepted text at the end, leaving any preedit in place.
    void appendAccepted(const QString& text);
    // Empties the box for the next row.
    void clearRow();
    // Draws and sends what the last change left to draw, now rather than in the event loop.
    void drawNow();

    QSize sizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    // Where the candidate window opens: at the caret, as a line edit reports it.
    QRect caretRect() const;
    // Where an accepted character stands in the box, for screen readers.
    QRect characterRect(int offset) const;

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
    void paintEvent(QPaintEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    static bool isTyping(const QKeyEvent* event);
    void handleKey(QKeyEvent* event);
    void initStyleOption(QStyleOptionFrame* option) const;
    const QRect& area() const;
    const QWidget* behind() const;
    void paintBackground(QPainter* painter) const;
    const QPixmap& background() const;
    int caretWidth() const;
    void placeLine();
    int caretX() const;
    void restartBlink();
    void updateMicroFocusSoon();
    void announceTextChange(int at, const QString& removed, const QString& added);

    TypedRow m_row;
    bool m_preeditHidesCaret = false;
    mutable QRect m_area; // the style's contents rectangle, kept for one size and style
    mutable QSize m_areaSize;
    mutable int m_caretWidth = 1;
    struct BackgroundKey {
        QSize size;
        qreal ratio = 0;
        qint64 palette = 0;
        qint64 behindPalette = 0;
        bool focused = false, enabled = false, active = false;
        bool operator==(const BackgroundKey&) const = default;
    };
    mutable BackgroundKey m_backgroundKey;
    mutable QPixmap m_background;
    int m_lineHeight = 0; // the height the row is centred with
    int m_hscroll = 0;
    int m_vscroll = 0;
    QRect m_damage; // what the last change left to draw
    QBasicTimer m_blink;
    QElapsedTimer m_sinceChange;
    bool m_caretShown = true; // the blink's phase
    bool m_microFocusDue = false;
};
