#pragma once

#include "common/Expected.h"

class PostgresConnection;
struct CertificateRow;
struct RunRow;

// The results database's tables, made and brought up to date by the program itself
// (pelko --db-init), and the one statement an exam PC needs.
namespace ResultsDatabase
{

// The schema this program writes; a database at a newer one is left alone.
inline constexpr int SchemaVersion = 1;

// Makes the tables or migrates them to SchemaVersion, in one transaction; gives the version
// the database was at before.
Expected<int> migrate(PostgresConnection& connection);

// Adds the row unless a row with its id is there; true when it was added. Needs nothing but
// the right to insert.
Expected<bool> insert(PostgresConnection& connection, const RunRow& row);
// The same for a printed certificate's check code.
Expected<bool> insert(PostgresConnection& connection, const CertificateRow& row);

} // namespace ResultsDatabase
