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
    int errors = 0;
    int secondsUsed = 0;
    int alphanumericChars = 0;
    int kanjiOrSymbolChars = 0;
    int acceptedChars = 0;
    int totalChars = 0;
    // The number the main log gave the record; 0 until it is written.
    int recordNumber = 0;

    // The result of the record's run on the problem (none: an empty one), not yet numbered.
    static RunResult of(const RunRecord& record, const Problem* problem);

    // The speed as the certificate shows it: whole, halves to even.
    int wholeCharsPerMinute() const;

    bool operator==(const RunResult&) const = default;
};
