#pragma once

#include "common/Expected.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The school's Ed25519 signing key. The private key file stays on the exam PCs, readable by
// its owner and group only; the public key file goes to whoever checks certificates.
class SiteKey
{
public:
    static constexpr const char* PrivateFileName = "pelko-site.key";
    static constexpr const char* PublicFileName = "pelko-site.pub";
    static constexpr int PublicKeySize = 32;
    static constexpr int SignatureSize = 64;

    // Makes a new key pair in folder: the private key 0640, the public key 0644. Never writes
    // over a key that is there: a lost old key would turn every certificate it signed into
    // "unknown key".
    // Refuses a folder that anyone but root and this account could change, and a key that
    // the group of one of classFolders (the class's log folders) could read.
    static Expected<SiteKey> create(const QString& folder, const QString& site,
                                    const QStringList& classFolders = {});
    // Reads a private key file, refusing one that other users could read or change.
    static Expected<SiteKey> load(const QString& path, const QStringList& classFolders = {});
    // Why the file may not serve as a private key (empty: it may): not a plain file, readable
    // by others, writable by anyone but its owner, in a folder (or below one) that anyone but
    // root and its owner may write, or readable by the group that may write a class folder.
    static QString unsafePermissions(const QString& path, const QStringList& classFolders = {});
    // Why no key may be made in folder by this account (empty: it may); missing folders
    // are skipped, as they would be made by this account.
    static QString unsafeFolder(const QString& folder);

    // The key in use as the settings dialog shows it: none, its id and fingerprint, or why
    // it cannot be used. Never the key itself.
    static QString summary(const QString& path, const QStringList& classFolders = {});

    SiteKey() = default;
    SiteKey(const SiteKey&) = default;
    SiteKey& operator=(const SiteKey&) = default;
    ~SiteKey();

    QByteArray publicKey() const { return m_publicKey; }
    QString keyId() const { return keyIdOf(m_publicKey); }
    QString fingerprint() const { return fingerprintOf(m_publicKey); }
    QByteArray sign(const QByteArray& message) const;

    // 8 characters: base64url of the first 6 bytes of the public key's SHA-256.
    static QString keyIdOf(const QByteArray& publicKey);
    // "SHA256:" and the whole hash in base64 as ssh shows keys, in groups of 11.
    static QString fingerprintOf(const QByteArray& publicKey);
    static bool verify(const QByteArray& publicKey, const QByteArray& message,
                       const QByteArray& signature);
    // One line: "pelko-ed25519 KEY SITE".
    static QString publicKeyLine(const QByteArray& publicKey, const QString& site);
    // The key of a public key line or of a bare base64url key; empty when there is none.
    static QByteArray publicKeyFromText(const QString& text);

private:
    QByteArray m_seed; // the 32 bytes the key pair grows from
    QByteArray m_publicKey;
};
