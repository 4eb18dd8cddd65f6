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

HelpViewer& HelpViewer::instance()
{
    static HelpViewer* viewer = new HelpViewer;
    return *viewer;
}

HelpViewer::HelpViewer() : QMainWindow(nullptr)
{
    initHelpResources();
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Pelko ヘルプ"));
    setFont(Fonts::proportional(10));

    txtHelp = new QTextBrowser(this);
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setFont(Fonts::proportional(11));
    txtHelp->setOpenExternalLinks(false);
    txtHelp->setSearchPaths({QStringLiteral(":/help")});
    setCentralWidget(txtHelp);

    tbrHelp = addToolBar(QStringLiteral("ヘルプ"));
    tbrHelp->setMovable(false);
    tbrHelp->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    actBack =
        tbrHelp->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("戻る"));
    actBack->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    actBack->setToolTip(QStringLiteral("前のページに戻る (Alt+←)"));
    actBack->setEnabled(false);

    actForward =
        tbrHelp->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("進む"));
    actForward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    actForward->setToolTip(QStringLiteral("次のページに進む (Alt+→)"));
    actForward->setEnabled(false);

    actContents =
        tbrHelp->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("目次"));
    actContents->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
    actContents->setToolTip(QStringLiteral("目次を表示する (Alt+Home)"));

    tbrHelp->addSeparator();
    actClose = tbrHelp->addAction(QStringLiteral("閉じる"));
    actClose->setShortcut(QKeySequence(Qt::Key_Escape));
    actClose->setToolTip(QStringLiteral("ヘルプを閉じる (Esc)"));

    connect(actBack, &QAction::triggered, this, &HelpViewer::actBack_Triggered);
    connect(actForward, &QAction::triggered, this, &HelpViewer::actForward_Triggered);
    connect(actContents, &QAction::triggered, this, &HelpViewer::actContents_Triggered);
    connect(actClose, &QAction::triggered, this, &QWidget::hide);
    connect(txtHelp, &QTextBrowser::backwardAvailable, actBack, &QAction::setEnabled);
    connect(txtHelp, &QTextBrowser::forwardAvailable, actForward, &QAction::setEnabled);

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
        txtHelp->setHtml(QStringLiteral("<p>ヘルプのページが見つかりません: ") +
                         wanted.toHtmlEscaped() + QStringLiteral("</p>"));
        return;
    }
    txtHelp->setSource(pageUrl(wanted));
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
    const QUrl url = txtHelp->source();
    QString page = url.path().section(u'/', -1);
    if (url.hasFragment())
        page += u'#' + url.fragment();
    return page;
}

void HelpViewer::actBack_Triggered()
{
    txtHelp->backward();
}

void HelpViewer::actForward_Triggered()
{
    txtHelp->forward();
}

void HelpViewer::actContents_Triggered()
{
    showPage(contentsPage);
}
