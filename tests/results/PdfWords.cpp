#include "PdfWords.h"

#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <cmath>

bool havePdfToText()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

std::optional<PdfPage> readPdfPage(const QString& pdfFile)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                QStringLiteral("-l"), QStringLiteral("1"), pdfFile, QStringLiteral("-")});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return std::nullopt;

    PdfPage page;
    QXmlStreamReader xml(tool.readAllStandardOutput());
    auto number = [&xml](const char* name) {
        return xml.attributes().value(QLatin1String(name)).toDouble();
    };
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            page.size = QSizeF(number("width"), number("height"));
        } else if (xml.name() == QLatin1String("word")) {
            const QRectF box(QPointF(number("xMin"), number("yMin")),
                             QPointF(number("xMax"), number("yMax")));
            page.words.append({xml.readElementText(), box});
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return page;
}

std::optional<QRectF> PdfPage::find(const QString& phrase, qreal top, qreal tolerance) const
{
    const QStringList parts = phrase.split(QLatin1Char(' '));
    for (const Word& first : words) {
        if (first.text != parts.first() || std::abs(first.box.top() - top) > tolerance)
            continue;
        QRectF box = first.box;
        bool whole = true;
        for (int i = 1; i < parts.size() && whole; ++i) {
            // The next word of the phrase: the nearest one to the right on the same line.
            const Word* next = nullptr;
            for (const Word& w : words) {
                if (std::abs(w.box.top() - first.box.top()) < 0.5 && w.box.left() > box.right() &&
                    (!next || w.box.left() < next->box.left()))
                    next = &w;
            }
            whole = next && next->text == parts.at(i);
            if (whole)
                box = box.united(next->box);
        }
        if (whole)
            return box;
    }
    return std::nullopt;
}

QString PdfPage::dump() const
{
    QString out;
    for (const Word& w : words)
        out += QStringLiteral("%1 (%2, %3)-(%4, %5)\n")
                   .arg(w.text)
                   .arg(w.box.left(), 0, 'f', 2)
                   .arg(w.box.top(), 0, 'f', 2)
                   .arg(w.box.right(), 0, 'f', 2)
                   .arg(w.box.bottom(), 0, 'f', 2);
    return out;
}
