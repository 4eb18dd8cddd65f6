#include "HelpViewer.h"

#include "Fonts.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>

// The pages live in a static library; this keeps the linker from dropping them.
static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace
{

const QString contentsPage = QStringLiteral("contents.html");

QString withoutAnchor(const QString& page)
{
    return page.section(u'#', 0, 0);
}

} // namespace

HelpViewer::HelpViewer() : QMainWindow(nullptr)
{
    initHelpResources();
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Pelko ヘルプ"));
    setFont(Fonts::proportional(10));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setFont(Fonts::proportional(11));
    m_browser->setOpenExternalLinks(false);
    m_browser->setSearchPaths({QStringLiteral(":/help")});
    setCentralWidget(m_browser);

    m_toolBar = addToolBar(QStringLiteral("ヘルプ"));

    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    m_backAction =
        m_toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("戻る"));
    m_backAction->setObjectName(QStringLiteral("backAction"));
    m_backAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    m_backAction->setToolTip(QStringLiteral("前のページに戻る (Alt+←)"));
    m_backAction->setEnabled(false);

    m_forwardAction = m_toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowForward),
                                           QStringLiteral("進む"));

    m_forwardAction->setObjectName(QStringLiteral("forwardAction"));
    m_forwardAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    m_forwardAction->setToolTip(QStringLiteral("次のページに進む (Alt+→)"));
    m_forwardAction->setEnabled(false);

    m_contentsAction =
        m_toolBar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("目次"));
    m_contentsAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    m_contentsAction->setToolTip(QStringLiteral("目次を表示する (Alt+Home)"));

    m_toolBar->addSeparator();
    m_closeAction = m_toolBar->addAction(QStringLiteral("閉じる"));
    m_closeAction->setObjectName(QStringLiteral("closeAction"));
    m_closeAction->setShortcut(QKeySequence(Qt::Key_Escape));
    m_closeAction->setToolTip(QStringLiteral("ヘルプを閉じる (Esc)"));

    connect(m_backAction, &QAction::triggered, this, &HelpViewer::goBack);
    connect(m_forwardAction, &QAction::triggered, this, &HelpViewer::goForward);
    connect(m_contentsAction, &QAction::triggered, this, &HelpViewer::showContents);
    connect(m_closeAction, &QAction::triggered, this, &QWidget::hide);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backAction, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forwardAction, &QAction::setEnabled);

    resize(780, 620);
}

QUrl HelpViewer::pageUrl(const QString& page)
{
    return QUrl(QStringLiteral("qrc:/help/") + page);
}

bool HelpViewer::pageExists(const QString& page)
{
    const QString file = withoutAnchor(page);
    return !file.isEmpty() && QFile::exists(QStringLiteral(":/help/") + file);
}

void HelpViewer::showPage(const QString& page)
{
    const QString wanted = pageExists(page) ? page : contentsPage;
    if (!pageExists(wanted)) {
        // Only a broken build gets here; say so rather than show a blank window.
        m_browser->setHtml(QStringLiteral("<p>ヘルプのページが見つかりません: ") +
                           wanted.toHtmlEscaped() + QStringLiteral("</p>"));
        return;
    }
    m_browser->setSource(pageUrl(wanted));
}

void HelpViewer::showNear(QWidget* owner)
{
    if (!m_placed) {
        m_placed = true;
        QRect area;
        if (owner && owner->window()->isVisible())
            area = owner->window()->frameGeometry();
        else if (const QScreen* screen = QGuiApplication::primaryScreen())
            area = screen->availableGeometry();
        if (area.isValid()) {
            QRect frame = geometry();
            frame.moveCenter(area.center());
            move(frame.topLeft());
        }
    }
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

QString HelpViewer::currentPage() const
{
    const QUrl url = m_browser->source();
    QString page = url.path().section(u'/', -1);
    if (url.hasFragment())
        page += u'#' + url.fragment();
    return page;
}

void HelpViewer::goBack()
{
    m_browser->backward();
}

void HelpViewer::goForward()
{
    m_browser->forward();
}

void HelpViewer::showContents()
{
    showPage(contentsPage);
}
