#include "HelpPage.h"

#include "HelpViewer.h"

QString helpPageFile(HelpPage page)
{
    switch (page) {
    case HelpPage::Contents:
        break;
    case HelpPage::UsingHelp:
        return QStringLiteral("usinghelp.html");
    case HelpPage::Taking:
        return QStringLiteral("taking.html");
    case HelpPage::Results:
        return QStringLiteral("results.html");
    case HelpPage::Settings:
        return QStringLiteral("settings.html");
    case HelpPage::Logs:
        return QStringLiteral("logs.html");
    case HelpPage::Ranking:
        return QStringLiteral("ranking.html");
    case HelpPage::Certificate:
        return QStringLiteral("certificate.html");
    case HelpPage::Problems:
        return QStringLiteral("problems.html");
    case HelpPage::Review:
        return QStringLiteral("review.html");
    }
    return QStringLiteral("contents.html");
}

void openHelp(HelpViewer& viewer, QWidget* owner, HelpPage page)
{
    viewer.showPage(helpPageFile(page));
    viewer.showNear(owner);
}
