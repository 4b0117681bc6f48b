#include "records/ui/lap_finder_table.h"

#include "interaction/ui/text_codec.h"
#include "records/lap_finder_model.h"

LapFinderTable::LapFinderTable(const LapFinderModel& model, QObject* parent)
    : QAbstractTableModel(parent), model_(model) {}

int LapFinderTable::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : model_.RowCount(); }

int LapFinderTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : LapFinderModel::kColumnCount;
}

QVariant LapFinderTable::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= model_.RowCount()) return {};
    return FromWindows1252(model_.Text(index.row(), index.column()));
}

QVariant LapFinderTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= LapFinderModel::kColumnCount)
        return {};
    return QString::fromLatin1(LapFinderModel::ColumnHeading(section));
}

void LapFinderTable::Reset() {
    beginResetModel();
    endResetModel();
}
