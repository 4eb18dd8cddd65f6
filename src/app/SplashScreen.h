#pragma once

#include <QDialog>

class QLabel;
class QTimer;
class Settings;

// The splash window: shown modally at start-up, loads the settings, goes after 2 seconds.
class SplashScreen : public QDialog
{
    Q_OBJECT
public:
    explicit SplashScreen(Settings& settings);

    void prepare();
    void loadSettings();
    void closeIfLoaded();

    // Shows the window modally, as start-up does.
    int exec() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_titleLabel = nullptr;
    QLabel* m_versionCaptionLabel = nullptr;
    QLabel* m_versionLabel = nullptr;
    QLabel* m_logoLabel = nullptr;
    QTimer* m_closeTimer = nullptr;
    Settings& m_settings;
    bool m_loadQueued = false;
};
