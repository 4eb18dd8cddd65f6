#pragma once

#include <QString>

// The person at the keyboard and the result of the current test.
class clsUser {
public:
    clsUser();

    qint16 LogNumber() const { return m_LogNumber; }
    void setLogNumber(qint16 v) { m_LogNumber = v; }
    qint16 UseTime() const { return m_UseTime; }
    void setUseTime(qint16 v) { m_UseTime = v; }
    qint16 ErrCount() const { return m_ErrCount; }
    void setErrCount(qint16 v) { m_ErrCount = v; }
    qint16 InpMozisu() const { return m_InpMozisu; }
    void setInpMozisu(qint16 v) { m_InpMozisu = v; }
    float Seidaritu() const { return m_Seidaritu; }
    void setSeidaritu(float v) { m_Seidaritu = v; }
    float InpSpeed() const { return m_InpSpeed; }
    void setInpSpeed(float v) { m_InpSpeed = v; }
    QString PC_UserID() const { return m_PC_UserID; }
    QString PC_NAME() const { return m_PC_NAME; }
    bool KenteiON() const { return m_KenteiON; }
    void setKenteiON(bool v) { m_KenteiON = v; }
    QString UserName() const { return m_UserName; }
    void setUserName(const QString& v) { m_UserName = v; }
    QString UserID() const { return m_UserID; }
    void setUserID(const QString& v) { m_UserID = v; }

    static QString noName() { return QStringLiteral("*noname*"); }

private:
    qint16 m_LogNumber = 0;
    qint16 m_UseTime = 0;
    qint16 m_ErrCount = 0;
    qint16 m_InpMozisu = 0;
    float m_Seidaritu = 0;
    float m_InpSpeed = 0;
    QString m_PC_UserID;
    QString m_PC_NAME;
    bool m_KenteiON = false;
    QString m_UserName;
    QString m_UserID;
};
