#include "frmChangeTime.h"

#include "common/PelkoError.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

frmChangeTime& frmChangeTime::instance()
{
    static frmChangeTime* form = new frmChangeTime;
    return *form;
}

frmChangeTime::frmChangeTime() : QDialog(nullptr)
{
    setObjectName(QStringLiteral("frmChangeTime"));
    setWindowTitle(QStringLiteral("時間変更"));
    setModal(true);

    lblTime = new QLabel(this);
    QFont big = lblTime->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    lblTime->setFont(big);
    lblTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblTime->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("000")));
    auto* lblUnit = new QLabel(QStringLiteral("分"), this);

    vscChangeTime = new QScrollBar(Qt::Vertical, this);
    vscChangeTime->setRange(0, 59);
    vscChangeTime->setSingleStep(1);
    vscChangeTime->setPageStep(5);
    vscChangeTime->setAccessibleName(QStringLiteral("時間"));
    vscChangeTime->setFocusPolicy(Qt::StrongFocus);
    vscChangeTime->setMinimumHeight(lblTime->sizeHint().height() * 2);

    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblTime, 0, 0);
    grid->addWidget(lblUnit, 0, 1);
    grid->addWidget(vscChangeTime, 0, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 1, 0, 1, 3);

    connect(vscChangeTime, &QScrollBar::valueChanged, this, &frmChangeTime::vscChangeTime_Change);
    connect(cmdOk, &QPushButton::clicked, this, &frmChangeTime::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmChangeTime::cmdCancel_Click);
}

int frmChangeTime::ChooseMinutes(int current)
{
    frmChangeTime& form = instance();
    form.Form_Load();
    if (current < 1 || current > 60)
        throw PelkoError(380, QStringLiteral("プロパティの値が不正です"));
    form.lblTime->setText(QString::number(current));
    QScrollBar* bar = form.vscChangeTime;
    bar->setValue(bar->maximum() - current + bar->singleStep());
    form.exec();
    bool ok = false;
    const int chosen = form.lblTime->text().toInt(&ok);
    if (!ok)
        throw PelkoError(13, QStringLiteral("型が一致しません"));
    return chosen;
}

void frmChangeTime::Form_Load()
{
    m_activateCaption.clear();
    adjustSize();
}

void frmChangeTime::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmChangeTime::Form_Activate()
{
    m_activateCaption = lblTime->text();
    vscChangeTime->setFocus();
}

void frmChangeTime::vscChangeTime_Change()
{
    const int minutes =
        vscChangeTime->maximum() - vscChangeTime->value() + vscChangeTime->singleStep();
    lblTime->setText(QString::number(minutes));
}

void frmChangeTime::cmdOk_Click()
{
    done(Accepted);
}

void frmChangeTime::cmdCancel_Click()
{
    lblTime->setText(m_activateCaption);
    done(Rejected);
}

void frmChangeTime::reject()
{
    lblTime->setText(m_activateCaption);
    QDialog::reject();
}
