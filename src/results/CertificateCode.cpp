#include "CertificateCode.h"

#include "CertificateLayout.h"
#include "common/ClockText.h"
#include "common/NumericText.h"
#include "platform/SiteKey.h"
#include "results/RunResult.h"
#include "typing/Scoring.h"

namespace
{

constexpr auto Base64Url = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;
const QString Prefix = QStringLiteral("PK1.");
constexpr QChar Separator = u'\x1f';
const QString DateTimeFormat = QStringLiteral("yyyyMMddHHmm");

// Fields are joined by a control character, so none may hold one.
QString withoutControls(QString text)
{
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return text;
}

std::optional<QByteArray> decoded(const QString& text)
{
    const auto result = QByteArray::fromBase64Encoding(
        text.toLatin1(), Base64Url | QByteArray::AbortOnBase64DecodingErrors);
    // Only the one text that encodes the bytes: stray bits would let two codes say the same.
    if (!result || result.decoded.toBase64(Base64Url) != text.toLatin1())
        return std::nullopt;
    return result.decoded;
}

// 1 for the fastest band … 6 for the slowest; 0 below them all.
int gradeBandOf(float speed)
{
    const QList<Scoring::GradeBand> bands = Scoring::gradeBands();
    for (qsizetype i = 0; i < bands.size(); ++i) {
        if (speed >= bands[i].lowestSpeed)
            return int(i + 1);
    }
    return 0;
}

} // namespace

