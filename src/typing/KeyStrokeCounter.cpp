#include "KeyStrokeCounter.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdint>
#include <cstring>

namespace
{

// X11 core protocol: the event code sits in the low seven bits of the first byte; the high
// bit marks events sent by another client.
constexpr std::uint8_t XcbKeyPress = 2;
// Offset of the event window in a key press: type, detail, sequence, time, root come first.
constexpr std::size_t XcbKeyEventWindowOffset = 12;

} // namespace

KeyStrokeCounter::KeyStrokeCounter(Wanted wanted, std::function<void()> onStroke)
    : m_wanted(std::move(wanted)), m_onStroke(std::move(onStroke))
{
}

KeyStrokeCounter::~KeyStrokeCounter()
{
    if (m_installed && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool KeyStrokeCounter::platformShowsKeys()
{
    return QGuiApplication::platformName() == QStringLiteral("xcb");
}

bool KeyStrokeCounter::install()
{
    if (m_installed)
        return true;
    if (!platformShowsKeys() || !QCoreApplication::instance())
        return false;
    QCoreApplication::instance()->installNativeEventFilter(this);
    m_installed = true;
    return true;
}

bool KeyStrokeCounter::isKeyPress(const QByteArray& eventType, const void* message)
{
    if (message == nullptr || eventType != QByteArrayLiteral("xcb_generic_event_t"))
        return false;
    const auto responseType = *static_cast<const std::uint8_t*>(message);
    return (responseType & 0x7f) == XcbKeyPress;
}

quint32 KeyStrokeCounter::keyWindow(const void* message)
{
    std::uint32_t window = 0;
    std::memcpy(&window, static_cast<const char*>(message) + XcbKeyEventWindowOffset,
                sizeof window);
    return window;
}

bool KeyStrokeCounter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (isKeyPress(eventType, message) && m_wanted && m_wanted(keyWindow(message)) && m_onStroke)
        m_onStroke();
    return false; // the event goes on to Qt and the input method
}
