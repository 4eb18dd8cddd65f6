#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about window: title, version, who makes the program, and the system information tool.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    int exec() override;

    void prepare();
    void dismiss();
    void showSystemInfo();
    void startSystemInfoTool();

    // Tools that show system information, tried in order (tests replace them).
    QStringList m_systemInfoTools;

private:
    QLabel* m_logoLabel = nullptr;
    QLabel* m_titleLabel = nullptr;
    QLabel* m_versionLabel = nullptr;
    QLabel* m_makerCaptionLabel = nullptr;
    QLabel* m_makerLabel = nullptr;
    QLabel* m_affiliationCaptionLabel = nullptr;
    QLabel* m_affiliationLabel = nullptr;
    QLabel* m_supportCaptionLabel = nullptr;
    QLabel* m_supportLabel = nullptr;
    QLabel* m_mailCaptionLabel = nullptr;
    QLabel* m_mailLabel = nullptr;
    QLabel* m_postscriptLabel = nullptr;
    QLabel* m_descriptionLabel = nullptr;
    QLabel* m_disclaimerLabel = nullptr;
    QPushButton* m_systemInfoButton = nullptr;
    QPushButton* m_okButton = nullptr;
};
