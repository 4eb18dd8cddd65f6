// Writes sample certificates as PDF files for the documentation pictures:
//   certificate_shot <folder>   → certificate-a4.pdf, certificate-b4.pdf, certificate-b5.pdf
//   certificate_shot <folder> long → the same with overlong names and extreme numbers
// Render them with: pdftoppm -png -r 80 -singlefile <pdf> <name>
#include "results/CertificatePrinter.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    const bool overlong = argc > 2 && QByteArray(argv[2]) == "long";
    const struct {
        int code;
        const char* name;
    } papers[] = {{9, "a4"}, {12, "b4"}, {13, "b5"}};
    for (const auto& paper : papers) {
        CertificatePrinter sheet;
        sheet.userId = QStringLiteral("K2026-0042");
        sheet.userName = QStringLiteral("山田 花子");
        sheet.computerName = QStringLiteral("EXAM-PC07");
        sheet.charsPerMinute = 86;
        sheet.accuracy = 97.6f;
        sheet.errors = 6;
        sheet.secondsUsed = 180;
        sheet.fileName = QStringLiteral("jpn_dat.012");
        sheet.alphanumericChars = 12;
        sheet.kanjiOrSymbolChars = 35;
        sheet.acceptedChars = 258;
        sheet.totalChars = 260;
        sheet.recordNumber = 42;
        if (overlong) {
            sheet.userId = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
            sheet.userName = QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水行末");
            sheet.computerName = QStringLiteral("examination-room-workstation-0042");
            sheet.fileName = QStringLiteral("jpn_dat.a_very_long_extension_0001");
            sheet.secondsUsed = 32767;
            sheet.totalChars = 32767;
            sheet.kanjiOrSymbolChars = 32767;
            sheet.acceptedChars = -32768;
            sheet.errors = -32768;
            sheet.accuracy = 33.33333f;
        }
        sheet.paperCode = paper.code;
        sheet.pdfFileName = QDir(folder).filePath(
            QStringLiteral("certificate-%1.pdf").arg(QLatin1String(paper.name)));
        if (const Expected<void> printed = sheet.print(); !printed) {
            std::fprintf(stderr, "%s\n", qPrintable(printed.error().message()));
            return 1;
        }
    }
    return 0;
}
