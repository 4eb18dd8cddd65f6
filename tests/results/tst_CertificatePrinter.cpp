#include "PdfWords.h"
#include "support/TempTree.h"

#include "common/ClockText.h"
#include "platform/CodeScanner.h"
#include "platform/HelpViewer.h"
#include "platform/MessageService.h"
#include "platform/Printers.h"
#include "platform/SiteKey.h"
#include "problems/Problem.h"
#include "results/CertificatePrinter.h"
#include "results/QrCode.h"
#include "results/RunRecord.h"
#include "results/RunResult.h"
#include "settings/Settings.h"
#include "settings/SettingsText.h"
#include "typing/TestWindow.h"

#include <QDate>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QTest>

namespace
{

constexpr qreal kMmToPt = 72.0 / 25.4;

CertificatePrinter sampleSheet()
{
    CertificatePrinter p;
    p.run.userId = QStringLiteral("U0001");
    p.run.userName = QStringLiteral("山田太郎");
    p.run.computerName = QStringLiteral("pc-01");
    p.run.charsPerMinute = 86;
    p.run.accuracy = 97.5f;
    p.run.errors = 3;
    p.run.secondsUsed = 300;
    p.run.fileName = QStringLiteral("jpn_dat.001");
    p.run.alphanumericChars = 0;
    p.run.kanjiOrSymbolChars = 35;
    p.run.acceptedChars = 250;
    p.run.totalChars = 260;
    p.run.recordNumber = 12;
    return p;
}

// The sheet's geometry worked out from the page the PDF reports, independently of the code
// that laid it out.
struct Geometry {
    explicit Geometry(const QSizeF& page)
    {
        const qreal m = CertificatePrinter::kPdfMargin;
        W = page.width() - 2 * m;
        H = page.height() - 2 * m;
        h = H / 2;
        U = h / 15;
        cx = W / 2;
    }
    // Printable width and height, half height, layout unit, centre line.
    qreal W, H, h, U, cx;
};

// A QR code of text in square, as a scan or a PDF of the sheet would hold it.
void drawCode(QPainter& painter, const QString& text, const QRectF& square)
{
    for (const QRectF& module : QrCode::encode(text).darkRects(square))
        painter.fillRect(module, Qt::black);
}

// One page of pageSize points for each text, its code across a third of the page.
void writePdf(const QString& path, const QSizeF& pageSize, const QStringList& texts)
{
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(pageSize, QPageSize::Point));
    pdf.setPageMargins({});
    pdf.setResolution(72);
    QPainter painter(&pdf);
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0)
            pdf.newPage();
        drawCode(painter, texts[i], QRectF(QPointF(), pageSize / 3));
    }
}

} // namespace

class tst_CertificatePrinter : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void sheetLayout_data();
    void sheetLayout();
    void valueTexts_data();
    void valueTexts();
    void longValuesGrowLeftwards();
    void valuesKeepClearOfTheirLabels_data();
    void valuesKeepClearOfTheirLabels();
    void fieldsFromTheResult_data();
    void fieldsFromTheResult();
    void failuresAreRaised_data();
    void failuresAreRaised();
    void printMenuReportsAFailure();
    void scansWithinLimits_data();
    void scansWithinLimits();

private:
    PdfPage print(CertificatePrinter sheet);

    std::unique_ptr<TempTree> m_tree;
};

void tst_CertificatePrinter::init()
{
    if (!havePdfToText())
        QSKIP("pdftotext is missing: install the Debian package poppler-utils");
    m_tree = std::make_unique<TempTree>();
}

void tst_CertificatePrinter::cleanup()
{
    Printers::setProvider({});
    m_tree.reset();
}

PdfPage tst_CertificatePrinter::print(CertificatePrinter sheet)
{
    sheet.pdfFileName = m_tree->file(QStringLiteral("sheet.pdf"));
    [&] {
        const Expected<void> printed = sheet.print();
        QVERIFY2(printed, qPrintable(printed ? QString() : printed.error().message()));
    }();
    const auto page = readPdfPage(sheet.pdfFileName);
    [&] { QVERIFY2(page.has_value(), "pdftotext could not read the sheet"); }();
    return page.value_or(PdfPage{});
}

