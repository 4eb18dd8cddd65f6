#include "clsKankyo.h"

#include "IniFile.h"
#include "app/modPelko.h"
#include "common/NumericText.h"
#include "platform/AppPaths.h"
#include "platform/FileSystem.h"

#include <cfloat>
#include <cmath>
#include <optional>

namespace
{

const QString kDefaultLogStyle = QStringLiteral("0123456789ABCDEF");

// Only spaces, as the settings rules trim.
QString trimSpaces(const QString& s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b) == u' ')
        ++b;
    while (e > b && s.at(e - 1) == u' ')
        --e;
    return s.mid(b, e - b);
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
        if (!kDefaultLogStyle.contains(c))
            return false;
    }
    return true;
}

// A font size from the file: numeric text gives that size, anything else the default.
// Empty when the number does not fit a single-precision value.
std::optional<float> fontValue(const QString& text, float fallback)
{
    const QString t = trimSpaces(text);
    if (!NumericText::IsNumeric(t))
        return fallback;
    const double v = NumericText::Val(t);
    if (!std::isfinite(v) || std::fabs(v) > double(FLT_MAX))
        return std::nullopt;
    return float(v);
}

} // namespace

qint16 clsKankyo::BackMode() const
{
    return NumericText::toInt16(NumericText::Val(m_BackMode)).value_or(0);
}

void clsKankyo::setBackMode(qint16 v)
{
    m_BackMode = QString::number(v);
}

void clsKankyo::setSortMode(const QString& v)
{
    const QString upper = v.toUpper();
    if (v == u"1" || upper == u"SEQUENCE")
        m_SortMode = QStringLiteral("SEQUENCE");
    else if (v == u"2" || upper == u"SELECT")
        m_SortMode = QStringLiteral("SELECT");
    else
        m_SortMode = QStringLiteral("RANDOM");
}

QString clsKankyo::GetIniString(const QString& section, const QString& key) const
{
    if (m_open)
        return m_open->value(trimSpaces(section), trimSpaces(key));
    return IniFile::readString(m_IniPath, trimSpaces(section), trimSpaces(key));
}

// True on failure, as the profile call's zero result is reported.
bool clsKankyo::WriteIniString(const QString& section, const QString& key, const QString& value)
{
    if (m_open)
        return !m_open->setValue(section, key, value);
    return !IniFile::writeString(m_IniPath, section, key, value);
}

QString clsKankyo::defaultLogFolder()
{
    return FileSystem::withTrailingSlash(
        FileSystem::joinPath(AppPaths::appDataFolder(), QStringLiteral("pelko")));
}

