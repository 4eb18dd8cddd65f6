#include "Problem.h"

#include "common/PelkoError.h"
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

qint16 Problem::loadFrom(const QString& dataFolder, QString& previousName, QString& mode)
{
    return load(dataFolder, previousName, mode);
}

qint16 Problem::loadFrom(const QString& dataFolder, const QString& previousName,
                         const QString& mode)
{
    return load(dataFolder, previousName, mode);
}

qint16 Problem::load(const QString& dataFolder, const QString& previousName, const QString& mode)
{
    const QString folder = usableFolder(dataFolder);
    if (folder.isEmpty())
        return NoFolder;

    QStringList names = findProblemFiles(folder);
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
        const auto found = ProblemPicker::selectionIndex(names, previousName);
        if (!found)
            throw PelkoError(SelectFailed, QStringLiteral("ファイル指定に失敗しました"));
        index = *found;
        break;
    }
    }

    m_fileName = names.at(index);
    m_filePath = FileSystem::joinPath(folder, m_fileName);
    // Read everything first, so a faulty file leaves no half-filled problem behind.
    const QStringList lines = ProblemFile::readLines(m_filePath, m_fileName);

    return fill(lines);
}

qint16 Problem::setLines(const QString& name, const QStringList& lines)
{
    qsizetype total = 0;
    for (const QString& line : lines)
        total += ProblemLine::characterCount(line);
    if (total > ProblemFile::MaxCharacters || lines.size() > ProblemFile::MaxLines)
        throw PelkoError(PelkoError::Overflow,
                         name + QStringLiteral(" の文字数が多すぎます（32767 まで）。"));
    m_fileName = name;
    return fill(lines);
}

qint16 Problem::fill(const QStringList& lines)
{
    m_lines.clear();
    m_totalChars = m_kanaChars = m_alphanumericChars = m_halfWidthChars = m_kanjiOrSymbolChars = 0;
    qint32 key = 0;
    for (const QString& text : lines)
        appendLine(text, ++key);

    // The reader and setLines hold the total to 32767, so these 16-bit counts cannot wrap.
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

void Problem::appendLine(const QString& text, qint32 key)
{
    ProblemLine line;
    line.setText(text);
    m_lines.add(std::move(line), key);
}

QStringList Problem::findProblemFiles(const QString& folder)
{
    // Without QDir::CaseSensitive the pattern ignores letter case (JPN_DAT.003 matches).
    QDir dir(FileSystem::resolveCase(folder));
    dir.setNameFilters({QStringLiteral("jpn_dat.*")});
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Unsorted);
    QStringList names = dir.entryList();
    if (names.size() > MaxFiles)
        throw PelkoError(PelkoError::Overflow,
                         QStringLiteral("フォルダ ") + folder +
                             QStringLiteral(" の問題ファイルが多すぎます（32767 まで）。"));
    return names;
}

QStringList Problem::problemFiles(const QString& dataFolder)
{
    if (!FileSystem::canEnterFolder(dataFolder))
        return {};
    QStringList names = findProblemFiles(dataFolder);
    // The directory order is arbitrary here; the menu follows the order loads use.
    std::sort(names.begin(), names.end());
    return names;
}

QString Problem::fileHeader(const QString& path)
{
    return ProblemFile::fileHeader(FileSystem::resolveCase(path), 20);
}