void tst_CertificatePrinter::sheetLayout_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<QSizeF>("pageMm");
    QTest::newRow("A4") << 9 << QSizeF(210, 297);
    QTest::newRow("JIS B4") << 12 << QSizeF(257, 364);
    QTest::newRow("JIS B5") << 13 << QSizeF(182, 257);
}

void tst_CertificatePrinter::sheetLayout()
{
    QFETCH(int, paper);
    QFETCH(QSizeF, pageMm);
    CertificatePrinter sheet = sampleSheet();
    sheet.paperCode = paper;
    const PdfPage page = print(sheet);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(std::abs(page.size.width() - pageMm.width() * kMmToPt) < 1.5, qPrintable(page.dump()));
    QVERIFY(std::abs(page.size.height() - pageMm.height() * kMmToPt) < 1.5);

    const Geometry g(page.size);
    const qreal m = CertificatePrinter::kPdfMargin;
    const qreal tol = 0.5;
    const QString date = ClockText::dateText(QDate::currentDate());

    struct Row {
        qreal y;
        QString label;
        QString value;
        bool right;
    };
    const QList<Row> rows = {
        {6.5, QStringLiteral("認定日"), date, false},
        {7.5, QStringLiteral("ユーザID"), QStringLiteral("U0001"), false},
        {8.5, QStringLiteral("ユーザ名"), QStringLiteral("山田太郎"), false},
        {9.5, QStringLiteral("使用ＰＣ"), QStringLiteral("pc-01"), false},
        {10.5, QStringLiteral("データ名"), QStringLiteral("jpn_dat.001"), false},
        {6.5, QStringLiteral("入力時間"), QStringLiteral("300 秒"), true},
        {7.5, QStringLiteral("総文字数"), QStringLiteral("260 文字"), true},
        {8, QStringLiteral("漢字率"), QStringLiteral("13.5 ％"), true},
        {8.5, QStringLiteral("英数・記号率"), QStringLiteral("0 ％"), true},
        {9.5, QStringLiteral("入力数"), QStringLiteral("250 文字"), true},
        {10, QStringLiteral("入力ミス"), QStringLiteral("3 回"), true},
        {10.5, QStringLiteral("正打率"), QStringLiteral("97.5 ％"), true},
    };
    const QString titles[2] = {QStringLiteral("日本語入力認定証"),
                               QStringLiteral("日本語入力認定証(控)")};

    for (int half = 0; half < 2; ++half) {
        const qreal o = half * g.h;
        const QString where = QStringLiteral(" (half %1)\n").arg(half) + page.dump();

        const auto title = page.find(titles[half], m + 3.5 * g.U + o, tol);
        QVERIFY2(title, qPrintable(titles[half] + where));
        QVERIFY(std::abs(title->center().x() - (m + g.cx)) < tol);
        QVERIFY(std::abs(title->height() - g.U) < 0.3); // title font U

        for (const Row& row : rows) {
            const qreal top = m + row.y * g.U + o;
            const auto label = page.find(row.label, top, tol);
            QVERIFY2(label, qPrintable(row.label + where));
            const qreal labelX = row.right ? g.cx + g.U : 3.5 * g.U;
            QVERIFY2(std::abs(label->left() - (m + labelX)) < tol, qPrintable(row.label));
            QVERIFY(std::abs(label->height() - g.h / 30) < 0.3); // body font h / 30

            const auto value = page.find(row.value, top, tol);
            QVERIFY2(value, qPrintable(row.value + where));
            const qreal edge = row.right ? g.cx + 7 * g.U : g.cx - g.U / 2;
            QVERIFY2(std::abs(value->right() - (m + edge)) < tol, qPrintable(row.value));
        }

        const QString speed = QStringLiteral("あなたの入力速度は86文字/分です");
        const auto sentence = page.find(speed, m + 12 * g.U + o, tol);
        QVERIFY2(sentence, qPrintable(speed + where));
        QVERIFY(std::abs(sentence->center().x() - (m + g.cx)) < tol);
        QVERIFY(std::abs(sentence->height() - g.h / 20) < 0.3); // speed font h / 20

        const auto number = page.find(QStringLiteral("No. 12"), m + g.U + o, tol);
        QVERIFY2(number, qPrintable(where));
        QVERIFY(std::abs(number->left() - m) < tol);
    }
}

