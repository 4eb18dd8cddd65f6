#include "Settings.h"

#include "IniFile.h"
#include "SettingsText.h"
#include "SiteSettings.h"
#include "common/NumericText.h"
#include "platform/AppPaths.h"
#include "platform/FileSystem.h"

#include <QFileInfo>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <optional>
#include <tuple>

namespace
{

// Only spaces, as the settings rules trim.
QString trimSpaces(const QString& s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == u' ')
        ++begin;
    while (end > begin && s.at(end - 1) == u' ')
        --end;
    return s.mid(begin, end - begin);
}

QString withLogExtension(const QString& name)
{
    return name.contains(u'.') ? name : name + QStringLiteral(".log");
}

bool isHexDigitsUpper(const QString& s)
{
    for (const QChar c : s) {
        if (!SettingDefaults::PassLogFormat.contains(c))
            return false;
    }
    return true;
}

// A font size from the file: numeric text gives that size, anything else the default.
// Empty when the number does not fit a single-precision value.
std::optional<float> fontValue(const QString& text, float fallback)
{
    const QString trimmed = trimSpaces(text);
    if (!NumericText::isNumber(trimmed))
        return fallback;
    const double size = NumericText::leadingValue(trimmed);
    if (!std::isfinite(size) || std::fabs(size) > double(FLT_MAX))
        return std::nullopt;
    return float(size);
}

QString cutKey(const QString& section, const QString& key)
{
    return (section + u'/' + key).toLower();
}

// Where each text a user enters is stored, as "section/key".
QString keyOf(Settings::Text text)
{
    switch (text) {
    case Settings::Text::CertificationFolder:
        return QStringLiteral("default/data");
    case Settings::Text::PracticeFolder:
        return QStringLiteral("default/testdata");
    case Settings::Text::LogFolder:
        return QStringLiteral("mainlog/path");
    case Settings::Text::LogName:
        return QStringLiteral("mainlog/name");
    case Settings::Text::PassLogFolder:
        return QStringLiteral("sublog/path");
    case Settings::Text::PassLogName:
        return QStringLiteral("sublog/name");
    }
    return {};
}

// Holds the file open while one load or save reads or writes many keys.
struct KeepOpen {
    KeepOpen(IniFile*& slot, IniFile& file) : openFile(slot) { openFile = &file; }
    ~KeepOpen() { openFile = nullptr; }
    IniFile*& openFile;
};

} // namespace

QString Settings::iniString(const QString& section, const QString& key) const
{
    if (m_openFile)
        return m_openFile->value(trimSpaces(section), trimSpaces(key));
    return IniFile::readString(m_iniPath, trimSpaces(section), trimSpaces(key));
}

// The reverse of the file's own calls, which return true on success.
bool Settings::failedToWriteIni(const QString& section, const QString& key, const QString& value)
{
    IniFile& file = *m_openFile;
    if (m_site) {
        // A fixed value is never the user's; one the site already gives stays the site's, so
        // that a later change there reaches this user too.
        const SiteSettings::Value site = m_site->value(section, key);
        if (site.fixed || (site.found && !file.contains(section, key) && site.text == value))
            return false;
    }
    const auto cut = m_cutValues.constFind(cutKey(section, key));
    if (cut != m_cutValues.cend() && cut->loaded == value) {
        // Writing the cut value back would lose the rest of it for good.
        if (file.wholeValue(section, key) == cut->whole)
            return false;
        return !file.setValue(section, key, cut->whole);
    }
    return !file.setValue(section, key, value);
}

QString Settings::colorText(const QString& key, const QColor& color, const QColor& fallback) const
{
    const QString fileText = m_colorTexts.value(key);
    if (!fileText.isEmpty() && SettingsText::toColor(fileText, fallback) == color)
        return fileText;
    return SettingsText::fromColor(color);
}

bool Settings::isFixed(const QString& section, const QString& key) const
{
    return m_site && m_site->value(section, key).fixed;
}

bool Settings::storesWhole(Text text, const QString& value) const
{
    if (IniFile::readsBackWhole(value))
        return true;
    const auto cut = m_cutValues.constFind(keyOf(text));
    return cut != m_cutValues.cend() && cut->loaded == value;
}

