#include "CertificateCheckDialog.h"

#include "CertificateCode.h"
#include "platform/CodeScanner.h"
#include "platform/ControlNames.h"
#include "platform/Fonts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <atomic>
#include <optional>

// Shared by the dialog and the thread that reads a file; either may outlive the other.
struct CertificateCheckDialog::Scan {
    std::atomic_bool cancelled = false;
    std::optional<Expected<QStringList>> texts;
};

CertificateCheckDialog::CertificateCheckDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CertificateCheckDialog"));
    setWindowTitle(QStringLiteral("認定証の確認"));
    setFont(Fonts::proportional(10));
    for (const QString& folder : CertificateCheck::TrustedKeys::defaultFolders())
        m_keys.addFolder(folder);

    m_openButton = new QPushButton(QStringLiteral("認定証のファイルを開く(&O)..."), this);
    m_codeEdit = new QLineEdit(this);
    m_codeEdit->setPlaceholderText(QStringLiteral("またはコード (PK1.…) を貼り付け"));
    m_checkButton = new QPushButton(QStringLiteral("確認(&C)"), this);
    m_sourceLabel = new QLabel(this);
    // File names and decoded texts come from outside: never markup.
    m_sourceLabel->setTextFormat(Qt::PlainText);
    m_verdictLabel = new QLabel(
        QStringLiteral("認定証の PDF、スキャンした画像または写真を開いてください。"), this);
    m_verdictLabel->setTextFormat(Qt::PlainText);
    m_verdictLabel->setWordWrap(true);
    m_scanProgress = new QProgressBar(this);
    m_scanProgress->setRange(0, 0);
    m_scanProgress->setTextVisible(false);
    m_scanProgress->setAccessibleName(QStringLiteral("読み取り中"));
    m_cancelButton = new QPushButton(QStringLiteral("中止(&A)"), this);
    m_fieldTable = new QTableWidget(0, 2, this);
    m_fieldTable->setHorizontalHeaderLabels({QStringLiteral("項目"), QStringLiteral("値")});
    m_fieldTable->horizontalHeader()->setStretchLastSection(true);
    m_fieldTable->verticalHeader()->hide();
    // Every field in view at once, to be read against the sheet.
    m_fieldTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_fieldTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_closeButton = new QPushButton(QStringLiteral("閉じる"), this);
    nameControls({{m_openButton, "openButton"},
                  {m_codeEdit, "codeEdit"},
                  {m_checkButton, "checkButton"},
                  {m_sourceLabel, "sourceLabel"},
                  {m_verdictLabel, "verdictLabel"},
                  {m_fieldTable, "fieldTable"},
                  {m_scanProgress, "scanProgress"},
                  {m_cancelButton, "cancelButton"},
                  {m_closeButton, "closeButton"}});

    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(m_codeEdit, 1);
    codeRow->addWidget(m_checkButton);
    auto* scanRow = new QHBoxLayout;
    scanRow->addWidget(m_scanProgress, 1);
    scanRow->addWidget(m_cancelButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_openButton);
    layout->addLayout(codeRow);
    layout->addWidget(m_sourceLabel);
    layout->addWidget(m_verdictLabel);
    layout->addLayout(scanRow);
    layout->addWidget(m_fieldTable, 1);
    layout->addLayout(buttons);
    resize(560, 560);

    connect(m_openButton, &QPushButton::clicked, this, &CertificateCheckDialog::openFile);
    connect(m_checkButton, &QPushButton::clicked, this, [this] { checkText(m_codeEdit->text()); });
    connect(m_codeEdit, &QLineEdit::returnPressed, this, [this] { checkText(m_codeEdit->text()); });
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] {
        if (m_scanState)
            m_scanState->cancelled = true;
    });
    setScanning(false);
}

CertificateCheckDialog::~CertificateCheckDialog()
{
    // Closed while reading: the thread stops at its next step.
    if (m_scan) {
        m_scanState->cancelled = true;
        m_scan->wait();
    }
}

void CertificateCheckDialog::openFile()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("認定証のファイル"), QString(),
        QStringLiteral("認定証 (*.pdf *.png *.jpg *.jpeg);;すべてのファイル (*)"));
    if (!path.isEmpty())
        checkFile(path);
}

