#pragma once

#include "SettingsRules.h"

#include <QHash>
#include <QList>
#include <QString>

class IniFile;

// Every user-adjustable setting, and the only code that reads or writes "pelko.ini".
class Settings
{
public:
    // Where both logs go unless the settings name another folder: "pelko" in the user's
    // application-data folder, with a final "/".
    static QString defaultLogFolder();

    // What the colour settings hold when the file leaves them empty.
    static inline const QString DefaultBackColor = QStringLiteral("&HE0E0E0");
    static inline const QString DefaultProblemBackColor = QStringLiteral("&HFFFFFF");
    static inline const QString DefaultProblemColor = QStringLiteral("&H000000");

    // Test window size as a percentage of the screen.
    qint16 windowPercent = 80;

    bool rankingShowsRepeats() const { return m_rankingShowsRepeats; }
    void setRankingShowsRepeats(bool v) { m_rankingShowsRepeats = v; }
    // Whether the main menu offers the practice and settings buttons.
    bool menuShowsPractice() const { return m_menuShowsPractice; }
    void setMenuShowsPractice(bool v) { m_menuShowsPractice = v; }
    bool menuShowsSettings() const { return m_menuShowsSettings; }
    void setMenuShowsSettings(bool v) { m_menuShowsSettings = v; }
    qint16 backgroundMode() const;
    void setBackgroundMode(qint16 v);
    bool isLoaded() const { return m_loaded; }
    QString passLogFormat() const { return m_passLogFormat; }
    void setPassLogFormat(const QString& v) { m_passLogFormat = v; }
    QString paperSize() const { return m_paperSize; }
    void setPaperSize(const QString& v) { m_paperSize = v; }
    QString passLogName() const { return m_passLogName; }
    void setPassLogName(const QString& v) { m_passLogName = v; }
    QString passLogFolder() const { return m_passLogFolder; }
    void setPassLogFolder(const QString& v) { m_passLogFolder = v; }
    bool isPassLogEnabled() const { return m_passLogEnabled; }
    void setPassLogEnabled(bool v) { m_passLogEnabled = v; }
    QString logName() const { return m_logName; }
    void setLogName(const QString& v) { m_logName = v; }
    QString logFolder() const { return m_logFolder; }
    void setLogFolder(const QString& v) { m_logFolder = v; }
    qint16 passSpeed() const { return m_passSpeed; }
    void setPassSpeed(qint16 v) { m_passSpeed = v; }
    QString problemOrder() const { return m_problemOrder; }
    void setProblemOrder(const QString& v);
    bool canChangeDuration() const { return m_canChangeDuration; }
    void setCanChangeDuration(bool v) { m_canChangeDuration = v; }
    qint16 durationMinutes() const { return m_durationMinutes; }
    void setDurationMinutes(qint16 v) { m_durationMinutes = v; }
    QString certificationFolder() const { return m_certificationFolder; }
    void setCertificationFolder(const QString& v) { m_certificationFolder = v; }
    QString practiceFolder() const { return m_practiceFolder; }
    void setPracticeFolder(const QString& v) { m_practiceFolder = v; }
    QString problemBackColor() const { return m_problemBackColor; }
    void setProblemBackColor(const QString& v) { m_problemBackColor = v; }
    QString backColor() const { return m_backColor; }
    void setBackColor(const QString& v) { m_backColor = v; }
    QString problemColor() const { return m_problemColor; }
    void setProblemColor(const QString& v) { m_problemColor = v; }
    // Point sizes of the problem rows, the gap between rows and the result label.
    float baseFontSize() const { return m_baseFontSize; }
    void setBaseFontSize(float v) { m_baseFontSize = v; }
    float rowGapFontSize() const { return m_rowGapFontSize; }
    void setRowGapFontSize(float v) { m_rowGapFontSize = v; }
    float resultFontSize() const { return m_resultFontSize; }
    void setResultFontSize(float v) { m_resultFontSize = v; }

    // The texts a user can make longer than the settings file reads back.
    enum class Text {
        CertificationFolder,
        PracticeFolder,
        LogFolder,
        LogName,
        PassLogFolder,
        PassLogName
    };
    // Whether save() keeps the text whole: the file reads it back in full, or it is what load()
    // made of a longer value the file holds, which save() leaves as the file has it.
    bool storesWhole(Text text, const QString& value) const;

    // Reads the settings file. A number too large for its setting stops the reading there:
    // isLoaded() stays false and save() then refuses to write.
    void load();
    // Writes every setting back; false when nothing was loaded or a key could not be written.
    bool save();
    // Writes only the pass-log format, as its own dialog confirms it.
    void savePassLogFormat();

    // Full path of the settings file (known after load).
    QString iniPath() const { return m_iniPath; }

    // The failures of the settings dialog's folder checks so far; they count across every
    // opening of the dialog for the whole run, so they stay with the settings. Never saved.
    SettingsRules::FolderCheck& folderCheck() { return m_folderCheck; }
    const SettingsRules::FolderCheck& folderCheck() const { return m_folderCheck; }
    // The printer chosen in the printer dialog; it holds for this run only and is never saved.
    // Empty: the system's default printer.
    QString printerName() const { return m_printerName; }
    void setPrinterName(const QString& v) { m_printerName = v; }

private:
    struct StoredValue {
        QString section;
        QString key;
        QString value;
    };
    // A value the file holds longer than a read takes: what load() made of the cut value, and
    // the whole value.
    struct CutValue {
        QString loaded;
        QString whole;
    };

    void readFile();
    // What save() writes, key by key, in its order.
    QList<StoredValue> storedValues() const;
    QString iniString(const QString& section, const QString& key) const;
    bool failedToWriteIni(const QString& section, const QString& key, const QString& value);

    bool m_rankingShowsRepeats = false;
    bool m_menuShowsPractice = true;
    bool m_menuShowsSettings = true;
    QString m_backgroundMode = QStringLiteral("0");
    bool m_loaded = false;
    QString m_passLogFormat = QStringLiteral("0123456789ABCDEF");
    QString m_paperSize = QStringLiteral("9");
    QString m_passLogName = QStringLiteral("pksub.log");
    QString m_passLogFolder;
    bool m_passLogEnabled = false;
    QString m_logName = QStringLiteral("pelko.log");
    QString m_logFolder;
    qint16 m_passSpeed = 25;
    QString m_problemOrder = QStringLiteral("RANDOM");
    bool m_canChangeDuration = false;
    qint16 m_durationMinutes = 3;
    QString m_certificationFolder;
    QString m_practiceFolder;
    QString m_problemBackColor = DefaultProblemBackColor;
    QString m_backColor = DefaultBackColor;
    QString m_problemColor = DefaultProblemColor;
    float m_baseFontSize = 13;
    float m_rowGapFontSize = 3;
    float m_resultFontSize = 11;
    QString m_iniPath;
    SettingsRules::FolderCheck m_folderCheck;
    // By "section/key" in lower case.
    QHash<QString, CutValue> m_cutValues;
    QString m_printerName;
    // The file held open while load or save reads or writes many keys at once.
    IniFile* m_openFile = nullptr;
};
