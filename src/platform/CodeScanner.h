#pragma once

#include "common/Expected.h"

#include <QSize>
#include <QStringList>

#include <functional>

class QImage;

// Reads QR codes back from a scan, a photo or a PDF (zxing-cpp; PDF pages drawn by Poppler).
namespace CodeScanner
{

// What one file may cost. A file from outside can hold a page of metres or a hundred pages:
// a certificate is one page, and its code reads at far fewer pixels than these.
struct Limits {
    int pages = 3;
    qint64 pixels = 4000 * 4000; // a page is drawn, a photo read, at most this large
    int seconds = 30;
};

// Asked between the steps of a scan; true stops it.
using Cancelled = std::function<bool()>;
// Told of each picture before it is searched: its page (from 1), of how many, and its size.
using Progress = std::function<void(int page, int pages, const QSize& pixels)>;

// The texts of the QR codes found, first page first; a file that is no image or PDF, cannot
// be read within the limits, or a scan cancelled, is an error.
Expected<QStringList> scanFile(const QString& path, const Limits& limits = {},
                               const Cancelled& cancelled = {}, const Progress& progress = {});
QStringList scanImage(const QImage& image);

} // namespace CodeScanner
