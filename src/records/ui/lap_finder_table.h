#pragma once
// The lap finder's list as a Qt item model over LapFinderModel: cells are
// made when the view asks for them, so a table of 100,000 laps costs only
// the rows on screen. Reset() after every scan, filter change and sort.

#include <QAbstractTableModel>

class LapFinderModel;

class LapFinderTable : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LapFinderTable(const LapFinderModel& model, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Reset();

private:
    const LapFinderModel& model_;
};
