#include "CommandLine.h"

#include "PelkoVersion.h"

#include <cstdio>
#include <cstdlib>

namespace
{

// Qt's own options, which QApplication takes off the command line.
const char* const QtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
    "qwindowicon", "icon", "qwindowtitle", "title", "session", "style", "stylesheet",
    "display", "name", "qmljsdebugger"};
const char* const QtFlags[] = {"reverse", "nograb", "dograb", "sync", "widgetcount"};

// "-style", "--style" and "--style=x" all name "style".
QString optionName(const QString& argument)
{
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(u'=');
    return equals < 0 ? name : name.left(equals);
}

template <std::size_t N>
bool contains(const char* const (&names)[N], const QString& name)
{
    for (const char* known : names) {
        if (name == QLatin1String(known))
            return true;
    }
    return false;
}

QString helpText(bool japanese)
{
    if (japanese)
        return QStringLiteral(
            "使い方: pelko [オプション]\n"
            "日本語入力の速さと正確さを測ります。オプションなしでメインメニューを開きます。\n"
            "\n"
            "  -h, --help            この説明を表示して終わります\n"
            "  -v, --version         版数を表示して終わります\n"
            "  --export-csv ログファイル [--user ID] [--from 日付] [--to 日付] [出力ファイル]\n"
            "                        画面を開かずにログを CSV に書き出します\n"
            "                        (日付は 2026-04-01 の形、出力ファイルを省くと標準出力)\n"
            "  --export-csv --db [--site 場所] [--kind 種類] [--user ID] [--from 日付] [--to 日付]\n"
            "                        結果のデータベースから CSV に書き出します\n"
            "  --db-init             結果のデータベースの表を作ります (管理者)\n"
            "  --db-send             送信待ちの結果を今送ります\n"
            "  --db-import ログ...   古いログをデータベースに取り込みます\n"
            "  --site-key new フォルダ [学校名]\n"
            "                        認定証に署名する鍵を作ります\n"
            "  --verify ファイルまたはコード [--key 公開鍵]...\n"
            "                        認定証 (PDF・画像) のコードを確かめます\n"
            "                        (終了状態 0 有効、1 改ざん、3 不明な鍵、4 コードなし)\n"
            "\n"
            "Qt の -platform、-display、-style なども使えます。\n"
            "詳しくは man pelko とプログラムのヘルプを見てください。\n");
    return QStringLiteral(
        "Usage: pelko [OPTION]\n"
        "Measures how fast and accurately you type Japanese through the input method.\n"
        "Without options it opens the main menu.\n"
        "\n"
        "  -h, --help            show this help and exit\n"
        "  -v, --version         show the version and exit\n"
        "  --export-csv LOGFILE [--user ID] [--from DATE] [--to DATE] [OUTFILE]\n"
        "                        write the log as CSV without opening a window\n"
        "                        (dates as 2026-04-01; without OUTFILE to standard output)\n"
        "  --export-csv --db [--site SITE] [--kind KIND] [--user ID] [--from DATE] [--to DATE]\n"
        "                        write the results database's runs as CSV\n"
        "  --db-init             make or migrate the results database's tables\n"
        "  --db-send             send the runs waiting for the database now\n"
        "  --db-import LOG...    bring old main logs into the database\n"
        "  --site-key new FOLDER [SITE]\n"
        "                        make the key that signs certificates\n"
        "  --verify FILE-or-CODE [--key PUBLIC-KEY]...\n"
        "                        check the code of a certificate (PDF or picture)\n"
        "                        (exit status 0 valid, 1 altered, 3 unknown key, 4 no code)\n"
        "\n"
        "Qt's options such as -platform, -display and -style are accepted too.\n"
        "See man pelko and the program's help pages for more.\n");
}

} // namespace

CommandLine::CommandLine(const QStringList& arguments, bool japanese)
    : m_japanese(japanese)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"-h" || argument == u"--help") {
            m_action = Answer;
            m_output = helpText(japanese);
            return;
        }
        if (argument == u"-v" || argument == u"--version") {
            m_action = Answer;
            m_output = QStringLiteral("pelko ") + versionText() + u'\n';
            return;
        }
        if (!argument.startsWith(u'-') || argument.size() < 2) {
            refuse(QStringLiteral("余分な引数です: ") + argument,
                   QStringLiteral("unexpected argument: ") + argument);
            return;
        }
        const QString name = optionName(argument);
        if (contains(QtOptionsWithValue, name)) {
            if (!argument.contains(u'='))
                ++i; // its value
            continue;
        }
        if (contains(QtFlags, name))
            continue;
        refuse(QStringLiteral("知らないオプションです: ") + argument,
               QStringLiteral("unknown option: ") + argument);
        return;
    }
}

void CommandLine::refuse(const QString& japanese, const QString& english)
{
    m_action = Answer;
    m_exitCode = Misused;
    m_error = QStringLiteral("pelko: ") + (m_japanese ? japanese : english) + u'\n' +
              (m_japanese ? QStringLiteral("使い方は pelko --help で表示します。\n")
                          : QStringLiteral("Try 'pelko --help' for more information.\n"));
}

CommandLine CommandLine::fromProcess(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return CommandLine(arguments, isJapanese(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                             std::getenv("LANG")));
}

bool CommandLine::isJapanese(const char* lcAll, const char* lcMessages, const char* lang)
{
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value && *value)
            return QByteArray(value).startsWith("ja");
    }
    return false;
}

int CommandLine::answer() const
{
    std::fputs(m_output.toLocal8Bit().constData(), stdout);
    std::fputs(m_error.toLocal8Bit().constData(), stderr);
    return m_exitCode;
}
