#pragma once

#include "platform/PostgresConnection.h"

#include <QString>
#include <QStringList>

// The results database from the command line, without a window:
//   pelko --db-init          make or migrate the tables (an administrator's role)
//   pelko --db-send          send the rows waiting in this user's queue now
//   pelko --db-import LOG…   bring old main logs in; a second import adds nothing
namespace DatabaseCommands
{

enum Exit { Done = 0, Failed = 1, BadArguments = 2, NotConfigured = 3 };

// The option when the command line asks for one of them; empty otherwise.
QString requested(int argc, char** argv);

// server: from the settings' [Database] section (empty: none is configured); site: its Site.
int run(const QStringList& arguments, const PostgresConnection::Parameters& server,
        const QString& site, QString& output, QString& messages);

} // namespace DatabaseCommands
