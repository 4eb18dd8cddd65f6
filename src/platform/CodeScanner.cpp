#include "CodeScanner.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <poppler-qt6.h>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <memory>

namespace
{

Error readError(const QString& path, const QString& why)
{
    return Error(Error::Code::ReadFailure,
                 QStringLiteral("「") + path + QStringLiteral("」") + why);
}

// Enough for a code of 0.3 mm modules on a printed sheet.
constexpr int PdfDotsPerInch = 200;

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

Expected<QStringList> scanFile(const QString& path)
{
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
        QStringList texts;
        for (int i = 0; i < document->numPages(); ++i) {
            const std::unique_ptr<Poppler::Page> page = document->page(i);
            if (page)
                texts << scanImage(page->renderToImage(PdfDotsPerInch, PdfDotsPerInch));
        }
        return texts;
    }
    QImageReader reader(path);
    reader.setAutoTransform(true); // a phone's photo stands as it was taken
    const QImage image = reader.read();
    if (image.isNull())
        return readError(path, QStringLiteral("は画像としても PDF としても読めません。"));
    return scanImage(image);
}

} // namespace CodeScanner
