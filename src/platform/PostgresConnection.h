#pragma once

#include "common/Expected.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

struct pg_conn;

// One connection to a PostgreSQL server through libpq. Passwords never pass through here:
// libpq takes them from ~/.pgpass or the service file.
class PostgresConnection
{
public:
    // libpq keywords and values (service, host, port, dbname, user); empty values are left out.
    using Parameters = QList<std::pair<QString, QString>>;
    // Gives up after timeoutSeconds, so that an unreachable server never holds a writer long.
    static Expected<std::unique_ptr<PostgresConnection>> open(const Parameters& parameters,
                                                              int timeoutSeconds = 5);
    ~PostgresConnection();
    PostgresConnection(const PostgresConnection&) = delete;
    PostgresConnection& operator=(const PostgresConnection&) = delete;

    struct Result {
        QList<QStringList> rows; // text of every column; a null value is a null QString
        int affected = 0;        // rows an INSERT, UPDATE or DELETE touched
    };
    // One statement with $1, $2 … parameters (a null QString is SQL NULL), or several
    // statements without parameters.
    Expected<Result> exec(const QString& sql, const QStringList& parameters = {});
    // False once the server is gone (a statement failed for want of it, not for its content).
    bool isOpen() const;

private:
    explicit PostgresConnection(pg_conn* connection) : m_connection(connection) {}
    pg_conn* m_connection;
};
