#include "SiteKey.h"

#include "platform/FileSystem.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sodium.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

constexpr auto Base64Url = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;
const QString SecretTag = QStringLiteral("pelko-ed25519-secret");
const QString PublicTag = QStringLiteral("pelko-ed25519");

Error keyError(const QString& message)
{
    return Error(Error::Code::KeyFailure, message);
}

QString quoted(const QString& path)
{
    return QStringLiteral("「") + path + QStringLiteral("」");
}

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

QByteArray decoded(const QString& text)
{
    const auto result = QByteArray::fromBase64Encoding(
        text.toLatin1(), Base64Url | QByteArray::AbortOnBase64DecodingErrors);
    return result ? *result : QByteArray();
}

// Creates the file only where nothing is, never through a link, then sets its mode whatever
// the umask.
bool writeNewFile(const QString& path, const QByteArray& content, mode_t mode)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, mode) == 0;
    qsizetype written = 0;
    while (ok && written < content.size()) {
        const ssize_t n =
            ::write(fd, content.constData() + written, size_t(content.size() - written));
        ok = n > 0;
        written += ok ? n : 0;
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (!ok)
        ::unlink(name.constData());
    return ok;
}

// The public half of the key pair that grows from the seed; the secret half is wiped at once.
QByteArray publicKeyOf(const QByteArray& seed)
{
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_seed_keypair(publicKey, secretKey,
                             reinterpret_cast<const unsigned char*>(seed.constData()));
    sodium_memzero(secretKey, sizeof secretKey);
    return QByteArray(reinterpret_cast<const char*>(publicKey), sizeof publicKey);
}

void wipe(QByteArray& bytes)
{
    // A shared copy would only detach: the last holder wipes.
    if (!bytes.isEmpty() && bytes.isDetached())
        sodium_memzero(bytes.data(), size_t(bytes.size()));
}

// The first folder from folder up to / that someone but root and owner could change, so
// as to put another key in place, and how; empty when there is none. A sticky folder
// (/tmp) above keeps others from moving what its owner made in it, but not as the key's own.
QString folderThreat(const QString& folder, uid_t owner, bool skipMissing)
{
    QString current = QDir::cleanPath(QDir(folder).absolutePath());
    for (bool direct = true;; direct = false) {
        struct stat info;
        if (::stat(QFile::encodeName(current).constData(), &info) != 0) {
            if (!skipMissing)
                return QStringLiteral("フォルダ") + quoted(current) +
                       QStringLiteral("の持ち主と権限を確かめられません。");
        } else if (info.st_uid != 0 && info.st_uid != owner) {
            return QStringLiteral("フォルダ") + quoted(current) +
                   QStringLiteral("の所有者が root でも鍵の所有者でもありません。その所有者は"
                                  "鍵を自分のものに差し替えられます。");
        } else if ((info.st_mode & (S_IWGRP | S_IWOTH)) && (direct || !(info.st_mode & S_ISVTX))) {
            return QStringLiteral("フォルダ") + quoted(current) +
                   QStringLiteral("には root と鍵の所有者のほかにも書き込めるユーザーがいます"
                                  "（グループか他のユーザーの書き込み権限）。その人たちは鍵を"
                                  "自分のものに差し替えられます。");
        } else {
            skipMissing = false;
        }
        if (current == u"/")
            return {};
        current = QFileInfo(current).path();
    }
}

} // namespace

SiteKey::~SiteKey()
{
    wipe(m_seed);
}

QString SiteKey::unsafeFolder(const QString& folder)
{
    const QString threat = folderThreat(folder, ::geteuid(), true);
    if (threat.isEmpty())
        return {};
    return threat + QStringLiteral("ここには鍵を作りません。root とこのアカウントだけが書き込める"
                                   "フォルダ（クラスのフォルダの外）を選んでください。");
}