QString Settings::defaultLogFolder()
{
    return FileSystem::withTrailingSlash(
        FileSystem::joinPath(AppPaths::appDataFolder(), QStringLiteral("pelko")));
}

QString Settings::defaultCertificationFolder()
{
    return AppPaths::dataFolder() + u'/' + SettingDefaults::CertificationSubfolder + u'/';
}

QString Settings::defaultPracticeFolder()
{
    return AppPaths::dataFolder() + u'/' + SettingDefaults::PracticeSubfolder + u'/';
}

void Settings::load()
{
    load(AppPaths::siteSettingsFile());
}

void Settings::load(const QString& siteFile)
{
    m_cutValues.clear();
    readFile(siteFile);
    // What load made of each cut value tells save whether the user changed it.
    QList<StoredValue> values = storedValues();
    values.append({QStringLiteral("Sublog"), QStringLiteral("Style"), m_passLogFormat});
    QHash<QString, CutValue> cutValues;
    for (const StoredValue& stored : values) {
        const QString key = cutKey(stored.section, stored.key);
        if (m_cutValues.contains(key))
            cutValues.insert(key, {stored.value, m_cutValues.value(key).whole});
    }
    m_cutValues = cutValues;
}

void Settings::keepPassLogApart()
{
    // Compared as the logs are looked up, ignoring letter case: PELKO.LOG is pelko.log.
    auto same = [](const QString& a, const QString& b) {
        return trimSpaces(a).compare(trimSpaces(b), Qt::CaseInsensitive) == 0;
    };
    using FileSystem::withTrailingSlash;
    if (same(withTrailingSlash(trimSpaces(m_passLogFolder)),
             withTrailingSlash(trimSpaces(m_logFolder))) &&
        same(m_passLogName, m_logName))
        m_passLogName += u'2';
}