void tst_CertificatePrinter::valueTexts_data()
{
    QTest::addColumn<int>("kanjiOrSymbolChars");
    QTest::addColumn<int>("alphanumeric");
    QTest::addColumn<int>("total");
    QTest::addColumn<float>("accuracy");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("expected");

    const QString kanji = QStringLiteral("漢字率");
    const QString alphanumeric = QStringLiteral("英数・記号率");
    const QString accuracyLabel = QStringLiteral("正打率");
    QTest::newRow("35 of 260") << 35 << 0 << 260 << 90.f << kanji << QStringLiteral("13.5 ％");
    QTest::newRow("none") << 35 << 0 << 260 << 90.f << alphanumeric << QStringLiteral("0 ％");
    QTest::newRow("whole rate") << 24 << 0 << 200 << 90.f << kanji << QStringLiteral("12 ％");
    QTest::newRow("6.25 halves to even")
        << 0 << 1 << 16 << 90.f << alphanumeric << QStringLiteral("6.2 ％");
    QTest::newRow("18.75 halves to even")
        << 3 << 0 << 16 << 90.f << kanji << QStringLiteral("18.8 ％");
    QTest::newRow("empty problem, kanji") << 0 << 0 << 0 << 90.f << kanji << QStringLiteral("0 ％");
    QTest::newRow("empty problem, eisu")
        << 0 << 0 << 0 << 90.f << alphanumeric << QStringLiteral("0 ％");
    QTest::newRow("correct rate") << 0 << 0 << 10 << 97.25f << accuracyLabel
                                  << QStringLiteral("97.25 ％");
    QTest::newRow("correct rate below one")
        << 0 << 0 << 10 << 0.5f << accuracyLabel << QStringLiteral("0.5 ％");
}

void tst_CertificatePrinter::valueTexts()
{
    QFETCH(int, kanjiOrSymbolChars);
    QFETCH(int, alphanumeric);
    QFETCH(int, total);
    QFETCH(float, accuracy);
    QFETCH(QString, label);
    QFETCH(QString, expected);
    CertificatePrinter sheet = sampleSheet();
    sheet.run.kanjiOrSymbolChars = kanjiOrSymbolChars;
    sheet.run.alphanumericChars = alphanumeric;
    sheet.run.totalChars = total;
    sheet.run.accuracy = accuracy;
    const PdfPage page = print(sheet);
    if (QTest::currentTestFailed())
        return;
    int halves = 0;
    for (const PdfPage::Word& w : page.words) {
        if (w.text != label)
            continue;
        ++halves;
        const auto value = page.find(expected, w.box.top(), 0.1);
        QVERIFY2(value, qPrintable(expected + QLatin1Char('\n') + page.dump()));
        QVERIFY(value->left() > w.box.right());
    }
    QCOMPARE(halves, 2);
}

void tst_CertificatePrinter::longValuesGrowLeftwards()
{
    CertificatePrinter sheet = sampleSheet();
    sheet.run.userName = QStringLiteral("寿限無寿限無五劫の擦");
    sheet.run.recordNumber = 0;
    const PdfPage page = print(sheet);
    if (QTest::currentTestFailed())
        return;
    const Geometry g(page.size);
    const qreal m = CertificatePrinter::kPdfMargin;
    const qreal top = m + 8.5 * g.U;
    const auto label = page.find(QStringLiteral("ユーザ名"), top);
    QVERIFY2(label, qPrintable(page.dump()));
    // Set smaller to stay clear of the label, whole, still ending at the column's edge.
    std::optional<QRectF> name;
    for (const PdfPage::Word& w : page.words) {
        if (w.text == sheet.run.userName && w.box.center().y() > label->top() &&
            w.box.center().y() < label->bottom())
            name = w.box;
    }
    QVERIFY2(name, qPrintable(page.dump()));
    QVERIFY(std::abs(name->right() - (m + g.cx - g.U / 2)) < 0.5);
    QVERIFY(name->height() < label->height() - 0.5);
    QVERIFY(name->left() - label->right() >= g.U / 4);
    QVERIFY(page.find(QStringLiteral("No. 0"), m + g.U));
}

