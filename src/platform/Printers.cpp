#include "Printers.h"

#include <QPrinterInfo>

namespace {

std::function<QStringList()>& namesProvider()
{
    static std::function<QStringList()> provider;
    return provider;
}

std::function<QString()>& defaultNameProvider()
{
    static std::function<QString()> provider;
    return provider;
}

} // namespace

namespace Printers {

QStringList installedNames()
{
    if (namesProvider())
        return namesProvider()();
    return QPrinterInfo::availablePrinterNames();
}

QString defaultName()
{
    if (defaultNameProvider())
        return defaultNameProvider()();
    // Stand-in names without a stand-in default: no default printer.
    if (namesProvider())
        return QString();
    return QPrinterInfo::defaultPrinterName();
}

void setProvider(std::function<QStringList()> names, std::function<QString()> defaultPrinter)
{
    namesProvider() = std::move(names);
    defaultNameProvider() = std::move(defaultPrinter);
}

} // namespace Printers
