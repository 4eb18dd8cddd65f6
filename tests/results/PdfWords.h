#pragma once

#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

// The first page of a PDF as pdftotext -bbox sees it: words with their boxes, in points
// from the top-left corner of the page.
struct PdfPage {
    struct Word {
        QString text;
        QRectF box;
    };
    QSizeF size;
    QList<Word> words;

    // The box of a phrase (words separated by single blanks) on the line whose top lies
    // within tolerance of top; empty when it is not there.
    std::optional<QRectF> find(const QString& phrase, qreal top, qreal tolerance = 0.5) const;
    QString dump() const;
};

// Empty when pdftotext is missing or the file cannot be read.
std::optional<PdfPage> readPdfPage(const QString& pdfFile);
bool havePdfToText();
