#include "records/ui/track_organiser.h"

#include <QHeaderView>
#include <QTreeWidgetItem>
#include <algorithm>

#include "interaction/ui/text_codec.h"
#include "records/ui/edit_track_prop.h"
#include "ui_track_organiser.h"

TrackOrganiser::TrackOrganiser(const std::string& simulator_folder, Interaction& ui, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TrackOrganiser>()), model_(simulator_folder, ui), interaction_(ui) {
    ui_->setupUi(this);
    QStringList headings;
    for (int c = 0; c < TrackOrganiserModel::kColumnCount; ++c)
        headings << QString::fromLatin1(TrackOrganiserModel::ColumnHeading(c));
    ui_->events->setHeaderLabels(headings);
    const QFontMetrics metrics(ui_->events->font());
    for (int c = 0; c < TrackOrganiserModel::kColumnCount; ++c)
        ui_->events->setColumnWidth(c, metrics.horizontalAdvance(headings[c]) + 15);
    // The model moves the rows, and the list is built again from it.
    ui_->events->SetDropHandler([this](const std::vector<int>& rows, int before) { DropRows(rows, before); });
    connect(ui_->import_button, &QPushButton::clicked, this, &TrackOrganiser::OnImport);
    connect(ui_->add, &QPushButton::clicked, this, &TrackOrganiser::OnAdd);
    connect(ui_->remove, &QPushButton::clicked, this, &TrackOrganiser::OnRemove);
    connect(ui_->edit, &QPushButton::clicked, this, &TrackOrganiser::OnEdit);
    connect(ui_->export_button, &QPushButton::clicked, this, &TrackOrganiser::ExportSeason);
    connect(ui_->close, &QPushButton::clicked, this, &TrackOrganiser::reject);
    OnImport();
}

TrackOrganiser::~TrackOrganiser() = default;

CDragDropListCtrl* TrackOrganiser::List() const { return ui_->events; }
QLabel* TrackOrganiser::CountLabel() const { return ui_->count; }

void TrackOrganiser::Refill() {
    ui_->events->clear();
    QList<QTreeWidgetItem*> items;
    for (int r = 0; r < model_.RowCount(); ++r) {
        auto* item = new QTreeWidgetItem;
        for (int c = 0; c < TrackOrganiserModel::kColumnCount; ++c)
            item->setText(c, FromWindows1252(model_.CellText(r, c)));
        items << item;
    }
    ui_->events->addTopLevelItems(items);
    ShowCount();
}

void TrackOrganiser::ShowCount() {
    ui_->count->setText(FromWindows1252(model_.CountText()));
    const bool over = model_.OverSimulatorLimit();
    ui_->count->setStyleSheet(over ? "color: red; font-weight: bold" : "");
    ui_->count->setToolTip(over ? "QEL holds at most 64 tracks; the tracks after the 64th are not raced." : "");
}

std::vector<int> TrackOrganiser::SelectedRows() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : ui_->events->selectedItems())
        rows.push_back(ui_->events->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool TrackOrganiser::RunEditBox(TrackOrganiserModel::Cells& cells) {
    if (edit_box_) return edit_box_(cells);
    EditTrackProp box(interaction_, this);
    box.long_name = cells[TrackOrganiserModel::kName];
    box.short_name = cells[TrackOrganiserModel::kShortName];
    box.track_folder = cells[TrackOrganiserModel::kTrackDir];
    box.laps = cells[TrackOrganiserModel::kLaps];
    box.month = cells[TrackOrganiserModel::kMonth];
    box.day = cells[TrackOrganiserModel::kDay];
    box.grid = cells[TrackOrganiserModel::kGrid];
    if (box.exec() != QDialog::Accepted) return false;
    cells = {box.long_name, box.short_name, box.track_folder, box.laps, box.month, box.day, box.grid};
    return true;
}

void TrackOrganiser::OnImport() {
    model_.LoadSeason();
    Refill();
}

void TrackOrganiser::OnAdd() {
    model_.OnAdd([this](TrackOrganiserModel::Cells& cells) { return RunEditBox(cells); });
    Refill();
    if (model_.RowCount() > 0) ui_->events->scrollToItem(ui_->events->topLevelItem(model_.RowCount() - 1));
}

void TrackOrganiser::OnRemove() {
    model_.OnRemove(SelectedRows());
    Refill();
}

void TrackOrganiser::OnEdit() {
    const std::vector<int> rows = SelectedRows();
    model_.OnEdit(rows, [this](TrackOrganiserModel::Cells& cells) { return RunEditBox(cells); });
    Refill();
    for (int r : rows)
        if (auto* item = ui_->events->topLevelItem(r)) item->setSelected(true);
}

void TrackOrganiser::ExportSeason() {
    model_.ExportSeason();
    ShowCount();
}

void TrackOrganiser::DropRows(const std::vector<int>& rows, int before) {
    const int first = model_.MoveRows(rows, before);
    Refill();
    for (size_t i = 0; i < rows.size(); ++i)
        if (auto* item = ui_->events->topLevelItem(first + static_cast<int>(i))) item->setSelected(true);
}

void TrackOrganiser::reject() {
    if (model_.OnCancel()) QDialog::reject();
}
