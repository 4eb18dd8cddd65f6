#include "Settings.h"

#include "IniFile.h"
#include "common/NumericText.h"
#include "platform/AppPaths.h"
#include "platform/FileSystem.h"

#include <cfloat>
#include <cmath>
#include <optional>

namespace
{

const QString kDefaultPassLogFormat = QStringLiteral("0123456789ABCDEF");

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

// A number as its shortest decimal text, up to fifteen significant digits.
QString decimalText(double v)
{
    if (v == 0)
        return QStringLiteral("0");
    if (std::fabs(v) < 1e15 && v == std::trunc(v))
        return QString::number(qint64(v));
    return QString::number(v, 'g', 15).toUpper();
}

QString flagText(bool v)
{
    return v ? QStringLiteral("1") : QStringLiteral("0");
}

bool isHexDigitsUpper(const QString& s)
{
    for (const QChar c : s) {
        if (!kDefaultPassLogFormat.contains(c))
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

qint16 Settings::backgroundMode() const
{
    return NumericText::toInt16(NumericText::leadingValue(m_backgroundMode)).value_or(0);
}

void Settings::setBackgroundMode(qint16 v)
{
    m_backgroundMode = QString::number(v);
}

void Settings::setProblemOrder(const QString& v)
{
    const QString upper = v.toUpper();
    if (v == u"1" || upper == u"SEQUENCE")
        m_problemOrder = QStringLiteral("SEQUENCE");
    else if (v == u"2" || upper == u"SELECT")
        m_problemOrder = QStringLiteral("SELECT");
    else
        m_problemOrder = QStringLiteral("RANDOM");
}

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
    const auto cut = m_cutValues.constFind(cutKey(section, key));
    if (cut != m_cutValues.cend() && cut->loaded == value) {
        // Writing the cut value back would lose the rest of it for good.
        if (file.wholeValue(section, key) == cut->whole)
            return false;
        return !file.setValue(section, key, cut->whole);
    }
    return !file.setValue(section, key, value);
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

void Settings::load()
{
    m_cutValues.clear();
    readFile();
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

void Settings::readFile()
{
    using NumericText::leadingValue;
    using NumericText::toInt16;

    m_loaded = false;
    const QString settingsFolder = AppPaths::settingsFolder();
    const QString appFolder = AppPaths::dataFolder();
    m_iniPath = FileSystem::resolveCase(FileSystem::withTrailingSlash(settingsFolder) +
                                        QStringLiteral("pelko.ini"));

    m_durationMinutes = 3;
    m_canChangeDuration = true;
    m_passSpeed = 25;
    m_certificationFolder = appFolder + QStringLiteral("/DATA/");
    m_logFolder = FileSystem::withTrailingSlash(settingsFolder);
    m_logName = QStringLiteral("pelko.log");
    m_passLogEnabled = false;
    m_passLogName = QStringLiteral("pksub.log");
    m_paperSize = QStringLiteral("9");
    m_passLogFormat = kDefaultPassLogFormat;

    // One read of the file for all keys.
    IniFile file(m_iniPath);
    file.load();
    const KeepOpen open(m_openFile, file);

    auto get = [this, &file](const char16_t* section, const char16_t* key) {
        const QString sectionName = QString::fromUtf16(section);
        const QString keyName = QString::fromUtf16(key);
        const QString text = iniString(sectionName, keyName);
        const QString whole = file.wholeValue(sectionName, keyName);
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
        m_durationMinutes = *minutes;
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
        FileSystem::withTrailingSlash(text.isEmpty() ? appFolder + QStringLiteral("/DATA") : text);

    text = trimSpaces(get(u"default", u"testdata"));
    m_practiceFolder = FileSystem::withTrailingSlash(
        text.isEmpty() ? appFolder + QStringLiteral("/PLACTICE") : text);

    text = get(u"default", u"paper");
    m_paperSize =
        trimSpaces(text).isEmpty() ? QStringLiteral("9") : decimalText(leadingValue(text));

    text = trimSpaces(get(u"default", u"SortMode"));
    if (text.isEmpty())
        m_problemOrder = QStringLiteral("RANDOM");
    else
        setProblemOrder(text.toUpper());

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

    // The pass log never shares its file with the main log.
    if (trimSpaces(m_passLogFolder) == trimSpaces(m_logFolder) &&
        trimSpaces(m_passLogName) == trimSpaces(m_logName))
        m_passLogName += u'2';

    m_passLogEnabled = leadingValue(get(u"Sublog", u"Flag")) != 0;

    text = trimSpaces(get(u"Sublog", u"Style"));
    if (!text.isEmpty() && isHexDigitsUpper(text))
        m_passLogFormat = text;

    text = get(u"BackGround", u"BackColor");
    m_backColor = trimSpaces(text).isEmpty() ? DefaultBackColor : text;
    text = get(u"BackGround", u"ProblemBackColor");
    m_problemBackColor = trimSpaces(text).isEmpty() ? DefaultProblemBackColor : text;
    text = get(u"BackGround", u"ProblemColor");
    m_problemColor = trimSpaces(text).isEmpty() ? DefaultProblemColor : text;

    const auto mode = toInt16(leadingValue(get(u"BackGround", u"Mode")));
    if (!mode)
        return;
    setBackgroundMode(*mode);

    m_menuShowsPractice = trimSpaces(get(u"Display", u"plactice")).toUpper() != u"OFF";
    m_menuShowsSettings = trimSpaces(get(u"Display", u"kankyo")).toUpper() != u"OFF";
    m_rankingShowsRepeats = trimSpaces(get(u"Ranking", u"mode")) == u"1";

    const auto base = fontValue(get(u"Font", u"Base"), 13);
    const auto rowGap = fontValue(get(u"Font", u"Return"), 3);
    const auto result = fontValue(get(u"Font", u"Result"), 11);
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
        windowPercent = *percent;
    } else {
        windowPercent = 80;
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
    return saved && !failed;
}

QList<Settings::StoredValue> Settings::storedValues() const
{
    QList<StoredValue> values;
    auto put = [&values](const char16_t* section, const char16_t* key, const QString& value) {
        values.append({QString::fromUtf16(section), QString::fromUtf16(key), value});
    };
    put(u"default", u"time", QString::number(m_durationMinutes));
    put(u"default", u"chtm", flagText(m_canChangeDuration));
    put(u"default", u"gspd", QString::number(m_passSpeed));
    put(u"default", u"data", m_certificationFolder);
    put(u"default", u"testdata", m_practiceFolder);
    put(u"BackGround", u"BackColor", m_backColor);
    put(u"BackGround", u"Mode", m_backgroundMode);
    put(u"BackGround", u"ProblemBackColor", m_problemBackColor);
    put(u"BackGround", u"ProblemColor", m_problemColor);
    put(u"default", u"paper", m_paperSize);
    put(u"default", u"SortMode", m_problemOrder);
    put(u"MainLog", u"Path", m_logFolder);
    put(u"MainLog", u"Name", m_logName);
    put(u"Sublog", u"Path", m_passLogFolder);
    put(u"Sublog", u"Name", m_passLogName);
    put(u"Sublog", u"Flag", flagText(m_passLogEnabled));
    put(u"Ranking", u"mode", flagText(m_rankingShowsRepeats));
    put(u"Font", u"Base", NumericText::singleText(m_baseFontSize));
    put(u"Font", u"Return", NumericText::singleText(m_rowGapFontSize));
    put(u"Font", u"Result", NumericText::singleText(m_resultFontSize));
    put(u"Window", u"Width", QString::number(windowPercent));
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