void Settings::readFile(const QString& siteFile)
{
    using NumericText::leadingValue;
    using NumericText::toInt16;

    m_loaded = false;
    const QString settingsFolder = AppPaths::settingsFolder();
    m_iniPath = FileSystem::resolveCase(FileSystem::withTrailingSlash(settingsFolder) +
                                        QStringLiteral("pelko.ini"));
    m_sitePath = siteFile;
    m_site = std::make_shared<const SiteSettings>(siteFile);
    m_userFolderUnwritable = AppPaths::isInstalled() && !AppPaths::prepareSettingsFolder();

    m_durationMinutes = SettingDefaults::DurationMinutes;
    m_canChangeDuration = true;
    m_passSpeed = SettingDefaults::PassSpeed;
    m_certificationFolder = defaultCertificationFolder();
    m_logFolder = FileSystem::withTrailingSlash(settingsFolder);
    m_logName = SettingDefaults::LogName;
    m_passLogEnabled = false;
    m_passLogName = SettingDefaults::PassLogName;
    m_passLogFormat = SettingDefaults::PassLogFormat;
    m_colorTexts.clear();
    m_certificateKeyFile.clear();
    m_verifyAddress.clear();
    m_databaseServer.clear();
    m_databaseSite.clear();

    // One read of the file for all keys.
    IniFile file(m_iniPath);
    file.load();
    const KeepOpen open(m_openFile, file);

    auto get = [this, &file](const char16_t* section, const char16_t* key) {
        const QString sectionName = QString::fromUtf16(section);
        const QString keyName = QString::fromUtf16(key);
        const SiteSettings::Value site = m_site->value(sectionName, keyName);
        const bool fromSite = site.fixed || (site.found && !file.contains(sectionName, keyName));
        const QString text = fromSite ? site.text : iniString(sectionName, keyName);
        const QString whole = fromSite ? site.whole : file.wholeValue(sectionName, keyName);
        if (whole != text)
            m_cutValues.insert(cutKey(sectionName, keyName), {QString(), whole});
        return text;
    };
    const QString fallbackLogFolder = defaultLogFolder();

    QString text = get(u"default", u"time");
    if (!trimSpaces(text).isEmpty()) {
        const auto minutes = toInt16(leadingValue(text));
        if (!minutes)
            return;
        // Held to what the menus can show, so that the clock, the duration menu and the
        // scoring all time a run by the same length.
        m_durationMinutes = std::clamp(int(*minutes), SettingDefaults::ShortestDuration,
                                       SettingDefaults::LongestDuration);
    }

    m_canChangeDuration = leadingValue(get(u"default", u"chtm")) != 0;

    text = get(u"default", u"gspd");
    if (!trimSpaces(text).isEmpty()) {
        const auto speed = toInt16(leadingValue(text));
        if (!speed)
            return;
        m_passSpeed = *speed;
    }

    text = trimSpaces(get(u"default", u"data"));
    m_certificationFolder =
        text.isEmpty() ? defaultCertificationFolder() : FileSystem::withTrailingSlash(text);

    text = trimSpaces(get(u"default", u"testdata"));
    m_practiceFolder =
        text.isEmpty() ? defaultPracticeFolder() : FileSystem::withTrailingSlash(text);

    m_paperSize = SettingsText::toPaperSize(get(u"default", u"paper"));
    m_problemOrder = SettingsText::toProblemOrder(trimSpaces(get(u"default", u"SortMode")));

    text = trimSpaces(get(u"MainLog", u"Path"));
    m_logFolder = FileSystem::withTrailingSlash(text.isEmpty() ? fallbackLogFolder : text);

    text = trimSpaces(get(u"MainLog", u"Name"));
    if (!text.isEmpty())
        m_logName = withLogExtension(text);

    text = trimSpaces(get(u"Sublog", u"Path"));
    m_passLogFolder = FileSystem::withTrailingSlash(text.isEmpty() ? fallbackLogFolder : text);

    text = trimSpaces(get(u"Sublog", u"Name"));
    if (!text.isEmpty())
        m_passLogName = withLogExtension(text);

    keepPassLogApart();

    m_passLogEnabled = leadingValue(get(u"Sublog", u"Flag")) != 0;

    text = trimSpaces(get(u"Sublog", u"Style"));
    if (!text.isEmpty() && isHexDigitsUpper(text))
        m_passLogFormat = text;

    const std::tuple<const char16_t*, QColor*, const QColor*> colors[] = {
        {u"BackColor", &m_backColor, &SettingDefaults::BackColor},
        {u"ProblemBackColor", &m_problemBackColor, &SettingDefaults::ProblemBackColor},
        {u"ProblemColor", &m_problemColor, &SettingDefaults::ProblemColor}};
    for (const auto& [key, color, fallback] : colors) {
        text = get(u"BackGround", key);
        *color = SettingsText::toColor(text, *fallback);
        if (!trimSpaces(text).isEmpty())
            m_colorTexts.insert(QString::fromUtf16(key), text);
    }

    const auto mode = SettingsText::toBackgroundMode(get(u"BackGround", u"Mode"));
    if (!mode)
        return;
    m_backgroundMode = *mode;

    // A relative name is taken from the folder of the file that gives it.
    QString keyFolder = m_sitePath.isEmpty() ? QString() : QFileInfo(m_sitePath).absolutePath();
    text = trimSpaces(m_site->value(u"Certificate", u"KeyFile").text);
    if (text.isEmpty() && !keyFolder.isEmpty() &&
        QFileInfo::exists(keyFolder + QStringLiteral("/pelko-site.key")))
        text = QStringLiteral("pelko-site.key");
    if (text.isEmpty()) {
        text = trimSpaces(get(u"Certificate", u"KeyFile"));
        keyFolder = QFileInfo(m_iniPath).absolutePath();
    }
    if (!text.isEmpty() && QFileInfo(text).isRelative())
        text = keyFolder + u'/' + text;
    m_certificateKeyFile = text;
    m_verifyAddress = trimSpaces(get(u"Certificate", u"Address"));
    const std::pair<const char16_t*, const char*> databaseKeys[] = {
        {u"Service", "service"}, {u"Host", "host"}, {u"Port", "port"}, {u"Name", "dbname"},
        {u"User", "user"}};
    for (const auto& [key, keyword] : databaseKeys) {
        text = trimSpaces(get(u"Database", key));
        if (!text.isEmpty())
            m_databaseServer.append({QString::fromLatin1(keyword), text});
    }
    m_databaseSite = trimSpaces(get(u"Database", u"Site"));

    m_menuShowsPractice = trimSpaces(get(u"Display", u"plactice")).toUpper() != u"OFF";
    m_menuShowsSettings = trimSpaces(get(u"Display", u"kankyo")).toUpper() != u"OFF";
    m_rankingShowsRepeats = trimSpaces(get(u"Ranking", u"mode")) == u"1";

    const auto base = fontValue(get(u"Font", u"Base"), SettingDefaults::BaseFontSize);
    const auto rowGap = fontValue(get(u"Font", u"Return"), SettingDefaults::RowGapFontSize);
    const auto result = fontValue(get(u"Font", u"Result"), SettingDefaults::ResultFontSize);
    if (!base || !rowGap || !result)
        return;
    m_baseFontSize = *base;
    m_rowGapFontSize = *rowGap;
    m_resultFontSize = *result;

    text = trimSpaces(get(u"Window", u"Width"));
    if (NumericText::isNumber(text)) {
        const auto percent = toInt16(leadingValue(text));
        if (!percent)
            return;
        m_windowPercent = *percent;
    } else {
        m_windowPercent = SettingDefaults::WindowPercent;
    }

    m_loaded = true;
}

