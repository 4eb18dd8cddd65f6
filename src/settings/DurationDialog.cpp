#include "DurationDialog.h"

#include "SettingValues.h"
#include "platform/ControlNames.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

DurationDialog::DurationDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DurationDialog"));
    setWindowTitle(QStringLiteral("時間変更"));
    setModal(true);

    m_minutesLabel = new QLabel(this);
    QFont big = m_minutesLabel->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    m_minutesLabel->setFont(big);
    m_minutesLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_minutesLabel->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("000")));
    auto* unitLabel = new QLabel(QStringLiteral("分"), this);

    m_minutesBar = new QScrollBar(Qt::Vertical, this);
    m_minutesBar->setRange(0, 59);
    m_minutesBar->setSingleStep(1);
    m_minutesBar->setPageStep(5);
    m_minutesBar->setAccessibleName(QStringLiteral("時間"));
    m_minutesBar->setFocusPolicy(Qt::StrongFocus);
    m_minutesBar->setMinimumHeight(m_minutesLabel->sizeHint().height() * 2);

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_minutesLabel, 0, 0);
    grid->addWidget(unitLabel, 0, 1);
    grid->addWidget(m_minutesBar, 0, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    grid->addLayout(buttons, 1, 0, 1, 3);

    nameControls({{m_minutesLabel, "minutesLabel"},
                  {m_minutesBar, "minutesBar"},
                  {m_okButton, "okButton"},
                  {m_cancelButton, "cancelButton"}});
    connect(m_minutesBar, &QScrollBar::valueChanged, this, &DurationDialog::showChosenMinutes);
    connect(m_okButton, &QPushButton::clicked, this, &DurationDialog::confirm);
    connect(m_cancelButton, &QPushButton::clicked, this, &DurationDialog::cancel);
}

Expected<void> DurationDialog::setMinutes(int current)
{
    if (current < SettingDefaults::ShortestDuration || current > SettingDefaults::LongestDuration)
        return Error(Error::Code::InvalidValue, QStringLiteral("プロパティの値が不正です"));
    m_minutesLabel->setText(QString::number(current));
    m_minutesBar->setValue(m_minutesBar->maximum() - current + m_minutesBar->singleStep());
    return {};
}

Expected<int> DurationDialog::minutes() const
{
    bool ok = false;
    const int chosen = m_minutesLabel->text().toInt(&ok);
    if (!ok)
        return Error(Error::Code::TypeMismatch, QStringLiteral("型が一致しません"));
    return chosen;
}

int DurationDialog::exec()
{
    prepare();
    return QDialog::exec();
}

Expected<int> DurationDialog::chooseMinutes(int current, QWidget* parent)
{
    DurationDialog dialog(parent);
    if (const Expected<void> shown = dialog.setMinutes(current); !shown)
        return shown.error();
    dialog.exec();
    return dialog.minutes();
}

void DurationDialog::prepare()
{
    m_shownMinutes.clear();
    adjustSize();
}

void DurationDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    rememberShownMinutes();
}

void DurationDialog::rememberShownMinutes()
{
    m_shownMinutes = m_minutesLabel->text();
    m_minutesBar->setFocus();
}

void DurationDialog::showChosenMinutes()
{
    const int minutes =
        m_minutesBar->maximum() - m_minutesBar->value() + m_minutesBar->singleStep();
    m_minutesLabel->setText(QString::number(minutes));
}

void DurationDialog::confirm()
{
    done(Accepted);
}

void DurationDialog::cancel()
{
    m_minutesLabel->setText(m_shownMinutes);
    done(Rejected);
}

void DurationDialog::reject()
{
    m_minutesLabel->setText(m_shownMinutes);
    QDialog::reject();
}
