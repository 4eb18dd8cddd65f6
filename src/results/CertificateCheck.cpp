#include "CertificateCheck.h"

#include "CertificateCode.h"
#include "platform/AppPaths.h"
#include "platform/SiteKey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace CertificateCheck
{

bool TrustedKeys::addFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool found = false;
    const QStringList lines = QString::fromUtf8(file.read(1 << 20)).split(u'\n');
    for (const QString& line : lines) {
        const QByteArray key = SiteKey::publicKeyFromText(line);
        if (key.isEmpty())
            continue;
        const QStringList words = line.simplified().split(u' ');
        add(key, words.size() > 2 ? words.mid(2).join(u' ') : QFileInfo(path).completeBaseName());
        found = true;
    }
    return found;
}

void TrustedKeys::addFolder(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.pub")}, QDir::Files, QDir::Name))
        addFile(dir.filePath(name));
}

void TrustedKeys::add(const QByteArray& publicKey, const QString& site)
{
    m_keys.append({publicKey, SiteKey::keyIdOf(publicKey), site});
}

const TrustedKey* TrustedKeys::find(const QString& keyId) const
{
    for (const TrustedKey& key : m_keys) {
        if (key.keyId == keyId)
            return &key;
    }
    return nullptr;
}

QStringList TrustedKeys::defaultFolders()
{
    QStringList folders{AppPaths::appDataFolder() + QStringLiteral("/pelko/trusted-keys")};
    const QString site = AppPaths::siteSettingsFile();
    if (!site.isEmpty())
        folders << QFileInfo(site).absolutePath() + QStringLiteral("/trusted-keys");
    return folders;
}

Outcome check(const QStringList& texts, const TrustedKeys& keys)
{
    Outcome outcome;
    for (const QString& text : texts) {
        const auto parsed = CertificateCode::find(text);
        if (!parsed)
            continue;
        outcome.payload = parsed->code;
        outcome.fields = parsed->fields;
        outcome.keyId = parsed->keyId;
        if (parsed->signature.size() == SiteKey::SignatureSize)
            outcome.checkCode = CertificateCode::checkCodeOf(parsed->signature);
        if (!parsed->wellFormed) {
            outcome.verdict = Verdict::Altered;
            return outcome;
        }
        const TrustedKey* key = keys.find(parsed->keyId);
        if (!key) {
            outcome.verdict = Verdict::UnknownKey;
            return outcome;
        }
        outcome.site = CertificateCode::escaped(key->site);
        outcome.verdict = SiteKey::verify(key->publicKey, parsed->signedPart, parsed->signature)
                              ? Verdict::Valid
                              : Verdict::Altered;
        return outcome;
    }
    return outcome;
}

QString message(const Outcome& outcome)
{
    switch (outcome.verdict) {
    case Verdict::Valid:
        return QStringLiteral("有効：この認定証の内容は、署名鍵 ") + outcome.keyId +
               QStringLiteral(" を持つ Pelko が印刷したものと一致します。");
    case Verdict::Altered:
        return QStringLiteral(
            "改ざん：認定証の内容が署名と一致しません。表示した値は信用できません。");
    case Verdict::UnknownKey:
        return QStringLiteral("不明な鍵：署名鍵 ") + outcome.keyId +
               QStringLiteral(" は信頼する公開鍵に含まれていません。");
    case Verdict::NoCode:
        break;
    }
    return QStringLiteral("コードなし：認定証のコードが見つかりません。");
}

QString report(const Outcome& outcome)
{
    QString text = message(outcome) + u'\n';
    if (outcome.verdict == Verdict::NoCode)
        return text;
    if (outcome.verdict == Verdict::Valid && !outcome.site.isEmpty())
        text += QStringLiteral("署名した学校: ") + outcome.site + u'\n';
    else if (outcome.verdict != Verdict::Valid)
        text += QStringLiteral("（未確認の値）\n");
    for (qsizetype i = 0; i < outcome.fields.size() && i < CertificateCode::FieldCount; ++i) {
        const auto field = CertificateCode::Field(i);
        text += CertificateCode::label(field) + QStringLiteral(": ") +
                CertificateCode::displayText(field, outcome.fields[i]) + u'\n';
    }
    if (!outcome.checkCode.isEmpty())
        text += QStringLiteral("確認コード: ") + outcome.checkCode + u'\n';
    text += QStringLiteral("コード: ") + outcome.payload + u'\n';
    return text;
}

} // namespace CertificateCheck
