#pragma once

#include <QString>
#include <QtGlobal>

class HelpViewer;
class QWidget;

// Opens the help. The help is the set of pages bundled with the program, shown in viewer;
// helpFile (the application folder + "/PELKO.HLP") is accepted for the callers' sake
// but not read: the bundled pages are the whole help.
//
// kind 1 (and every kind not listed): the contents page.
// kind 2: the page on using the help.
// kind 0: the page numbered pageNumber (HelpPageNumber); an unknown number gives the contents.
void openHelp(HelpViewer& viewer, QWidget* owner, const QString& helpFile, qint16 kind,
              qint32 pageNumber);

// Page numbers for kind 0.
enum HelpPageNumber : qint32 {
    HelpContents = 1,
    HelpUsingHelp = 2,
    HelpTaking = 10,
    HelpResults = 20,
    HelpSettings = 30,
    HelpLogs = 40,
    HelpRanking = 50,
    HelpCertificate = 60,
    HelpProblems = 70,
    HelpReview = 80,
};

// The bundled page that openHelp opens for kind and pageNumber: a file name inside the help
// resources, such as "contents.html".
QString helpPageFor(qint16 kind, qint32 pageNumber);
