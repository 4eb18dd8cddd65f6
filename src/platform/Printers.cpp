#include "Printers.h"

#include <QPrinterInfo>

namespace {

std::function<QStringList()>& namesProvider()
{
    static std::function<QStringList()> f;
    return f;
}

std::function<QString()>& defaultProvider()
{
    static std::function<QString()> f;
    return f;
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
    if (defaultProvider())
        return defaultProvider()();
    if (namesProvider())
        return QString();
    return QPrinterInfo::defaultPrinterName();
}

void setProvider(std::function<QStringList()> names, std::function<QString()> defaultPrinter)
{
    namesProvider() = std::move(names);
    defaultProvider() = std::move(defaultPrinter);
}

} // namespace Printers
