#pragma once

#include <QString>

class Problem;
class RunRecord;

// One finished run as its log line holds it: who typed, where, what and how well. Made when
// the run is scored, then handed whole to the logs and the certificate.
struct RunResult {
    QString userId;
    QString userName;
    QString computerName;
    QString loginName;
    QString fileName;
    float charsPerMinute = 0;
    float accuracy = 0;
    qint16 errors = 0;
    qint16 secondsUsed = 0;
    qint16 alphanumericChars = 0;
    qint16 kanjiOrSymbolChars = 0;
    qint16 acceptedChars = 0;
    qint16 totalChars = 0;
    // The number the main log gave the record; 0 until it is written.
    qint16 recordNumber = 0;

    // The result of the record's run on the problem (none: an empty one), not yet numbered.
    static RunResult of(const RunRecord& record, const Problem* problem);

    bool operator==(const RunResult&) const = default;
};
