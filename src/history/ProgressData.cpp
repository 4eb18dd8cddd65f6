#include "ProgressData.h"

#include "ClassLog.h"
#include "common/NumericText.h"

#include <algorithm>

ProgressData progressOf(const ClassLog& log, const std::vector<int>& rows, const QString& userId,
                        int passSpeed)
{
    ProgressData data;
    data.userId = userId.trimmed();
    data.passSpeed = passSpeed;
    data.bands = Scoring::gradeBands();
    std::vector<int> mine;
    for (int row : rows) {
        if (log.text(row, 3).trimmed() == data.userId)
            mine.push_back(row);
    }
    std::sort(mine.begin(), mine.end()); // log order, whatever order the table shows
    QDateTime latest;
    for (int row : mine) {
        const QDateTime when = log.when(row);
        if (data.userName.isNull() || (when.isValid() && !(when < latest))) {
            data.userName = log.text(row, 4);
            latest = when;
        }
        if (!when.isValid()) {
            ++data.undated;
            continue;
        }
        const ClassLog::Record& r = log.record(row);
        data.points.append({when, r.speed, r.accuracy, log.text(row, 7)});
    }
    std::stable_sort(
        data.points.begin(), data.points.end(),
        [](const ProgressPoint& a, const ProgressPoint& b) { return a.when < b.when; });
    return data;
}

QString pointText(const ProgressPoint& point)
{
    return point.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral("\n入力速度 ") + NumericText::singleDisplayText(point.speed) +
           QStringLiteral(" 文字/分\n正打率 ") + NumericText::singleDisplayText(point.accuracy) +
           QStringLiteral("%\n") + point.fileName;
}
