#include "ExportCommand.h"

#include "ClassLog.h"
#include "ClassLogQuery.h"
#include "CsvExport.h"
#include "DatabaseLog.h"
#include "DateText.h"
#include "platform/SafeOutput.h"
#include "results/LogArchive.h"

#include <QDate>
#include <QFileDevice>
#include <QSaveFile>

#include <cstring>

namespace ExportCommand
{

namespace
{

const char* const Option = "--export-csv";

QString usage()
{
    return QStringLiteral("使い方: pelko --export-csv ログファイル [--user ID] [--from 日付] "
                          "[--to 日付] [出力ファイル]\n"
                          "       pelko --export-csv --db [--site 場所] [--kind 種類] [--user ID] "
                          "[--from 日付] [--to 日付] [出力ファイル]\n日付は 2026-04-01 の形、"
                          "種類は practice、certification、imported で書きます。"
                          "出力ファイルを省くと標準出力に書きます。\n");
}

int refuse(QString& messages, const QString& why)
{
    messages += why + u'\n' + usage();
    return BadArguments;
}

} // namespace

bool isRequested(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], Option) == 0)
            return true;
    }
    return false;
}

int run(const QStringList& arguments, int passSpeed, QIODevice& standardOutput, QString& messages,
        const PostgresConnection::Parameters& server)
{
    QString logPath;
    QString outPath;
    ClassLogFilter filter;
    filter.passSpeed = passSpeed;
    bool fromDatabase = false;
    QStringList seen;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String(Option) && arguments.value(i + 1) == u"--db") {
            fromDatabase = true;
            ++i;
            continue;
        }
        const bool takesValue = argument == QLatin1String(Option) || argument == u"--user" ||
                                argument == u"--from" || argument == u"--to" ||
                                (fromDatabase && (argument == u"--site" || argument == u"--kind"));
        if (!takesValue) {
            // Anything like an option is one, never a file name: "-o out.csv" is no output.
            if (argument.startsWith(u'-') || !outPath.isEmpty())
                return refuse(messages, QStringLiteral("分からない引数です: ") + argument);
            outPath = argument;
            continue;
        }
        if (seen.contains(argument))
            return refuse(messages, argument + QStringLiteral(" が2回あります"));
        seen.append(argument);
        if (i + 1 >= arguments.size() || arguments[i + 1].startsWith(u'-'))
            return refuse(messages, argument + QStringLiteral(" の後に値がありません"));
        const QString& value = arguments[++i];
        if (argument == QLatin1String(Option)) {
            logPath = value;
        } else if (argument == u"--site") {
            filter.site = value;
        } else if (argument == u"--kind") {
            if (value != u"practice" && value != u"certification" && value != u"imported")
                return refuse(messages, QStringLiteral("種類が正しくありません: ") + value);
            filter.kind = value;
        } else if (argument == u"--user") {
            filter.user = value;
            filter.exactUserId = true;
        } else {
            const QDate date = DateText::parse(value);
            if (!date.isValid())
                return refuse(messages, QStringLiteral("日付が正しくありません: ") + value);
            (argument == u"--from" ? filter.from : filter.to) = date;
        }
    }
    if (logPath.isEmpty() && !fromDatabase) {
        messages += usage();
        return BadArguments;
    }
    if (filter.from.isValid() && filter.to.isValid() && filter.from > filter.to)
        return refuse(messages, QStringLiteral("--from の日付が --to の日付より後です"));

    ClassLog log;
    if (fromDatabase) {
        if (server.isEmpty())
            return refuse(messages, QStringLiteral("pelko.ini の [Database] にデータベースが"
                                                   "設定されていません"));
        auto connection = PostgresConnection::open(server);
        // The server narrows the rows; the same filter then runs here as on a log.
        const auto lines = connection ? DatabaseLog::fetch(**connection, {filter, {}})
                                      : Expected<QByteArray>(connection.error());
        if (!lines) {
            messages += lines.error().message() + u'\n';
            return LogFailed;
        }
        log.openBytes(*lines);
    } else if (const ClassLog::Status status = log.open(LogArchive::withArchives(logPath));
               status != ClassLog::Status::Ok) {
        messages += openFailureText(int(status), logPath) + u'\n';
        return LogFailed;
    }
    if (log.wrongFieldCountLines() + log.notNumberLines() + log.undecodableRecords() > 0 ||
        !log.skippedFiles().isEmpty())
        messages += readReport(log) + u'\n';
    const std::vector<int> rows = selectRows(log, filter);

    if (outPath.isEmpty()) {
        // A full disk or /dev/full shows only when the buffered bytes are flushed.
        auto* file = qobject_cast<QFileDevice*>(&standardOutput);
        if (!CsvExport::write(standardOutput, log, rows, passSpeed) || (file && !file->flush())) {
            messages += QStringLiteral("標準出力に書き込めません\n");
            return OutputFailed;
        }
        return Done;
    }
    const SafeOutput::Refusal refusal = SafeOutput::check(outPath, log.fileIds());
    if (refusal != SafeOutput::Refusal::None) {
        messages += SafeOutput::message(refusal, outPath) + u'\n';
        return BadArguments;
    }
    // A half-written file never replaces an earlier export.
    QSaveFile file(outPath);
    if (!file.open(QIODevice::WriteOnly) || !CsvExport::write(file, log, rows, passSpeed) ||
        !file.commit()) {
        messages += QStringLiteral("CSV ファイルに書き込めません: ") + outPath + u'\n';
        return OutputFailed;
    }
    return Done;
}

} // namespace ExportCommand
