#include "DateField.h"

#include "DateText.h"

#include <QAction>
#include <QCalendarWidget>
#include <QMenu>
#include <QStyle>
#include <QWidgetAction>

DateField::DateField(QWidget* parent) : QLineEdit(parent)
{
    setPlaceholderText(QStringLiteral("2026-12-31"));
    QAction* calendar = addAction(style()->standardIcon(QStyle::SP_ArrowDown),
                                  QLineEdit::TrailingPosition);
    calendar->setToolTip(QStringLiteral("カレンダー"));
    connect(calendar, &QAction::triggered, this, &DateField::showCalendar);
    connect(this, &QLineEdit::textChanged, this, [this] { takeText(false); });
    connect(this, &QLineEdit::editingFinished, this, [this] {
        takeText(true);
        // What names no date goes back to the one in force.
        if (text() != DateText::format(m_date))
            setText(DateText::format(m_date));
        setStyleSheet(QString());
    });
}

void DateField::setDate(const QDate& date)
{
    const bool changed = date != m_date;
    m_date = date; // first: the text below then changes nothing, blocked signals or not
    setText(DateText::format(date));
    if (changed)
        Q_EMIT dateChanged(m_date);
}

void DateField::takeText(bool finished)
{
    bool whole = false;
    const QDate date = DateText::parse(text(), &whole);
    // A half-typed date is marked, not taken: the filter keeps the last whole one.
    setStyleSheet(date.isValid() ? QString() : QStringLiteral("color: #b00000;"));
    if (!date.isValid() || date == m_date || !(whole || finished))
        return;
    m_date = date;
    Q_EMIT dateChanged(m_date);
}

void DateField::showCalendar()
{
    QMenu popup(this);
    auto* calendar = new QCalendarWidget(&popup);
    calendar->setSelectedDate(m_date.isValid() ? m_date : QDate::currentDate());
    auto* holder = new QWidgetAction(&popup);
    holder->setDefaultWidget(calendar);
    popup.addAction(holder);
    connect(calendar, &QCalendarWidget::clicked, &popup, [this, &popup](const QDate& date) {
        setDate(date);
        popup.close();
    });
    popup.exec(mapToGlobal(QPoint(0, height())));
}
