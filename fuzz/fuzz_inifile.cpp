// The settings file: any bytes load, come back out unchanged, and a value written is the
// value read back; the settings themselves survive a save and a load.
#include "FuzzSupport.h"

#include "common/Cp932.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "settings/SettingsText.h"

#include <QFile>

namespace
{

QString iniPath()
{
    return Fuzz::scratchFolder() + QStringLiteral("/pelko.ini");
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// Every setting as text, floats to the digits that tell them apart.
QStringList snapshot(const Settings& s)
{
    auto flag = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
    auto num = [](double v) { return QString::number(v, 'g', 9); };
    return {num(s.windowPercent()),
            flag(s.rankingShowsRepeats()),
            flag(s.menuShowsPractice()),
            flag(s.menuShowsSettings()),
            SettingsText::fromBackgroundMode(s.backgroundMode()),
            flag(s.isLoaded()),
            s.passLogFormat(),
            SettingsText::fromPaperSize(s.paperSize()),
            s.passLogName(),
            s.passLogFolder(),
            flag(s.isPassLogEnabled()),
            s.logName(),
            s.logFolder(),
            num(s.passSpeed()),
            SettingsText::fromProblemOrder(s.problemOrder()),
            flag(s.canChangeDuration()),
            num(s.durationMinutes()),
            s.certificationFolder(),
            s.practiceFolder(),
            SettingsText::fromColor(s.problemBackColor()),
            SettingsText::fromColor(s.backColor()),
            SettingsText::fromColor(s.problemColor()),
            num(s.baseFontSize()),
            num(s.rowGapFontSize()),
            num(s.resultFontSize())};
}

QStringView trimBlanks(QStringView s)
{
    auto blank = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
    };
    while (!s.isEmpty() && blank(s.front()))
        s = s.sliced(1);
    while (!s.isEmpty() && blank(s.back()))
        s.chop(1);
    return s;
}

// What reading gives for a value that was written: trimmed, one pair of enclosing quotes
// gone, and no more than the read buffer holds.
QString expectedRead(const QString& written)
{
    QStringView text = trimBlanks(written);
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        text = text.sliced(1, text.size() - 2);
    return Cp932::leftBytes(text, IniFile::ValueBufferSize - 1);
}

// Text for a name or value: the Shift-JIS reading of the bytes, up to the first bad one.
QString textOf(const QByteArray& bytes)
{
    return Cp932::decode(bytes).text;
}

// The keys the program reads, to see that setting one key leaves the others alone.
const QList<QPair<QString, QString>>& knownKeys()
{
    static const QList<QPair<QString, QString>> keys = [] {
        QList<QPair<QString, QString>> k;
        const char* const pairs[][2] = {{"default", "time"},     {"default", "chtm"},
                                        {"default", "gspd"},     {"default", "data"},
                                        {"default", "testdata"}, {"default", "paper"},
                                        {"default", "SortMode"}, {"MainLog", "Path"},
                                        {"MainLog", "Name"},     {"Sublog", "Path"},
                                        {"Sublog", "Name"},      {"Sublog", "Flag"},
                                        {"Sublog", "Style"},     {"BackGround", "BackColor"},
                                        {"BackGround", "Mode"},  {"Display", "plactice"},
                                        {"Font", "Base"},        {"Window", "Width"}};
        for (const auto& p : pairs)
            k.append({QString::fromLatin1(p[0]), QString::fromLatin1(p[1])});
        return k;
    }();
    return keys;
}

void checkSettingsRoundTrip()
{
    Settings first;
    first.load();
    if (!first.isLoaded()) {
        // Settings that never loaded must leave the file alone.
        const QByteArray before = fileBytes(iniPath());
        FUZZ_CHECK(!first.save());
        FUZZ_CHECK(fileBytes(iniPath()) == before);
        return;
    }
    if (!first.save()) {
        // A lone CR inside a line reads as part of the value but cannot be written as one.
        FUZZ_CHECK(fileBytes(iniPath()).contains('\r'));
        return;
    }
    // What the file cannot hold (blanks at a value's ends, bytes after a NUL, more than the
    // read buffer) is gone after one save; from then on a save and a load change nothing.
    Settings second;
    second.load();
    FUZZ_CHECK(second.isLoaded());
    FUZZ_CHECK(second.save());
    const QByteArray savedTwice = fileBytes(iniPath());
    Settings third;
    third.load();
    FUZZ_CHECK(snapshot(third) == snapshot(second));
    FUZZ_CHECK(third.save());
    FUZZ_CHECK(fileBytes(iniPath()) == savedTwice);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("PELKO_APPDIR", Fuzz::scratchFolder().toLocal8Bit());
    qputenv("APPDATA", Fuzz::scratchFolder().toLocal8Bit());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::Bytes in(data, size);
    // Head: lengths of the section, key and value to set; the rest is the file.
    const uint8_t sectionLength = in.byte() % 16;
    const uint8_t keyLength = in.byte() % 16;
    const uint8_t valueLength = in.byte();
    const QString section = textOf(in.take(sectionLength));
    const QString key = textOf(in.take(keyLength));
    const QString value = textOf(in.take(valueLength));
    const QByteArray content = in.rest();
    Fuzz::writeFile(iniPath(), content);

    IniFile file(iniPath());
    FUZZ_CHECK(file.load());
    FUZZ_CHECK(file.bytes() == content);
    FUZZ_CHECK(file.save());
    FUZZ_CHECK(fileBytes(iniPath()) == content);

    QStringList before;
    for (const auto& [s, k] : knownKeys())
        before.append(file.value(s, k));
    if (file.setValue(section, key, value)) {
        FUZZ_CHECK(file.save());
        IniFile reread(iniPath());
        FUZZ_CHECK(reread.load());
        FUZZ_CHECK(reread.bytes() == file.bytes());
        // Compared in the form the file holds: Shift-JIS and back.
        const QString stored = Cp932::decode(Cp932::encode(value).bytes).text;
        FUZZ_CHECK(reread.value(section, key) == expectedRead(stored));
        for (qsizetype i = 0; i < knownKeys().size(); ++i) {
            const auto& [s, k] = knownKeys().at(i);
            if (trimBlanks(s).compare(trimBlanks(section), Qt::CaseInsensitive) == 0 &&
                trimBlanks(k).compare(trimBlanks(key), Qt::CaseInsensitive) == 0)
                continue;
            FUZZ_CHECK(reread.value(s, k) == before.at(i));
        }
    } else {
        FUZZ_CHECK(file.bytes() == content);
    }

    checkSettingsRoundTrip();
    return 0;
}
