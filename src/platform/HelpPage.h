#pragma once

#include <QString>

class HelpViewer;
class QWidget;

// The pages of the help bundled with the program.
enum class HelpPage {
    Contents,
    UsingHelp,
    Taking,
    Results,
    Settings,
    Logs,
    Ranking,
    Certificate,
    Problems,
    Review,
};

// The page's file inside the help resources, such as "contents.html".
QString helpPageFile(HelpPage page);

// Shows the page in viewer, placed over owner the first time.
void openHelp(HelpViewer& viewer, QWidget* owner, HelpPage page);
