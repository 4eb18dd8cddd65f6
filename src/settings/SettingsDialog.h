#pragma once

#include "SettingsRules.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QScrollBar;
class Settings;

// The settings dialog: fills its controls from the settings, repairs the four folders with the
// operator whenever it becomes active, and on "保存して終了" copies everything back and
// saves the settings file.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SettingsDialog(Settings& settings, QWidget* parent = nullptr);

    // Fills the dialog afresh, checks the folders once and shows it modally.
    int exec() override;

    // Fills the controls from the settings.
    void prepare();
    // Centres the dialog and checks the folders; the dialog closes when the check gives up.
    void checkFolders();

    // "保存して終了": copies the controls back and saves the settings file.
    void confirm();
    // "保存せず終了".
    void cancel();

    // The folder check, with the failures counted over the whole run of the program.
    const SettingsRules::FolderCheck& folderCheck() const;
    // The remembered custom colours of the colour chooser.
    const std::array<qint32, 16>& customColors() const { return m_customColors; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void chooseCertificationFolderOption(int index);
    void choosePracticeFolderOption(int index);
    void chooseLogFolderOption(int index);
    void choosePassLogFolderOption(int index);
    void chooseLogNameOption(int index);
    void choosePassLogNameOption(int index);
    void useDefaultCertificationFolder();
    void useDefaultPracticeFolder();
    void useDefaultLogFolder();
    void useDefaultPassLogFolder();
    void choosePassLogOption(int index);
    void editPassLogFormat();
    void updateWindowPercentGroup();
    void showDuration();
    void showPassSpeed();
    void showWindowPercent();
    void showBaseFont();
    void showRowGap();
    void showResultFont();
    void browseFolder(int index);
    void browseLogFile(int index);
    void pickBackColor();
    void pickProblemBackColor();
    void pickProblemColor();

    void buildControls();
    // Object names for every control, so that tools and tests find them.
    void nameControls();
    void connectControls();
    void lockFixedValues();
    void fitToScreen();

    // One folder group, as the check sees it.
    struct FolderControls {
        std::array<QRadioButton*, 2>* options;
        QCheckBox* defaultCheck;
        QLineEdit* edit;
        QPushButton* browseButton;
    };
    FolderControls folderControls(SettingsRules::Folder folder);
    void setFolderOption(SettingsRules::Folder folder, int index);
    void loadFolder(SettingsRules::Folder folder, const QString& stored);
    void setNameOption(std::array<QRadioButton*, 2>& options, QLineEdit* edit,
                       QPushButton* browseButton, const QString& defaultName, int index);
    void pickColor(QLineEdit* edit);
    // False, after telling the user, when a folder or name is too long to be saved whole.
    bool textsFitSettingsFile();
    // Runs a child dialog; this dialog becomes active again afterwards.
    template <typename Show> void runChild(Show show);

    std::array<QString, SettingsRules::FolderCount> m_defaults;
    std::array<qint32, 16> m_customColors{};
    QLabel* m_headerLabel = nullptr;
    QScrollBar* m_durationBar = nullptr;
    QLabel* m_durationLabel = nullptr;
    QLabel* m_minutesUnitLabel = nullptr;
    std::array<QRadioButton*, 2> m_changeDurationOptions{};
    QLabel* m_changeDurationNote = nullptr;
    QScrollBar* m_passSpeedBar = nullptr;
    QLabel* m_passSpeedLabel = nullptr;
    QLabel* m_passSpeedUnitLabel = nullptr;
    std::array<QRadioButton*, 3> m_orderOptions{};
    std::array<QRadioButton*, 2> m_certificationFolderOptions{};
    QCheckBox* m_certificationDefaultCheck = nullptr;
    QLineEdit* m_certificationFolderEdit = nullptr;
    std::array<QRadioButton*, 2> m_practiceFolderOptions{};
    QCheckBox* m_practiceDefaultCheck = nullptr;
    QLineEdit* m_practiceFolderEdit = nullptr;
    std::array<QRadioButton*, 2> m_logFolderOptions{};
    QCheckBox* m_logDefaultCheck = nullptr;
    QLineEdit* m_logFolderEdit = nullptr;
    std::array<QRadioButton*, 2> m_logNameOptions{};
    QLineEdit* m_logNameEdit = nullptr;
    std::array<QRadioButton*, 2> m_passLogOptions{};
    QPushButton* m_passLogFormatButton = nullptr;
    std::array<QRadioButton*, 2> m_passLogFolderOptions{};
    QCheckBox* m_passLogDefaultCheck = nullptr;
    QLineEdit* m_passLogFolderEdit = nullptr;
    std::array<QRadioButton*, 2> m_passLogNameOptions{};
    QLineEdit* m_passLogNameEdit = nullptr;
    // Folder browse buttons: 0 certification data, 1 log, 2 pass log, 3 practice.
    std::array<QPushButton*, 4> m_browseFolderButtons{};
    // File browse buttons: 0 main log, 1 pass log.
    std::array<QPushButton*, 2> m_browseFileButtons{};
    std::array<QRadioButton*, 3> m_paperOptions{};
    QLabel* m_paperNote = nullptr;
    QLabel* m_certificateKeyLabel = nullptr;
    std::array<QRadioButton*, 2> m_rankingOptions{};
    QLabel* m_backColorLabel = nullptr;
    QLineEdit* m_backColorEdit = nullptr;
    QPushButton* m_backColorButton = nullptr;
    QLabel* m_backgroundModeLabel = nullptr;
    QComboBox* m_backgroundModeBox = nullptr;
    QLabel* m_problemBackColorLabel = nullptr;
    QLineEdit* m_problemBackColorEdit = nullptr;
    QPushButton* m_problemBackColorButton = nullptr;
    QLabel* m_problemColorLabel = nullptr;
    QLineEdit* m_problemColorEdit = nullptr;
    QPushButton* m_problemColorButton = nullptr;
    QGroupBox* m_windowPercentGroup = nullptr;
    QLabel* m_windowPercentLeadLabel = nullptr;
    QScrollBar* m_windowPercentBar = nullptr;
    QLabel* m_windowPercentLabel = nullptr;
    QLabel* m_percentUnitLabel = nullptr;
    QScrollBar* m_baseFontBar = nullptr;
    QLabel* m_baseFontLabel = nullptr;
    QLabel* m_baseFontUnitLabel = nullptr;
    QScrollBar* m_rowGapBar = nullptr;
    QLabel* m_rowGapLabel = nullptr;
    QLabel* m_rowGapUnitLabel = nullptr;
    QScrollBar* m_resultFontBar = nullptr;
    QLabel* m_resultFontLabel = nullptr;
    QLabel* m_resultFontUnitLabel = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_content = nullptr;
    Settings& m_settings;
};
