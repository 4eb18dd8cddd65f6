#pragma once

#include <QColor>
#include <QString>

// The kinds of value the settings hold, and what each setting is until the file says otherwise.

// How practice picks its problems.
enum class ProblemOrder { Random, Sequence, Select };

// How the test window covers the screen. The file may hold any other number; it is kept, and
// the window treats it as its own rules say.
enum class BackgroundMode : qint16 { Normal = 0, Maximized = 1 };

// The certificate's paper, as the printer's paper code the file holds. A4, B4 and B5 are the
// sizes offered; any other code, even a fraction, is kept as the file has it.
class PaperSize
{
public:
    enum Known : qint16 { A4 = 9, B4 = 12, B5 = 13 };

    constexpr PaperSize(Known known = A4) : m_code(known) {}
    static constexpr PaperSize fromCode(double code)
    {
        PaperSize paper;
        paper.m_code = code;
        return paper;
    }
    constexpr double code() const { return m_code; }
    constexpr bool operator==(const PaperSize&) const = default;

private:
    double m_code;
};

namespace SettingDefaults
{

inline constexpr int DurationMinutes = 3;
// What the duration menu and the settings dialog can show.
inline constexpr int ShortestDuration = 1;
inline constexpr int LongestDuration = 60;
inline constexpr int PassSpeed = 25;
inline constexpr int WindowPercent = 80;
inline constexpr float BaseFontSize = 13;
inline constexpr float RowGapFontSize = 3;
inline constexpr float ResultFontSize = 11;
inline constexpr PaperSize Paper = PaperSize::A4;
inline constexpr ProblemOrder Order = ProblemOrder::Random;
inline constexpr BackgroundMode Background = BackgroundMode::Normal;
inline const QColor BackColor(0xE0, 0xE0, 0xE0);
inline const QColor ProblemBackColor(0xFF, 0xFF, 0xFF);
inline const QColor ProblemColor(0x00, 0x00, 0x00);
inline const QString LogName = QStringLiteral("pelko.log");
inline const QString PassLogName = QStringLiteral("pksub.log");
inline const QString PassLogFormat = QStringLiteral("0123456789ABCDEF");
// Folders beneath the program's data folder.
inline const QString CertificationSubfolder = QStringLiteral("DATA");
inline const QString PracticeSubfolder = QStringLiteral("PLACTICE");

} // namespace SettingDefaults
