#include "colReidai.h"

#include "app/modPelko.h"
#include "common/PelkoError.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"
#include "problems/MoziClass.h"
#include "problems/ReidaiFile.h"
#include "problems/ReidaiPick.h"

#include <QDir>

#include <algorithm>

namespace
{

std::function<void()>& folderChooser()
{
    static std::function<void()> chooser;
    return chooser;
}

QString errorTitle()
{
    return QStringLiteral("エラー");
}

} // namespace

colReidai::colReidai()
    : m_clock([] { return QDateTime::currentDateTime(); }), m_random(&ReidaiPick::defaultDraw)
{
}

void colReidai::setFolderChooser(std::function<void()> chooser)
{
    folderChooser() = std::move(chooser);
}

qint16 colReidai::LoadReidai(const QString& pvDataPath, QString& strPrevReidai, QString& mode)
{
    return load(pvDataPath, strPrevReidai, mode);
}

qint16 colReidai::LoadReidai(const QString& pvDataPath, const QString& strPrevReidai,
                             const QString& mode)
{
    return load(pvDataPath, strPrevReidai, mode);
}

qint16 colReidai::load(const QString& pvDataPath, const QString& strPrevReidai, const QString& mode)
{
    const QString folder = usableFolder(pvDataPath);
    if (folder.isEmpty())
        return NoFolder;

    QStringList names = ListReidaiFiles(folder);
    if (names.isEmpty()) {
        MsgBox(QStringLiteral("指定したディレクトリ内にデータファイルが見つかりません。\r"
                              "確認後もう一度起動して下さい"),
               MsgButtons::Ok, errorTitle(), MsgIcon::Critical);
        return NoProblemFile;
    }
    std::sort(names.begin(), names.end()); // code unit by code unit: .10 before .9

    qsizetype index = 0;
    switch (ReidaiPick::kindOf(strPrevReidai, mode)) {
    case ReidaiPick::Kind::Random:
        index = ReidaiPick::randomIndex(m_random(ReidaiPick::seedOf(m_clock())), names.size());
        break;
    case ReidaiPick::Kind::Sequence:
        index = ReidaiPick::sequenceIndex(names, strPrevReidai);
        break;
    case ReidaiPick::Kind::Selection: {
        const auto found = ReidaiPick::selectionIndex(names, strPrevReidai);
        if (!found)
            throw PelkoError(SelectFailed, QStringLiteral("ファイル指定に失敗しました"));
        index = *found;
        break;
    }
    }

    m_Filename = names.at(index);
    // Read everything first, so a faulty file leaves no half-filled problem behind.
    const QStringList lines =
        ReidaiFile::readLines(FileSystem::joinPath(folder, m_Filename), m_Filename);

    m_lines.clear();
    m_SouMozisu = m_Kana = m_Eisu = m_Hankaku = m_KanziKigo = 0;
    qint32 key = 0;
    for (const QString& text : lines)
        AddLine(text, ++key);

    // The reader already holds the total to 32767, so these 16-bit counts cannot wrap.
    for (const colReidaiLine& line : m_lines) {
        for (const clsMozi& mozi : line) {
            ++m_SouMozisu;
            switch (mozi.Mcode()) {
            case MoziClass::Kana:
                ++m_Kana;
                break;
            case MoziClass::Eisu:
                ++m_Eisu;
                break;
            case MoziClass::Hankaku:
                ++m_Hankaku;
                break;
            default:
                ++m_KanziKigo;
                break;
            }
        }
    }
    return m_SouMozisu == 0 ? NoCharacters : Loaded;
}

QString colReidai::usableFolder(const QString& pvDataPath)
{
    QString folder = pvDataPath;
    while (true) {
        const QString resolved = FileSystem::resolveCase(folder);
        if (FileSystem::canEnterFolder(resolved))
            return resolved;
        if (m_folderRetried)
            return {};
        MsgBox(QStringLiteral("パスの設定が不正です。データが入っているパスを指定して下さい。"),
               MsgButtons::Ok, errorTitle(), MsgIcon::Critical);
        // The chooser is offered once per object, whether or not the user picks a folder.
        m_folderRetried = true;
        DirPath.clear();
        if (folderChooser())
            folderChooser()();
        if (DirPath.isEmpty())
            return {};
        // Only this load uses the chosen folder; the settings keep theirs.
        folder = DirPath;
    }
}

void colReidai::AddLine(const QString& text, qint32 key)
{
    colReidaiLine line;
    line.setLineData(text);
    m_lines.add(std::move(line), key);
}

QStringList colReidai::ListReidaiFiles(const QString& folder)
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

QStringList colReidai::GetReidaiList(const QString& prDataPath)
{
    if (!FileSystem::canEnterFolder(prDataPath))
        return {};
    QStringList names = ListReidaiFiles(prDataPath);
    // The directory order is arbitrary here; the menu follows the order loads use.
    std::sort(names.begin(), names.end());
    return names;
}

QString colReidai::GetHeader(const QString& fullpath)
{
    return ReidaiFile::headText(FileSystem::resolveCase(fullpath), 20);
}
