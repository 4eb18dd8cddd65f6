#pragma once

#include <QMainWindow>
#include <QUrl>

class QAction;
class QTextBrowser;
class QToolBar;

// The help window: the bundled help pages with links, back, forward and contents.
class HelpViewer : public QMainWindow
{
    Q_OBJECT
public:
    HelpViewer();

    // Shows a bundled page by file name, optionally with "#anchor"; a page that is not
    // bundled shows the contents instead.
    void showPage(const QString& page);
    // Shows the window (placed over owner the first time) and brings it to the front.
    void showNear(QWidget* owner);

    // The page shown, as "name.html" or "name.html#anchor".
    QString currentPage() const;

    static QUrl pageUrl(const QString& page);
    static bool pageExists(const QString& page);

    void goBack();
    void goForward();
    void showContents();

private:
    QToolBar* m_toolBar = nullptr;
    QAction* m_backAction = nullptr;
    QAction* m_forwardAction = nullptr;
    QAction* m_contentsAction = nullptr;
    QAction* m_closeAction = nullptr;
    QTextBrowser* m_browser = nullptr;
    bool m_placed = false;
};
