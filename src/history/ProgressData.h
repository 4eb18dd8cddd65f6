#pragma once

#include "typing/Scoring.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <vector>

class ClassLog;

// One user's runs over time, for the progress chart.
struct ProgressPoint {
    QDateTime when;
    float speed = 0;
    float accuracy = 0;
    QString fileName;
};

struct ProgressData {
    QString userId;
    QString userName;            // of the latest run
    QList<ProgressPoint> points; // oldest first; same time: log order
    int undated = 0;             // runs left out for want of a readable date
    int passSpeed = 25;
    QList<Scoring::GradeBand> bands;
};

// The runs among rows whose user ID is userId (blanks around it ignored).
ProgressData progressOf(const ClassLog& log, const std::vector<int>& rows, const QString& userId,
                        int passSpeed);

// What hovering over a point shows.
QString pointText(const ProgressPoint& point);
