#pragma once

#include <QString>

// One character of a problem line with its class (1 … 4, 0 until set).
class clsMozi
{
public:
    qint16 Mcode() const { return m_Mcode; }
    void setMcode(qint16 value) { m_Mcode = value; }
    QString Mozi() const { return m_Mozi; }
    void setMozi(const QString& value) { m_Mozi = value; }

private:
    qint16 m_Mcode = 0;
    QString m_Mozi;
};
