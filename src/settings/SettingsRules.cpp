#include "SettingsRules.h"

#include "ColorLiteral.h"
#include "IniFile.h"
#include "common/NumericText.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace SettingsRules
{

int positionFor(const Bar& bar, double value)
{
    const double raw = bar.maximum - value * bar.divisor + bar.singleStep;
    if (!std::isfinite(raw))
        return raw > 0 ? bar.maximum : bar.minimum;
    const double rounded = NumericText::roundHalfEven(raw);
    return int(std::clamp(rounded, double(bar.minimum), double(bar.maximum)));
}

double valueAt(const Bar& bar, int position)
{
    return double(bar.maximum - position + bar.singleStep) / bar.divisor;
}

QString labelAt(const Bar& bar, int position)
{
    if (bar.divisor == 1)
        return QString::number(bar.maximum - position + bar.singleStep);
    return NumericText::singleText(float(valueAt(bar, position)));
}

QString fontLabel(const Bar& bar, float size)
{
    const double lowest = valueAt(bar, bar.maximum);
    const double highest = valueAt(bar, bar.minimum);
    // Compared at single precision, as the sizes are held: 0.1f must count as 0.1.
    if (size >= float(lowest) && size <= float(highest))
        return NumericText::singleText(size);
    return labelAt(bar, positionFor(bar, size));
}

QString shownColorText(const QString& stored, const QString& fallback)
{
    return ColorLiteral::toBgr(stored) ? stored : fallback;
}

qint32 colorValueOfBox(const QString& boxText)
{
    return ColorLiteral::numberValue(boxText);
}

std::array<qint32, 16> initialCustomColors()
{
    std::array<qint32, 16> colors{};
    for (int i = 0; i < 16; ++i)
        colors[i] = 255 | (255 << 8) | ((16 * i + 15) << 16);
    return colors;
}

namespace
{

constexpr PaperSize kPaperOptions[] = {PaperSize::A4, PaperSize::B4, PaperSize::B5};
constexpr ProblemOrder kOrderOptions[] = {ProblemOrder::Random, ProblemOrder::Sequence,
                                          ProblemOrder::Select};

} // namespace

int paperIndex(PaperSize paper)
{
    const auto at = std::find(std::begin(kPaperOptions), std::end(kPaperOptions), paper);
    return at == std::end(kPaperOptions) ? -1 : int(at - std::begin(kPaperOptions));
}

PaperSize paperSizeAt(int index)
{
    return index >= 0 && index < 3 ? kPaperOptions[index] : SettingDefaults::Paper;
}

int orderIndex(ProblemOrder order)
{
    const auto at = std::find(std::begin(kOrderOptions), std::end(kOrderOptions), order);
    return at == std::end(kOrderOptions) ? 0 : int(at - std::begin(kOrderOptions));
}

ProblemOrder problemOrderAt(int index)
{
    return index >= 0 && index < 3 ? kOrderOptions[index] : SettingDefaults::Order;
}

void reportTooLong(const QString& field)
{
    const qsizetype bytes = IniFile::ValueBufferSize - 1;
    showMessage(field + QStringLiteral("が長すぎるため保存できません。") + u'\r' +
                    QStringLiteral("半角%1文字（全角%2文字）以内で指定してください。")
                        .arg(bytes)
                        .arg(bytes / 2),
                MessageButtons::Ok, QStringLiteral("入力エラー"), MessageIcon::Warning);
}

namespace
{

const char16_t* const FirstFailureText[FolderCount] = {
    u"練習用データの指定ディレクトリが間違っています。デフォルト値を使用します",
    u"本番用データの指定ディレクトリが間違っています。デフォルト値を使用します",
    u"ログの指定ディレクトリが間違っています。デフォルト値を使用します",
    u"合格ログの指定ディレクトリが間違っています。デフォルト値を使用します",
};

bool makeOneLevel(const QString& path)
{
    // The parent may be spelt in another case than on disk; only the last level is new.
    QString folder = path;
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    const QFileInfo info(folder);
    const QString parent = FileSystem::resolveCase(info.path());
    return QDir(parent).mkdir(info.fileName());
}

} // namespace

FolderCheck::FolderCheck() : canEnter(FileSystem::canEnterFolder), makeFolder(makeOneLevel)
{
}

bool FolderCheck::run(std::array<FolderGroup, FolderCount>& groups,
                      const std::array<QString, FolderCount>& defaults)
{
    for (int f = 0; f < FolderCount; ++f) {
        const auto folder = Folder(f);
        while (!canEnter(groups[f].text)) {
            ++m_failures;
            repair(folder, groups[f], defaults[f]);
            if (repaired)
                repaired(folder, groups[f]);
            if (m_failures >= MaxFailures) {
                showMessage(
                    QStringLiteral("データファイルが正しくセットされているかどうかを確認して"
                                   "もう一度起動してください"),
                    MessageButtons::Ok, QStringLiteral("エラー"));
                return false;
            }
        }
    }
    return true;
}

void FolderCheck::repair(Folder folder, FolderGroup& group, const QString& defaultFolder)
{
    if (!m_failedBefore[folder]) {
        m_failedBefore[folder] = true;
        showMessage(QString::fromUtf16(FirstFailureText[folder]), MessageButtons::Ok,
                    QStringLiteral("ディレクトリエラー"), MessageIcon::Critical);
        group.option = 0;
        group.text = defaultFolder;
        return;
    }
    switch (folder) {
    case Practice:
        showMessage(QStringLiteral("仮にPelkoのフォルダに参照します。あとから見直してください"));
        break;
    case Certification:
        showMessage(QStringLiteral("デフォルトのフォルダに参照します。あとから見直してください"));
        break;
    case Log:
    case PassLog:
        if (showMessage(group.text + QStringLiteral("がありません。作成してよろしいですか？"),
                        MessageButtons::YesNo,
                        QStringLiteral("フォルダの確認")) == MessageAnswer::Yes)
            makeFolder(group.text);
        else
            showMessage(QStringLiteral("フォルダ位置を確認してください"));
        break;
    }
    group.option = 1;
    group.text = defaultFolder;
}

} // namespace SettingsRules
