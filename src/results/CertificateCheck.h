#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Whether a certificate's code is one a trusted site key signed, and what it vouches for.
namespace CertificateCheck
{

// The exit statuses of pelko --verify, one a verdict (2 is a misused command line).
enum class Verdict { Valid = 0, Altered = 1, UnknownKey = 3, NoCode = 4 };

struct TrustedKey {
    QByteArray publicKey;
    QString keyId;
    QString site;
};

// The public keys a check trusts: files of "pelko-ed25519 KEY SITE" lines, or bare keys.
class TrustedKeys
{
public:
    // Every key in the file; false when it holds none.
    bool addFile(const QString& path);
    // Every *.pub file in the folder.
    void addFolder(const QString& folder);
    void add(const QByteArray& publicKey, const QString& site);
    const TrustedKey* find(const QString& keyId) const;
    bool isEmpty() const { return m_keys.isEmpty(); }

    // The user's own (…/pelko/trusted-keys) and the site's (trusted-keys beside the
    // administrator's pelko.ini) folders.
    static QStringList defaultFolders();

private:
    QList<TrustedKey> m_keys;
};

struct Outcome {
    Verdict verdict = Verdict::NoCode;
    QStringList fields; // as many as the code held, trusted only when valid
    QString keyId;
    QString site;
    QString checkCode;
    QString payload; // the code alone
};

// Checks the first code among texts (each a QR code's content or pasted text).
Outcome check(const QStringList& texts, const TrustedKeys& keys);

// One Japanese sentence for the verdict.
QString message(const Outcome& outcome);
// The verdict, every field with its label and the check code, one line each.
QString report(const Outcome& outcome);

} // namespace CertificateCheck
