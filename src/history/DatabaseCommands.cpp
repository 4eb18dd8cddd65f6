#include "DatabaseCommands.h"

#include "ClassLog.h"
#include "results/DatabaseQueue.h"
#include "results/ResultsDatabase.h"
#include "results/RunRow.h"

#include <QFileInfo>

#include <cstring>

namespace
{

const QStringList Options = {QStringLiteral("--db-init"), QStringLiteral("--db-send"),
                             QStringLiteral("--db-import")};

int fail(QString& messages, const QString& text, int status)
{
    messages += QStringLiteral("pelko: ") + text + u'\n';
    return status;
}

int importLogs(const QStringList& logs, PostgresConnection& connection, const QString& site,
               QString& output, QString& messages)
{
    int status = DatabaseCommands::Done;
    for (const QString& path : logs) {
        ClassLog log;
        if (log.open(path) != ClassLog::Status::Ok) {
            status =
                fail(messages, path + QStringLiteral(" を読めません。"), DatabaseCommands::Failed);
            continue;
        }
        int added = 0, already = 0, undated = 0;
        for (int i = 0; i < log.size(); ++i) {
            RunRow row;
            row.loggedAt = log.when(i);
            if (!row.loggedAt.isValid()) {
                ++undated;
                continue;
            }
            // Named by its content: the same line is the same row however often it is
            // brought in, and the same as the row the run's own PC queued.
            row.id = RunRow::idOfLine(log.fields(i));
            auto number = [&](LogColumn c) { return log.text(i, int(c)).trimmed().toInt(); };
            auto text = [&](LogColumn c) { return log.text(i, int(c)); };
            row.inLog = true;
            row.run.recordNumber = number(LogColumn::RecordNumber);
            row.run.userId = text(LogColumn::UserId);
            row.run.userName = text(LogColumn::UserName);
            row.run.computerName = text(LogColumn::ComputerName);
            row.run.loginName = text(LogColumn::LoginName);
            row.run.fileName = text(LogColumn::FileName);
            row.run.charsPerMinute = log.record(i).speed;
            row.run.accuracy = log.record(i).accuracy;
            row.run.errors = number(LogColumn::Errors);
            row.run.acceptedChars = number(LogColumn::AcceptedChars);
            row.run.totalChars = number(LogColumn::TotalChars);
            row.run.kanjiOrSymbolChars = number(LogColumn::KanjiOrSymbolChars);
            row.run.alphanumericChars = number(LogColumn::AlphanumericChars);
            row.run.secondsUsed = number(LogColumn::SecondsUsed);
            row.kind = RunRow::Kind::Imported;
            row.site = site;
            row.source = QFileInfo(path).fileName();
            const Expected<bool> inserted = ResultsDatabase::insert(connection, row);
            if (!inserted)
                return fail(messages, path + QStringLiteral(": ") + inserted.error().message(),
                            DatabaseCommands::Failed);
            ++(*inserted ? added : already);
        }
        output += path + QStringLiteral(": 追加 %1 件、登録済み %2 件").arg(added).arg(already);
        const int skipped = log.wrongFieldCountLines() + log.notNumberLines() + undated;
        if (skipped > 0)
            output +=
                QStringLiteral("、読み飛ばし %1 行（列が16でない %2、速度か正打率が数でない %3、"
                               "日付か時刻が読めない %4）")
                    .arg(skipped)
                    .arg(log.wrongFieldCountLines())
                    .arg(log.notNumberLines())
                    .arg(undated);
        output += u'\n';
    }
    return status;
}

} // namespace

namespace DatabaseCommands
{

QString requested(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const QString& option : Options) {
            if (std::strcmp(argv[i], option.toLatin1().constData()) == 0)
                return option;
        }
    }
    return {};
}

int run(const QStringList& arguments, const PostgresConnection::Parameters& server,
        const QString& site, QString& output, QString& messages)
{
    const QString option = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    if (!Options.contains(option) || (option != Options[2] && !rest.isEmpty()) ||
        (option == Options[2] && rest.isEmpty()))
        return fail(messages,
                    QStringLiteral("使い方: pelko --db-init | --db-send | --db-import ログ…"),
                    BadArguments);
    if (server.isEmpty())
        return fail(messages,
                    QStringLiteral("pelko.ini の [Database] にデータベースが設定されていません。"),
                    NotConfigured);
    if (option == Options[1]) {
        DatabaseQueue queue(DatabaseQueue::defaultFolder());
        const DatabaseQueue::Sent sent = queue.send(server, 5, 15'000);
        output += QStringLiteral("送信 %1 件、送信済み %2 件、待ち %3 件\n")
                      .arg(sent.added)
                      .arg(sent.already)
                      .arg(sent.waiting);
        if (sent.broken > 0)
            messages += QStringLiteral("pelko: 読めない記録 %1 件を .broken にしました。\n")
                            .arg(sent.broken);
        return sent.waiting == 0 ? Done : fail(messages, sent.failure, Failed);
    }
    auto connection = PostgresConnection::open(server);
    if (!connection)
        return fail(messages, connection.error().message(), Failed);
    if (option == Options[0]) {
        const Expected<int> before = ResultsDatabase::migrate(**connection);
        if (!before)
            return fail(messages, before.error().message(), Failed);
        output += QStringLiteral("データベースの版: %1 → %2\n")
                      .arg(*before)
                      .arg(ResultsDatabase::SchemaVersion);
        return Done;
    }
    return importLogs(rest, **connection, site, output, messages);
}

} // namespace DatabaseCommands
