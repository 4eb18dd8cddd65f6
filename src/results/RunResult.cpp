#include "RunResult.h"

#include "RunRecord.h"
#include "common/NumericText.h"
#include "problems/Problem.h"

RunResult RunResult::of(const RunRecord& record, const Problem* problem)
{
    RunResult run;
    run.userId = record.userId();
    run.userName = record.userName();
    run.computerName = record.computerName();
    run.loginName = record.loginName();
    run.charsPerMinute = record.charsPerMinute();
    run.accuracy = record.accuracy();
    run.errors = record.errors();
    run.secondsUsed = record.secondsUsed();
    run.acceptedChars = record.acceptedChars();
    if (problem) {
        run.fileName = problem->fileName();
        run.alphanumericChars = problem->alphanumericChars();
        run.kanjiOrSymbolChars = problem->kanjiOrSymbolChars();
        run.totalChars = problem->totalChars();
    }
    return run;
}

int RunResult::wholeCharsPerMinute() const
{
    return NumericText::toInt16(charsPerMinute).value_or(0);
}
