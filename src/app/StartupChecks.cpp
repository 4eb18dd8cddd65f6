#include "StartupChecks.h"

#include "platform/AppPaths.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"
#include "settings/Settings.h"

#include <QDir>

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
