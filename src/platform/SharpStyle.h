#pragma once

#include <QProxyStyle>

// The desktop's style with message box pictures drawn in code: the built-in ones are small
// bitmaps that turn blurry when the desktop scales the windows up (150 %, 200 %).
class SharpStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
    // A table header's sort arrow above its title rather than beside it: a title of two short
    // lines then needs no extra width.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
