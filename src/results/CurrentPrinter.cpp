#include "CurrentPrinter.h"

#include "platform/Printers.h"

namespace
{

QString& chosen()
{
    static QString name;
    return name;
}

} // namespace

namespace CurrentPrinter
{

QString name()
{
    if (!chosen().isEmpty())
        return chosen();
    return Printers::defaultName();
}

void choose(const QString& printerName)
{
    chosen() = printerName;
}

void reset()
{
    chosen().clear();
}

} // namespace CurrentPrinter
