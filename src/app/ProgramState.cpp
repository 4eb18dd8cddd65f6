#include "ProgramState.h"

#include "platform/AppPaths.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"
#include "problems/Problem.h"
#include "results/RunRecord.h"
#include "settings/Settings.h"

#include <QDir>

std::unique_ptr<Settings> appSettings;
std::unique_ptr<RunRecord> appRecord;
std::unique_ptr<Problem> currentProblem;
bool testReady = false;
QString problemSummary;

namespace
{

const QString kTitleError = QStringLiteral("エラー");

QString folderMessage(const char16_t* first, const char16_t* second)
{
    return QString::fromUtf16(first) + u'\r' + QString::fromUtf16(second);
}

} // namespace

void checkFolders(const std::function<void()>& showSettings)
{
    const QString appFolder = AppPaths::applicationFolder();

    if (!FileSystem::canEnterFolder(appSettings->certificationFolder())) {
        showMessage(folderMessage(u"データファイルのパスの指定が間違っています",
                                  u"デフォルトの指定で読み込んでみます"),
                    MessageButtons::Ok, kTitleError);
        appSettings->setCertificationFolder(
            FileSystem::joinPath(appFolder, QStringLiteral("data")));
        if (!FileSystem::canEnterFolder(appSettings->certificationFolder())) {
            showMessage(folderMessage(u"データファイルのパスの指定が間違っています",
                                      u"環境設定を起動しますのでパスを指定しなおしてください。"),
                        MessageButtons::Ok, kTitleError);
            if (showSettings)
                showSettings();
            return;
        }
    }

    if (!FileSystem::canEnterFolder(appSettings->logFolder())) {
        showMessage(
            folderMessage(u"ログのパス指定が間違っています", u"デフォルトの指定で読み込んでみます"),
            MessageButtons::Ok, kTitleError);
        appSettings->setLogFolder(appFolder);
    }

    if (!appSettings->isPassLogEnabled())
        return;

    if (!FileSystem::canEnterFolder(appSettings->passLogFolder())) {
        showMessage(folderMessage(u"サブログのパス指定が間違っています",
                                  u"デフォルトの指定で読み込んでみます"),
                    MessageButtons::Ok, kTitleError);
        appSettings->setPassLogFolder(appFolder);
    }
}

void createDefaultLogFolder()
{
    const QString defaultFolder = Settings::defaultLogFolder();
    for (const QString& folder : {appSettings->logFolder(), appSettings->passLogFolder()}) {
        if (FileSystem::withTrailingSlash(folder) == defaultFolder)
            QDir().mkpath(defaultFolder);
    }
}

QString unexpectedErrorText(int number, const QString& description)
{
    return QString::number(number) + u':' + description + u'\r' +
           QStringLiteral("のエラーが出ました。作者に報告してください");
}
