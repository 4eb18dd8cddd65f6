#pragma once

#include <QDate>
#include <QDialog>
#include <QStringList>

#include <memory>

class ClassLog;
class ClassLogModel;
class DatabaseRunsModel;
class RunsTableModel;
class QCheckBox;
class QComboBox;
class DateField;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTableView;
class QTableWidget;
class QTimer;
class Settings;

// Every record of the main log, to filter, sort, chart per user and export for spreadsheets;
// the results database's runs instead where one is set up. Neither is written to.
class ResultsBrowser : public QDialog
{
    Q_OBJECT
public:
    explicit ResultsBrowser(const Settings& settings, QWidget* parent = nullptr);
    ~ResultsBrowser() override;

    // Reads the log named by the settings, or the database, afresh.
    void reload();
    int exec() override;

    // The dialog that asks where the CSV goes.
    static void prepareCsvDialog(QFileDialog& dialog);
    // Writes the rows shown; false (and a message) when the file cannot be written.
    bool exportTo(const QString& path);
    // The user ID of the selected record or summary row; empty when none is selected.
    QString selectedUserId() const;

private:
    QLineEdit* m_userEdit = nullptr;
    QCheckBox* m_periodCheck = nullptr;
    DateField* m_fromEdit = nullptr;
    DateField* m_toEdit = nullptr;
    QComboBox* m_fileCombo = nullptr;
    QComboBox* m_outcomeCombo = nullptr;
    QComboBox* m_siteCombo = nullptr;
    QComboBox* m_kindCombo = nullptr;
    QLabel* m_passLabel = nullptr;
    QTableView* m_table = nullptr;
    QTableWidget* m_summary = nullptr;
    QPushButton* m_chartButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QStatusBar* m_statusBar = nullptr;
    RunsTableModel* m_model = nullptr;
    ClassLogModel* m_logModel = nullptr;
    DatabaseRunsModel* m_runsModel = nullptr;

    struct Choices {
        QStringList fileNames;
        QStringList sites;
        QDate earliest;
        QDate latest;
    };
    Choices readLog();
    Choices readDatabase();
    void applyFilter();
    void fillSummary();
    void showStatus();
    void showChart();
    void exportCsv();

    const Settings& m_settings;
    std::shared_ptr<ClassLog> m_log;
    QString m_readReport;
    bool m_summaryLeftOut = false;
    QTimer* m_filterDelay = nullptr;
};
