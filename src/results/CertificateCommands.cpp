#include "CertificateCommands.h"

#include "CertificateCheck.h"
#include "platform/AppPaths.h"
#include "platform/CodeScanner.h"
#include "platform/FileSystem.h"
#include "platform/SiteKey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cstring>

namespace
{

const QString SiteKeyOption = QStringLiteral("--site-key");
const QString VerifyOption = QStringLiteral("--verify");
const QString PageName = QStringLiteral("verify.html");
const QString KeyMarker = QStringLiteral("/*PELKO-TRUSTED-KEYS*/");

int misused(QString& messages, const QString& text)
{
    messages += QStringLiteral("pelko: ") + text + u'\n';
    return CertificateCommands::BadArguments;
}

// The school's own copy of the checking page, with the new key in it.
QString writePage(const QString& folder, const SiteKey& key, const QString& site)
{
    QFile templateFile(FileSystem::joinPath(AppPaths::dataFolder(), PageName));
    if (!templateFile.open(QIODevice::ReadOnly))
        return QStringLiteral("確認ページの元（") + templateFile.fileName() +
               QStringLiteral("）が読めないため、確認ページは作りませんでした。\n");
    const QString page = CertificateCommands::pageWithKey(QString::fromUtf8(templateFile.readAll()),
                                                          key.keyId(), key.publicKey(), site);
    QSaveFile out(FileSystem::joinPath(folder, PageName));
    if (!out.open(QIODevice::WriteOnly) || out.write(page.toUtf8()) < 0 || !out.commit())
        return QStringLiteral("確認ページ ") + out.fileName() +
               QStringLiteral(" に書き込めません。\n");
    return QStringLiteral("確認ページ: ") + out.fileName() + u'\n';
}

int createKey(const QStringList& arguments, QString& output, QString& messages,
              const QStringList& classFolders)
{
    if (arguments.size() < 2 || arguments.size() > 3 || arguments[0] != u"new")
        return misused(messages, QStringLiteral("使い方: pelko --site-key new フォルダ [学校名]"));
    const QString folder = QDir(arguments[1]).absolutePath();
    const QString site = arguments.size() > 2 ? arguments[2] : QString();
    // Before a folder is made in a class folder.
    if (const QString unsafe = SiteKey::unsafeFolder(folder); !unsafe.isEmpty()) {
        messages += QStringLiteral("pelko: ") + unsafe + u'\n';
        return CertificateCommands::Failed;
    }
    if (!QDir().mkpath(folder)) {
        messages +=
            QStringLiteral("pelko: フォルダ ") + folder + QStringLiteral(" を作れません。\n");
        return CertificateCommands::Failed;
    }
    const Expected<SiteKey> key = SiteKey::create(folder, site, classFolders);
    if (!key) {
        messages += QStringLiteral("pelko: ") + key.error().message() + u'\n';
        return CertificateCommands::Failed;
    }
    const QString privatePath =
        FileSystem::joinPath(folder, QString::fromLatin1(SiteKey::PrivateFileName));
    output += QStringLiteral("秘密鍵: ") + privatePath +
              QStringLiteral("（所有者とグループだけが読めます）\n") + QStringLiteral("公開鍵: ") +
              FileSystem::joinPath(folder, QString::fromLatin1(SiteKey::PublicFileName)) + u'\n' +
              QStringLiteral("鍵ID: ") + key->keyId() + u'\n' + QStringLiteral("指紋: ") +
              key->fingerprint() + u'\n' + writePage(folder, *key, site) +
              QStringLiteral("\n試験用の PC の管理者の pelko.ini に次の行を加えると、認定証に"
                             "署名します（[$i] で、利用者の設定では変えられなくなります）:\n"
                             "[Certificate][$i]\nKeyFile=") +
              privatePath + u'\n';
    return 0;
}

const QString VerifyUsage =
    QStringLiteral("使い方: pelko --verify ファイルまたはコード [--key 公開鍵]…\n"
                   "終了状態: 0 有効、1 改ざん、3 不明な鍵、4 コードなし、5 ファイルが読めない、"
                   "2 使い方の誤り\n");

// What names no file and holds no code is taken as a file name gone wrong.
bool looksLikeCodeText(const QString& subject)
{
    if (subject.contains(QStringLiteral("PK1.")) || subject.contains(QStringLiteral("://")))
        return true;
    return !subject.contains(u'/') && QFileInfo(subject).suffix().isEmpty();
}

int verify(const QStringList& arguments, QString& output, QString& messages)
{
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        output += VerifyUsage;
        return 0;
    }
    QString subject;
    CertificateCheck::TrustedKeys keys;
    bool keysGiven = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == u"--key") {
            if (++i >= arguments.size())
                return misused(messages, QStringLiteral("--key の後に公開鍵がありません。"));
            keysGiven = true;
            const QByteArray bare = SiteKey::publicKeyFromText(arguments[i]);
            if (!bare.isEmpty())
                keys.add(bare, QString());
            else if (!keys.addFile(arguments[i]))
                return misused(messages, QStringLiteral("公開鍵として読めません: ") + arguments[i]);
        } else if (subject.isNull()) {
            subject = arguments[i];
        } else {
            return misused(messages, QStringLiteral("余分な引数です: ") + arguments[i]);
        }
    }
    if (subject.isEmpty())
        return misused(messages, VerifyUsage.trimmed());
    if (!keysGiven) {
        for (const QString& folder : CertificateCheck::TrustedKeys::defaultFolders())
            keys.addFolder(folder);
    }
    QStringList texts{subject};
    const QFileInfo file(subject);
    if ((file.exists() || file.isSymLink()) && !file.isFile()) {
        messages += QStringLiteral("pelko: ") + subject +
                    QStringLiteral(" はふつうのファイルではないため、読めません。\n");
        return CertificateCommands::Unreadable;
    }
    if (!file.exists() && !looksLikeCodeText(subject)) {
        messages += QStringLiteral("pelko: ファイル ") + subject +
                    QStringLiteral(" が見つかりません（認定証のコードも含みません）。\n");
        return CertificateCommands::Unreadable;
    }
    if (file.isFile()) {
        const Expected<QStringList> scanned = CodeScanner::scanFile(subject);
        if (!scanned) {
            messages += QStringLiteral("pelko: ") + scanned.error().message() + u'\n';
            return CertificateCommands::Unreadable;
        }
        texts = *scanned;
    }
    const CertificateCheck::Outcome outcome = CertificateCheck::check(texts, keys);
    output += CertificateCheck::report(outcome);
    return int(outcome.verdict);
}

} // namespace

