#pragma once

#include <QString>

#include <functional>
#include <memory>

class Settings;
class RunRecord;
class Problem;

// Values every window shares, one of each for the whole run of the program.
extern std::unique_ptr<Settings> appSettings;
extern std::unique_ptr<RunRecord> appRecord;
// The problem of the running test; the test window creates and releases it.
extern std::unique_ptr<Problem> currentProblem;

extern bool testReady;
extern QString problemSummary;

// Checks the data, log and sub-log folders of appSettings, falling back to the application
// folder where it can. showSettings is called when no data folder can be found at all.
void checkFolders(const std::function<void()>& showSettings);

// A fresh installation has no log folder yet: make the default one, so that the first start
// does not greet the user with a wrong-folder message. Configured folders are left alone.
void createDefaultLogFolder();

// The message and ending text of an error nobody expected.
QString unexpectedErrorText(int number, const QString& description);