namespace CertificateCode
{

QString label(Field field)
{
    switch (field) {
    case UserId:
        return QStringLiteral("ユーザID");
    case UserName:
        return QStringLiteral("ユーザ名");
    case PrintedAt:
        return QStringLiteral("認定日時");
    case FileName:
        return QStringLiteral("データ名");
    case SecondsUsed:
        return QStringLiteral("入力時間");
    case TotalChars:
        return QStringLiteral("総文字数");
    case KanjiRate:
        return QStringLiteral("漢字率");
    case AlphanumericRate:
        return QStringLiteral("英数・記号率");
    case AcceptedChars:
        return QStringLiteral("入力数");
    case Errors:
        return QStringLiteral("入力ミス");
    case Accuracy:
        return QStringLiteral("正打率");
    case Speed:
        return QStringLiteral("入力速度");
    case Grade:
        return QStringLiteral("レベル");
    case RecordNumber:
        return QStringLiteral("記録番号");
    case ComputerName:
        return QStringLiteral("使用ＰＣ");
    case FieldCount:
        break;
    }
    return {};
}

QString escaped(const QString& value)
{
    QString text;
    for (const QChar c : value) {
        const auto category = c.category();
        if (c == u'\\')
            text += QStringLiteral("\\\\");
        else if (category == QChar::Other_Control || category == QChar::Other_Format ||
                 category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
            text += (c.unicode() < 0x100 ? QStringLiteral("\\x%1") : QStringLiteral("\\u%1"))
                        .arg(c.unicode(), c.unicode() < 0x100 ? 2 : 4, 16, QLatin1Char('0'));
        else
            text += c;
    }
    return text;
}

QString displayText(Field field, const QString& rawValue)
{
    const QString value = escaped(rawValue);
    switch (field) {
    case PrintedAt: {
        // Both forms, so that no one reads the sheet's month as a day.
        const QDateTime at = QDateTime::fromString(value, DateTimeFormat);
        return at.isValid() ? at.toString(QStringLiteral("yyyy-MM-dd HH:mm")) +
                                  QStringLiteral("（認定証の表記 ") +
                                  ClockText::dateText(at.date()) + QStringLiteral("）")
                            : value;
    }
    case SecondsUsed:
        return value + QStringLiteral(" 秒");
    case TotalChars:
    case AcceptedChars:
        return value + QStringLiteral(" 文字");
    case KanjiRate:
    case AlphanumericRate:
    case Accuracy:
        return value + QStringLiteral(" ％");
    case Errors:
        return value + QStringLiteral(" 回");
    case Speed:
        return value + QStringLiteral("文字/分");
    case Grade: {
        const QList<Scoring::GradeBand> bands = Scoring::gradeBands();
        const int band = value.toInt();
        if (value == u"0")
            return bands.last().name + QStringLiteral("未満");
        return band >= 1 && band <= bands.size() ? bands[band - 1].name : value;
    }
    case RecordNumber:
        return QStringLiteral("No. ") + value;
    default:
        return value;
    }
}

QStringList fieldsOf(const RunResult& run, const QDateTime& printedAt)
{
    QStringList fields(FieldCount);
    fields[UserId] = run.userId;
    fields[UserName] = run.userName;
    fields[PrintedAt] = printedAt.toString(DateTimeFormat);
    fields[FileName] = run.fileName;
    fields[SecondsUsed] = QString::number(run.secondsUsed);
    fields[TotalChars] = QString::number(run.totalChars);
    fields[KanjiRate] = CertificateLayout::rateText(run.kanjiOrSymbolChars, run.totalChars);
    fields[AlphanumericRate] = CertificateLayout::rateText(run.alphanumericChars, run.totalChars);
    fields[AcceptedChars] = QString::number(run.acceptedChars);
    fields[Errors] = QString::number(run.errors);
    fields[Accuracy] = NumericText::singleDisplayText(run.accuracy);
    fields[Speed] = QString::number(run.wholeCharsPerMinute());
    fields[Grade] = QString::number(gradeBandOf(run.charsPerMinute));
    fields[RecordNumber] = QString::number(run.recordNumber);
    fields[ComputerName] = run.computerName;
    for (QString& field : fields)
        field = withoutControls(field);
    return fields;
}

QString checkCodeOf(const QByteArray& signature)
{
    static const char alphabet[] = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
    quint64 bits = 0;
    for (int i = 0; i < 5; ++i)
        bits = (bits << 8) | quint8(i < signature.size() ? signature[i] : 0);
    QString code;
    for (int i = 7; i >= 0; --i) {
        code += QLatin1Char(alphabet[(bits >> (5 * i)) & 31]);
        if (i == 4)
            code += u'-';
    }
    return code;
}

Sealed seal(const QStringList& fields, const SiteKey& key, const QString& address)
{
    const QByteArray signedPart = Prefix.toLatin1() +
                                  fields.join(Separator).toUtf8().toBase64(Base64Url) + '.' +
                                  key.keyId().toLatin1();
    const QByteArray signature = key.sign(signedPart);
    QString payload = QString::fromLatin1(signedPart + '.' + signature.toBase64(Base64Url));
    if (!address.trimmed().isEmpty()) {
        QString base = address.trimmed();
        if (const qsizetype hash = base.indexOf(u'#'); hash >= 0)
            base.truncate(hash);
        payload = base + u'#' + payload;
    }
    return {payload, checkCodeOf(signature)};
}

std::optional<Parsed> find(const QString& text)
{
    const qsizetype start = text.indexOf(Prefix);
    if (start < 0)
        return std::nullopt;
    // A code ends where a character base64url and the dots cannot hold begins.
    qsizetype end = start + Prefix.size();
    while (end < text.size()) {
        const QChar c = text.at(end);
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-' && c != u'_' && c != u'.')
            break;
        ++end;
    }
    Parsed parsed;
    parsed.code = text.mid(start, end - start);
    const QStringList parts = parsed.code.split(u'.');
    // A damaged code still shows what it says, marked as not vouched for.
    if (const auto fieldBytes = decoded(parts.value(1)); fieldBytes) {
        const QString fieldText = QString::fromUtf8(*fieldBytes);
        if (fieldText.toUtf8() == *fieldBytes && !fieldText.isEmpty())
            parsed.fields = fieldText.split(Separator);
    }
    if (parts.size() != 4)
        return parsed;
    parsed.keyId = parts[2];
    parsed.signedPart = (parts[0] + u'.' + parts[1] + u'.' + parts[2]).toLatin1();
    if (const auto signature = decoded(parts[3]); signature)
        parsed.signature = *signature;
    parsed.wellFormed = parsed.fields.size() == FieldCount && parsed.keyId.size() == 8 &&
                        parsed.signature.size() == SiteKey::SignatureSize;
    return parsed;
}

} // namespace CertificateCode
