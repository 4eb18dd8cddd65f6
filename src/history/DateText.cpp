#include "DateText.h"

#include <QStringList>

namespace DateText
{

QDate parse(const QString& text, bool* whole)
{
    // Full-width digits become plain ones; whatever else stands between them separates.
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    QStringList groups;
    QString digits;
    for (const QChar c : plain) {
        if (c >= u'0' && c <= u'9') {
            digits += c;
        } else if (!digits.isEmpty()) {
            groups << digits;
            digits.clear();
        }
    }
    if (!digits.isEmpty())
        groups << digits;
    if (groups.size() == 1 && groups.first().size() == 8) {
        const QString& all = groups.first();
        groups = {all.left(4), all.mid(4, 2), all.mid(6, 2)};
    }
    if (groups.size() != 3 || groups[0].size() != 4 || groups[1].size() > 2 ||
        groups[2].size() > 2)
        return {};
    if (whole)
        *whole = groups[2].size() == 2;
    return QDate(groups[0].toInt(), groups[1].toInt(), groups[2].toInt());
}

QString format(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace DateText
