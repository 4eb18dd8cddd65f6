// pelko --export-csv under random command lines in a scratch folder that holds the kinds of
// name a user can give: the log, other spellings of it and a link to it, a FIFO, a folder,
// options and dates good and bad. Every run ends with a known exit status, a message for
// every failure, and the bytes of the log it read as they were. (A value word taken as the
// output lands in the working folder, which scripts/fuzz.sh makes for the run.)
#include "FuzzSupport.h"

#include "history/ExportCommand.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <iterator>
#include <sys/stat.h>

namespace
{

const QString& folder()
{
    static const QString path = [] {
        const QString dir = Fuzz::scratchFolder();
        QDir(dir).mkdir(QStringLiteral("sub"));
        QFile::link(dir + QStringLiteral("/pelko.log"), dir + QStringLiteral("/link.log"));
        ::mkfifo(QFile::encodeName(dir + QStringLiteral("/fifo")).constData(), 0600);
        return dir;
    }();
    return path;
}

const char* const Words[] = {
    "--export-csv", "--user", "--from", "--to", "-o", "-", "--",
    "pelko.log", "./pelko.log", "sub/../pelko.log", "link.log", "PELKO.LOG",
    "fifo", "sub", "out.csv", "sub/out.csv", "none/out.csv", "A01", " A01 ",
    "2026-12-01", "2026/12/05", "2026-02-30", "20x6-01-01", "0000-01-01", "9999-12-31",
    "12-01-2026", "",
};
constexpr uint8_t FirstPath = 7, EndOfPaths = 17;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::Bytes in(data, size);
    const QString dir = folder();
    QStringList arguments;
    const int count = in.byte() % 9;
    for (int i = 0; i < count; ++i) {
        const uint8_t word = in.byte();
        // Names of files in the scratch folder, the rest as they are.
        const bool isPath = word >= FirstPath && word < EndOfPaths;
        if (word < std::size(Words)) {
            arguments.append((isPath ? dir + u'/' : QString()) + QString::fromUtf8(Words[word]));
        } else {
            // Any other name, kept inside the scratch folder.
            const QString raw = QString::fromUtf8(in.take(word % 12)).replace(u'/', u'_');
            arguments.append(raw.startsWith(u'-') ? raw : dir + u'/' + raw);
        }
    }
    const QByteArray log = in.rest();
    Fuzz::writeFile(dir + QStringLiteral("/pelko.log"), log);
    QFile::remove(dir + QStringLiteral("/out.csv"));

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QString messages;
    const int status = ExportCommand::run(arguments, 25, out, messages);
    FUZZ_CHECK(status >= ExportCommand::Done && status <= ExportCommand::BadArguments);
    if (status != ExportCommand::Done)
        FUZZ_CHECK(!messages.isEmpty());
    else
        FUZZ_CHECK(arguments.contains(QStringLiteral("--export-csv")));
    // The log read stays as it was; pelko.log may be another log's export.
    const QString logPath = dir + QStringLiteral("/pelko.log");
    const qsizetype at = arguments.indexOf(QStringLiteral("--export-csv"));
    const QString named = at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
    QFile written(logPath);
    if (QFileInfo(named).canonicalFilePath() == QFileInfo(logPath).canonicalFilePath())
        FUZZ_CHECK(written.open(QIODevice::ReadOnly) && written.readAll() == log);
    FUZZ_CHECK(QFileInfo(dir + QStringLiteral("/link.log")).isSymLink());
    struct stat st {
    };
    FUZZ_CHECK(::lstat(QFile::encodeName(dir + QStringLiteral("/fifo")).constData(), &st) == 0 &&
               S_ISFIFO(st.st_mode));
    return 0;
}
