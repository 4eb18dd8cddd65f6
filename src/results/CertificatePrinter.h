#pragma once

#include "common/Expected.h"
#include "results/CertificateCode.h"
#include "results/CertificateLayout.h"
#include "results/RunResult.h"
#include "settings/SettingValues.h"

#include <QDateTime>
#include <QString>

class QPainter;
class QPrinter;

// Prints the certificate and its counterfoil on one sheet of the current printer.
class CertificatePrinter
{
public:
    // What the sheet shows.
    RunResult run;
    int paperCode = 9;
    // When the sheet is dated; the signed code carries the same moment.
    QDateTime printedAt = QDateTime::currentDateTime();
    // The signed code and its check code on both halves; none when the payload is empty.
    CertificateCode::Sealed seal;
    // The printer chosen during this run; empty for the system's default.
    QString printerName;

    // When set, the sheet is written to this PDF file instead of going to a printer.
    QString pdfFileName;
    // The printable-area border of a PDF sheet, in points, like a typical printer's.
    static constexpr qreal kPdfMargin = 12.0;

    // The run to show and the paper setting.
    void fillFrom(const RunResult& shown, PaperSize paper);

    // Prints one sheet. A printer that is missing, stopped or refuses the page gives a
    // PrinterFailure with a Japanese message.
    Expected<void> print();

private:
    void printAt(const QString& text, qreal x, qreal y);
    void drawCode(const CertificateLayout& layout);

    QPainter* m_painter = nullptr;
    QPrinter* m_printer = nullptr;
    qreal m_scale = 1; // device units a point
};
