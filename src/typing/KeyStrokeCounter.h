#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

// Counts physical key presses where the window system shows them, before the input method
// takes them: on X11 every key press, including those the input method consumes and that
// never become key events of a widget.
class KeyStrokeCounter : public QAbstractNativeEventFilter
{
public:
    // wanted: whether a press for the given X window now belongs to the count (the input box
    // has the focus there); onStroke: called once per counted press.
    using Wanted = std::function<bool(quint32 window)>;
    KeyStrokeCounter(Wanted wanted, std::function<void()> onStroke);
    ~KeyStrokeCounter() override;

    // Whether key presses are seen here on this platform (X11). Elsewhere the widget
    // counts the key events it receives.
    static bool platformShowsKeys();

    // Installs the filter on the application; false where the platform shows no keys.
    bool install();

    static bool isKeyPress(const QByteArray& eventType, const void* message);
    // The window a key press is for (valid only where isKeyPress holds).
    static quint32 keyWindow(const void* message);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    Wanted m_wanted;
    std::function<void()> m_onStroke;
    bool m_installed = false;
};
