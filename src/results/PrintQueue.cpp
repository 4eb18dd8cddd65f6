#include "PrintQueue.h"

#ifdef PELKO_HAVE_CUPS
#include <cups/cups.h>

#include <algorithm>
#include <cstring>
#endif

namespace PrintQueue
{

#ifdef PELKO_HAVE_CUPS

bool acceptsJobs(const QString& printer)
{
    const QByteArray name = printer.toLocal8Bit();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!dest)
        return true;
    const char* value =
        cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool accepts = !value || std::strcmp(value, "false") != 0;
    cupsFreeDests(1, dest);
    return accepts;
}

int lastJobId(const QString& printer)
{
    const QByteArray name = printer.toLocal8Bit();
    cups_job_t* jobs = nullptr;
    const int count =
        cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, name.constData(), 1, CUPS_WHICHJOBS_ALL);
    if (count < 0)
        return -1;
    int last = 0;
    for (int i = 0; i < count; ++i)
        last = std::max(last, jobs[i].id);
    cupsFreeJobs(count, jobs);
    return last;
}

#else

bool acceptsJobs(const QString&)
{
    return true;
}

int lastJobId(const QString&)
{
    return -1;
}

#endif

} // namespace PrintQueue
