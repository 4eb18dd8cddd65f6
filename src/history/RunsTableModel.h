#pragma once

#include "ClassLogQuery.h"
#include "ProgressData.h"

#include <QAbstractTableModel>

#include <optional>

class QIODevice;

// What the results browser shows, whichever store the runs come from: the browser's columns,
// the filter, and what the buttons below the table need of the rows shown.
class RunsTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    virtual void setFilter(const ClassLogFilter& filter) = 0;
    virtual const ClassLogFilter& filter() const = 0;
    // The user ID (blanks around it dropped) of a row shown.
    virtual QString userIdAt(int shownRow) const = 0;
    // One entry per user among the rows shown; nothing when there are too many to add up
    // while the user waits.
    virtual std::optional<QList<UserSummary>> summary() const = 0;
    virtual ProgressData progressOf(const QString& userId) const = 0;
    // The rows shown in their order as CSV; false when a write failed or the rows could not
    // be read.
    virtual bool writeCsv(QIODevice& out) const = 0;

    int columnCount(const QModelIndex& parent = {}) const override;
    // The column title as the table shows it, broken into two lines where it is long.
    static QString headerTitle(int column);
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // The rows the filter lets through are all counted (after a reset, at once or later).
    void rowsCounted();

protected:
    static QVariant alignmentOf(int column);
};
