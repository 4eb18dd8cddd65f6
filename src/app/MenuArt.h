#pragma once

#include <QIcon>

// The pictures on the main menu's buttons.
namespace MenuArt {

QIcon practice();      // a pencil over a sheet
QIcon certification(); // a rosette with ribbons
QIcon ranking();       // a podium
QIcon settings();      // a gear
QIcon quit();          // the power symbol

} // namespace MenuArt
