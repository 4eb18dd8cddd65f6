#include "RunRow.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace
{

// Never to change: the ids of the rows a database holds already come from it.
const QUuid LineNamespace = QUuid::fromString(u"{6f1c2b1e-3d4a-5e6f-8a9b-0c1d2e3f4a5b}");

// Empty text stays text: only a missing value is NULL.
QString text(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

} // namespace

QString RunRow::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Practice:
        return QStringLiteral("practice");
    case Kind::Certification:
        return QStringLiteral("certification");
    case Kind::Imported:
        break;
    }
    return QStringLiteral("imported");
}

QUuid RunRow::idOfLine(const LogFields& fields)
{
    QByteArray content;
    for (const QByteArrayView field : fields)
        content += field.toByteArray() + '\x1f';
    return QUuid::createUuidV5(LineNamespace, content);
}

std::optional<QUuid> RunRow::idOfLine(QByteArrayView line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    LogFields fields;
    if (!LogFormat::splitLine(line, fields))
        return std::nullopt;
    for (QByteArrayView& field : fields)
        field = LogFormat::unquoted(field);
    return idOfLine(fields);
}

QByteArray RunRow::toBytes() const
{
    const QJsonObject object{{QStringLiteral("id"), id.toString(QUuid::WithoutBraces)},
                             {QStringLiteral("recordNumber"), run.recordNumber},
                             {QStringLiteral("inLog"), inLog},
                             {QStringLiteral("loggedAt"), loggedAt.toString(Qt::ISODate)},
                             {QStringLiteral("userId"), run.userId},
                             {QStringLiteral("userName"), run.userName},
                             {QStringLiteral("computerName"), run.computerName},
                             {QStringLiteral("loginName"), run.loginName},
                             {QStringLiteral("fileName"), run.fileName},
                             {QStringLiteral("charsPerMinute"), double(run.charsPerMinute)},
                             {QStringLiteral("accuracy"), double(run.accuracy)},
                             {QStringLiteral("errors"), run.errors},
                             {QStringLiteral("acceptedChars"), run.acceptedChars},
                             {QStringLiteral("totalChars"), run.totalChars},
                             {QStringLiteral("kanjiOrSymbolChars"), run.kanjiOrSymbolChars},
                             {QStringLiteral("alphanumericChars"), run.alphanumericChars},
                             {QStringLiteral("secondsUsed"), run.secondsUsed},
                             {QStringLiteral("kind"), kindName(kind)},
                             {QStringLiteral("passSpeed"), passSpeed},
                             {QStringLiteral("grade"), grade},
                             {QStringLiteral("inputMethod"), inputMethod},
                             {QStringLiteral("site"), site},
                             {QStringLiteral("source"), source}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<RunRow> RunRow::fromBytes(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject o = document.object();
    RunRow row;
    row.id = QUuid::fromString(o.value(QStringLiteral("id")).toString());
    row.loggedAt =
        QDateTime::fromString(o.value(QStringLiteral("loggedAt")).toString(), Qt::ISODate);
    if (row.id.isNull() || !row.loggedAt.isValid())
        return std::nullopt;
    auto number = [&o](const char* key) { return o.value(QLatin1String(key)).toInt(); };
    auto string = [&o](const char* key) { return o.value(QLatin1String(key)).toString(); };
    row.run.recordNumber = number("recordNumber");
    row.inLog = o.value(QStringLiteral("inLog")).toBool();
    row.run.userId = string("userId");
    row.run.userName = string("userName");
    row.run.computerName = string("computerName");
    row.run.loginName = string("loginName");
    row.run.fileName = string("fileName");
    row.run.charsPerMinute = float(o.value(QStringLiteral("charsPerMinute")).toDouble());
    row.run.accuracy = float(o.value(QStringLiteral("accuracy")).toDouble());
    row.run.errors = number("errors");
    row.run.acceptedChars = number("acceptedChars");
    row.run.totalChars = number("totalChars");
    row.run.kanjiOrSymbolChars = number("kanjiOrSymbolChars");
    row.run.alphanumericChars = number("alphanumericChars");
    row.run.secondsUsed = number("secondsUsed");
    const QString kind = string("kind");
    row.kind = kind == kindName(Kind::Certification) ? Kind::Certification
               : kind == kindName(Kind::Imported)    ? Kind::Imported
                                                     : Kind::Practice;
    row.passSpeed = number("passSpeed");
    row.grade = string("grade");
    row.inputMethod = string("inputMethod");
    row.site = string("site");
    row.source = string("source");
    return row;
}

QStringList RunRow::parameters() const
{
    return {id.toString(QUuid::WithoutBraces),
            // A run the log did not take has no number there.
            inLog ? QString::number(run.recordNumber) : QString(), loggedAt.toString(Qt::ISODate),
            text(run.userId), text(run.userName), text(run.computerName), text(run.loginName),
            text(run.fileName), QString::number(double(run.charsPerMinute), 'g', 9),
            QString::number(double(run.accuracy), 'g', 9), QString::number(run.errors),
            QString::number(run.acceptedChars), QString::number(run.totalChars),
            QString::number(run.kanjiOrSymbolChars), QString::number(run.alphanumericChars),
            QString::number(run.secondsUsed), kindName(kind),
            kind == Kind::Imported ? QString() : QString::number(passSpeed),
            grade.isEmpty() ? QString() : grade, inputMethod.isEmpty() ? QString() : inputMethod,
            text(site), source.isEmpty() ? QString() : source};
}

QByteArray CertificateRow::toBytes() const
{
    const QJsonObject object{{QStringLiteral("runId"), runId.toString(QUuid::WithoutBraces)},
                             {QStringLiteral("checkCode"), checkCode},
                             {QStringLiteral("printedAt"), printedAt.toString(Qt::ISODateWithMs)}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<CertificateRow> CertificateRow::fromBytes(const QByteArray& bytes)
{
    const QJsonObject o = QJsonDocument::fromJson(bytes).object();
    CertificateRow row{
        QUuid::fromString(o.value(QStringLiteral("runId")).toString()),
        o.value(QStringLiteral("checkCode")).toString(),
        QDateTime::fromString(o.value(QStringLiteral("printedAt")).toString(), Qt::ISODateWithMs)};
    if (row.runId.isNull() || row.checkCode.isEmpty() || !row.printedAt.isValid())
        return std::nullopt;
    return row;
}
