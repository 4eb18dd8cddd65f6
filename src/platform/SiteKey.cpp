#include "SiteKey.h"

#include "platform/FileSystem.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <sodium.h>

#include <fcntl.h>
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

} // namespace

Expected<SiteKey> SiteKey::create(const QString& folder, const QString& site)
{
    if (!sodiumReady())
        return keyError(QStringLiteral("暗号ライブラリを初期化できません。"));
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

    const QByteArray secretText =
        QStringLiteral("# Pelko の認定証署名鍵（秘密鍵）。受験者のアカウントに読ませないこと。\n")
            .toUtf8() +
        SecretTag.toLatin1() + ' ' + key.m_seed.toBase64(Base64Url) + ' ' + key.keyId().toLatin1() +
        '\n';
    if (!writeNewFile(privatePath, secretText, 0640))
        return keyError(quoted(privatePath) + QStringLiteral("に書き込めません。"));
    if (!writeNewFile(publicPath, publicKeyLine(key.m_publicKey, site).toUtf8() + '\n', 0644)) {
        QFile::remove(privatePath);
        return keyError(quoted(publicPath) + QStringLiteral("に書き込めません。"));
    }
    return key;
}

QString SiteKey::unsafePermissions(const QString& path)
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
    return {};
}

Expected<SiteKey> SiteKey::load(const QString& path)
{
    if (!sodiumReady())
        return keyError(QStringLiteral("暗号ライブラリを初期化できません。"));
    const QString prefix = QStringLiteral("認定証の署名鍵") + quoted(path) + QStringLiteral("は");
    if (!QFileInfo::exists(path))
        return keyError(prefix + QStringLiteral("見つかりません。"));
    if (const QString unsafe = unsafePermissions(path); !unsafe.isEmpty())
        return keyError(prefix + unsafe);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return keyError(prefix +
                        QStringLiteral("読めません（このアカウントには読む権限がありません）。"));
    SiteKey key;
    while (!file.atEnd()) {
        const QStringList words =
            QString::fromUtf8(file.readLine(4096)).simplified().split(u' ', Qt::SkipEmptyParts);
        if (words.size() >= 2 && words[0] == SecretTag)
            key.m_seed = decoded(words[1]);
    }
    if (key.m_seed.size() != crypto_sign_SEEDBYTES)
        return keyError(prefix + QStringLiteral("Pelko の署名鍵ではありません。"));
    key.m_publicKey = publicKeyOf(key.m_seed);
    return key;
}

QString SiteKey::summary(const QString& path)
{
    if (path.isEmpty())
        return QStringLiteral("認定証の署名: なし（コードは印刷しません）");
    const Expected<SiteKey> key = load(path);
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