void tst_CertificatePrinter::valuesKeepClearOfTheirLabels_data()
{
    QTest::addColumn<int>("paper");
    QTest::newRow("A4") << 9;
    QTest::newRow("JIS B4") << 12;
    QTest::newRow("JIS B5") << 13;
}

void tst_CertificatePrinter::valuesKeepClearOfTheirLabels()
{
    QFETCH(int, paper);
    CertificatePrinter sheet = sampleSheet();
    sheet.paperCode = paper;
    sheet.run.userId = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    sheet.run.userName = QStringLiteral(
        "寿限無寿限無五劫の擦り切れ海砂利水魚の水行末雲来末風来末食う寝る処に住む処");
    sheet.run.computerName = QStringLiteral("examination-room-workstation-0042");
    sheet.run.fileName = QStringLiteral("jpn_dat.a_very_long_extension_indeed_0001");
    sheet.run.secondsUsed = 32767;
    sheet.run.totalChars = 32767;
    sheet.run.kanjiOrSymbolChars = 32767;
    sheet.run.alphanumericChars = 32766;
    sheet.run.acceptedChars = -32768;
    sheet.run.errors = -32768;
    sheet.run.accuracy = 33.33333f;
    // The signed code sits where nothing else may go, and reads back from the page.
    m_tree->mkdir(QStringLiteral("key"));
    const Expected<SiteKey> key = SiteKey::create(m_tree->file(QStringLiteral("key")), {});
    QVERIFY(key);
    sheet.seal = CertificateCode::seal(CertificateCode::fieldsOf(sheet.run, sheet.printedAt), *key,
                                       QStringLiteral("https://school.example/verify.html"));
    const PdfPage page = print(sheet);
    if (QTest::currentTestFailed())
        return;
    const Expected<QStringList> scanned =
        CodeScanner::scanFile(m_tree->file(QStringLiteral("sheet.pdf")));
    QVERIFY(scanned);
    QCOMPARE(scanned->value(0), sheet.seal.payload);
    const Geometry g(page.size);
    for (int half = 0; half < 2; ++half) {
        const CertificateLayout layout(QSizeF(g.W, g.H));
        const QRectF code = layout.codeRect(half).translated(CertificatePrinter::kPdfMargin,
                                                             CertificatePrinter::kPdfMargin);
        QVERIFY(page.find(sheet.seal.checkCode, code.bottom(), g.U / 4));
        for (const PdfPage::Word& word : page.words)
            QVERIFY2(word.text == sheet.seal.checkCode || !word.box.intersects(code),
                     qPrintable(word.text));
    }
    const qreal m = CertificatePrinter::kPdfMargin;
    struct Row {
        qreal y;
        QString label;
        QString value;
        bool right;
    };
    const QList<Row> rows = {
        {7.5, QStringLiteral("ユーザID"), sheet.run.userId, false},
        {8.5, QStringLiteral("ユーザ名"), sheet.run.userName, false},
        {9.5, QStringLiteral("使用ＰＣ"), sheet.run.computerName, false},
        {10.5, QStringLiteral("データ名"), sheet.run.fileName, false},
        {6.5, QStringLiteral("入力時間"), QStringLiteral("32767 秒"), true},
        {7.5, QStringLiteral("総文字数"), QStringLiteral("32767 文字"), true},
        {8, QStringLiteral("漢字率"), QStringLiteral("100 ％"), true},
        {8.5, QStringLiteral("英数・記号率"), QStringLiteral("100 ％"), true},
        {9.5, QStringLiteral("入力数"), QStringLiteral("-32768 文字"), true},
        {10, QStringLiteral("入力ミス"), QStringLiteral("-32768 回"), true},
        {10.5, QStringLiteral("正打率"), QStringLiteral("33.33333 ％"), true},
    };
    for (int half = 0; half < 2; ++half) {
        for (const Row& row : rows) {
            const QString where =
                row.label + QStringLiteral(" (half %1)\n").arg(half) + page.dump();
            const auto label = page.find(row.label, m + row.y * g.U + half * g.h);
            QVERIFY2(label, qPrintable(where));
            // The value: the other words on the label's line, in the label's column.
            const qreal columnLeft = m + (row.right ? g.cx : 0);
            const qreal edge = m + (row.right ? g.cx + 7 * g.U : g.cx - g.U / 2);
            // Who the certificate is for is never cut; it may take a second line.
            const bool whole = row.label == u"ユーザID" || row.label == u"ユーザ名";
            const qreal bottom = whole ? label->top() + g.U : label->bottom();
            QRectF value;
            qreal smallest = label->height();
            QStringList words;
            for (const PdfPage::Word& w : page.words) {
                const qreal middle = w.box.center().y();
                if (w.box == *label || middle < label->top() || middle > bottom ||
                    w.box.left() < columnLeft || w.box.right() > edge + 0.5)
                    continue;
                value = value.isNull() ? w.box : value.united(w.box);
                smallest = std::min(smallest, w.box.height());
                words.append(w.text);
            }
            QVERIFY2(!words.isEmpty(), qPrintable(where));
            const QString shown = words.join(whole ? QString() : QStringLiteral(" "));
            QVERIFY2(shown == row.value ||
                         (!whole && shown.endsWith(u'…') && row.value.startsWith(shown.chopped(1))),
                     qPrintable(shown + QStringLiteral(" / ") + where));
            QVERIFY2(std::abs(value.right() - edge) < 0.5, qPrintable(where));
            // At least half a full-width character of the body font between them.
            QVERIFY2(value.left() - label->right() >= g.U / 4, qPrintable(where));
            // Readable on paper: a third line rather than smaller type.
            QVERIFY2(smallest > CertificateLayout::kMinWholeSize - 0.1, qPrintable(where));
        }
    }
}

