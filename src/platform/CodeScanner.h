#pragma once

#include "common/Expected.h"

#include <QStringList>

class QImage;

// Reads QR codes back from a scan, a photo or a PDF (zxing-cpp; PDF pages drawn by Poppler).
namespace CodeScanner
{

// The texts of the QR codes found, first page first; a file that is no image or PDF, or
// cannot be read, is an error.
Expected<QStringList> scanFile(const QString& path);
QStringList scanImage(const QImage& image);

} // namespace CodeScanner