bool Settings::save()
{
    // Settings that never loaded must not overwrite the file with initial values.
    if (!m_loaded)
        return false;

    IniFile file(m_iniPath);
    if (!file.load())
        return false; // the file exists but cannot be read: keep it as it is
    const KeepOpen open(m_openFile, file);

    bool failed = false;
    for (const StoredValue& stored : storedValues())
        failed |= failedToWriteIni(stored.section, stored.key, stored.value);

    // Keys that could be stored are written even when another one could not.
    const bool saved = file.save();
    // What the dialog changed of a fixed value holds neither in the file nor for this run.
    if (m_site && m_site->hasFixedValues())
        load(m_sitePath);
    return saved && !failed;
}

QList<Settings::StoredValue> Settings::storedValues() const
{
    QList<StoredValue> values;
    auto put = [&values](const char16_t* section, const char16_t* key, const QString& value) {
        values.append({QString::fromUtf16(section), QString::fromUtf16(key), value});
    };
    put(u"default", u"time", QString::number(m_durationMinutes));
    put(u"default", u"chtm", SettingsText::fromFlag(m_canChangeDuration));
    put(u"default", u"gspd", QString::number(m_passSpeed));
    put(u"default", u"data", m_certificationFolder);
    put(u"default", u"testdata", m_practiceFolder);
    auto putColor = [&](const char16_t* key, const QColor& color, const QColor& fallback) {
        put(u"BackGround", key, colorText(QString::fromUtf16(key), color, fallback));
    };
    putColor(u"BackColor", m_backColor, SettingDefaults::BackColor);
    put(u"BackGround", u"Mode", SettingsText::fromBackgroundMode(m_backgroundMode));
    putColor(u"ProblemBackColor", m_problemBackColor, SettingDefaults::ProblemBackColor);
    putColor(u"ProblemColor", m_problemColor, SettingDefaults::ProblemColor);
    put(u"default", u"paper", SettingsText::fromPaperSize(m_paperSize));
    put(u"default", u"SortMode", SettingsText::fromProblemOrder(m_problemOrder));
    put(u"MainLog", u"Path", m_logFolder);
    put(u"MainLog", u"Name", m_logName);
    put(u"Sublog", u"Path", m_passLogFolder);
    put(u"Sublog", u"Name", m_passLogName);
    put(u"Sublog", u"Flag", SettingsText::fromFlag(m_passLogEnabled));
    put(u"Ranking", u"mode", SettingsText::fromFlag(m_rankingShowsRepeats));
    put(u"Font", u"Base", NumericText::singleText(m_baseFontSize));
    put(u"Font", u"Return", NumericText::singleText(m_rowGapFontSize));
    put(u"Font", u"Result", NumericText::singleText(m_resultFontSize));
    put(u"Window", u"Width", QString::number(m_windowPercent));
    return values;
}

void Settings::savePassLogFormat()
{
    IniFile file(m_iniPath);
    if (!file.load())
        return;
    const KeepOpen open(m_openFile, file);
    if (!failedToWriteIni(QStringLiteral("Sublog"), QStringLiteral("Style"), m_passLogFormat))
        file.save();
}
