// Writes sample certificates as PDF files for the documentation pictures:
//   certificate_shot <folder>   → certificate-a4.pdf, certificate-b4.pdf, certificate-b5.pdf
//   certificate_shot <folder> long → the same with overlong names and extreme numbers
// Render them with: pdftoppm -png -r 80 -singlefile <pdf> <name>
#include "common/PelkoError.h"
#include "results/clsPrintOut.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    const bool overlong = argc > 2 && QByteArray(argv[2]) == "long";
    const struct {
        qint16 code;
        const char* name;
    } papers[] = {{9, "a4"}, {12, "b4"}, {13, "b5"}};
    for (const auto& paper : papers) {
        clsPrintOut sheet;
        sheet.UserID = QStringLiteral("K2026-0042");
        sheet.UserName = QStringLiteral("山田 花子");
        sheet.PC_NAME = QStringLiteral("EXAM-PC07");
        sheet.InpSpeed = 86;
        sheet.Seidaritu = 97.6f;
        sheet.ErrCount = 6;
        sheet.UseTime = 180;
        sheet.Filename = QStringLiteral("jpn_dat.012");
        sheet.Eisu = 12;
        sheet.KanziKigo = 35;
        sheet.InpMozisu = 258;
        sheet.SouMozisu = 260;
        sheet.LogNumber = 42;
        if (overlong) {
            sheet.UserID = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
            sheet.UserName = QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水行末");
            sheet.PC_NAME = QStringLiteral("examination-room-workstation-0042");
            sheet.Filename = QStringLiteral("jpn_dat.a_very_long_extension_0001");
            sheet.UseTime = 32767;
            sheet.SouMozisu = 32767;
            sheet.KanziKigo = 32767;
            sheet.InpMozisu = -32768;
            sheet.ErrCount = -32768;
            sheet.Seidaritu = 33.33333f;
        }
        sheet.PaperSize = paper.code;
        sheet.PdfFileName = QDir(folder).filePath(
            QStringLiteral("certificate-%1.pdf").arg(QLatin1String(paper.name)));
        try {
            sheet.PrintOut();
        } catch (const PelkoError& error) {
            std::fprintf(stderr, "%s\n", qPrintable(error.description()));
            return 1;
        }
    }
    return 0;
}
