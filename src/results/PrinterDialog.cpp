#include "PrinterDialog.h"

#include "CurrentPrinter.h"
#include "platform/DrawnIcon.h"
#include "platform/Fonts.h"
#include "platform/Printers.h"
#include "settings/Settings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace
{

constexpr PaperSize kPaperCodes[3] = {PaperSize::A4, PaperSize::B4, PaperSize::B5};

// A printer with a sheet coming out.
void drawPrinter(QPainter& painter, const QRectF& box, bool disabled)
{
    const qreal side = box.width();
    const QColor ink = disabled ? QColor(0x9a, 0x9a, 0x9a) : QColor(0x2b, 0x4a, 0x6f);
    painter.setPen(QPen(ink, side * 0.05));
    painter.setBrush(Qt::white);
    painter.drawRect(
        QRectF(box.x() + side * 0.28, box.y() + side * 0.08, side * 0.44, side * 0.30));
    painter.setBrush(disabled ? QColor(0xd0, 0xd0, 0xd0) : QColor(0x8f, 0xb3, 0xda));
    painter.drawRoundedRect(
        QRectF(box.x() + side * 0.08, box.y() + side * 0.36, side * 0.84, side * 0.34), side * 0.06,
        side * 0.06);
    painter.setBrush(Qt::white);
    painter.drawRect(
        QRectF(box.x() + side * 0.26, box.y() + side * 0.58, side * 0.48, side * 0.34));
    painter.drawLine(QPointF(box.x() + side * 0.34, box.y() + side * 0.70),
                     QPointF(box.x() + side * 0.66, box.y() + side * 0.70));
    painter.drawLine(QPointF(box.x() + side * 0.34, box.y() + side * 0.80),
                     QPointF(box.x() + side * 0.58, box.y() + side * 0.80));
}

} // namespace

PrinterDialog::PrinterDialog(Settings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("PrinterDialog"));
    setWindowTitle(QStringLiteral("プリンタの選択"));
    setModal(true);
    setFont(Fonts::proportional(10));

    m_promptLabel = new QLabel(
        QStringLiteral("使用するプリンタを選んで「選択」ボタンをクリックして下さい"), this);

    m_promptLabel->setObjectName(QStringLiteral("promptLabel"));
    m_printerBox = new QComboBox(this);
    m_printerBox->setObjectName(QStringLiteral("printerBox"));
    m_printerBox->setAccessibleName(QStringLiteral("プリンタ"));
    m_promptLabel->setBuddy(m_printerBox);

    m_paperGroup = new QGroupBox(QStringLiteral("用紙サイズ"), this);

    m_paperGroup->setObjectName(QStringLiteral("paperGroup"));
    auto* paperRow = new QHBoxLayout(m_paperGroup);
    auto* paperButtonGroup = new QButtonGroup(this);
    const QStringList captions{QStringLiteral("A4"), QStringLiteral("B4"), QStringLiteral("B5")};
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions.at(i), m_paperGroup);
        option->setObjectName(QStringLiteral("paperButton%1").arg(i));
        paperButtonGroup->addButton(option, i);
        paperRow->addWidget(option);
        m_paperButtons.append(option);
    }

    m_noteLabel = new QLabel(QStringLiteral("※今回のみの設定です"), this);

    m_noteLabel->setObjectName(QStringLiteral("noteLabel"));
    m_settingsNoteLabel =
        new QLabel(QStringLiteral("　規定にする場合は環境設定で行ってください"), this);
    m_settingsNoteLabel->setObjectName(QStringLiteral("settingsNoteLabel"));

    m_selectButton = new QPushButton(this);
    m_selectButton->setObjectName(QStringLiteral("selectButton"));
    DrawnIcon::makePictureButton(m_selectButton, DrawnIcon::make(drawPrinter),
                                 QStringLiteral("選択"), 32);
    m_selectButton->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_promptLabel);
    layout->addWidget(m_printerBox);
    auto* lower = new QHBoxLayout;
    lower->addWidget(m_paperGroup);
    auto* comments = new QVBoxLayout;
    comments->addWidget(m_noteLabel);
    comments->addWidget(m_settingsNoteLabel);
    lower->addLayout(comments);
    lower->addWidget(m_selectButton, 0, Qt::AlignBottom);
    layout->addLayout(lower);

    connect(m_selectButton, &QPushButton::clicked, this, &PrinterDialog::applyChoice);
}

void PrinterDialog::prepare()
{
    markPaper();
    m_printerBox->clear();
    m_printerBox->addItems(Printers::installedNames());
    const int at = m_printerBox->findText(CurrentPrinter::name(m_settings.printerName()),
                                          Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_printerBox->setCurrentIndex(at >= 0 ? at : 0);
}

int PrinterDialog::exec()
{
    prepare();
    return QDialog::exec();
}

void PrinterDialog::markPaper()
{
    const PaperSize paper = m_settings.paperSize();
    // Exclusive buttons cannot all be cleared; an unknown code marks none.
    m_paperButtons.first()->group()->setExclusive(false);
    for (int i = 0; i < m_paperButtons.size(); ++i)
        m_paperButtons.at(i)->setChecked(paper == kPaperCodes[i]);
    m_paperButtons.first()->group()->setExclusive(true);
}

void PrinterDialog::applyChoice()
{
    if (m_printerBox->currentIndex() >= 0)
        m_settings.setPrinterName(m_printerBox->currentText());
    for (int i = 0; i < m_paperButtons.size(); ++i) {
        if (m_paperButtons.at(i)->isChecked())
            m_settings.setPaperSize(kPaperCodes[i]);
    }
    accept();
}
