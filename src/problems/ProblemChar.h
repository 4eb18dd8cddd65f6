#pragma once

#include <QString>

// One character of a problem line with its class (1 … 4, 0 until set).
class ProblemChar
{
public:
    int charClass() const { return m_charClass; }
    void setCharClass(int value) { m_charClass = value; }
    QString text() const { return m_text; }
    void setText(const QString& value) { m_text = value; }

private:
    int m_charClass = 0;
    QString m_text;
};
