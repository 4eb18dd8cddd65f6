#include "ProgramState.h"

#include "platform/AppPaths.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"
#include "settings/Settings.h"

#include <QDir>

Settings* appSettings = nullptr;
RunRecord* appRecord = nullptr;
QString logColumns[LogColumnCount][2];
float baseFontSize = 13;
float rowGapFontSize = 3;
float resultFontSize = 11;
QString chosenFolder;
QString chosenLogFileName;

void fillLogColumns()
{
    static const char16_t* const titles[LogColumnCount] = {u"連番",
                                                           u"日付",
                                                           u"時間",
                                                           u"入力ユーザＩＤ",
                                                           u"入力ユーザ名",
                                                           u"使用ＰＣ名",
                                                           u"使用ＰＣユーザ名",
                                                           u"データファイル名",
                                                           u"入力速度(文字/分)",
                                                           u"正打率(%)",
                                                           u"エラー数",
                                                           u"入力文字数",
                                                           u"総文字数",
                                                           u"漢字含有率",
                                                           u"半角文字含有率",
                                                           u"計測時間(秒)"};
    for (int i = 0; i < LogColumnCount; ++i)
        logColumns[i][1] = QString::number(i, 16).toUpper();
    for (int i = 0; i < LogColumnCount; ++i)
        logColumns[i][0] = QString::fromUtf16(titles[i]);
}

namespace
{

const QString kTitleError = QStringLiteral("エラー");

QString folderMessage(const char16_t* first, const char16_t* second)
{
    return QString::fromUtf16(first) + u'\r' + QString::fromUtf16(second);
}

} // namespace

void checkFolders(Settings& settings, const std::function<void()>& showSettings)
{
    const QString appFolder = AppPaths::applicationFolder();

    if (!FileSystem::canEnterFolder(settings.certificationFolder())) {
        showMessage(folderMessage(u"データファイルのパスの指定が間違っています",
                                  u"デフォルトの指定で読み込んでみます"),
                    MessageButtons::Ok, kTitleError);
        settings.setCertificationFolder(FileSystem::joinPath(appFolder, QStringLiteral("data")));
        if (!FileSystem::canEnterFolder(settings.certificationFolder())) {
            showMessage(folderMessage(u"データファイルのパスの指定が間違っています",
                                      u"環境設定を起動しますのでパスを指定しなおしてください。"),
                        MessageButtons::Ok, kTitleError);
            if (showSettings)
                showSettings();
            return;
        }
    }

    if (!FileSystem::canEnterFolder(settings.logFolder())) {
        showMessage(
            folderMessage(u"ログのパス指定が間違っています", u"デフォルトの指定で読み込んでみます"),
            MessageButtons::Ok, kTitleError);
        settings.setLogFolder(appFolder);
    }

    if (!settings.isPassLogEnabled())
        return;

    if (!FileSystem::canEnterFolder(settings.passLogFolder())) {
        showMessage(folderMessage(u"サブログのパス指定が間違っています",
                                  u"デフォルトの指定で読み込んでみます"),
                    MessageButtons::Ok, kTitleError);
        settings.setPassLogFolder(appFolder);
    }
}

void createDefaultLogFolder(const Settings& settings)
{
    const QString defaultFolder = Settings::defaultLogFolder();
    for (const QString& folder : {settings.logFolder(), settings.passLogFolder()}) {
        if (FileSystem::withTrailingSlash(folder) == defaultFolder)
            QDir().mkpath(defaultFolder);
    }
}

QString unexpectedErrorText(int number, const QString& description)
{
    return QString::number(number) + u':' + description + u'\r' +
           QStringLiteral("のエラーが出ました。作者に報告してください");
}