void tst_CertificatePrinter::fieldsFromTheResult_data()
{
    QTest::addColumn<float>("speed");
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<qreal>("pageWidthMm");
    QTest::newRow("85.5 to even") << 85.5f << QStringLiteral("9")
                                  << QStringLiteral("あなたの入力速度は86文字/分です") << 210.0;
    QTest::newRow("84.5 to even") << 84.5f << QStringLiteral("12")
                                  << QStringLiteral("あなたの入力速度は84文字/分です") << 257.0;
    QTest::newRow("84.6 up") << 84.6f << QStringLiteral("13")
                             << QStringLiteral("あなたの入力速度は85文字/分です") << 182.0;
}

void tst_CertificatePrinter::fieldsFromTheResult()
{
    QFETCH(float, speed);
    QFETCH(QString, paper);
    QFETCH(QString, sentence);
    QFETCH(qreal, pageWidthMm);
    RunRecord user;
    user.setCharsPerMinute(speed);
    user.setUserId(QStringLiteral("id7"));
    RunResult run = RunResult::of(user, nullptr);
    run.recordNumber = 41;
    CertificatePrinter sheet;
    sheet.fillFrom(run, SettingsText::toPaperSize(paper));
    QCOMPARE(sheet.run.userId, QStringLiteral("id7"));
    QCOMPARE(sheet.run.recordNumber, 41);
    const PdfPage page = print(sheet);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(std::abs(page.size.width() - pageWidthMm * kMmToPt) < 1.5);
    const Geometry g(page.size);
    QVERIFY2(page.find(sentence, CertificatePrinter::kPdfMargin + 12 * g.U),
             qPrintable(page.dump()));
}

void tst_CertificatePrinter::failuresAreRaised_data()
{
    QTest::addColumn<QStringList>("printers");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("pdf");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no printer") << QStringList() << QString() << QString()
                                << QStringLiteral("使用できるプリンタがありません。");
    QTest::newRow("printer gone") << QStringList{QStringLiteral("Pelko-no-such-printer")}
                                  << QStringLiteral("Pelko-no-such-printer") << QString()
                                  << QStringLiteral("「Pelko-no-such-printer」が見つかりません");
    QTest::newRow("unwritable file")
        << QStringList() << QString() << QStringLiteral("/proc/pelko/sheet.pdf")
        << QStringLiteral("に書き込めません");
}

