#include "ShowHelp.h"

#include "HelpViewer.h"

QString helpPageFor(qint16 kind, qint32 pageNumber)
{
    const QString contents = QStringLiteral("contents.html");
    if (kind == 2)
        return QStringLiteral("usinghelp.html");
    if (kind != 0)
        return contents;
    switch (pageNumber) {
    case HelpUsingHelp:
        return QStringLiteral("usinghelp.html");
    case HelpTaking:
        return QStringLiteral("taking.html");
    case HelpResults:
        return QStringLiteral("results.html");
    case HelpSettings:
        return QStringLiteral("settings.html");
    case HelpLogs:
        return QStringLiteral("logs.html");
    case HelpRanking:
        return QStringLiteral("ranking.html");
    case HelpCertificate:
        return QStringLiteral("certificate.html");
    case HelpProblems:
        return QStringLiteral("problems.html");
    case HelpReview:
        return QStringLiteral("review.html");
    default:
        return contents;
    }
}

void openHelp(HelpViewer& viewer, QWidget* owner, const QString& helpFile, qint16 kind,
              qint32 pageNumber)
{
    Q_UNUSED(helpFile);
    viewer.showPage(helpPageFor(kind, pageNumber));
    viewer.showNear(owner);
}