Expected<SiteKey> SiteKey::create(const QString& folder, const QString& site,
                                  const QStringList& classFolders)
{
    if (!sodiumReady())
        return keyError(QStringLiteral("暗号ライブラリを初期化できません。"));
    if (const QString unsafe = unsafeFolder(folder); !unsafe.isEmpty())
        return keyError(unsafe);
    const QString privatePath = FileSystem::joinPath(folder, QString::fromLatin1(PrivateFileName));
    const QString publicPath = FileSystem::joinPath(folder, QString::fromLatin1(PublicFileName));
    for (const QString& path : {privatePath, publicPath}) {
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            return keyError(
                quoted(path) +
                QStringLiteral("がすでにあります。鍵を作り直すと、その鍵で署名した認定証を確認"
                               "できなくなるため、上書きしません。"));
    }
    SiteKey key;
    key.m_seed.resize(crypto_sign_SEEDBYTES);
    randombytes_buf(key.m_seed.data(), size_t(key.m_seed.size()));
    key.m_publicKey = publicKeyOf(key.m_seed);

    QByteArray encodedSeed = key.m_seed.toBase64(Base64Url);
    QByteArray secretText =
        QStringLiteral("# Pelko の認定証署名鍵（秘密鍵）。受験者のアカウントに読ませないこと。\n")
            .toUtf8() +
        SecretTag.toLatin1() + ' ' + encodedSeed + ' ' + key.keyId().toLatin1() + '\n';
    wipe(encodedSeed);
    const bool written = writeNewFile(privatePath, secretText, 0640);
    wipe(secretText);
    if (!written)
        return keyError(quoted(privatePath) + QStringLiteral("に書き込めません。"));
    // The folder's group (setgid) may be one that must not read it.
    if (const QString unsafe = unsafePermissions(privatePath, classFolders); !unsafe.isEmpty()) {
        QFile::remove(privatePath);
        return keyError(QStringLiteral("作った鍵") + quoted(privatePath) + QStringLiteral("は") +
                        unsafe + QStringLiteral("鍵は消しました。"));
    }
    if (!writeNewFile(publicPath, publicKeyLine(key.m_publicKey, site).toUtf8() + '\n', 0644)) {
        QFile::remove(privatePath);
        return keyError(quoted(publicPath) + QStringLiteral("に書き込めません。"));
    }
    return key;
}

QString SiteKey::unsafePermissions(const QString& path, const QStringList& classFolders)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("普通のファイルではありません。");
    if (info.st_mode & (S_IROTH | S_IWOTH))
        return QStringLiteral("所有者とグループ以外のユーザーも読み書きできるため、使いません。"
                              "受験者が鍵を読めると、本物と見分けのつかない認定証を作れます。"
                              "chmod o-rwx で所有者とグループだけのものにしてください。");
    if (info.st_mode & S_IWGRP)
        return QStringLiteral("グループのユーザーも書き込めるため、使いません。鍵を自分のものに"
                              "差し替えられます。chmod g-w で直してください。");
    // The folder as named and the one it really is, when links lead elsewhere.
    const QFileInfo file(path);
    for (const QString& folder :
         {file.absolutePath(), QFileInfo(file.canonicalFilePath()).path()}) {
        if (const QString threat = folderThreat(folder, info.st_uid, false); !threat.isEmpty())
            return QStringLiteral("置き場所が安全でないため、使いません。") + threat +
                   QStringLiteral("鍵は root と鍵の所有者だけが書き込めるフォルダに置いてください"
                                  "（chmod go-w）。");
    }
    for (const QString& folder : classFolders) {
        struct stat classInfo;
        if (!(info.st_mode & S_IRGRP) || folder.isEmpty() ||
            ::stat(QFile::encodeName(folder).constData(), &classInfo) != 0 ||
            !S_ISDIR(classInfo.st_mode) || !(classInfo.st_mode & S_IWGRP) ||
            classInfo.st_gid != info.st_gid)
            continue;
        const group* named = ::getgrgid(info.st_gid);
        const QString groupName =
            named ? QString::fromLocal8Bit(named->gr_name) : QString::number(info.st_gid);
        return QStringLiteral("グループ「") + groupName +
               QStringLiteral("」が読めるため、使いません。このグループはクラスのフォルダ") +
               quoted(QDir::cleanPath(folder)) +
               QStringLiteral("に書き込めるグループで、受験者が鍵を読めると本物と見分けのつかない"
                              "認定証を作れます。chmod g-r するか、chgrp で受験者のいない"
                              "グループにしてください。");
    }
    return {};
}

