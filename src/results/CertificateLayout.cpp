#include "CertificateLayout.h"

#include "common/NumericText.h"
#include "results/RunResult.h"

#include <algorithm>

namespace
{

struct Row {
    qreal y; // in multiples of unit()
    QString label;
    QString value;
    // Who the certificate is for is never cut: it takes a second line, smaller if need be.
    bool whole = false;
};

// Where to break a text into two lines so that the longer of them is shortest, keeping
// surrogate pairs whole.
qsizetype balancedBreak(const QString& text, qreal pointSize,
                        const CertificateLayout::Measure& measure)
{
    qsizetype best = text.size() / 2;
    qreal bestWidth = -1;
    for (qsizetype at = 1; at < text.size(); ++at) {
        if (text.at(at).isLowSurrogate())
            continue;
        const qreal width =
            std::max(measure(text.left(at), pointSize), measure(text.mid(at), pointSize));
        if (bestWidth < 0 || width < bestWidth) {
            bestWidth = width;
            best = at;
        }
    }
    return best;
}

// The longest head of text that fits into room with "…" after it.
QString elided(const QString& text, qreal pointSize, qreal room,
               const CertificateLayout::Measure& measure)
{
    const QString ellipsis = QStringLiteral("…");
    QString head = text;
    while (!head.isEmpty()) {
        const qsizetype length = head.size();
        const bool pair = length >= 2 && head.at(length - 1).isLowSurrogate() &&
                          head.at(length - 2).isHighSurrogate();
        head.chop(pair ? 2 : 1);
        if (measure(head + ellipsis, pointSize) <= room)
            break;
    }
    return head + ellipsis;
}

// The text in at most lines lines of room, each filled in turn; what does not fit ends the
// last line with "…".
QStringList filled(const QString& text, int lines, qreal pointSize, qreal room,
                   const CertificateLayout::Measure& measure)
{
    QStringList out;
    qsizetype from = 0;
    while (from < text.size() && out.size() < lines - 1) {
        qsizetype at = from + 1;
        while (at < text.size() && (text.at(at).isLowSurrogate() ||
                                    measure(text.mid(from, at + 1 - from), pointSize) <= room))
            ++at;
        out << text.mid(from, at - from);
        from = at;
    }
    const QString rest = text.mid(from);
    if (!rest.isEmpty())
        out << (measure(rest, pointSize) <= room ? rest : elided(rest, pointSize, room, measure));
    return out;
}

} // namespace

CertificateLayout::CertificateLayout(const QSizeF& printable)
    : m_sheetWidth(printable.width()), m_sheetHeight(printable.height())
{
}

QString CertificateLayout::rateText(int count, int total)
{
    if (total == 0)
        return QStringLiteral("0");
    const double rate = double(count) / double(total) * 100.0;
    return NumericText::singleDisplayText(NumericText::roundToTenth(rate));
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
    const qreal halfTop = half * halfHeight();
    return QRectF(16.5 * unit(), 11.5 * unit() + halfTop, kLogoSide, kLogoSide);
}

QRectF CertificateLayout::codeRect(int half) const
{
    const qreal side = 3.2 * unit();
    return QRectF(m_sheetWidth - side, 0.4 * unit() + half * halfHeight(), side, side);
}

QPointF CertificateLayout::checkCodePoint(int half, qreal textWidth) const
{
    const QRectF code = codeRect(half);
    return QPointF(code.center().x() - textWidth / 2, code.bottom());
}

