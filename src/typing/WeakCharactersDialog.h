#pragma once

#include "typing/RunReview.h"

#include <QDialog>

class QLabel;
class QPushButton;

// 苦手な文字: after a run, the characters missed most, the slowest ones and the key presses
// per character, with the drill made from the misses when the run may offer it.
class WeakCharactersDialog : public QDialog
{
    Q_OBJECT
public:
    // What exec() returns when the user asked for the drill or for the help; the help opens
    // once this modal window has gone, as no other window takes input while it is open.
    enum Choice { DrillChosen = QDialog::Accepted + 1, HelpChosen };

    WeakCharactersDialog(const RunReview::Review& review, bool offerDrill,
                         QWidget* parent = nullptr);

    // False when no drill is offered (certification, or nothing missed).
    bool offersDrill() const { return m_drillButton; }

    // "「が」→「か」「ご」": what was due and what was typed instead.
    static QString missText(const RunReview::Missed& missed);
    // Two decimals, as the ratio is shown.
    static QString ratioText(qint32 strokes, qint32 characters);

private:
    // Null when no drill is offered (certification, or nothing missed).
    QPushButton* m_drillButton = nullptr;
    QPushButton* m_helpButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QLabel* m_strokeRatioLabel = nullptr;
};