void CertificateCheckDialog::checkFile(const QString& path)
{
    if (m_scan)
        return;
    const auto scan = std::make_shared<Scan>();
    m_scanState = scan;
    m_outcome = {};
    const QString source = QFileInfo(path).fileName();
    m_sourceLabel->setText(source);
    m_verdictLabel->setText(QStringLiteral("読み取っています…"));
    m_verdictLabel->setStyleSheet(QString());
    m_fieldTable->setRowCount(0);
    setScanning(true);
    // Progress lands in the window's thread; the dialog waits for the thread before it goes.
    m_scan = QThread::create([this, scan, path] {
        scan->texts = CodeScanner::scanFile(
            path, {}, [scan] { return scan->cancelled.load(); },
            [this](int page, int pages, const QSize&) {
                if (pages < 2)
                    return;
                QMetaObject::invokeMethod(this, [this, page, pages] {
                    m_verdictLabel->setText(
                        QStringLiteral("読み取っています…（%1 / %2 ページ）").arg(page).arg(pages));
                });
            });
    });
    m_scan->setParent(this);
    connect(m_scan, &QThread::finished, this, [this, scan, source] {
        m_scan->deleteLater();
        m_scan = nullptr;
        setScanning(false);
        showScanned(*scan, source);
    });
    m_scan->start();
}

void CertificateCheckDialog::setScanning(bool scanning)
{
    m_scanProgress->setVisible(scanning);
    m_cancelButton->setVisible(scanning);
    m_openButton->setEnabled(!scanning);
    m_codeEdit->setEnabled(!scanning);
    m_checkButton->setEnabled(!scanning);
    if (scanning)
        m_cancelButton->setFocus();
}

void CertificateCheckDialog::showScanned(const Scan& scan, const QString& source)
{
    const Expected<QStringList>& texts = *scan.texts;
    if (!texts) {
        m_sourceLabel->setText(source);
        m_verdictLabel->setText(texts.error().message());
        m_verdictLabel->setStyleSheet(QStringLiteral("color: #a00000;"));
        return;
    }
    show(CertificateCheck::check(*texts, m_keys), source);
}

void CertificateCheckDialog::checkText(const QString& text)
{
    show(CertificateCheck::check({text}, m_keys), QStringLiteral("貼り付けたコード"));
}

void CertificateCheckDialog::show(const CertificateCheck::Outcome& outcome, const QString& source)
{
    m_outcome = outcome;
    m_sourceLabel->setText(source);
    const bool valid = outcome.verdict == CertificateCheck::Verdict::Valid;
    QString verdict = CertificateCheck::message(outcome);
    if (valid && !outcome.site.isEmpty())
        verdict += QStringLiteral("\n署名した学校: ") + outcome.site;
    if (!valid && !outcome.fields.isEmpty())
        verdict += QStringLiteral("\n（未確認の値）");
    m_verdictLabel->setText(verdict);
    m_verdictLabel->setStyleSheet(valid ? QStringLiteral("color: #006000; font-weight: bold;")
                                        : QStringLiteral("color: #a00000; font-weight: bold;"));
    m_fieldTable->setRowCount(0);
    if (outcome.verdict == CertificateCheck::Verdict::NoCode)
        return;
    auto addRow = [this](const QString& label, const QString& value) {
        const int row = m_fieldTable->rowCount();
        m_fieldTable->insertRow(row);
        m_fieldTable->setItem(row, 0, new QTableWidgetItem(label));
        m_fieldTable->setItem(row, 1, new QTableWidgetItem(value));
    };
    for (qsizetype i = 0; i < outcome.fields.size() && i < CertificateCode::FieldCount; ++i) {
        const auto field = CertificateCode::Field(i);
        addRow(CertificateCode::label(field),
               CertificateCode::displayText(field, outcome.fields[i]));
    }
    if (!outcome.checkCode.isEmpty())
        addRow(QStringLiteral("確認コード"), outcome.checkCode);
    m_fieldTable->resizeColumnToContents(0);
}
