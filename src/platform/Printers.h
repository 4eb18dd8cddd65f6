#pragma once

#include <QStringList>

#include <functional>

// The printers the system offers (CUPS through Qt), in the system's order.
namespace Printers {

QStringList installedNames();
QString defaultName();

// Tests stand in for the system's printers; an empty function restores them.
void setProvider(std::function<QStringList()> names, std::function<QString()> defaultPrinter = {});

} // namespace Printers
