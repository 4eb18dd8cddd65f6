#pragma once

#include <QString>

#include <functional>

class Error;
class Settings;

// Checks the data, log and sub-log folders of the settings. The data folder falls back to the
// one beside the program; a log folder that cannot be entered is only reported, and stays.
// openSettingsDialog is called when no data folder can be found at all.
void checkFolders(Settings& settings, const std::function<void()>& openSettingsDialog);

// A fresh installation has no log folder yet: make the default one, so that the first start
// does not greet the user with a wrong-folder message. Configured folders are left alone.
void createDefaultLogFolder(const Settings& settings);

// Why the certificate key the settings name cannot be used (empty: it can, or none is named):
// missing, or readable by other users. An account without the right to read it is not warned:
// that is how candidates are kept from the key.
QString certificateKeyProblem(const Settings& settings);

// The message and ending text of an error nobody expected.
QString unexpectedErrorText(const Error& error);
