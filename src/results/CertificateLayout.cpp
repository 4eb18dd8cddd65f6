#include "CertificateLayout.h"

#include "common/NumericText.h"

namespace
{

struct Row {
    qreal y; // in units of U
    QString label;
    QString value;
};

} // namespace

CertificateLayout::CertificateLayout(const QSizeF& printable)
    : m_W(printable.width()), m_H(printable.height())
{
}

QString CertificateLayout::rateText(int count, int total)
{
    if (total == 0)
        return QStringLiteral("0");
    const double rate = double(count) / double(total) * 100.0;
    return NumericText::singleDisplayText(NumericText::roundSingle1(rate));
}

std::optional<QPageSize::PageSizeId> CertificateLayout::pageSizeOf(int paperCode)
{
    switch (paperCode) {
    case 9:
        return QPageSize::A4;
    case 12:
        return QPageSize::JisB4;
    case 13:
        return QPageSize::JisB5;
    default:
        return std::nullopt;
    }
}

QRectF CertificateLayout::logoRect(int half) const
{
    const qreal o = half * h();
    return QRectF(16.5 * U(), 11.5 * U() + o, logoSide, logoSide);
}

QList<CertificateLayout::Text> CertificateLayout::texts(const CertificateFields& f,
                                                        const QString& date,
                                                        const Measure& measure) const
{
    const qreal u = U();
    const QList<Row> left = {
        {6.5, QStringLiteral("認定日"), date},
        {7.5, QStringLiteral("ユーザID"), f.UserID},
        {8.5, QStringLiteral("ユーザ名"), f.UserName},
        {9.5, QStringLiteral("使用ＰＣ"), f.PC_NAME},
        {10.5, QStringLiteral("データ名"), f.Filename},
    };
    const QList<Row> right = {
        {6.5, QStringLiteral("入力時間"), QString::number(f.UseTime) + QStringLiteral(" 秒")},
        {7.5, QStringLiteral("総文字数"), QString::number(f.SouMozisu) + QStringLiteral(" 文字")},
        {8, QStringLiteral("漢字率"), rateText(f.KanziKigo, f.SouMozisu) + QStringLiteral(" ％")},
        {8.5, QStringLiteral("英数・記号率"),
         rateText(f.Eisu, f.SouMozisu) + QStringLiteral(" ％")},
        {9.5, QStringLiteral("入力数"), QString::number(f.InpMozisu) + QStringLiteral(" 文字")},
        {10, QStringLiteral("入力ミス"), QString::number(f.ErrCount) + QStringLiteral(" 回")},
        {10.5, QStringLiteral("正打率"),
         NumericText::singleDisplayText(f.Seidaritu) + QStringLiteral(" ％")},
    };
    const QString titles[2] = {QStringLiteral("日本語入力認定証"),
                               QStringLiteral("日本語入力認定証(控)")};
    const QString speed = QStringLiteral("あなたの入力速度は") + QString::number(f.InpSpeed) +
                          QStringLiteral("文字/分です");
    const QString number = QStringLiteral("No. ") + QString::number(f.LogNumber);

    QList<Text> out;
    for (int half = 0; half < 2; ++half) {
        const qreal o = half * h();
        const qreal width = measure(titles[half], titleSize());
        out.append({titles[half], titleSize(), QPointF(cx() - width / 2, 3.5 * u + o)});
    }
    for (int half = 0; half < 2; ++half) {
        const qreal o = half * h();
        for (const Row& row : left) {
            out.append({row.label, bodySize(), QPointF(3.5 * u, row.y * u + o)});
            const qreal x = leftValueEdge() - measure(row.value, bodySize());
            out.append({row.value, bodySize(), QPointF(x, row.y * u + o)});
        }
        for (const Row& row : right) {
            out.append({row.label, bodySize(), QPointF(cx() + u, row.y * u + o)});
            const qreal x = rightValueEdge() - measure(row.value, bodySize());
            out.append({row.value, bodySize(), QPointF(x, row.y * u + o)});
        }
    }
    for (int half = 0; half < 2; ++half) {
        const qreal o = half * h();
        const qreal width = measure(speed, speedSize());
        out.append({speed, speedSize(), QPointF(cx() - width / 2, 12 * u + o)});
    }
    for (int half = 0; half < 2; ++half)
        out.append({number, bodySize(), QPointF(0, u + half * h())});
    return out;
}
