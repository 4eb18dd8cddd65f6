#include "StartupChecks.h"

#include "common/Error.h"
#include "platform/AppPaths.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"
#include "platform/SiteKey.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>

namespace
{

const QString errorTitle = QStringLiteral("エラー");
const char16_t* const recordsKept = u"記録は保管し、次にログへ書き込めたときに追加します";

QString folderMessage(const char16_t* problem, const char16_t* remedy)
{
    return QString::fromUtf16(problem) + u'\r' + QString::fromUtf16(remedy);
}

} // namespace

void checkFolders(Settings& settings, const std::function<void()>& openSettingsDialog)
{
    const QString dataFolder = AppPaths::dataFolder();

    if (!FileSystem::canEnterFolder(settings.certificationFolder())) {
        showMessage(folderMessage(u"データファイルのパスの指定が間違っています",
                                  u"デフォルトの指定で読み込んでみます"),
                    MessageButtons::Ok, errorTitle);
        settings.setCertificationFolder(FileSystem::joinPath(dataFolder, QStringLiteral("data")));
        if (!FileSystem::canEnterFolder(settings.certificationFolder())) {
            showMessage(folderMessage(u"データファイルのパスの指定が間違っています",
                                      u"環境設定を起動しますのでパスを指定しなおしてください。"),
                        MessageButtons::Ok, errorTitle);
            if (openSettingsDialog)
                openSettingsDialog();
            return;
        }
    }

    // A log folder is often the class's shared folder, away for a while: the settings keep
    // it (a folder put in its place would be saved as the user's own and part them from the
    // class for good), and runs wait in the queue until the folder takes them.
    if (!FileSystem::canEnterFolder(settings.logFolder()))
        showMessage(folderMessage(u"ログのパス指定が間違っています", recordsKept),
                    MessageButtons::Ok, errorTitle);

    if (!settings.isPassLogEnabled())
        return;

    if (!FileSystem::canEnterFolder(settings.passLogFolder()))
        showMessage(folderMessage(u"サブログのパス指定が間違っています", recordsKept),
                    MessageButtons::Ok, errorTitle);
}

void createDefaultLogFolder(const Settings& settings)
{
    const QString defaultFolder = Settings::defaultLogFolder();
    for (const QString& folder : {settings.logFolder(), settings.passLogFolder()}) {
        if (FileSystem::withTrailingSlash(folder) == defaultFolder)
            QDir().mkpath(defaultFolder);
    }
}

QString unexpectedErrorText(const Error& error)
{
    return QString::number(error.number()) + u':' + error.message() + u'\r' +
           QStringLiteral("のエラーが出ました。作者に報告してください");
}

QString certificateKeyProblem(const Settings& settings)
{
    const QString path = settings.certificateKeyFile();
    if (path.isEmpty())
        return {};
    const QString prefix = QStringLiteral("認定証の署名鍵「") + path + QStringLiteral("」は");
    if (!QFileInfo::exists(path))
        return prefix + QStringLiteral("見つかりません。認定証は印刷できません。");
    const QString unsafe = SiteKey::unsafePermissions(path, settings.classFolders());
    if (!unsafe.isEmpty())
        return prefix + unsafe + QStringLiteral("\r直すまで、認定証は印刷できません。");
    return {};
}
