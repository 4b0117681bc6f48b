#include "graph/ui/point_list_model.h"

#include "graph/point_list_state.h"
#include "interaction/ui/text_codec.h"

PointListModel::PointListModel(const PointListState& state, std::function<const GraphModel*()> graph,
                               QObject* parent)
    : QAbstractTableModel(parent), state_(state), graph_(std::move(graph)) {}

void PointListModel::InsertRow(int row) {
    beginInsertRows(QModelIndex(), row, row);
    ++rows_;
    endInsertRows();
}

void PointListModel::DeleteRow(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    --rows_;
    endRemoveRows();
}

void PointListModel::SetRowCount(int count) {
    // Rows come and go at the end, so a selected row above stays selected.
    if (count > rows_) {
        beginInsertRows(QModelIndex(), rows_, count - 1);
        rows_ = count;
        endInsertRows();
    } else if (count < rows_) {
        beginRemoveRows(QModelIndex(), count, rows_ - 1);
        rows_ = count;
        endRemoveRows();
    }
}

void PointListModel::RepaintRows(int first, int last) {
    if (rows_ == 0) return;
    emit dataChanged(index(std::max(first, 0), 0), index(std::min(last, rows_ - 1), 1), {Qt::DisplayRole});
}

int PointListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int PointListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant PointListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return FromWindows1252(PointListState::RowText(graph_(), state_.GetCurrentGraph(), index.row(), index.column()));
}

QVariant PointListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section == 0) return QStringLiteral("X");
    if (section == 1) return QStringLiteral("Y");
    return {};
}
