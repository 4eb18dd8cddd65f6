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

namespace
{

// The queue as CUPS names it in a request; only the path counts to the scheduler.
QByteArray printerUri(const QString& printer)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", printer.toLocal8Bit().constData());
    return QByteArray(uri);
}

ipp_t* newRequest(ipp_op_t operation, const QByteArray& uri)
{
    ipp_t* request = ippNewRequest(operation);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

// The answer, or null when CUPS refused the request.
ipp_t* send(ipp_t* request)
{
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (response && cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        ippDelete(response);
        return nullptr;
    }
    return response;
}

} // namespace

JobWatch::JobWatch(const QString& printer) : m_printer(printer)
{
    m_lastJobId = lastJobId(printer);
    ipp_t* request = newRequest(IPP_OP_CREATE_PRINTER_SUBSCRIPTIONS, printerUri(printer));
    ippAddString(request, IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-pull-method", nullptr,
                 "ippget");
    ippAddString(request, IPP_TAG_SUBSCRIPTION, IPP_TAG_KEYWORD, "notify-events", nullptr,
                 "job-created");
    // Ends by itself should the program end before the watch does.
    ippAddInteger(request, IPP_TAG_SUBSCRIPTION, IPP_TAG_INTEGER, "notify-lease-duration", 600);
    if (ipp_t* response = send(request)) {
        if (ipp_attribute_t* id =
                ippFindAttribute(response, "notify-subscription-id", IPP_TAG_INTEGER))
            m_subscription = ippGetInteger(id, 0);
        ippDelete(response);
    }
}

JobWatch::~JobWatch()
{
    if (m_subscription <= 0)
        return;
    ipp_t* request = newRequest(IPP_OP_CANCEL_SUBSCRIPTION, printerUri(m_printer));
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-id",
                  m_subscription);
    ippDelete(send(request));
}

int JobWatch::notedJobs() const
{
    if (m_subscription <= 0)
        return -1;
    ipp_t* request = newRequest(IPP_OP_GET_NOTIFICATIONS, printerUri(m_printer));
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-subscription-ids",
                  m_subscription);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "notify-sequence-numbers", 1);
    ippAddBoolean(request, IPP_TAG_OPERATION, "notify-wait", 0);
    ipp_t* response = send(request);
    if (!response)
        return -1;
    int jobs = 0;
    for (ipp_attribute_t* event =
             ippFindAttribute(response, "notify-subscribed-event", IPP_TAG_KEYWORD);
         event;
         event = ippFindNextAttribute(response, "notify-subscribed-event", IPP_TAG_KEYWORD)) {
        const char* name = ippGetString(event, 0, nullptr);
        if (name && std::strcmp(name, "job-created") == 0)
            ++jobs;
    }
    ippDelete(response);
    return jobs;
}

bool JobWatch::sawNoJob() const
{
    const int noted = notedJobs();
    if (noted > 0)
        return false;
    const int last = lastJobId(m_printer);
    if (m_lastJobId >= 0 && last > m_lastJobId)
        return false;
    if (noted == 0)
        return true;
    // Nothing noted to go by: only the job ids, which hold while CUPS keeps finished jobs.
    return m_lastJobId >= 0;
}

#else

JobWatch::JobWatch(const QString& printer) : m_printer(printer)
{
}

JobWatch::~JobWatch() = default;

int JobWatch::notedJobs() const
{
    return -1;
}

bool JobWatch::sawNoJob() const
{
    return false;
}

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
