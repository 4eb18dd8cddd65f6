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
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

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
    m_verdictLabel = new QLabel(
        QStringLiteral("認定証の PDF、スキャンした画像または写真を開いてください。"), this);
    m_verdictLabel->setWordWrap(true);
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
                  {m_closeButton, "closeButton"}});

    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(m_codeEdit, 1);
    codeRow->addWidget(m_checkButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_openButton);
    layout->addLayout(codeRow);
    layout->addWidget(m_sourceLabel);
    layout->addWidget(m_verdictLabel);
    layout->addWidget(m_fieldTable, 1);
    layout->addLayout(buttons);
    resize(560, 560);

    connect(m_openButton, &QPushButton::clicked, this, &CertificateCheckDialog::openFile);
    connect(m_checkButton, &QPushButton::clicked, this, [this] { checkText(m_codeEdit->text()); });
    connect(m_codeEdit, &QLineEdit::returnPressed, this, [this] { checkText(m_codeEdit->text()); });
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
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
    const Expected<QStringList> texts = CodeScanner::scanFile(path);
    if (!texts) {
        m_outcome = {};
        m_sourceLabel->setText(QFileInfo(path).fileName());
        m_verdictLabel->setText(texts.error().message());
        m_verdictLabel->setStyleSheet(QStringLiteral("color: #a00000;"));
        m_fieldTable->setRowCount(0);
        return;
    }
    show(CertificateCheck::check(*texts, m_keys), QFileInfo(path).fileName());
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
