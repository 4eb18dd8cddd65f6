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
    static HelpViewer& instance();

    // Shows a bundled page by file name, optionally with "#anchor"; a page that is not
    // bundled shows the contents instead.
    void showPage(const QString& page);
    // Shows the window (placed over owner the first time) and brings it to the front.
    void showNear(QWidget* owner);

    // The page shown, as "name.html" or "name.html#anchor".
    QString currentPage() const;

    static QUrl pageUrl(const QString& page);
    static bool pageExists(const QString& page);

    void actBack_Triggered();
    void actForward_Triggered();
    void actContents_Triggered();

    QToolBar* tbrHelp = nullptr;
    QAction* actBack = nullptr;
    QAction* actForward = nullptr;
    QAction* actContents = nullptr;
    QAction* actClose = nullptr;
    QTextBrowser* txtHelp = nullptr;

private:
    HelpViewer();
    bool m_placed = false;
};
