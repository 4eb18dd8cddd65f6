#include "common/LogFormat.h"
#include "platform/HelpPage.h"
#include "platform/HelpViewer.h"
#include "support/WindowParts.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTest>
#include <QTextBrowser>

namespace
{

QStringList bundledPages()
{
    QStringList pages;
    QDirIterator it(QStringLiteral(":/help"), {QStringLiteral("*.html")}, QDir::Files);
    while (it.hasNext())
        pages << it.next().section(u'/', -1);
    pages.sort();
    return pages;
}

QByteArray pageBytes(const QString& page)
{
    QFile file(QStringLiteral(":/help/") + page);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString pageSource(const QString& page)
{
    return QString::fromUtf8(pageBytes(page));
}

// Every href and src of a page, as written.
QStringList references(const QString& html)
{
    static const QRegularExpression ref(QStringLiteral(R"re((?:href|src)\s*=\s*"([^"]*)")re"));
    QStringList found;
    for (auto it = ref.globalMatch(html); it.hasNext();)
        found << it.next().captured(1);
    return found;
}

bool hasAnchor(const QString& html, const QString& name)
{
    return html.contains(QStringLiteral("name=\"") + name + u'"') ||
           html.contains(QStringLiteral("id=\"") + name + u'"');
}

} // namespace

class tst_HelpViewer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyPageIsReachableFromTheContentsAndLoads();
    void internalLinksResolve();
    void backAndForward();
    void showHelpChoosesThePage_data();
    void showHelpChoosesThePage();
    void pagesAgreeWithTheProgram();
};

void tst_HelpViewer::everyPageIsReachableFromTheContentsAndLoads()
{
    const QStringList pages = bundledPages();
    QVERIFY(pages.contains(QStringLiteral("contents.html")));
    QVERIFY(pages.size() >= 9);

    // Walk the links from the contents: a page nobody links to is a page nobody finds.
    QSet<QString> reached{QStringLiteral("contents.html")};
    QStringList queue{QStringLiteral("contents.html")};
    while (!queue.isEmpty()) {
        const QString page = queue.takeFirst();
        for (const QString& ref : references(pageSource(page))) {
            const QString target = QUrl(ref).path().section(u'/', -1);
            if (target.endsWith(QStringLiteral(".html")) && !reached.contains(target)) {
                reached.insert(target);
                queue << target;
            }
        }
    }
    for (const QString& page : pages)
        QVERIFY2(reached.contains(page), qPrintable(page + QStringLiteral(" is not linked")));

    HelpViewer viewer;
    for (const QString& page : pages) {
        auto decode = QStringDecoder(QStringDecoder::Utf8);
        const QString html = decode(pageBytes(page));
        QVERIFY2(!decode.hasError(), qPrintable(page + QStringLiteral(" is not UTF-8")));
        QVERIFY2(!html.contains(QStringLiteral("<script"), Qt::CaseInsensitive), qPrintable(page));

        viewer.showPage(page);
        QCOMPARE(viewer.currentPage(), page);
        const QTextDocument* doc = part<QTextBrowser>(viewer, "helpBrowser")->document();
        QVERIFY2(!doc->metaInformation(QTextDocument::DocumentTitle).isEmpty(), qPrintable(page));
        // A real page, not a stub: a few hundred characters of text at least.
        QVERIFY2(doc->toPlainText().size() > 300, qPrintable(page));
    }
}

void tst_HelpViewer::internalLinksResolve()
{
    for (const QString& page : bundledPages()) {
        const QString html = pageSource(page);
        const QUrl base = HelpViewer::pageUrl(page);
        for (const QString& ref : references(html)) {
            const QString where = page + QStringLiteral(": ") + ref;
            const QUrl target = base.resolved(QUrl(ref));
            QVERIFY2(target.scheme() == u"qrc",
                     qPrintable(where + QStringLiteral(" leaves the help")));
            const QString file = target.path().section(u'/', -1);
            QVERIFY2(QFile::exists(QStringLiteral(":/help/") + file), qPrintable(where));
            if (target.hasFragment())
                QVERIFY2(hasAnchor(pageSource(file), target.fragment()), qPrintable(where));
        }
    }
}

void tst_HelpViewer::backAndForward()
{
    HelpViewer viewer;
    viewer.showPage(QStringLiteral("contents.html"));
    part<QTextBrowser>(viewer, "helpBrowser")->clearHistory();
    QVERIFY(!part<QAction>(viewer, "backAction")->isEnabled());
    QVERIFY(!part<QAction>(viewer, "forwardAction")->isEnabled());

    // Follow links the way the browser does: relative to the page shown.
    auto follow = [&](const QString& ref) {
        part<QTextBrowser>(viewer, "helpBrowser")
            ->setSource(part<QTextBrowser>(viewer, "helpBrowser")->source().resolved(QUrl(ref)));
    };
    follow(QStringLiteral("taking.html"));
    follow(QStringLiteral("results.html#grades"));
    QCOMPARE(viewer.currentPage(), QStringLiteral("results.html#grades"));
    QVERIFY(part<QAction>(viewer, "backAction")->isEnabled());
    QVERIFY(!part<QAction>(viewer, "forwardAction")->isEnabled());

    part<QAction>(viewer, "backAction")->trigger();
    QCOMPARE(viewer.currentPage(), QStringLiteral("taking.html"));
    QVERIFY(part<QAction>(viewer, "forwardAction")->isEnabled());
    part<QAction>(viewer, "backAction")->trigger();
    QCOMPARE(viewer.currentPage(), QStringLiteral("contents.html"));
    QVERIFY(!part<QAction>(viewer, "backAction")->isEnabled());
    part<QAction>(viewer, "forwardAction")->trigger();
    QCOMPARE(viewer.currentPage(), QStringLiteral("taking.html"));

    // The keys, through the window's shortcuts.
    viewer.showNear(nullptr);
    QVERIFY(QTest::qWaitForWindowActive(&viewer));
    QTest::keyClick(&viewer, Qt::Key_Right, Qt::AltModifier);
    QCOMPARE(viewer.currentPage(), QStringLiteral("results.html#grades"));
    QTest::keyClick(&viewer, Qt::Key_Left, Qt::AltModifier);
    QCOMPARE(viewer.currentPage(), QStringLiteral("taking.html"));
    QTest::keyClick(&viewer, Qt::Key_Home, Qt::AltModifier);
    QCOMPARE(viewer.currentPage(), QStringLiteral("contents.html"));
    QVERIFY(part<QAction>(viewer, "backAction")->isEnabled());

    // A page that is not bundled shows the contents rather than a blank window.
    follow(QStringLiteral("ranking.html"));
    viewer.showPage(QStringLiteral("nosuchpage.html"));
    QCOMPARE(viewer.currentPage(), QStringLiteral("contents.html"));
    viewer.hide();
}

void tst_HelpViewer::showHelpChoosesThePage_data()
{
    QTest::addColumn<HelpPage>("help");
    QTest::addColumn<QString>("page");

    QTest::newRow("contents, as the help menu asks")
        << HelpPage::Contents << QStringLiteral("contents.html");
    QTest::newRow("help on help") << HelpPage::UsingHelp << QStringLiteral("usinghelp.html");
    QTest::newRow("taking") << HelpPage::Taking << QStringLiteral("taking.html");
    QTest::newRow("results") << HelpPage::Results << QStringLiteral("results.html");
    QTest::newRow("settings") << HelpPage::Settings << QStringLiteral("settings.html");
    QTest::newRow("logs") << HelpPage::Logs << QStringLiteral("logs.html");
    QTest::newRow("ranking") << HelpPage::Ranking << QStringLiteral("ranking.html");
    QTest::newRow("certificate") << HelpPage::Certificate << QStringLiteral("certificate.html");
    QTest::newRow("problems") << HelpPage::Problems << QStringLiteral("problems.html");
    QTest::newRow("review, as the weak characters ask")
        << HelpPage::Review << QStringLiteral("review.html");
}

void tst_HelpViewer::showHelpChoosesThePage()
{
    QFETCH(HelpPage, help);
    QFETCH(QString, page);

    HelpViewer viewer;
    viewer.hide();
    QWidget owner;
    owner.resize(400, 300);
    owner.show();
    openHelp(viewer, &owner, help);
    QVERIFY(viewer.isVisible());
    QCOMPARE(viewer.windowTitle(), QStringLiteral("Pelko ヘルプ"));
    QCOMPARE(viewer.currentPage(), page);
    QVERIFY(!part<QTextBrowser>(viewer, "helpBrowser")->document()->isEmpty());
    viewer.hide();
}

void tst_HelpViewer::pagesAgreeWithTheProgram()
{
    // The log page names the columns by the titles the program writes, and the results
    // page the grade texts the program shows.
    HelpViewer viewer;
    viewer.showPage(QStringLiteral("logs.html"));
    const QString logs = part<QTextBrowser>(viewer, "helpBrowser")->document()->toPlainText();
    for (const LogColumn column : LogFormat::Columns)
        QVERIFY2(logs.contains(LogFormat::title(column)), qPrintable(LogFormat::title(column)));

    viewer.showPage(QStringLiteral("results.html"));
    const QString results = part<QTextBrowser>(viewer, "helpBrowser")->document()->toPlainText();
    const char16_t* grades[] = {u"ワープロ検定１級レベル", u"ワープロ検定準１級レベル",
                                u"ワープロ検定２級レベル", u"ワープロ検定準２級レベル",
                                u"ワープロ検定３級レベル", u"ワープロ検定４級レベル"};
    for (const char16_t* text : grades)
        QVERIFY2(results.contains(QString::fromUtf16(text)), qPrintable(QString::fromUtf16(text)));
}

QTEST_MAIN(tst_HelpViewer)
#include "tst_HelpViewer.moc"