namespace CertificateCommands
{

QString requested(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const QString& option : {SiteKeyOption, VerifyOption}) {
            if (std::strcmp(argv[i], option.toLatin1().constData()) == 0)
                return option;
        }
    }
    return {};
}

int run(const QStringList& arguments, QString& output, QString& messages,
        const QStringList& classFolders)
{
    const QStringList rest = arguments.mid(1);
    if (arguments.value(0) == SiteKeyOption)
        return createKey(rest, output, messages, classFolders);
    if (arguments.value(0) == VerifyOption)
        return verify(rest, output, messages);
    return misused(messages, QStringLiteral("余分な引数です: ") + arguments.value(0));
}

QString pageWithKey(const QString& page, const QString& keyId, const QByteArray& publicKey,
                    const QString& site)
{
    const QJsonObject entry{{QStringLiteral("id"), keyId},
                            {QStringLiteral("key"),
                             QString::fromLatin1(publicKey.toBase64(
                                 QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals))},
                            {QStringLiteral("site"), site}};
    // A "<" in the site's name could end the page's script early.
    QString json = QString::fromUtf8(QJsonDocument(entry).toJson(QJsonDocument::Compact));
    json.replace(u'<', QStringLiteral("\\u003c"));
    QString result = page;
    const qsizetype at = result.indexOf(KeyMarker);
    if (at >= 0)
        result.insert(at, json + u',');
    return result;
}

} // namespace CertificateCommands
