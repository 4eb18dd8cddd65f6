#pragma once

#include "SettingValues.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

// The rules of the settings dialog that need no screen: the upside-down scroll bars, the
// default folders and colours, and the folder check with its failure counting.
namespace SettingsRules
{

// A vertical bar whose top end shows the largest value:
// shown = (maximum - position + singleStep) / divisor.
struct Bar {
    int minimum;
    int maximum;
    int singleStep;
    int pageStep;
    int divisor;
};

inline constexpr Bar DurationBar{1, 60, 1, 1, 1};
inline constexpr Bar PassSpeedBar{0, 399, 1, 1, 1};
inline constexpr Bar WindowPercentBar{0, 99, 1, 1, 1};
inline constexpr Bar BaseFontBar{0, 295, 5, 5, 10};
inline constexpr Bar RowGapBar{0, 95, 1, 1, 10};
inline constexpr Bar ResultFontBar{0, 295, 5, 5, 10};

// The position that shows the value, rounded (halves to even) and held to the bar's ends:
// a value the bar cannot show is shown as the nearest end.
int positionFor(const Bar& bar, double value);
double valueAt(const Bar& bar, int position);
// The label of a position: whole numbers for divisor 1, else the shortest decimal text.
QString labelAt(const Bar& bar, int position);
// The label a stored font size gets at load: the size itself, unless the bar had to clamp it.
QString fontLabel(const Bar& bar, float size);

// The colour literal a box shows at load: the stored text when it is a number from 0 to
// &HFFFFFF, else the fallback.
QString shownColorText(const QString& stored, const QString& fallback);
// The colour the chooser starts from: the number in the box, 0 when it fits no colour value.
qint32 colorValueOfBox(const QString& boxText);

// Where the dialog's sixteen remembered custom colours start: red 255, green 255,
// blue 16 × i + 15, as 0x00BBGGRR.
std::array<qint32, 16> initialCustomColors();

// Paper option index of a paper size (A4, B4, B5), or -1 for any other code.
int paperIndex(PaperSize paper);
PaperSize paperSizeAt(int index);

// Order option index of a problem order (random, in sequence, selected), and back.
int orderIndex(ProblemOrder order);
ProblemOrder problemOrderAt(int index);

// Says that the text of the named field is too long for the settings file to keep whole.
void reportTooLong(const QString& field);

// The four folders the check tries, in its order.
enum Folder { Practice = 0, Certification = 1, Log = 2, PassLog = 3 };
inline constexpr int FolderCount = 4;

// One folder group of the dialog: the text box and which option is selected
// (0 "デフォルト:", 1 "その他").
struct FolderGroup {
    QString text;
    int option = 0;
};

// The check run whenever the dialog becomes active. Its failure count and the flags that
// remember a folder's first failure live as long as the object: the settings keep one for the
// whole run of the program.
class FolderCheck
{
public:
    static constexpr int MaxFailures = 10;

    // Whether a folder can be entered; replaceable for tests.
    std::function<bool(const QString&)> canEnter;
    // Makes one folder level; replaceable for tests.
    std::function<bool(const QString&)> makeFolder;
    // Called after each repair, so the dialog shows it before the next message.
    std::function<void(Folder, const FolderGroup&)> repaired;

    FolderCheck();

    // Tries the four folders and repairs the failing ones with the operator. False when the
    // failures reached the limit: the closing message is shown and the dialog must close.
    bool run(std::array<FolderGroup, FolderCount>& groups,
             const std::array<QString, FolderCount>& defaults);

    int failures() const { return m_failures; }
    bool failedBefore(Folder folder) const { return m_failedBefore[folder]; }

private:
    void repair(Folder folder, FolderGroup& group, const QString& defaultFolder);

    int m_failures = 0;
    std::array<bool, FolderCount> m_failedBefore{};
};

} // namespace SettingsRules
