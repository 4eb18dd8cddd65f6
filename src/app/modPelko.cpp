#include "modPelko.h"

#include "platform/AppPaths.h"
#include "platform/FileSystem.h"
#include "platform/MessageService.h"
#include "problems/colReidai.h"
#include "results/clsUser.h"
#include "settings/clsKankyo.h"

#include <QDir>

std::unique_ptr<clsKankyo> objKankyo;
std::unique_ptr<clsUser> objUser;
std::unique_ptr<colReidai> objReidai;
QString LogColumn[LogColumnCount][2];
bool TestReady = false;
QString ReidaiInfo;
float FontBase = 13;
float FontReturn = 3;
float FontResult = 11;
QString DirPath;
QString FileName;

void FillLogColumn()
{
    static const char16_t* const titles[LogColumnCount] = {
        u"連番",         u"日付",           u"時間",           u"入力ユーザＩＤ",
        u"入力ユーザ名", u"使用ＰＣ名",     u"使用ＰＣユーザ名", u"データファイル名",
        u"入力速度(文字/分)", u"正打率(%)", u"エラー数",       u"入力文字数",
        u"総文字数",     u"漢字含有率",     u"半角文字含有率", u"計測時間(秒)"};
    for (int i = 0; i < LogColumnCount; ++i)
        LogColumn[i][1] = QString::number(i, 16).toUpper();
    for (int i = 0; i < LogColumnCount; ++i)
        LogColumn[i][0] = QString::fromUtf16(titles[i]);
}

namespace {

const QString kTitleError = QStringLiteral("エラー");

QString folderMessage(const char16_t* first, const char16_t* second)
{
    return QString::fromUtf16(first) + u'\r' + QString::fromUtf16(second);
}

} // namespace

void CheckFolders(const std::function<void()>& showSettings)
{
    const QString appFolder = AppPaths::applicationFolder();

    if (!FileSystem::canEnterFolder(objKankyo->Filepath())) {
        MsgBox(folderMessage(u"データファイルのパスの指定が間違っています",
                             u"デフォルトの指定で読み込んでみます"),
               MsgButtons::Ok, kTitleError);
        objKankyo->setFilepath(FileSystem::joinPath(appFolder, QStringLiteral("data")));
        if (!FileSystem::canEnterFolder(objKankyo->Filepath())) {
            MsgBox(folderMessage(u"データファイルのパスの指定が間違っています",
                                 u"環境設定を起動しますのでパスを指定しなおしてください。"),
                   MsgButtons::Ok, kTitleError);
            if (showSettings)
                showSettings();
            return;
        }
    }

    if (!FileSystem::canEnterFolder(objKankyo->LogPath())) {
        MsgBox(folderMessage(u"ログのパス指定が間違っています",
                             u"デフォルトの指定で読み込んでみます"),
               MsgButtons::Ok, kTitleError);
        objKankyo->setLogPath(appFolder);
    }

    if (!objKankyo->SubLog())
        return;

    if (!FileSystem::canEnterFolder(objKankyo->SubLogPath())) {
        MsgBox(folderMessage(u"サブログのパス指定が間違っています",
                             u"デフォルトの指定で読み込んでみます"),
               MsgButtons::Ok, kTitleError);
        objKankyo->setSubLogPath(appFolder);
    }
}

void CreateDefaultLogFolder()
{
    const QString defaultFolder = clsKankyo::defaultLogFolder();
    for (const QString& folder : {objKankyo->LogPath(), objKankyo->SubLogPath()}) {
        if (FileSystem::withTrailingSlash(folder) == defaultFolder)
            QDir().mkpath(defaultFolder);
    }
}

QString UnexpectedErrorText(int number, const QString& description)
{
    return QString::number(number) + u':' + description + u'\r' +
           QStringLiteral("のエラーが出ました。作者に報告してください");
}
