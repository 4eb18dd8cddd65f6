// Writes sample certificates as PDF files for the documentation pictures:
//   certificate_shot <folder>   → certificate-a4.pdf, certificate-b4.pdf, certificate-b5.pdf
//   certificate_shot <folder> long → the same with overlong names and extreme numbers
//   certificate_shot <folder> normal|long KEYFILE [ADDRESS] → signed with that site key
// Render them with: pdftoppm -png -r 80 -singlefile <pdf> <name>
#include "platform/SiteKey.h"
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
        sheet.run.userId = QStringLiteral("K2026-0042");
        sheet.run.userName = QStringLiteral("山田 花子");
        sheet.run.computerName = QStringLiteral("EXAM-PC07");
        sheet.run.charsPerMinute = 86;
        sheet.run.accuracy = 97.6f;
        sheet.run.errors = 6;
        sheet.run.secondsUsed = 180;
        sheet.run.fileName = QStringLiteral("jpn_dat.012");
        sheet.run.alphanumericChars = 12;
        sheet.run.kanjiOrSymbolChars = 35;
        sheet.run.acceptedChars = 258;
        sheet.run.totalChars = 260;
        sheet.run.recordNumber = 42;
        if (overlong) {
            sheet.run.userId = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
            sheet.run.userName = QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水行末");
            sheet.run.computerName = QStringLiteral("examination-room-workstation-0042");
            sheet.run.fileName = QStringLiteral("jpn_dat.a_very_long_extension_0001");
            sheet.run.secondsUsed = 32767;
            sheet.run.totalChars = 32767;
            sheet.run.kanjiOrSymbolChars = 32767;
            sheet.run.acceptedChars = -32768;
            sheet.run.errors = -32768;
            sheet.run.accuracy = 33.33333f;
        }
        if (argc > 3) {
            const Expected<SiteKey> key = SiteKey::load(QString::fromLocal8Bit(argv[3]));
            if (!key) {
                std::fprintf(stderr, "%s\n", qPrintable(key.error().message()));
                return 1;
            }
            sheet.seal =
                CertificateCode::seal(CertificateCode::fieldsOf(sheet.run, sheet.printedAt), *key,
                                      argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString());
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