QList<CertificateLayout::Text> CertificateLayout::texts(const RunResult& run, const QString& date,
                                                        const Measure& measure,
                                                        const Ascent& ascent) const
{
    const qreal u = unit(); // every position below is in these units
    const QList<Row> left = {
        {6.5, QStringLiteral("認定日"), date},
        {7.5, QStringLiteral("ユーザID"), run.userId, true},
        {8.5, QStringLiteral("ユーザ名"), run.userName, true},
        {9.5, QStringLiteral("使用ＰＣ"), run.computerName},
        {10.5, QStringLiteral("データ名"), run.fileName},
    };
    const QList<Row> right = {
        {6.5, QStringLiteral("入力時間"), QString::number(run.secondsUsed) + QStringLiteral(" 秒")},
        {7.5, QStringLiteral("総文字数"),
         QString::number(run.totalChars) + QStringLiteral(" 文字")},
        {8, QStringLiteral("漢字率"),
         rateText(run.kanjiOrSymbolChars, run.totalChars) + QStringLiteral(" ％")},
        {8.5, QStringLiteral("英数・記号率"),
         rateText(run.alphanumericChars, run.totalChars) + QStringLiteral(" ％")},
        {9.5, QStringLiteral("入力数"),
         QString::number(run.acceptedChars) + QStringLiteral(" 文字")},
        {10, QStringLiteral("入力ミス"), QString::number(run.errors) + QStringLiteral(" 回")},
        {10.5, QStringLiteral("正打率"),
         NumericText::singleDisplayText(run.accuracy) + QStringLiteral(" ％")},
    };
    const QString titles[2] = {QStringLiteral("日本語入力認定証"),
                               QStringLiteral("日本語入力認定証(控)")};
    const QString speed = QStringLiteral("あなたの入力速度は") +
                          QString::number(run.wholeCharsPerMinute()) +
                          QStringLiteral("文字/分です");
    const QString number = QStringLiteral("No. ") + QString::number(run.recordNumber);

    // Steps a size down until the width fits the room or the size reaches the floor. Text
    // widths do not scale quite linearly with the size (the device rounds it), so step down
    // at least a hundredth of the body size each time.
    auto shrink = [&](const std::function<qreal(qreal)>& widthAt, qreal room, qreal floor,
                      qreal from) {
        const qreal body = bodySize();
        qreal size = from;
        qreal width = widthAt(size);
        while (width > room && size > floor) {
            size = std::max(floor, std::min(size * room / width, size - body / 100));
            width = widthAt(size);
        }
        return size;
    };
    // A value ends at its column's edge and stays clear of its label, as long as it is.
    auto placeValue = [&](const Row& row, qreal labelX, qreal edge, qreal halfTop,
                          QList<Text>& placed) {
        const qreal body = bodySize();
        const qreal room = edge - labelX - measure(row.label, body) - kLabelGap * u;
        const qreal floor = std::min(body, kMinWholeSize);
        auto widest = [&](const QStringList& lines, qreal at) {
            qreal width = 0;
            for (const QString& line : lines)
                width = std::max(width, measure(line, at));
            return width;
        };
        QStringList lines{row.value};
        qreal size = shrink([&](qreal at) { return measure(row.value, at); }, room,
                            body * kMinValueScale, body);
        if (measure(row.value, size) > room && row.whole) {
            const qsizetype at = balancedBreak(row.value, size, measure);
            lines = {row.value.left(at), row.value.mid(at)};
            size = shrink([&](qreal at) { return widest(lines, at); }, room, floor, body);
            if (widest(lines, size) > room) {
                // Three lines fill the row's height, no more.
                const qreal tallest = std::max(floor, u / (1 + 2 * kSecondLineStep));
                size = shrink(
                    [&](qreal at) {
                        const QStringList three = filled(row.value, 3, at, room, measure);
                        if (three.join(QString()) == row.value)
                            return widest(three, at);
                        return std::max(room * 1.01, measure(row.value, at) / 3);
                    },
                    room, floor, std::min(tallest, size));
                lines = filled(row.value, 3, size, room, measure);
            }
        } else if (measure(row.value, size) > room) {
            lines = {elided(row.value, size, room, measure)};
        }
        qreal top = row.y * u + halfTop;
        if (ascent && size != body && lines.size() < 3)
            top += ascent(body) - ascent(size);
        for (const QString& line : lines) {
            placed.append(Text{line, size, QPointF(edge - measure(line, size), top)});
            top += size * kSecondLineStep;
        }
    };

    QList<Text> out;
    for (int half = 0; half < 2; ++half) {
        const qreal halfTop = half * halfHeight();
        const qreal width = measure(titles[half], titleSize());
        out.append({titles[half], titleSize(), QPointF(centerX() - width / 2, 3.5 * u + halfTop)});
    }
    for (int half = 0; half < 2; ++half) {
        const qreal halfTop = half * halfHeight();
        for (const Row& row : left) {
            out.append({row.label, bodySize(), QPointF(3.5 * u, row.y * u + halfTop)});
            placeValue(row, 3.5 * u, leftValueEdge(), halfTop, out);
        }
        for (const Row& row : right) {
            out.append({row.label, bodySize(), QPointF(centerX() + u, row.y * u + halfTop)});
            placeValue(row, centerX() + u, rightValueEdge(), halfTop, out);
        }
    }
    for (int half = 0; half < 2; ++half) {
        const qreal halfTop = half * halfHeight();
        const qreal width = measure(speed, speedSize());
        out.append({speed, speedSize(), QPointF(centerX() - width / 2, 12 * u + halfTop)});
    }
    for (int half = 0; half < 2; ++half)
        out.append({number, bodySize(), QPointF(0, u + half * halfHeight())});
    return out;
}
