#include "CodeScanner.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <poppler-qt6.h>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <cmath>
#include <memory>

namespace
{

Error readError(const QString& path, const QString& why)
{
    return Error(Error::Code::ReadFailure,
                 QStringLiteral("「") + path + QStringLiteral("」") + why);
}

// Enough for a code of 0.3 mm modules on a printed sheet.
constexpr qreal PdfDotsPerInch = 200;

// Whether the scan is to stop, from the user or the clock; Poppler asks it while drawing.
struct Stop {
    const CodeScanner::Cancelled& cancelled;
    QDeadlineTimer deadline;
    bool now() const { return deadline.hasExpired() || (cancelled && cancelled()); }
};

Error stopError(const QString& path, const Stop& stop, const CodeScanner::Limits& limits)
{
    if (stop.cancelled && stop.cancelled())
        return Error(Error::Code::ReadFailure, QStringLiteral("読み取りを中止しました。"));
    return readError(
        path,
        QStringLiteral("の読み取りを打ち切りました（時間の上限 %1 秒）。").arg(limits.seconds));
}

// The resolution that draws a page of this size in points at most pixels large.
qreal pageDotsPerInch(const QSizeF& points, qint64 pixels)
{
    const qreal area = points.width() * points.height();
    if (area <= 0)
        return PdfDotsPerInch;
    qreal dpi = std::min(PdfDotsPerInch, 72.0 * std::sqrt(qreal(pixels) / area));
    // Poppler rounds each side up.
    while (dpi > 1 && std::ceil(points.width() * dpi / 72) * std::ceil(points.height() * dpi / 72) >
                          qreal(pixels))
        dpi *= 0.99;
    return dpi;
}

} // namespace

namespace CodeScanner
{

QStringList scanImage(const QImage& image)
{
    if (image.isNull())
        return {};
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setTryDownscale(true);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(),
                                ZXing::ImageFormat::Lum, int(gray.bytesPerLine()));
    QStringList texts;
    for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints)) {
        if (result.isValid())
            texts << QString::fromStdString(result.text());
    }
    return texts;
}

Expected<QStringList> scanFile(const QString& path, const Limits& limits,
                               const Cancelled& cancelled, const Progress& progress)
{
    const Stop stop{cancelled, QDeadlineTimer(limits.seconds * 1000LL)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return readError(path, QStringLiteral("を開けません。"));
    const bool isPdf = file.peek(5) == "%PDF-";
    file.close();
    if (isPdf) {
        // Printer drivers' PDFs draw many warnings from Poppler that say nothing to the user.
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
        const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
        if (!document || document->isLocked())
            return readError(path, QStringLiteral("は読める PDF ではありません。"));
        document->setRenderHint(Poppler::Document::Antialiasing);
        const int pages = std::min(document->numPages(), limits.pages);
        QStringList texts;
        for (int i = 0; i < pages; ++i) {
            if (stop.now())
                return stopError(path, stop, limits);
            const std::unique_ptr<Poppler::Page> page = document->page(i);
            if (!page)
                continue;
            const qreal dpi = pageDotsPerInch(page->pageSizeF(), limits.pixels);
            const QImage image = page->renderToImage(
                dpi, dpi, -1, -1, -1, -1, Poppler::Page::Rotate0, nullptr, nullptr,
                [](const QVariant& stopping) {
                    return static_cast<const Stop*>(stopping.value<void*>())->now();
                },
                QVariant::fromValue(static_cast<void*>(const_cast<Stop*>(&stop))));
            if (stop.now())
                return stopError(path, stop, limits);
            if (progress)
                progress(i + 1, pages, image.size());
            texts << scanImage(image);
        }
        return texts;
    }
    QImageReader reader(path);
    reader.setAutoTransform(true); // a phone's photo stands as it was taken
    // A phone's photo has tens of megapixels: read it smaller, as JPEG can, within Qt's
    // allocation limit.
    const QSize full = reader.size();
    const qint64 fullPixels = qint64(full.width()) * full.height();
    if (fullPixels > limits.pixels) {
        const qreal scale = std::sqrt(qreal(limits.pixels) / qreal(fullPixels));
        reader.setScaledSize(QSize(int(full.width() * scale), int(full.height() * scale)));
    }
    const QImage image = reader.read();
    // Formats that cannot read scaled (PNG) are read whole first.
    if (image.isNull() && fullPixels * 4 > qint64(QImageReader::allocationLimit()) << 20)
        return readError(path, QStringLiteral("は大きすぎて読めません（%1 × %2 画素、"
                                              "メモリの上限 %3 MB）。")
                                   .arg(full.width())
                                   .arg(full.height())
                                   .arg(QImageReader::allocationLimit()));
    if (image.isNull())
        return readError(path, QStringLiteral("は画像としても PDF としても読めません。"));
    if (stop.now())
        return stopError(path, stop, limits);
    if (progress)
        progress(1, 1, image.size());
    return scanImage(image);
}

} // namespace CodeScanner
