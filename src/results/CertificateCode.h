#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

struct RunResult;
class SiteKey;

// The signed code a certificate carries: every value the sheet prints, the key's id and an
// Ed25519 signature, as one URL-safe text ("PK1.fields.keyid.signature") that fits a QR code
// and the fragment of an address.
namespace CertificateCode
{

enum Field {
    UserId,
    UserName,
    PrintedAt,
    FileName,
    SecondsUsed,
    TotalChars,
    KanjiRate,
    AlphanumericRate,
    AcceptedChars,
    Errors,
    Accuracy,
    Speed,
    Grade,
    RecordNumber,
    ComputerName,
    FieldCount
};

// The label a field has on the sheet (or, for those it does not print, in the checker).
QString label(Field field);
// A field's text as a reader compares it with the sheet: units, the date (also as the sheet
// prints it), the grade's name. Control and layout characters come escaped ("\x1b",
// "\u202e", a backslash as "\\"): a forged code must not steer the terminal or the text.
QString displayText(Field field, const QString& value);
// The value with those characters escaped.
QString escaped(const QString& value);

// The fields of a certificate printed at printedAt. Control characters become blanks: one
// of them separates the fields.
QStringList fieldsOf(const RunResult& run, const QDateTime& printedAt);

struct Sealed {
    QString payload;   // what the QR code holds, after the address when there is one
    QString checkCode; // "XXXX-XXXX", printed beside the code
};
// The signed code of these fields; address (may be empty) is the school's checking page.
Sealed seal(const QStringList& fields, const SiteKey& key, const QString& address);

// Eight Crockford base-32 characters from the signature's first 40 bits, as "XXXX-XXXX".
QString checkCodeOf(const QByteArray& signature);

// A code as found in a text (alone, or after "#" in an address).
struct Parsed {
    QString code;       // the code alone, without an address around it
    QStringList fields; // as many as could be read
    QString keyId;
    QByteArray signedPart; // what the signature covers
    QByteArray signature;
    bool wellFormed = false;
};
std::optional<Parsed> find(const QString& text);

} // namespace CertificateCode
