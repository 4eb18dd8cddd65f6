#pragma once

#include <QString>

#include <functional>
#include <memory>

class clsKankyo;
class clsUser;
class colReidai;

// Values every window shares, one of each for the whole run of the program.
extern std::unique_ptr<clsKankyo> objKankyo;
extern std::unique_ptr<clsUser> objUser;
// The problem of the running test; the test window creates and releases it.
extern std::unique_ptr<colReidai> objReidai;

// Log-column catalogue: (i, 0) is the title of column i, (i, 1) its code "0" … "F".
inline constexpr int LogColumnCount = 16;
extern QString LogColumn[LogColumnCount][2];

extern bool TestReady;
extern QString ReidaiInfo;
extern float FontBase;
extern float FontReturn;
extern float FontResult;
extern QString DirPath;
extern QString FileName;

void FillLogColumn();

// Checks the data, log and sub-log folders of objKankyo, falling back to the application
// folder where it can. showSettings is called when no data folder can be found at all.
void CheckFolders(const std::function<void()>& showSettings);

// A fresh installation has no log folder yet: make the default one, so that the first start
// does not greet the user with a wrong-folder message. Configured folders are left alone.
void CreateDefaultLogFolder();

// The message and ending text of an error nobody expected.
QString UnexpectedErrorText(int number, const QString& description);