void tst_CertificatePrinter::failuresAreRaised()
{
    QFETCH(QStringList, printers);
    QFETCH(QString, chosen);
    QFETCH(QString, pdf);
    QFETCH(QString, reason);
    Printers::setProvider([printers] { return printers; }, [] { return QString(); });
    CertificatePrinter sheet = sampleSheet();
    sheet.printerName = chosen;
    sheet.pdfFileName = pdf;
    const Expected<void> printed = sheet.print();
    QVERIFY2(!printed, "printing should have failed");
    QCOMPARE(printed.error().code(), Error::Code::PrinterFailure);
    QCOMPARE(printed.error().number(), 482);
    QVERIFY2(printed.error().message().contains(reason), qPrintable(printed.error().message()));
}

void tst_CertificatePrinter::printMenuReportsAFailure()
{
    Settings settings;
    RunRecord record;
    HelpViewer help;
    TestWindow window(settings, record, help);
    record.setCharsPerMinute(120);
    record.setLogged(true);
    Printers::setProvider([] { return QStringList(); }, [] { return QString(); });
    settings.setPrinterName(QStringLiteral("Pelko-no-such-printer"));
    MessageRecorder messages;
    messages.script({MessageAnswer::Ok, MessageAnswer::Ok});
    window.printCertificate();
    QCOMPARE(messages.shown().size(), 2);
    const MessageRecorder::Shown& box = messages.shown().at(1);
    QCOMPARE(box.title, QStringLiteral("印刷エラー"));
    QCOMPARE(box.icon, MessageIcon::Critical);
    QVERIFY(box.text.startsWith(QStringLiteral("認定証を印刷できませんでした。\r")));
    QVERIFY(box.text.contains(QStringLiteral("「Pelko-no-such-printer」")));
    QCOMPARE(record.charsPerMinute(), 120.f); // the result is still there

    // A school that signs its certificates gets none without the code: a key that others
    // can read is refused before anything is printed.
    m_tree->write(QStringLiteral("exposed.key"), "pelko-ed25519-secret x\n");
    QFile(m_tree->file(QStringLiteral("exposed.key")))
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    settings.setCertificateKeyFile(m_tree->file(QStringLiteral("exposed.key")));
    messages.script({MessageAnswer::Ok, MessageAnswer::Ok});
    window.printCertificate();
    QCOMPARE(messages.shown().size(), 4);
    QVERIFY2(messages.shown().at(3).text.contains(QStringLiteral("所有者とグループ以外")),
             qPrintable(messages.shown().at(3).text));
}

void tst_CertificatePrinter::scansWithinLimits_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("found");
    QTest::newRow("page of 7,900 points") << QStringLiteral("huge.pdf") << QStringLiteral("huge");
    QTest::newRow("five pages, the first three read")
        << QStringLiteral("five.pdf") << QStringLiteral("1 2 3");
    QTest::newRow("phone photo of 48 megapixels")
        << QStringLiteral("photo.jpg") << QStringLiteral("photo");
}

void tst_CertificatePrinter::scansWithinLimits()
{
    QFETCH(QString, file);
    QFETCH(QString, found);
    const QString path = m_tree->file(file);
    if (file == u"huge.pdf") {
        writePdf(path, QSizeF(7900, 7900), {found});
    } else if (file == u"five.pdf") {
        writePdf(path, QSizeF(595, 842), QStringLiteral("1 2 3 4 5").split(u' '));
    } else {
        QImage photo(8000, 6000, QImage::Format_Grayscale8);
        photo.fill(Qt::white);
        QPainter painter(&photo);
        drawCode(painter, found, QRectF(2000, 1000, 3000, 3000));
        painter.end();
        QVERIFY(QImageWriter(path, "jpeg").write(photo));
    }
    const CodeScanner::Limits limits;
    QList<QSize> searched;
    const Expected<QStringList> texts = CodeScanner::scanFile(
        path, limits, {}, [&](int, int, const QSize& pixels) { searched << pixels; });
    QVERIFY2(texts, qPrintable(texts ? QString() : texts.error().message()));
    QCOMPARE(texts->join(u' '), found);
    QCOMPARE(searched.size(), texts->size());
    for (const QSize& pixels : searched)
        QVERIFY2(qint64(pixels.width()) * pixels.height() <= limits.pixels,
                 qPrintable(QStringLiteral("%1 x %2").arg(pixels.width()).arg(pixels.height())));
}

QTEST_MAIN(tst_CertificatePrinter)
#include "tst_CertificatePrinter.moc"
