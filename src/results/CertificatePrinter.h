#pragma once

#include "common/Expected.h"
#include "results/CertificateLayout.h"
#include "settings/SettingValues.h"

#include <QString>

class QPainter;
class QPrinter;
struct RunResult;

// Prints the certificate and its counterfoil on one sheet of the current printer.
// The values shown are the public fields of CertificateFields (userId, charsPerMinute, …).
class CertificatePrinter : public CertificateFields
{
public:
    int paperCode = 9;
    // The printer chosen during this run; empty for the system's default.
    QString printerName;

    // When set, the sheet is written to this PDF file instead of going to a printer.
    QString pdfFileName;
    // The printable-area border of a PDF sheet, in points, like a typical printer's.
    static constexpr qreal kPdfMargin = 12.0;

    // Fills the fields from the run and the paper setting; the speed is rounded to a whole
    // number, halves to even.
    void fillFrom(const RunResult& run, PaperSize paper);

    // Prints one sheet. A printer that is missing, stopped or refuses the page gives a
    // PrinterFailure with a Japanese message.
    Expected<void> print();

private:
    void printAt(const QString& text, qreal x, qreal y);

    QPainter* m_painter = nullptr;
    QPrinter* m_printer = nullptr;
    qreal m_scale = 1; // device units a point
};
