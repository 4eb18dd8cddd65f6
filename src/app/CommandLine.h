#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for, decided before any window system is touched: --help and
// --version answer without a display, a mistyped option is refused instead of opening
// windows. (--export-csv is the export's own, decided before this.) Messages in Japanese
// unless the locale is another language.
class CommandLine
{
public:
    enum Action { OpenWindows, Answer };
    enum Exit { Done = 0, Misused = 2 };

    // arguments: without the program's name.
    CommandLine(const QStringList& arguments, bool japanese);
    static CommandLine fromProcess(int argc, char** argv);
    // LC_ALL, then LC_MESSAGES, then LANG decide, as for other programs' messages.
    static bool isJapanese(const char* lcAll, const char* lcMessages, const char* lang);

    Action action() const { return m_action; }
    int exitCode() const { return m_exitCode; }
    QString standardOutput() const { return m_output; }
    QString standardError() const { return m_error; }

    // Writes the answer to the standard streams; returns the exit code.
    int answer() const;

private:
    void refuse(const QString& japanese, const QString& english);

    bool m_japanese;
    Action m_action = OpenWindows;
    int m_exitCode = Done;
    QString m_output;
    QString m_error;
};
