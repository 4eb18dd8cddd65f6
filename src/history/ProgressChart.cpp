#include "ProgressChart.h"

#include "platform/MessageService.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolTip>
#include <QVBoxLayout>

#include <cmath>

namespace
{

const QColor SpeedColor(0x1f, 0x5f, 0xbf);
const QColor AccuracyColor(0x2e, 0x8b, 0x3a);
const QColor PassColor(0xc8, 0x1e, 0x1e);

// A round step near range / 5: 1, 2, 5 times a power of ten.
double niceStep(double range)
{
    const double rough = range / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough)
            return factor * power;
    }
    return 10.0 * power;
}

QString bandLabel(QString name)
{
    return name.remove(QStringLiteral("ワープロ検定")).remove(QStringLiteral("レベル"));
}

} // namespace

ProgressChart::ProgressChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ProgressChart"));
    setMouseTracking(true);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setMinimumSize(480, 300);
}

void ProgressChart::setData(const ProgressData& data)
{
    m_data = data;
    setAccessibleDescription(QString::number(data.points.size()) + QStringLiteral(" 件"));
    update();
}

double ProgressChart::Frame::x(qint64 ms) const
{
    if (lastMs == firstMs)
        return plot.center().x();
    return dataLeft + (dataRight - dataLeft) * double(ms - firstMs) / double(lastMs - firstMs);
}

QPointF ProgressChart::Frame::speedAt(const ProgressPoint& p) const
{
    return {x(p.when.toMSecsSinceEpoch()),
            plot.bottom() - plot.height() * qBound(0.0, double(p.speed), topSpeed) / topSpeed};
}

QPointF ProgressChart::Frame::accuracyAt(const ProgressPoint& p) const
{
    return {x(p.when.toMSecsSinceEpoch()),
            plot.bottom() - plot.height() * qBound(0.0, double(p.accuracy), 100.0) / 100.0};
}

ProgressChart::Frame ProgressChart::frame() const
{
    Frame f;
    const QFontMetrics metrics(font());
    const int left = metrics.horizontalAdvance(QStringLiteral("0000")) + 16;
    const int right = metrics.horizontalAdvance(QStringLiteral("100%")) + 16;
    const int top = metrics.height() * 3 + 8;
    const int bottom = metrics.height() + 14;
    f.plot = QRectF(left, top, width() - left - right, height() - top - bottom);
    // The band names keep a column of their own at the right, clear of the last points.
    int labels = 0;
    for (const Scoring::GradeBand& band : m_data.bands)
        labels = qMax(labels, metrics.horizontalAdvance(bandLabel(band.name)));
    f.dataLeft = f.plot.left() + 8;
    f.dataRight = qMax(f.dataLeft + 1, f.plot.right() - (labels > 0 ? labels + 18 : 8));
    double top_ = qMax<double>(
        m_data.passSpeed, m_data.bands.isEmpty() ? 0.0 : double(m_data.bands.first().lowestSpeed));
    for (const ProgressPoint& p : m_data.points)
        top_ = qMax(top_, double(p.speed));
    const double step = niceStep(top_ * 1.1);
    f.topSpeed = std::ceil(top_ * 1.1 / step) * step;
    if (!m_data.points.isEmpty()) {
        f.firstMs = m_data.points.first().when.toMSecsSinceEpoch();
        f.lastMs = m_data.points.last().when.toMSecsSinceEpoch();
    }
    return f;
}

int ProgressChart::pointAt(const QPointF& pos) const
{
    const Frame f = frame();
    int best = -1;
    double bestDistance = 8.0;
    for (int i = 0; i < m_data.points.size(); ++i) {
        for (const QPointF& at : {f.speedAt(m_data.points[i]), f.accuracyAt(m_data.points[i])}) {
            const double distance = QLineF(at, pos).length();
            if (distance <= bestDistance) {
                bestDistance = distance;
                best = i;
            }
        }
    }
    return best;
}

void ProgressChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Frame f = frame();
    const QFontMetrics metrics(font());
    auto yOfSpeed = [&](double speed) {
        return f.plot.bottom() - f.plot.height() * qBound(0.0, speed, f.topSpeed) / f.topSpeed;
    };

    // Grade bands, fastest at the top, in alternating shades.
    double upper = f.topSpeed;
    for (int i = 0; i < m_data.bands.size(); ++i) {
        const Scoring::GradeBand& band = m_data.bands[i];
        const QRectF area(f.plot.left(), yOfSpeed(upper), f.plot.width(),
                          yOfSpeed(band.lowestSpeed) - yOfSpeed(upper));
        painter.fillRect(area, i % 2 == 0 ? QColor(0xf3, 0xee, 0xdc) : QColor(0xe6, 0xef, 0xf7));
        painter.setPen(QColor(0x80, 0x80, 0x80));
        if (area.height() >= metrics.height())
            painter.drawText(area.adjusted(0, 0, -6, 0), Qt::AlignRight | Qt::AlignVCenter,
                             bandLabel(band.name));
        upper = band.lowestSpeed;
    }

    // Axes and their scales: speed on the left, rate on the right.
    painter.setPen(QColor(0x60, 0x60, 0x60));
    painter.drawRect(f.plot);
    const double step = niceStep(f.topSpeed);
    for (double v = 0; v <= f.topSpeed + 1e-6; v += step) {
        const double y = yOfSpeed(v);
        painter.drawText(QRectF(0, y - metrics.height(), f.plot.left() - 6, 2 * metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }
    painter.setPen(AccuracyColor);
    for (int v = 0; v <= 100; v += 20) {
        const double y = f.plot.bottom() - f.plot.height() * v / 100.0;
        painter.drawText(QRectF(f.plot.right() + 6, y - metrics.height(), 60, 2 * metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, QString::number(v) + u'%');
    }

    // Whose runs, so that a saved picture tells it too; the legend below.
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(palette().color(QPalette::Text));
    QString who = m_data.userId;
    if (!m_data.userName.isEmpty())
        who += QStringLiteral("　") + m_data.userName;
    painter.drawText(QPointF(f.plot.left(), metrics.ascent() + 4),
                     who + QStringLiteral("　成績の推移（") + QString::number(m_data.points.size()) +
                         QStringLiteral(" 回）"));
    painter.setFont(font());
    int x = int(f.plot.left());
    const int legendY = metrics.height() + metrics.ascent() + 8;
    auto legend = [&](const QColor& color, const QString& text) {
        painter.setPen(QPen(color, 2));
        painter.drawLine(x, legendY - metrics.ascent() / 3, x + 18, legendY - metrics.ascent() / 3);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(x + 24, legendY, text);
        x += 24 + metrics.horizontalAdvance(text) + 20;
    };
    legend(SpeedColor, QStringLiteral("入力速度（文字/分、左の目盛）"));
    legend(AccuracyColor, QStringLiteral("正打率（%、右の目盛）"));
    legend(PassColor, QStringLiteral("合格ライン ") + QString::number(m_data.passSpeed));

    // Pass line.
    painter.setPen(QPen(PassColor, 1.5, Qt::DashLine));
    painter.drawLine(QPointF(f.plot.left(), yOfSpeed(m_data.passSpeed)),
                     QPointF(f.plot.right(), yOfSpeed(m_data.passSpeed)));

    if (m_data.points.isEmpty()) {
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(f.plot, Qt::AlignCenter, QStringLiteral("表示できる記録がありません"));
        return;
    }

    // Dates under the plot: the first, the last and a few between.
    painter.setPen(palette().color(QPalette::Text));
    const int labels = f.lastMs == f.firstMs ? 1 : qBound(2, int(f.plot.width() / 120), 6);
    for (int i = 0; i < labels; ++i) {
        const qint64 ms =
            labels == 1 ? f.firstMs : f.firstMs + (f.lastMs - f.firstMs) * i / (labels - 1);
        const QString text =
            QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd"));
        const double cx = f.x(ms);
        const double w = metrics.horizontalAdvance(text) + 4;
        const double left = qBound(0.0, cx - w / 2, double(width()) - w);
        painter.drawText(QRectF(left, f.plot.bottom() + 4, w, metrics.height()), Qt::AlignCenter,
                         text);
    }

    auto series = [&](const QColor& color, bool squares, auto at) {
        QPainterPath path;
        for (int i = 0; i < m_data.points.size(); ++i) {
            const QPointF p = at(m_data.points[i]);
            i == 0 ? path.moveTo(p) : path.lineTo(p);
        }
        painter.setPen(QPen(color, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        painter.setBrush(color);
        for (const ProgressPoint& point : m_data.points) {
            const QPointF p = at(point);
            const QRectF mark(p.x() - 3.5, p.y() - 3.5, 7, 7);
            squares ? painter.drawRect(mark) : painter.drawEllipse(mark);
        }
    };
    series(AccuracyColor, true, [&](const ProgressPoint& p) { return f.accuracyAt(p); });
    series(SpeedColor, false, [&](const ProgressPoint& p) { return f.speedAt(p); });
}

void ProgressChart::mouseMoveEvent(QMouseEvent* event)
{
    const int index = pointAt(event->position());
    if (index < 0)
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), pointText(m_data.points[index]),
                           this);
}

ProgressChartDialog::ProgressChartDialog(const ProgressData& data, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ProgressChartDialog"));
    QString who = data.userId;
    if (!data.userName.isEmpty())
        who += QStringLiteral("　") + data.userName;
    setWindowTitle(QStringLiteral("成績の推移 － ") + who);
    m_chart = new ProgressChart(this);
    m_chart->setData(data);
    m_saveButton = new QPushButton(QStringLiteral("画像で保存(&S)..."), this);
    m_closeButton = new QPushButton(QStringLiteral("閉じる"), this);
    auto* buttons = new QHBoxLayout;
    if (data.undated > 0)
        buttons->addWidget(new QLabel(QStringLiteral("日付の読めない記録 ") +
                                          QString::number(data.undated) +
                                          QStringLiteral(" 件は表示していません"),
                                      this));
    buttons->addStretch();
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chart, 1);
    layout->addLayout(buttons);
    connect(m_saveButton, &QPushButton::clicked, this, &ProgressChartDialog::save);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

bool ProgressChartDialog::saveTo(const QString& path)
{
    return m_chart->grab().save(path, "PNG");
}

void ProgressChartDialog::save()
{
    QFileDialog dialog(this, QStringLiteral("グラフを画像で保存"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PNG 画像 (*.png)"));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.selectFile(m_chart->data().userId + QStringLiteral("_成績の推移.png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    if (!saveTo(dialog.selectedFiles().first()))
        showMessage(QStringLiteral("画像を保存できませんでした"), MessageButtons::Ok,
                    QStringLiteral("エラー"), MessageIcon::Critical);
}
