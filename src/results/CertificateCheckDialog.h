#pragma once

#include "results/CertificateCheck.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;

// 認定証の確認: opens a scan, photo or PDF of a certificate (or takes its code as text) and
// shows the verdict and every value the code vouches for.
class CertificateCheckDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CertificateCheckDialog(QWidget* parent = nullptr);
    ~CertificateCheckDialog() override;

    // The keys trusted; the user's and the site's trusted-keys folders unless set.
    void setTrustedKeys(const CertificateCheck::TrustedKeys& keys) { m_keys = keys; }
    // Reads the file off the window's thread, with a cancel; the verdict shows when done.
    void checkFile(const QString& path);
    void checkText(const QString& text);
    bool isScanning() const { return m_scan != nullptr; }
    CertificateCheck::Outcome outcome() const { return m_outcome; }

private:
    struct Scan;

    void openFile();
    void setScanning(bool scanning);
    void showScanned(const Scan& scan, const QString& source);
    void show(const CertificateCheck::Outcome& outcome, const QString& source);

    CertificateCheck::TrustedKeys m_keys;
    CertificateCheck::Outcome m_outcome;
    QPushButton* m_openButton = nullptr;
    QLineEdit* m_codeEdit = nullptr;
    QPushButton* m_checkButton = nullptr;
    QLabel* m_sourceLabel = nullptr;
    QLabel* m_verdictLabel = nullptr;
    QTableWidget* m_fieldTable = nullptr;
    QProgressBar* m_scanProgress = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QThread* m_scan = nullptr;
    std::shared_ptr<Scan> m_scanState;
};
