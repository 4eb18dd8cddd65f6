#pragma once

#include "results/CertificateCheck.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// 認定証の確認: opens a scan, photo or PDF of a certificate (or takes its code as text) and
// shows the verdict and every value the code vouches for.
class CertificateCheckDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CertificateCheckDialog(QWidget* parent = nullptr);

    // The keys trusted; the user's and the site's trusted-keys folders unless set.
    void setTrustedKeys(const CertificateCheck::TrustedKeys& keys) { m_keys = keys; }
    void checkFile(const QString& path);
    void checkText(const QString& text);
    CertificateCheck::Outcome outcome() const { return m_outcome; }

private:
    void openFile();
    void show(const CertificateCheck::Outcome& outcome, const QString& source);

    CertificateCheck::TrustedKeys m_keys;
    CertificateCheck::Outcome m_outcome;
    QPushButton* m_openButton = nullptr;
    QLineEdit* m_codeEdit = nullptr;
    QPushButton* m_checkButton = nullptr;
    QLabel* m_sourceLabel = nullptr;
    QLabel* m_verdictLabel = nullptr;
    QTableWidget* m_fieldTable = nullptr;
    QPushButton* m_closeButton = nullptr;
};
