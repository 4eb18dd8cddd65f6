#include "CurrentPrinter.h"

#include "platform/Printers.h"

namespace CurrentPrinter
{

QString name(const QString& chosen)
{
    if (!chosen.isEmpty())
        return chosen;
    return Printers::defaultName();
}

} // namespace CurrentPrinter