Expected<SiteKey> SiteKey::load(const QString& path, const QStringList& classFolders)
{
    if (!sodiumReady())
        return keyError(QStringLiteral("暗号ライブラリを初期化できません。"));
    const QString prefix = QStringLiteral("認定証の署名鍵") + quoted(path) + QStringLiteral("は");
    if (!QFileInfo::exists(path))
        return keyError(prefix + QStringLiteral("見つかりません。"));
    if (const QString unsafe = unsafePermissions(path, classFolders); !unsafe.isEmpty())
        return keyError(prefix + unsafe);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return keyError(prefix +
                        QStringLiteral("読めません（このアカウントには読む権限がありません）。"));
    // Read and parsed in place, so that no copy of the secret outlives the wipe.
    QByteArray content = file.read(16 * 1024);
    SiteKey key;
    const QByteArray tag = SecretTag.toLatin1() + ' ';
    for (QByteArrayView rest(content); !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = rest.first(end < 0 ? rest.size() : end).trimmed();
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (!line.startsWith(tag))
            continue;
        line = line.sliced(tag.size()).trimmed();
        const qsizetype space = line.indexOf(' ');
        const auto result = QByteArray::fromBase64Encoding(
            QByteArray::fromRawData(line.data(), space < 0 ? line.size() : space),
            Base64Url | QByteArray::AbortOnBase64DecodingErrors);
        if (result) {
            key.m_seed = result.decoded;
            break;
        }
    }
    wipe(content);
    if (key.m_seed.size() != crypto_sign_SEEDBYTES)
        return keyError(prefix + QStringLiteral("Pelko の署名鍵ではありません。"));
    key.m_publicKey = publicKeyOf(key.m_seed);
    return key;
}

QString SiteKey::summary(const QString& path, const QStringList& classFolders)
{
    if (path.isEmpty())
        return QStringLiteral("認定証の署名: なし（コードは印刷しません）");
    const Expected<SiteKey> key = load(path, classFolders);
    if (!key)
        return QStringLiteral("認定証の署名: 使えません。") + key.error().message();
    return QStringLiteral("認定証の署名: あり　鍵ID ") + key->keyId() + QStringLiteral("\n指紋 ") +
           key->fingerprint();
}

QByteArray SiteKey::sign(const QByteArray& message) const
{
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    crypto_sign_seed_keypair(publicKey, secretKey,
                             reinterpret_cast<const unsigned char*>(m_seed.constData()));
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(message.constData()),
                         quint64(message.size()), secretKey);
    sodium_memzero(secretKey, sizeof secretKey);
    return signature;
}

bool SiteKey::verify(const QByteArray& publicKey, const QByteArray& message,
                     const QByteArray& signature)
{
    if (!sodiumReady() || publicKey.size() != crypto_sign_PUBLICKEYBYTES ||
        signature.size() != crypto_sign_BYTES)
        return false;
    return crypto_sign_verify_detached(
               reinterpret_cast<const unsigned char*>(signature.constData()),
               reinterpret_cast<const unsigned char*>(message.constData()), quint64(message.size()),
               reinterpret_cast<const unsigned char*>(publicKey.constData())) == 0;
}

QString SiteKey::keyIdOf(const QByteArray& publicKey)
{
    return QString::fromLatin1(QCryptographicHash::hash(publicKey, QCryptographicHash::Sha256)
                                   .left(6)
                                   .toBase64(Base64Url));
}

QString SiteKey::fingerprintOf(const QByteArray& publicKey)
{
    const QString hash =
        QString::fromLatin1(QCryptographicHash::hash(publicKey, QCryptographicHash::Sha256)
                                .toBase64(QByteArray::OmitTrailingEquals));
    // In groups, to be read aloud and compared, and to wrap in a narrow window.
    QStringList groups;
    for (qsizetype at = 0; at < hash.size(); at += 11)
        groups << hash.mid(at, 11);
    return QStringLiteral("SHA256:") + groups.join(u' ');
}

QString SiteKey::publicKeyLine(const QByteArray& publicKey, const QString& site)
{
    QString line = PublicTag + u' ' + QString::fromLatin1(publicKey.toBase64(Base64Url));
    const QString label = site.simplified();
    return label.isEmpty() ? line : line + u' ' + label;
}

QByteArray SiteKey::publicKeyFromText(const QString& text)
{
    for (const QString& line : text.split(u'\n')) {
        const QStringList words = line.simplified().split(u' ', Qt::SkipEmptyParts);
        QByteArray key;
        if (words.size() >= 2 && words[0] == PublicTag)
            key = decoded(words[1]);
        else if (words.size() == 1)
            key = decoded(words[0]);
        if (key.size() == crypto_sign_PUBLICKEYBYTES)
            return key;
    }
    return {};
}
