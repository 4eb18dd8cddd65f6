#pragma once

#include <QString>

// The person at the keyboard and the result of the current test.
class RunRecord
{
public:
    RunRecord();

    int recordNumber() const { return m_recordNumber; }
    void setRecordNumber(int v) { m_recordNumber = v; }
    // Whether the run's record reached the main log, so that its number may be printed.
    bool isLogged() const { return m_logged; }
    void setLogged(bool v) { m_logged = v; }
    // The name the record waits under while its log cannot be written; empty otherwise.
    QString keptAs() const { return m_keptAs; }
    void setKeptAs(const QString& v) { m_keptAs = v; }
    int secondsUsed() const { return m_secondsUsed; }
    void setSecondsUsed(int v) { m_secondsUsed = v; }
    int errors() const { return m_errors; }
    void setErrors(int v) { m_errors = v; }
    int acceptedChars() const { return m_acceptedChars; }
    void setAcceptedChars(int v) { m_acceptedChars = v; }
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

    // Counts stop here, as the log's columns hold 16-bit numbers.
    static constexpr int CountLimit = 32767;

    static QString noName() { return QStringLiteral("*noname*"); }

private:
    int m_recordNumber = 0;
    bool m_logged = false;
    QString m_keptAs;
    int m_secondsUsed = 0;
    int m_errors = 0;
    int m_acceptedChars = 0;
    float m_accuracy = 0;
    float m_charsPerMinute = 0;
    QString m_loginName;
    QString m_computerName;
    bool m_certification = false;
    QString m_userName;
    QString m_userId;
};
