#include "frmPrinterSelect.h"

#include "CurrentPrinter.h"
#include "app/modPelko.h"
#include "platform/DrawnIcon.h"
#include "platform/Fonts.h"
#include "platform/Printers.h"
#include "settings/clsKankyo.h"

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

const QString kPaperCodes[3] = {QStringLiteral("9"), QStringLiteral("12"), QStringLiteral("13")};

// A printer with a sheet coming out.
void drawPrinter(QPainter& p, const QRectF& r, bool disabled)
{
    const qreal s = r.width();
    const QColor ink = disabled ? QColor(0x9a, 0x9a, 0x9a) : QColor(0x2b, 0x4a, 0x6f);
    p.setPen(QPen(ink, s * 0.05));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.x() + s * 0.28, r.y() + s * 0.08, s * 0.44, s * 0.30));
    p.setBrush(disabled ? QColor(0xd0, 0xd0, 0xd0) : QColor(0x8f, 0xb3, 0xda));
    p.drawRoundedRect(QRectF(r.x() + s * 0.08, r.y() + s * 0.36, s * 0.84, s * 0.34), s * 0.06,
                      s * 0.06);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(r.x() + s * 0.26, r.y() + s * 0.58, s * 0.48, s * 0.34));
    p.drawLine(QPointF(r.x() + s * 0.34, r.y() + s * 0.70),
               QPointF(r.x() + s * 0.66, r.y() + s * 0.70));
    p.drawLine(QPointF(r.x() + s * 0.34, r.y() + s * 0.80),
               QPointF(r.x() + s * 0.58, r.y() + s * 0.80));
}

} // namespace

frmPrinterSelect& frmPrinterSelect::instance()
{
    static frmPrinterSelect* form = new frmPrinterSelect;
    return *form;
}

frmPrinterSelect::frmPrinterSelect() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("frmPrinterSelect"));
    setWindowTitle(QStringLiteral("プリンタの選択"));
    setModal(true);
    setFont(Fonts::proportional(10));

    lblSelect = new QLabel(
        QStringLiteral("使用するプリンタを選んで「選択」ボタンをクリックして下さい"), this);
    cbxPrinter = new QComboBox(this);
    cbxPrinter->setObjectName(QStringLiteral("cbxPrinter"));
    cbxPrinter->setAccessibleName(QStringLiteral("プリンタ"));
    lblSelect->setBuddy(cbxPrinter);

    fraPaper = new QGroupBox(QStringLiteral("用紙サイズ"), this);
    auto* paperRow = new QHBoxLayout(fraPaper);
    auto* group = new QButtonGroup(this);
    const QStringList captions{QStringLiteral("A4"), QStringLiteral("B4"), QStringLiteral("B5")};
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions.at(i), fraPaper);
        option->setObjectName(QStringLiteral("optPaper%1").arg(i));
        group->addButton(option, i);
        paperRow->addWidget(option);
        optPaper.append(option);
    }

    lblPrComment1 = new QLabel(QStringLiteral("※今回のみの設定です"), this);
    lblPrComment2 = new QLabel(QStringLiteral("　規定にする場合は環境設定で行ってください"), this);

    cmdSelect = new QPushButton(this);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    DrawnIcon::makePictureButton(cmdSelect, DrawnIcon::make(drawPrinter), QStringLiteral("選択"),
                                 32);
    cmdSelect->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSelect);
    layout->addWidget(cbxPrinter);
    auto* lower = new QHBoxLayout;
    lower->addWidget(fraPaper);
    auto* comments = new QVBoxLayout;
    comments->addWidget(lblPrComment1);
    comments->addWidget(lblPrComment2);
    lower->addLayout(comments);
    lower->addWidget(cmdSelect, 0, Qt::AlignBottom);
    layout->addLayout(lower);

    connect(cmdSelect, &QPushButton::clicked, this, &frmPrinterSelect::cmdSelect_Click);
}

void frmPrinterSelect::prepare()
{
    Form_Load();
    cbxPrinter->clear();
    cbxPrinter->addItems(Printers::installedNames());
    const int at =
        cbxPrinter->findText(CurrentPrinter::name(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    cbxPrinter->setCurrentIndex(at >= 0 ? at : 0);
}

int frmPrinterSelect::showModal()
{
    prepare();
    return exec();
}

void frmPrinterSelect::Form_Load()
{
    const QString paper = objKankyo ? objKankyo->PaperSize() : QString();
    // Exclusive buttons cannot all be cleared; an unknown code marks none.
    optPaper.first()->group()->setExclusive(false);
    for (int i = 0; i < optPaper.size(); ++i)
        optPaper.at(i)->setChecked(paper == kPaperCodes[i]);
    optPaper.first()->group()->setExclusive(true);
}

void frmPrinterSelect::cmdSelect_Click()
{
    if (cbxPrinter->currentIndex() >= 0)
        CurrentPrinter::choose(cbxPrinter->currentText());
    for (int i = 0; i < optPaper.size(); ++i) {
        if (optPaper.at(i)->isChecked() && objKankyo)
            objKankyo->setPaperSize(kPaperCodes[i]);
    }
    accept();
}
