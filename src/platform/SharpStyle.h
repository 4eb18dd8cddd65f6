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
};
