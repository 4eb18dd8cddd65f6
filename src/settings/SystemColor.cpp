#include "SystemColor.h"

#include "ColorLiteral.h"

#include <QGuiApplication>
#include <QPalette>

namespace
{

// The desktop colours behind the system-colour indexes 0 to 30.
std::optional<QColor> systemColor(int index)
{
    const QPalette palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                 ? QGuiApplication::palette()
                                 : QPalette();
    using R = QPalette::ColorRole;
    constexpr QPalette::ColorGroup A = QPalette::Active;
    constexpr QPalette::ColorGroup I = QPalette::Inactive;
    constexpr QPalette::ColorGroup D = QPalette::Disabled;
    struct Entry {
        QPalette::ColorGroup group;
        R role;
    };
    static constexpr Entry table[31] = {
        {A, R::Mid},             // scroll bar
        {A, R::Dark},            // desktop
        {A, R::Highlight},       // active caption
        {I, R::Window},          // inactive caption
        {A, R::Window},          // menu
        {A, R::Base},            // window
        {A, R::Shadow},          // window frame
        {A, R::WindowText},      // menu text
        {A, R::Text},            // window text
        {A, R::HighlightedText}, // caption text
        {A, R::Window},          // active border
        {I, R::Window},          // inactive border
        {A, R::Dark},            // application workspace
        {A, R::Highlight},       // highlight
        {A, R::HighlightedText}, // highlighted text
        {A, R::Button},          // button face
        {A, R::Dark},            // button shadow
        {D, R::Text},            // grey text
        {A, R::ButtonText},      // button text
        {I, R::WindowText},      // inactive caption text
        {A, R::Light},           // button highlight
        {A, R::Shadow},          // dark 3D shadow
        {A, R::Midlight},        // 3D light
        {A, R::ToolTipText},     // tool tip text
        {A, R::ToolTipBase},     // tool tip background
        {A, R::Window},          // (unused index)
        {A, R::Link},            // hot-tracked item
        {A, R::Highlight},       // gradient active caption
        {I, R::Window},          // gradient inactive caption
        {A, R::Highlight},       // menu highlight
        {A, R::Window},          // menu bar
    };
    if (index < 0 || index > 30)
        return std::nullopt;
    return palette.color(table[index].group, table[index].role);
}

} // namespace

qint32 SystemColor::resolve(qint32 color) const
{
    const quint32 value = quint32(color);
    switch (value >> 24) {
    case 0x00:
        return color;
    case 0x02: // palette-relative RGB: its RGB part
        return qint32(value & 0xFFFFFFu);
    case 0x80:
        if (const auto desktopColor = systemColor(int(value & 0xFFFFFFu)))
            return qint32(ColorLiteral::colorToBgr(*desktopColor));
        return NoColor;
    default:
        return NoColor;
    }
}
