#include "Problem.h"

#include "platform/FileSystem.h"
#include "platform/MessageService.h"
#include "problems/CharClass.h"
#include "problems/ProblemFile.h"
#include "problems/ProblemPicker.h"

#include <QDir>

#include <algorithm>

namespace
{

QString errorTitle()
{
    return QStringLiteral("エラー");
}

} // namespace

Problem::Problem()
    : m_clock([] { return QDateTime::currentDateTime(); }),
      m_randomSource(&ProblemPicker::defaultDraw)
{
}

Expected<Problem::LoadStatus> Problem::loadFrom(const QString& dataFolder,
                                                const QString& previousName, const QString& mode)
{
    const QString folder = usableFolder(dataFolder);
    if (folder.isEmpty())
        return NoFolder;

    const Expected<QStringList> found = findProblemFiles(folder);
    if (!found)
        return found.error();
    QStringList names = *found;
    if (names.isEmpty()) {
        showMessage(QStringLiteral("指定したディレクトリ内にデータファイルが見つかりません。\r"
                                   "確認後もう一度起動して下さい"),
                    MessageButtons::Ok, errorTitle(), MessageIcon::Critical);
        return NoProblemFile;
    }
    std::sort(names.begin(), names.end()); // code unit by code unit: .10 before .9

    qsizetype index = 0;
    switch (ProblemPicker::kindOf(previousName, mode)) {
    case ProblemPicker::Kind::Random:
        index = ProblemPicker::randomIndex(m_randomSource(ProblemPicker::seedOf(m_clock())),
                                           names.size());
        break;
    case ProblemPicker::Kind::Sequence:
        index = ProblemPicker::sequenceIndex(names, previousName);
        break;
    case ProblemPicker::Kind::Selection: {
        const auto chosen = ProblemPicker::selectionIndex(names, previousName);
        if (!chosen)
            return Error(Error::Code::FileNotFound, QStringLiteral("ファイル指定に失敗しました"));
        index = *chosen;
        break;
    }
    }

    m_fileName = names.at(index);
    m_filePath = FileSystem::joinPath(folder, m_fileName);
    // Read everything first, so a faulty file leaves no half-filled problem behind.
    const Expected<QStringList> lines = ProblemFile::readLines(m_filePath, m_fileName);
    if (!lines)
        return lines.error();
    return fill(*lines);
}

Expected<Problem::LoadStatus> Problem::setLines(const QString& name, const QStringList& lines)
{
    qsizetype total = 0;
    for (const QString& line : lines)
        total += ProblemLine::characterCount(line);
    if (total > ProblemFile::MaxCharacters || lines.size() > ProblemFile::MaxLines)
        return Error(Error::Code::Overflow,
                     name + QStringLiteral(" の文字数が多すぎます（32767 まで）。"));
    m_fileName = name;
    return fill(lines);
}

Expected<Problem::LoadStatus> Problem::fill(const QStringList& lines)
{
    m_lines.clear();
    m_totalChars = m_kanaChars = m_alphanumericChars = m_halfWidthChars = m_kanjiOrSymbolChars = 0;
    m_lines.reserve(lines.size());
    for (const QString& text : lines) {
        ProblemLine line;
        if (!line.setText(text))
            return Error::overflow();
        m_lines.append(std::move(line));
    }

    // The reader and setLines hold the total to 32767, the most the log can hold.
    for (const ProblemLine& line : m_lines) {
        for (const ProblemChar& problemChar : line) {
            ++m_totalChars;
            switch (problemChar.charClass()) {
            case CharClass::Kana:
                ++m_kanaChars;
                break;
            case CharClass::Alphanumeric:
                ++m_alphanumericChars;
                break;
            case CharClass::HalfWidth:
                ++m_halfWidthChars;
                break;
            default:
                ++m_kanjiOrSymbolChars;
                break;
            }
        }
    }
    return m_totalChars == 0 ? NoCharacters : Loaded;
}

QString Problem::usableFolder(const QString& dataFolder)
{
    QString folder = dataFolder;
    while (true) {
        const QString resolved = FileSystem::resolveCase(folder);
        if (FileSystem::canEnterFolder(resolved))
            return resolved;
        if (m_folderRetried)
            return {};
        showMessage(
            QStringLiteral("パスの設定が不正です。データが入っているパスを指定して下さい。"),
            MessageButtons::Ok, errorTitle(), MessageIcon::Critical);
        // The chooser is offered once per object, whether or not the user picks a folder.
        m_folderRetried = true;
        const QString chosen = m_folderChooser ? m_folderChooser() : QString();
        if (chosen.isEmpty())
            return {};
        // Only this load uses the chosen folder; the settings keep theirs.
        folder = chosen;
    }
}

Expected<QStringList> Problem::findProblemFiles(const QString& folder)
{
    // Without QDir::CaseSensitive the pattern ignores letter case (JPN_DAT.003 matches).
    QDir dir(FileSystem::resolveCase(folder));
    dir.setNameFilters({QStringLiteral("jpn_dat.*")});
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Unsorted);
    QStringList names = dir.entryList();
    if (names.size() > MaxFiles)
        return Error(Error::Code::Overflow,
                     QStringLiteral("フォルダ ") + folder +
                         QStringLiteral(" の問題ファイルが多すぎます（32767 まで）。"));
    return names;
}

Expected<QStringList> Problem::problemFiles(const QString& dataFolder)
{
    if (!FileSystem::canEnterFolder(dataFolder))
        return QStringList();
    Expected<QStringList> names = findProblemFiles(dataFolder);
    // The directory order is arbitrary here; the menu follows the order loads use.
    if (names)
        std::sort(names->begin(), names->end());
    return names;
}

QString Problem::fileHeader(const QString& path)
{
    return ProblemFile::fileHeader(FileSystem::resolveCase(path), 20);
}
