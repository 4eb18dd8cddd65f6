// Shows the results browser, a progress chart or the export dialog on the current X display
// over a sample class log, and saves a picture of the screen:
//   history_shot <browser|chart|export> <file.png>
#include "common/Cp932.h"
#include "history/ClassLog.h"
#include "history/ProgressChart.h"
#include "history/ResultsBrowser.h"
#include "platform/Fonts.h"
#include "platform/MessageService.h"
#include "platform/SharpStyle.h"
#include "settings/Settings.h"
#include "support/WindowParts.h"

#include "support/ShotSetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QRandomGenerator>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

namespace
{

// Eight learners over six weeks, getting faster at their own pace.
void writeClassLog(const QString& path)
{
    const char* const people[][2] = {{"2A01", "青木　葵"},     {"2A02", "石井　蓮"},
                                     {"2A03", "上田　陽菜"},   {"2A04", "遠藤　湊"},
                                     {"2A05", "小川　結衣"},   {"2A06", "加藤　大翔"},
                                     {"2A07", "木村　さくら"}, {"2A08", "佐々木　悠真"}};
    QRandomGenerator random(20261208);
    QByteArray bytes;
    int number = 0;
    for (int week = 0; week < 6; ++week) {
        for (int day = 0; day < 3; ++day) {
            const QDate date = QDate(2026, 10, 26).addDays(week * 7 + day * 2);
            for (int p = 0; p < 8; ++p) {
                const double base = 18 + p * 4 + week * (3 + p % 3) + random.bounded(60) / 10.0;
                const double speed = qRound(base * 10) / 10.0;
                const int errors = int(random.bounded(8));
                const int accepted = int(speed * 3);
                const double accuracy = qRound(accepted * 1000.0 / (accepted + errors)) / 10.0;
                const QString line =
                    QStringLiteral("%1,\"%2\",\"%3\",\"%4\",\"%5\",\"PC%6\",\"student\","
                                   "\"jpn_dat.00%7\",%8,%9,%10,%11,450,38,6,180\r\n")
                        .arg(number++)
                        .arg(date.toString(QStringLiteral("MM-dd-yyyy")))
                        .arg(QTime(10, 40 + p * 2, int(random.bounded(60)))
                                 .toString(QStringLiteral("HH:mm:ss")))
                        .arg(QString::fromUtf8(people[p][0]), QString::fromUtf8(people[p][1]))
                        .arg(p + 1, 2, 10, QLatin1Char('0'))
                        .arg(1 + (week + day) % 3)
                        .arg(speed)
                        .arg(accuracy)
                        .arg(errors)
                        .arg(accepted);
                bytes += Cp932::encode(line).bytes;
            }
        }
    }
    bytes += "torn,\"12-";
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(new SharpStyle);
    useProgramFont();
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTranslator qtTexts; // the file dialog in Japanese, as the program shows it
    if (qtTexts.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    if (argc < 3)
        return 2;
    const QString which = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);

    QTemporaryDir scratch;
    QDir(scratch.path()).mkpath(QStringLiteral("app"));
    qputenv("PELKO_APPDIR", scratch.filePath(QStringLiteral("app")).toLocal8Bit());
    qputenv("APPDATA", scratch.filePath(QStringLiteral("appdata")).toLocal8Bit());
    qputenv("HOME", scratch.path().toLocal8Bit());
    QDir(scratch.path()).mkpath(QStringLiteral("Documents"));
    MessageRecorder messages;
    Settings settings;
    settings.load();
    settings.setLogFolder(scratch.path() + u'/');
    settings.setPassSpeed(40);
    writeClassLog(scratch.filePath(QStringLiteral("pelko.log")));

    int status = 1;
    QTimer::singleShot(900, &app, [&] {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (screen && screen->grabWindow(0).save(output))
            status = 0;
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            modal->reject();
    });
    ResultsBrowser browser(settings);
    browser.reload();
    part<QTableView>(browser, "ResultsTable")->sortByColumn(8, Qt::DescendingOrder);
    if (which == u"browser") {
        part<QTableView>(browser, "ResultsTable")->selectRow(0);
        browser.exec();
    } else if (which == u"chart") {
        ClassLog log;
        log.open(scratch.filePath(QStringLiteral("pelko.log")));
        std::vector<int> rows(size_t(log.size()));
        for (int i = 0; i < log.size(); ++i)
            rows[size_t(i)] = i;
        ProgressChartDialog dialog(progressOf(log, rows, QStringLiteral("2A03"), 40));
        dialog.resize(900, 560);
        dialog.exec();
    } else {
        browser.show();
        QFileDialog dialog(&browser);
        ResultsBrowser::prepareCsvDialog(dialog);
        dialog.resize(760, 460);
        dialog.exec();
    }
    return status;
}
