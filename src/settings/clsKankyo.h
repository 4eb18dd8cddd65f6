#pragma once

#include <QString>

class IniFile;

// Every user-adjustable setting, and the only code that reads or writes "pelko.ini".
class clsKankyo
{
public:
    // Where both logs go unless the settings name another folder: "pelko" in the user's
    // application-data folder, with a final "/".
    static QString defaultLogFolder();

    // Test window size as a percentage of the screen.
    qint16 WindowSize = 80;

    bool RankingMode() const { return m_RankingMode; }
    void setRankingMode(bool v) { m_RankingMode = v; }
    bool ShowPlactice() const { return m_ShowPlactice; }
    void setShowPlactice(bool v) { m_ShowPlactice = v; }
    bool ShowKankyo() const { return m_ShowKankyo; }
    void setShowKankyo(bool v) { m_ShowKankyo = v; }
    qint16 BackMode() const;
    void setBackMode(qint16 v);
    bool LoadFlg() const { return m_LoadFlg; }
    QString LogStyle() const { return m_LogStyle; }
    void setLogStyle(const QString& v) { m_LogStyle = v; }
    QString PaperSize() const { return m_PaperSize; }
    void setPaperSize(const QString& v) { m_PaperSize = v; }
    QString SubLogName() const { return m_SubLogName; }
    void setSubLogName(const QString& v) { m_SubLogName = v; }
    QString SubLogPath() const { return m_SubLogPath; }
    void setSubLogPath(const QString& v) { m_SubLogPath = v; }
    bool SubLog() const { return m_SubLog; }
    void setSubLog(bool v) { m_SubLog = v; }
    QString LogName() const { return m_LogName; }
    void setLogName(const QString& v) { m_LogName = v; }
    QString LogPath() const { return m_LogPath; }
    void setLogPath(const QString& v) { m_LogPath = v; }
    qint16 Speed() const { return m_Speed; }
    void setSpeed(qint16 v) { m_Speed = v; }
    QString SortMode() const { return m_SortMode; }
    void setSortMode(const QString& v);
    bool ChangeTime() const { return m_ChangeTime; }
    void setChangeTime(bool v) { m_ChangeTime = v; }
    qint16 LastTime() const { return m_LastTime; }
    void setLastTime(qint16 v) { m_LastTime = v; }
    QString Filepath() const { return m_Filepath; }
    void setFilepath(const QString& v) { m_Filepath = v; }
    QString TestFilepath() const { return m_TestFilepath; }
    void setTestFilepath(const QString& v) { m_TestFilepath = v; }
    QString ProblemBackColor() const { return m_ProblemBackColor; }
    void setProblemBackColor(const QString& v) { m_ProblemBackColor = v; }
    QString BackColor() const { return m_BackColor; }
    void setBackColor(const QString& v) { m_BackColor = v; }
    QString ProblemColor() const { return m_ProblemColor; }
    void setProblemColor(const QString& v) { m_ProblemColor = v; }

    void LoadINI();
    bool SaveIni();
    void SaveLogStyle();

    // Full path of the settings file (known after LoadINI).
    QString IniPath() const { return m_IniPath; }

private:
    QString GetIniString(const QString& section, const QString& key) const;
    bool WriteIniString(const QString& section, const QString& key, const QString& value);

    bool m_RankingMode = false;
    bool m_ShowPlactice = true;
    bool m_ShowKankyo = true;
    QString m_BackMode = QStringLiteral("0");
    bool m_LoadFlg = false;
    QString m_LogStyle = QStringLiteral("0123456789ABCDEF");
    QString m_PaperSize = QStringLiteral("9");
    QString m_SubLogName = QStringLiteral("pksub.log");
    QString m_SubLogPath;
    bool m_SubLog = false;
    QString m_LogName = QStringLiteral("pelko.log");
    QString m_LogPath;
    qint16 m_Speed = 25;
    QString m_SortMode = QStringLiteral("RANDOM");
    bool m_ChangeTime = false;
    qint16 m_LastTime = 3;
    QString m_Filepath;
    QString m_TestFilepath;
    QString m_ProblemBackColor = QStringLiteral("&HFFFFFF");
    QString m_BackColor = QStringLiteral("&HE0E0E0");
    QString m_ProblemColor = QStringLiteral("&H000000");
    QString m_IniPath;
    // The file held open while LoadINI or SaveIni reads or writes many keys at once.
    IniFile* m_open = nullptr;
};
