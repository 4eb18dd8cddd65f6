#include "PostgresConnection.h"

#include <libpq-fe.h>

#include <vector>

namespace
{

Error databaseError(const QString& message)
{
    return Error(Error::Code::DatabaseFailure, message.trimmed());
}

} // namespace

Expected<std::unique_ptr<PostgresConnection>> PostgresConnection::open(const Parameters& parameters,
                                                                       int timeoutSeconds)
{
    std::vector<QByteArray> keys;
    std::vector<QByteArray> values;
    for (const auto& [key, value] : parameters) {
        if (value.isEmpty())
            continue;
        keys.push_back(key.toUtf8());
        values.push_back(value.toUtf8());
    }
    keys.push_back("connect_timeout");
    values.push_back(QByteArray::number(timeoutSeconds));
    keys.push_back("application_name");
    values.push_back("pelko");
    keys.push_back("client_encoding");
    values.push_back("UTF8");
    std::vector<const char*> keyPointers;
    std::vector<const char*> valuePointers;
    for (size_t i = 0; i < keys.size(); ++i) {
        keyPointers.push_back(keys[i].constData());
        valuePointers.push_back(values[i].constData());
    }
    keyPointers.push_back(nullptr);
    valuePointers.push_back(nullptr);
    PGconn* connection = PQconnectdbParams(keyPointers.data(), valuePointers.data(), 0);
    if (!connection)
        return databaseError(QStringLiteral("データベースに接続できません（メモリ不足）。"));
    if (PQstatus(connection) != CONNECTION_OK) {
        const QString why = QString::fromUtf8(PQerrorMessage(connection));
        PQfinish(connection);
        return databaseError(QStringLiteral("データベースに接続できません: ") + why);
    }
    return std::unique_ptr<PostgresConnection>(new PostgresConnection(connection));
}

PostgresConnection::~PostgresConnection()
{
    PQfinish(m_connection);
}

bool PostgresConnection::isOpen() const
{
    return PQstatus(m_connection) == CONNECTION_OK;
}

Expected<PostgresConnection::Result> PostgresConnection::exec(const QString& sql,
                                                              const QStringList& parameters)
{
    const QByteArray statement = sql.toUtf8();
    PGresult* answer = nullptr;
    if (parameters.isEmpty()) {
        answer = PQexec(m_connection, statement.constData());
    } else {
        std::vector<QByteArray> texts;
        std::vector<const char*> values;
        texts.reserve(size_t(parameters.size()));
        for (const QString& parameter : parameters) {
            texts.push_back(parameter.toUtf8());
            values.push_back(parameter.isNull() ? nullptr : texts.back().constData());
        }
        answer = PQexecParams(m_connection, statement.constData(), int(values.size()), nullptr,
                              values.data(), nullptr, nullptr, 0);
    }
    const ExecStatusType status = PQresultStatus(answer);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString why = QString::fromUtf8(PQresultErrorMessage(answer));
        PQclear(answer);
        return databaseError(why.isEmpty() ? QString::fromUtf8(PQerrorMessage(m_connection)) : why);
    }
    Result result;
    result.affected = QByteArray(PQcmdTuples(answer)).toInt();
    for (int row = 0; row < PQntuples(answer); ++row) {
        QStringList values;
        for (int column = 0; column < PQnfields(answer); ++column)
            values << (PQgetisnull(answer, row, column)
                           ? QString()
                           : QString::fromUtf8(PQgetvalue(answer, row, column)));
        result.rows.append(values);
    }
    PQclear(answer);
    return result;
}
