#include "CertificatePrinter.h"

#include "CertificateLayout.h"
#include "CurrentPrinter.h"
#include "PrintQueue.h"
#include "common/ClockText.h"
#include "common/NumericText.h"
#include "platform/Fonts.h"
#include "platform/PelkoArt.h"
#include "platform/Printers.h"
#include "problems/Problem.h"
#include "results/QrCode.h"
#include "results/RunResult.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QPrinterInfo>

#include <optional>

namespace
{

Error failure(const QString& message)
{
    return Error(Error::Code::PrinterFailure, message);
}

QString quoted(const QString& name)
{
    return QStringLiteral("「") + name + QStringLiteral("」");
}

} // namespace

void CertificatePrinter::fillFrom(const RunResult& shown, PaperSize paper)
{
    run = shown;
    // A setting that is no 16-bit number leaves the printer on its own paper.
    paperCode = NumericText::toInt16(paper.code()).value_or(0);
}

void CertificatePrinter::printAt(const QString& text, qreal x, qreal y)
{
    const QFontMetricsF metrics(m_painter->font(), m_printer);
    m_painter->drawText(QPointF(x * m_scale, y * m_scale + metrics.ascent()), text);
}

void CertificatePrinter::drawCode(const CertificateLayout& layout)
{
    const QrCode code = QrCode::encode(seal.payload);
    const qreal size = layout.checkCodeSize();
    m_painter->setFont(Fonts::proportional(size));
    const qreal textWidth =
        QFontMetricsF(m_painter->font(), m_printer).horizontalAdvance(seal.checkCode) / m_scale;
    for (int half = 0; half < 2; ++half) {
        const QRectF square = layout.codeRect(half);
        // One path: modules that touch leave no seam between them when the page is rasterised.
        QPainterPath modules;
        modules.setFillRule(Qt::WindingFill);
        for (const QRectF& rect : code.darkRects(square))
            modules.addRect(QRectF(rect.topLeft() * m_scale, rect.size() * m_scale));
        m_painter->fillPath(modules, Qt::black);
        const QPointF at = layout.checkCodePoint(half, textWidth);
        printAt(seal.checkCode, at.x(), at.y());
    }
}

Expected<void> CertificatePrinter::print()
{
    if (!seal.payload.isEmpty() && QrCode::encode(seal.payload).isEmpty())
        return failure(QStringLiteral("認定証の内容が長すぎて、署名付きのコードに収まりません。"));
    const bool toFile = !pdfFileName.isEmpty();
    QString name;
    if (!toFile) {
        name = CurrentPrinter::name(printerName);
        if (name.isEmpty())
            return failure(QStringLiteral("使用できるプリンタがありません。"));
        // Qt would fall back to another printer or drop the job silently; say why instead.
        // Only printers the program lists: tests that stand in for the list stay off real queues.
        const QPrinterInfo info = QPrinterInfo::printerInfo(name);
        if (info.isNull() || !Printers::installedNames().contains(name))
            return failure(QStringLiteral("プリンタ") + quoted(name) +
                           QStringLiteral("が見つかりません。"));
        if (info.state() == QPrinter::Error || info.state() == QPrinter::Aborted)
            return failure(QStringLiteral("プリンタ") + quoted(name) +
                           QStringLiteral("は停止しています。"));
        if (!PrintQueue::acceptsJobs(name))
            return failure(QStringLiteral("プリンタ") + quoted(name) +
                           QStringLiteral("は印刷を受け付けていません。"));
    }
    std::optional<PrintQueue::JobWatch> jobWatch;
    if (!toFile)
        jobWatch.emplace(name);

    QPrinter printer(QPrinter::HighResolution);
    if (toFile) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFileName);
    } else {
        printer.setPrinterName(name);
    }
    if (!printer.isValid())
        return failure(QStringLiteral("プリンタ") + quoted(name) +
                       QStringLiteral("を使えません。"));
    printer.setDocName(QStringLiteral("日本語入力認定証"));
    printer.setFullPage(false);
    // Paper the printer lacks leaves it on its own paper.
    if (const auto pageSize = CertificateLayout::pageSizeOf(paperCode))
        printer.setPageSize(QPageSize(*pageSize));
    if (toFile)
        printer.setPageMargins(QMarginsF(kPdfMargin, kPdfMargin, kPdfMargin, kPdfMargin),
                               QPageLayout::Point);

    const CertificateLayout layout(printer.pageLayout().paintRect(QPageLayout::Point).size());
    m_scale = printer.resolution() / 72.0;

    QPainter painter;
    if (!painter.begin(&printer)) {
        if (toFile)
            return failure(QStringLiteral("ファイル") + quoted(pdfFileName) +
                           QStringLiteral("に書き込めません。"));
        return failure(QStringLiteral("プリンタ") + quoted(name) +
                       QStringLiteral("に印刷を始められません。"));
    }
    m_painter = &painter;
    m_printer = &printer;

    const CertificateLayout::Measure measure = [&printer, this](const QString& text,
                                                                qreal pointSize) {
        return QFontMetricsF(Fonts::proportional(pointSize), &printer).horizontalAdvance(text) /
               m_scale;
    };

    const CertificateLayout::Ascent ascent = [&printer, this](qreal pointSize) {
        return QFontMetricsF(Fonts::proportional(pointSize), &printer).ascent() / m_scale;
    };

    for (int half = 0; half < 2; ++half) {
        const QRectF logo = layout.logoRect(half);
        paintLogo(painter, QRectF(logo.x() * m_scale, logo.y() * m_scale, logo.width() * m_scale,
                                  logo.height() * m_scale));
    }
    painter.setPen(Qt::black);
    const auto texts = layout.texts(run, ClockText::dateText(printedAt.date()), measure, ascent);
    qreal fontSize = -1;
    for (const CertificateLayout::Text& item : texts) {
        if (item.pointSize != fontSize) {
            fontSize = item.pointSize;
            painter.setFont(Fonts::proportional(fontSize));
        }
        printAt(item.text, item.topLeft.x(), item.topLeft.y());
    }

    if (!seal.payload.isEmpty())
        drawCode(layout);

    // A thin dashed cut line between the certificate and its counterfoil.
    QPen cut(Qt::black, 0.5 * m_scale, Qt::DashLine);
    painter.setPen(cut);
    const QLineF line = layout.cutLine();
    painter.drawLine(QLineF(line.p1() * m_scale, line.p2() * m_scale));

    m_painter = nullptr;
    m_printer = nullptr;
    const bool ended = painter.end();
    if (!ended || printer.printerState() == QPrinter::Error ||
        printer.printerState() == QPrinter::Aborted) {
        if (toFile)
            return failure(QStringLiteral("ファイル") + quoted(pdfFileName) +
                           QStringLiteral("に書き込めません。"));
        return failure(QStringLiteral("プリンタ") + quoted(name) +
                       QStringLiteral("に送れませんでした。"));
    }
    // Qt hands the page to CUPS without looking at the answer: a job that never arrived
    // would otherwise pass for printed.
    if (jobWatch && jobWatch->sawNoJob())
        return failure(QStringLiteral("プリンタ") + quoted(name) +
                       QStringLiteral("が印刷を受け付けませんでした。"));
    return {};
}
