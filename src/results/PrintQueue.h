#pragma once

#include <QString>

// What CUPS says about a print queue, beyond what Qt tells: whether it takes jobs, and
// whether a job really arrived. Without CUPS every answer is "cannot tell".
namespace PrintQueue
{

// False only when the queue is known to refuse new jobs.
bool acceptsJobs(const QString& printer);
// Highest id among this user's jobs on the queue (0 when none); -1 when CUPS cannot say.
int lastJobId(const QString& printer);

// Watches a queue from before a job is sent until after it. CUPS may forget a finished job
// at once, so the watch asks CUPS to note every job it takes for the queue meanwhile, any
// user's.
class JobWatch
{
public:
    explicit JobWatch(const QString& printer);
    ~JobWatch();
    JobWatch(const JobWatch&) = delete;
    JobWatch& operator=(const JobWatch&) = delete;

    // True only when CUPS is known to have taken no job for the queue since the watch began.
    bool sawNoJob() const;

private:
    // Jobs CUPS noted for the watch, -1 when it cannot say.
    int notedJobs() const;

    QString m_printer;
    int m_subscription = 0; // 0: CUPS notes nothing for the watch
    int m_lastJobId = -1;
};

} // namespace PrintQueue
