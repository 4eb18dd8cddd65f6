#pragma once

#include "platform/PostgresConnection.h"

#include <QString>
#include <QStringList>

class QIODevice;

// pelko --export-csv LOGFILE [--user ID] [--from DATE] [--to DATE] [OUT]
// pelko --export-csv --db [--site SITE] [--kind KIND] [--user ID] [--from DATE] [--to DATE] [OUT]
// Writes the records of a main log, or of the results database, as CSV, without a window.
namespace ExportCommand
{

// BadArguments also when the output may not be written at all: the log itself, a device, a
// FIFO, a folder, another user's link in a shared folder.
enum Exit { Done = 0, LogFailed = 1, OutputFailed = 2, BadArguments = 3 };

// Whether the command line asks for an export; decided before any window system is touched.
bool isRequested(int argc, char** argv);

// Runs the export for the arguments that follow the program name. Without OUT the CSV goes
// to standardOutput. Messages for the user (failures, skipped lines) go to messages.
// server: the results database of the settings (for --db).
int run(const QStringList& arguments, int passSpeed, QIODevice& standardOutput, QString& messages,
        const PostgresConnection::Parameters& server = {});

} // namespace ExportCommand
