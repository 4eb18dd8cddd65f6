#pragma once

#include <QDate>
#include <QLineEdit>

// A date typed as people type dates (see DateText), with or without the input method; a
// calendar button picks one instead. Shown as 2026-12-31 once the typing is done.
class DateField : public QLineEdit
{
    Q_OBJECT
public:
    explicit DateField(QWidget* parent = nullptr);

    QDate date() const { return m_date; }
    void setDate(const QDate& date);

Q_SIGNALS:
    void dateChanged(const QDate& date);

private:
    // Takes a whole date as it is typed; any date the text names once typing is finished.
    void takeText(bool finished);
    void showCalendar();

    QDate m_date;
};
