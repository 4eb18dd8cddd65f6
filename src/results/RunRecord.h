#pragma once

#include <QString>

// The person at the keyboard and the result of the current test.
class RunRecord
{
public:
    RunRecord();

    qint16 recordNumber() const { return m_recordNumber; }
    void setRecordNumber(qint16 v) { m_recordNumber = v; }
    // Whether the run's record reached the main log, so that its number may be printed.
    bool isLogged() const { return m_logged; }
    void setLogged(bool v) { m_logged = v; }
    qint16 secondsUsed() const { return m_secondsUsed; }
    void setSecondsUsed(qint16 v) { m_secondsUsed = v; }
    qint16 errors() const { return m_errors; }
    void setErrors(qint16 v) { m_errors = v; }
    qint16 acceptedChars() const { return m_acceptedChars; }
    void setAcceptedChars(qint16 v) { m_acceptedChars = v; }
    float accuracy() const { return m_accuracy; }
    void setAccuracy(float v) { m_accuracy = v; }
    float charsPerMinute() const { return m_charsPerMinute; }
    void setCharsPerMinute(float v) { m_charsPerMinute = v; }
    QString loginName() const { return m_loginName; }
    QString computerName() const { return m_computerName; }
    bool isCertification() const { return m_certification; }
    void setCertification(bool v) { m_certification = v; }
    QString userName() const { return m_userName; }
    void setUserName(const QString& v) { m_userName = v; }
    QString userId() const { return m_userId; }
    void setUserId(const QString& v) { m_userId = v; }

    static QString noName() { return QStringLiteral("*noname*"); }

private:
    qint16 m_recordNumber = 0;
    bool m_logged = false;
    qint16 m_secondsUsed = 0;
    qint16 m_errors = 0;
    qint16 m_acceptedChars = 0;
    float m_accuracy = 0;
    float m_charsPerMinute = 0;
    QString m_loginName;
    QString m_computerName;
    bool m_certification = false;
    QString m_userName;
    QString m_userId;
};
