#pragma once
// The rows of the "Points" list for a Qt item view: it holds only a row
// count, and makes each row's texts ("X" and "Y" columns) from the point
// list's selected curve when the view asks for them.

#include <QAbstractTableModel>
#include <functional>

class GraphModel;
class PointListState;

class PointListModel : public QAbstractTableModel {
public:
    // `graph` finds the graph window whose curves the rows show (may
    // answer null); `state` is not owned.
    PointListModel(const PointListState& state, std::function<const GraphModel*()> graph, QObject* parent = nullptr);

    void InsertRow(int row);
    void DeleteRow(int row);
    void SetRowCount(int count);
    void RepaintRows(int first, int last);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const PointListState& state_;
    std::function<const GraphModel*()> graph_;
    int rows_ = 0;
};
