#pragma once

#include "ProgressData.h"

#include <QDialog>
#include <QWidget>

class QPushButton;

// Input speed and correct-stroke rate of one user over time: one point a run, the grade
// bands behind, the pass line across. Hovering over a point shows the run.
class ProgressChart : public QWidget
{
    Q_OBJECT
public:
    explicit ProgressChart(QWidget* parent = nullptr);

    void setData(const ProgressData& data);
    const ProgressData& data() const { return m_data; }
    // Index of the point within a few pixels of pos, or -1.
    int pointAt(const QPointF& pos) const;
    QSize sizeHint() const override { return {820, 480}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct Frame {
        QRectF plot;
        double dataLeft = 0; // where the first and last points sit
        double dataRight = 0;
        qint64 firstMs = 0;
        qint64 lastMs = 0;
        double topSpeed = 100;
        QPointF speedAt(const ProgressPoint& p) const;
        QPointF accuracyAt(const ProgressPoint& p) const;
        double x(qint64 ms) const;
    };
    Frame frame() const;

    ProgressData m_data;
};

// The chart in a window of its own, with a button to save it as a PNG picture.
class ProgressChartDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ProgressChartDialog(const ProgressData& data, QWidget* parent = nullptr);

    // False when the picture cannot be written.
    bool saveTo(const QString& path);

private:
    void save();

    ProgressChart* m_chart = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};
