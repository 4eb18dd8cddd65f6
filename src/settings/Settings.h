#pragma once

#include "SettingValues.h"
#include "SettingsRules.h"
#include "platform/PostgresConnection.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

class IniFile;
class SiteSettings;

// Every user-adjustable setting, and the only code that reads or writes "pelko.ini".
class Settings
{
public:
    // Where both logs go unless the settings name another folder: "pelko" in the user's
    // application-data folder, with a final "/".
    static QString defaultLogFolder();
    // The problem folders unless the settings name others, with a final "/".
    static QString defaultCertificationFolder();
    static QString defaultPracticeFolder();

    // Test window size as a percentage of the screen.
    int windowPercent() const { return m_windowPercent; }
    void setWindowPercent(int v) { m_windowPercent = v; }
    bool rankingShowsRepeats() const { return m_rankingShowsRepeats; }
    void setRankingShowsRepeats(bool v) { m_rankingShowsRepeats = v; }
    // Whether the main menu offers the practice and settings buttons.
    bool menuShowsPractice() const { return m_menuShowsPractice; }
    void setMenuShowsPractice(bool v) { m_menuShowsPractice = v; }
    bool menuShowsSettings() const { return m_menuShowsSettings; }
    void setMenuShowsSettings(bool v) { m_menuShowsSettings = v; }
    BackgroundMode backgroundMode() const { return m_backgroundMode; }
    void setBackgroundMode(BackgroundMode v) { m_backgroundMode = v; }
    bool isLoaded() const { return m_loaded; }
    QString passLogFormat() const { return m_passLogFormat; }
    void setPassLogFormat(const QString& v) { m_passLogFormat = v; }
    PaperSize paperSize() const { return m_paperSize; }
    void setPaperSize(PaperSize v) { m_paperSize = v; }
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
    int passSpeed() const { return m_passSpeed; }
    void setPassSpeed(int v) { m_passSpeed = v; }
    ProblemOrder problemOrder() const { return m_problemOrder; }
    void setProblemOrder(ProblemOrder v) { m_problemOrder = v; }
    bool canChangeDuration() const { return m_canChangeDuration; }
    void setCanChangeDuration(bool v) { m_canChangeDuration = v; }
    int durationMinutes() const { return m_durationMinutes; }
    void setDurationMinutes(int v) { m_durationMinutes = v; }
    QString certificationFolder() const { return m_certificationFolder; }
    void setCertificationFolder(const QString& v) { m_certificationFolder = v; }
    QString practiceFolder() const { return m_practiceFolder; }
    void setPracticeFolder(const QString& v) { m_practiceFolder = v; }
    // The colours; an invalid QColor is no colour (the file holds none, or text that names none).
    QColor problemBackColor() const { return m_problemBackColor; }
    void setProblemBackColor(const QColor& v) { m_problemBackColor = v; }
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor& v) { m_backColor = v; }
    QColor problemColor() const { return m_problemColor; }
    void setProblemColor(const QColor& v) { m_problemColor = v; }
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
    // The same beneath a given administrator's file (empty: none) instead of the system's.
    void load(const QString& siteFile);
    // Writes every setting back; false when nothing was loaded or a key could not be written.
    bool save();
    // Writes only the pass-log format, as its own dialog confirms it.
    void savePassLogFormat();
    // The pass log never shares its file with the main log: a pass-log name that would
    // reach the main log gets a "2" appended. Load applies it; so does the dialog.
    void keepPassLogApart();

    // Full path of the settings file (known after load).
    QString iniPath() const { return m_iniPath; }
    // Whether the administrator fixed the key: the user cannot change it.
    bool isFixed(const QString& section, const QString& key) const;
    // Whether the user's settings folder could not be made or written: the administrator's
    // settings are in use, and the user's own changes cannot be kept.
    bool userFolderUnwritable() const { return m_userFolderUnwritable; }

    // The failures of the settings dialog's folder checks so far; they count across every
    // opening of the dialog for the whole run, so they stay with the settings. Never saved.
    SettingsRules::FolderCheck& folderCheck() { return m_folderCheck; }
    const SettingsRules::FolderCheck& folderCheck() const { return m_folderCheck; }
    // The private key that signs certificates: [Certificate] KeyFile, else pelko-site.key
    // beside the administrator's pelko.ini; empty when certificates go unsigned. Where the
    // administrator's file names a key (or one lies beside it), the user's KeyFile is not
    // read: no student turns signing off. Only an administrator sets these, so save() never
    // writes them.
    QString certificateKeyFile() const { return m_certificateKeyFile; }
    // The folders the class writes its logs to: the key must not be readable by their group.
    QStringList classFolders() const { return {m_logFolder, m_passLogFolder}; }
    // The school's checking page: the code is printed as this address + "#" + the code.
    QString verifyAddress() const { return m_verifyAddress; }
    void setCertificateKeyFile(const QString& v) { m_certificateKeyFile = v; }
    void setVerifyAddress(const QString& v) { m_verifyAddress = v; }

    // The results database ([Database]: Service, or Host, Port, Name, User) as libpq's
    // keywords; empty when none is configured. Site names the school or class in its rows.
    // Passwords stay in libpq's own files. Never saved, like [Certificate].
    PostgresConnection::Parameters databaseServer() const { return m_databaseServer; }
    QString databaseSite() const { return m_databaseSite; }
    void setDatabaseServer(const PostgresConnection::Parameters& v) { m_databaseServer = v; }
    void setDatabaseSite(const QString& v) { m_databaseSite = v; }

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

    void readFile(const QString& siteFile);
    // What save() writes, key by key, in its order.
    QList<StoredValue> storedValues() const;
    QString iniString(const QString& section, const QString& key) const;
    bool failedToWriteIni(const QString& section, const QString& key, const QString& value);
    // A colour as the file had it while it still names the same colour, else its literal.
    QString colorText(const QString& key, const QColor& color, const QColor& fallback) const;

    bool m_rankingShowsRepeats = false;
    bool m_menuShowsPractice = true;
    bool m_menuShowsSettings = true;
    BackgroundMode m_backgroundMode = SettingDefaults::Background;
    bool m_loaded = false;
    QString m_passLogFormat = SettingDefaults::PassLogFormat;
    PaperSize m_paperSize = SettingDefaults::Paper;
    QString m_passLogName = SettingDefaults::PassLogName;
    QString m_passLogFolder;
    bool m_passLogEnabled = false;
    QString m_logName = SettingDefaults::LogName;
    QString m_logFolder;
    int m_passSpeed = SettingDefaults::PassSpeed;
    ProblemOrder m_problemOrder = SettingDefaults::Order;
    bool m_canChangeDuration = false;
    int m_durationMinutes = SettingDefaults::DurationMinutes;
    QString m_certificationFolder;
    QString m_practiceFolder;
    QColor m_problemBackColor = SettingDefaults::ProblemBackColor;
    QColor m_backColor = SettingDefaults::BackColor;
    QColor m_problemColor = SettingDefaults::ProblemColor;
    float m_baseFontSize = SettingDefaults::BaseFontSize;
    float m_rowGapFontSize = SettingDefaults::RowGapFontSize;
    float m_resultFontSize = SettingDefaults::ResultFontSize;
    int m_windowPercent = SettingDefaults::WindowPercent;
    // The colour keys' texts as the file holds them, by key, where not blank.
    QHash<QString, QString> m_colorTexts;
    QString m_iniPath;
    SettingsRules::FolderCheck m_folderCheck;
    // By "section/key" in lower case.
    QHash<QString, CutValue> m_cutValues;
    QString m_printerName;
    QString m_certificateKeyFile;
    QString m_verifyAddress;
    PostgresConnection::Parameters m_databaseServer;
    QString m_databaseSite;
    // The file held open while load or save reads or writes many keys at once.
    IniFile* m_openFile = nullptr;
    // The administrator's file, beneath the user's.
    std::shared_ptr<const SiteSettings> m_site;
    QString m_sitePath;
    bool m_userFolderUnwritable = false;
};
