#include "ExportCommand.h"

#include "ClassLog.h"
#include "ClassLogQuery.h"
#include "CsvExport.h"
#include "results/LogArchive.h"

#include <QDate>
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
                          "[--to 日付] [出力ファイル]\n日付は 2026-04-01 の形で書きます。"
                          "出力ファイルを省くと標準出力に書きます。\n");
}

QDate dateOf(const QString& text)
{
    QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        date = QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
    return date;
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

int run(const QStringList& arguments, qint16 passSpeed, QIODevice& standardOutput,
        QString& messages)
{
    QString logPath;
    QString outPath;
    ClassLogFilter filter;
    filter.passSpeed = passSpeed;
    bool sawOption = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool takesValue = argument == QLatin1String(Option) || argument == u"--user" ||
                                argument == u"--from" || argument == u"--to";
        if (takesValue && i + 1 >= arguments.size()) {
            messages += argument + QStringLiteral(" の後に値がありません\n") + usage();
            return BadArguments;
        }
        if (argument == QLatin1String(Option)) {
            logPath = arguments[++i];
            sawOption = true;
        } else if (argument == u"--user") {
            filter.user = arguments[++i];
            filter.exactUserId = true;
        } else if (argument == u"--from" || argument == u"--to") {
            const QDate date = dateOf(arguments[++i]);
            if (!date.isValid()) {
                messages +=
                    QStringLiteral("日付が正しくありません: ") + arguments[i] + u'\n' + usage();
                return BadArguments;
            }
            (argument == u"--from" ? filter.from : filter.to) = date;
        } else if (argument.startsWith(u"--") || !outPath.isEmpty()) {
            messages += QStringLiteral("分からない引数です: ") + argument + u'\n' + usage();
            return BadArguments;
        } else {
            outPath = argument;
        }
    }
    if (!sawOption || logPath.isEmpty()) {
        messages += usage();
        return BadArguments;
    }

    ClassLog log;
    const ClassLog::Status status = log.open(LogArchive::withArchives(logPath));
    if (status != ClassLog::Status::Ok) {
        messages += openFailureText(int(status), logPath) + u'\n';
        return LogFailed;
    }
    if (log.wrongFieldCountLines() + log.notNumberLines() + log.undecodableRecords() > 0)
        messages += readReport(log) + u'\n';
    const std::vector<int> rows = selectRows(log, filter);

    if (outPath.isEmpty()) {
        if (!CsvExport::write(standardOutput, log, rows, passSpeed)) {
            messages += QStringLiteral("標準出力に書き込めません\n");
            return OutputFailed;
        }
        return Done;
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
