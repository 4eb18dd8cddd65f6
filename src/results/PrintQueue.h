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

} // namespace PrintQueue
