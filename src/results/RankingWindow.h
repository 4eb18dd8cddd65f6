#pragma once

#include "ElidedLabel.h"
#include "Ranking.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class Settings;

// The ten best results of the main log.
class RankingWindow : public QDialog, public RankingBoard
{
    Q_OBJECT
public:
    // The log to rank and whether a user ID may repeat come from the settings.
    explicit RankingWindow(const Settings& settings, QWidget* parent = nullptr);

    void reload();
    void closeWindow();
    // Reads the log afresh and shows the window modally.
    int exec() override;

    void setRow(int row, const RankRowText& texts) override;
    void setFailure(const QString& text) override;

Q_SIGNALS:
    // Every record, beyond the ten best: the browser belongs to the caller.
    void resultsBrowserRequested();

private:
    QList<QLabel*> m_rankLabels;
    QLabel* m_userIdTitle = nullptr;
    QLabel* m_userNameTitle = nullptr;
    QLabel* m_dateTitle = nullptr;
    QLabel* m_speedTitle = nullptr;
    QLabel* m_accuracyTitle = nullptr;
    QLabel* m_secondsUsedTitle = nullptr;
    QList<ElidedLabel*> m_userIdLabels;
    QList<ElidedLabel*> m_userNameLabels;
    QList<QLabel*> m_dateLabels;
    QList<QLabel*> m_speedLabels;
    QList<QLabel*> m_accuracyLabels;
    QList<QLabel*> m_secondsUsedLabels;
    QLabel* m_failureLabel = nullptr;
    QPushButton* m_closeButton = nullptr;
    QPushButton* m_browserButton = nullptr;
    const Settings& m_settings;
};