void clsKankyo::LoadINI()
{
    using NumericText::toInt16;
    using NumericText::Val;

    m_LoadFlg = false;
    const QString appFolder = AppPaths::applicationFolder();
    m_IniPath = FileSystem::resolveCase(FileSystem::withTrailingSlash(appFolder) + QStringLiteral("pelko.ini"));

    m_LastTime = 3;
    m_ChangeTime = true;
    m_Speed = 25;
    m_Filepath = appFolder + QStringLiteral("/DATA/");
    m_LogPath = FileSystem::withTrailingSlash(appFolder);
    m_LogName = QStringLiteral("pelko.log");
    m_SubLog = false;
    m_SubLogName = QStringLiteral("pksub.log");
    m_PaperSize = QStringLiteral("9");
    m_LogStyle = kDefaultLogStyle;

    // One read of the file for all keys.
    IniFile file(m_IniPath);
    file.load();
    m_open = &file;
    struct Close {
        IniFile*& open;
        ~Close() { open = nullptr; }
    } close{m_open};

    auto get = [this](const char16_t* section, const char16_t* key) {
        return GetIniString(QString::fromUtf16(section), QString::fromUtf16(key));
    };
    const QString logFolder = defaultLogFolder();

    QString v = get(u"default", u"time");
    if (!trimSpaces(v).isEmpty()) {
        const auto n = toInt16(Val(v));
        if (!n)
            return;
        m_LastTime = *n;
    }

    m_ChangeTime = Val(get(u"default", u"chtm")) != 0;

    v = get(u"default", u"gspd");
    if (!trimSpaces(v).isEmpty()) {
        const auto n = toInt16(Val(v));
        if (!n)
            return;
        m_Speed = *n;
    }

    v = trimSpaces(get(u"default", u"data"));
    m_Filepath = FileSystem::withTrailingSlash(v.isEmpty() ? appFolder + QStringLiteral("/DATA") : v);

    v = trimSpaces(get(u"default", u"testdata"));
    m_TestFilepath = FileSystem::withTrailingSlash(v.isEmpty() ? appFolder + QStringLiteral("/PLACTICE") : v);

    v = get(u"default", u"paper");
    m_PaperSize = trimSpaces(v).isEmpty() ? QStringLiteral("9") : decimalText(Val(v));

    v = trimSpaces(get(u"default", u"SortMode"));
    if (v.isEmpty())
        m_SortMode = QStringLiteral("RANDOM");
    else
        setSortMode(v.toUpper());

    v = trimSpaces(get(u"MainLog", u"Path"));
    m_LogPath = FileSystem::withTrailingSlash(v.isEmpty() ? logFolder : v);

    v = trimSpaces(get(u"MainLog", u"Name"));
    if (!v.isEmpty())
        m_LogName = withLogExtension(v);

    v = trimSpaces(get(u"Sublog", u"Path"));
    m_SubLogPath = FileSystem::withTrailingSlash(v.isEmpty() ? logFolder : v);

    v = trimSpaces(get(u"Sublog", u"Name"));
    if (!v.isEmpty())
        m_SubLogName = withLogExtension(v);

    // The pass log never shares its file with the main log.
    if (trimSpaces(m_SubLogPath) == trimSpaces(m_LogPath) &&
        trimSpaces(m_SubLogName) == trimSpaces(m_LogName))
        m_SubLogName += u'2';

    m_SubLog = Val(get(u"Sublog", u"Flag")) != 0;

    v = trimSpaces(get(u"Sublog", u"Style"));
    if (!v.isEmpty() && isHexDigitsUpper(v))
        m_LogStyle = v;

    v = get(u"BackGround", u"BackColor");
    m_BackColor = trimSpaces(v).isEmpty() ? QStringLiteral("&HE0E0E0") : v;
    v = get(u"BackGround", u"ProblemBackColor");
    m_ProblemBackColor = trimSpaces(v).isEmpty() ? QStringLiteral("&HFFFFFF") : v;
    v = get(u"BackGround", u"ProblemColor");
    m_ProblemColor = trimSpaces(v).isEmpty() ? QStringLiteral("&H000000") : v;

    const auto mode = toInt16(Val(get(u"BackGround", u"Mode")));
    if (!mode)
        return;
    setBackMode(*mode);

    m_ShowPlactice = trimSpaces(get(u"Display", u"plactice")).toUpper() != u"OFF";
    m_ShowKankyo = trimSpaces(get(u"Display", u"kankyo")).toUpper() != u"OFF";
    m_RankingMode = trimSpaces(get(u"Ranking", u"mode")) == u"1";

    const auto base = fontValue(get(u"Font", u"Base"), 13);
    const auto ret = fontValue(get(u"Font", u"Return"), 3);
    const auto result = fontValue(get(u"Font", u"Result"), 11);
    if (!base || !ret || !result)
        return;
    FontBase = *base;
    FontReturn = *ret;
    FontResult = *result;

    v = trimSpaces(get(u"Window", u"Width"));
    if (NumericText::IsNumeric(v)) {
        const auto n = toInt16(Val(v));
        if (!n)
            return;
        WindowSize = *n;
    } else {
        WindowSize = 80;
    }

    m_LoadFlg = true;
}

bool clsKankyo::SaveIni()
{
    // A store that never loaded must not overwrite the file with initial values.
    if (!m_LoadFlg)
        return false;

    IniFile file(m_IniPath);
    if (!file.load())
        return false; // the file exists but cannot be read: keep it as it is
    m_open = &file;
    struct Close {
        IniFile*& open;
        ~Close() { open = nullptr; }
    } close{m_open};

    bool failed = false;
    auto put = [&](const char16_t* section, const char16_t* key, const QString& value) {
        failed |= WriteIniString(QString::fromUtf16(section), QString::fromUtf16(key), value);
    };
    put(u"default", u"time", QString::number(m_LastTime));
    put(u"default", u"chtm", flagText(m_ChangeTime));
    put(u"default", u"gspd", QString::number(m_Speed));
    put(u"default", u"data", m_Filepath);
    put(u"default", u"testdata", m_TestFilepath);
    put(u"BackGround", u"BackColor", m_BackColor);
    put(u"BackGround", u"Mode", m_BackMode);
    put(u"BackGround", u"ProblemBackColor", m_ProblemBackColor);
    put(u"BackGround", u"ProblemColor", m_ProblemColor);
    put(u"default", u"paper", m_PaperSize);
    put(u"default", u"SortMode", m_SortMode);
    put(u"MainLog", u"Path", m_LogPath);
    put(u"MainLog", u"Name", m_LogName);
    put(u"Sublog", u"Path", m_SubLogPath);
    put(u"Sublog", u"Name", m_SubLogName);
    put(u"Sublog", u"Flag", flagText(m_SubLog));
    put(u"Ranking", u"mode", flagText(m_RankingMode));
    put(u"Font", u"Base", NumericText::singleText(FontBase));
    put(u"Font", u"Return", NumericText::singleText(FontReturn));
    put(u"Font", u"Result", NumericText::singleText(FontResult));
    put(u"Window", u"Width", QString::number(WindowSize));

    // Keys that could be stored are written even when another one could not.
    const bool saved = file.save();
    return saved && !failed;
}

void clsKankyo::SaveLogStyle()
{
    WriteIniString(QStringLiteral("Sublog"), QStringLiteral("Style"), m_LogStyle);
}
