#include "app/loaded_laps_arranger.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "document/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "replay/drivers.h"
#include "replay/header.h"

namespace {

const char* const kHeadings[LoadedLapsArranger::kColumns] = {"Driver Name", "Lap time", "Team", "Class",
                                                              "Session", "Replay file", ""};

}  // namespace

LoadedLapsArranger::LoadedLapsArranger(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent)
    : QDialog(parent), doc_(doc), seam_(ui) {
    setWindowTitle("Move/Remove loaded replay laps");
    list_ = new QTreeWidget(this);
    list_->setColumnCount(kColumns);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    QStringList headings;
    for (const char* h : kHeadings) headings << h;
    list_->setHeaderLabels(headings);
    list_->headerItem()->setTextAlignment(kSlotColumn, Qt::AlignCenter);
    const QFontMetrics metrics(list_->header()->font());
    for (int c = 0; c < kSlotColumn; ++c) {
        const int heading = metrics.horizontalAdvance(kHeadings[c]);
        list_->setColumnWidth(c, c == 5 ? 3 * heading - 5 : heading + 15);
    }
    // The slot column only maps rows back to slots.
    list_->setColumnHidden(kSlotColumn, true);

    auto* remove = new QPushButton("Remove", this);
    auto* up = new QPushButton("Move up", this);
    auto* down = new QPushButton("Move down", this);
    connect(remove, &QPushButton::clicked, this, &LoadedLapsArranger::OnRemove);
    connect(up, &QPushButton::clicked, this, &LoadedLapsArranger::OnMoveUp);
    connect(down, &QPushButton::clicked, this, &LoadedLapsArranger::OnMoveDown);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &LoadedLapsArranger::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LoadedLapsArranger::reject);

    auto* side = new QVBoxLayout;
    side->addWidget(up);
    side->addWidget(down);
    side->addSpacing(12);
    side->addWidget(remove);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(list_, 1);
    top->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    resize(820, 260);

    for (int k = 0; k < doc_.GetLoadedCount(); ++k) AddRow(k);
    // The headings set the least width; no cell is cut short.
    for (int c = 0; c < kSlotColumn; ++c) {
        const int least = list_->columnWidth(c);
        list_->resizeColumnToContents(c);
        list_->setColumnWidth(c, std::max(least, list_->columnWidth(c)));
    }
}

LoadedLapsArranger::~LoadedLapsArranger() = default;

std::string LoadedLapsArranger::FormatLapTime(uint32_t lap_time) { return CRpyGraphDoc::FormatLapTime(lap_time); }

std::array<std::string, LoadedLapsArranger::kColumns> LoadedLapsArranger::RowCells(const CRpyGraphDoc& doc,
                                                                                    int slot) {
    std::array<std::string, kColumns> cells;
    cells[kSlotColumn] = std::to_string(slot);
    const LapSlot& lap = doc.GetSlot(slot);
    if (!lap.drivers || lap.driver < 0 || lap.driver >= Drivers::kMaxDrivers) return cells;
    const Drivers& d = *lap.drivers;
    const auto i = static_cast<size_t>(lap.driver);
    cells[0] = d.first_names[i] + " " + d.last_names[i];
    const auto& table = lap.session == 0 ? d.practice_times[i] : d.race_times[i];
    const uint32_t word = lap.lap >= 0 && lap.lap < Drivers::kTableWords ? table[static_cast<size_t>(lap.lap)] : 0;
    cells[1] = FormatLapTime(word);
    cells[2] = CRpyGraphDoc::GetCarName(d.season_code[i], static_cast<int>(d.engine_index[i]));
    static const char* const kClasses[] = {"NA", "F3", "F2", "F1"};
    if (d.driver_code[i] < 4) cells[3] = kClasses[d.driver_code[i]];
    cells[4] = lap.session != 0 ? "Race" : d.driver_count == 1 ? "Training" : "Practice";
    cells[5] = lap.header ? lap.header->path : d.path;
    return cells;
}

void LoadedLapsArranger::AddRow(int slot) {
    auto* item = new QTreeWidgetItem(list_);
    const auto cells = RowCells(doc_, slot);
    for (int c = 0; c < kColumns; ++c) item->setText(c, FromWindows1252(cells[static_cast<size_t>(c)]));
    item->setTextAlignment(kSlotColumn, Qt::AlignCenter);
}

std::vector<int> LoadedLapsArranger::Order() const {
    std::vector<int> order;
    for (int r = 0; r < list_->topLevelItemCount(); ++r)
        order.push_back(list_->topLevelItem(r)->text(kSlotColumn).toInt());
    return order;
}

bool LoadedLapsArranger::MoveRow(int from, int to) {
    const int count = list_->topLevelItemCount();
    if (from == to || from < 0 || to < 0 || from >= count || to >= count) return false;
    // The row itself moves, so no cell is ever cut or lost.
    QTreeWidgetItem* item = list_->takeTopLevelItem(from);
    list_->insertTopLevelItem(to, item);
    list_->setCurrentItem(item);
    item->setSelected(true);
    return true;
}

void LoadedLapsArranger::OnMoveDown() {
    QTreeWidgetItem* current = list_->currentItem();
    if (!current || !current->isSelected()) {
        seam_.ShowMessage("Choose a lap to move!", Interaction::Icon::Error, "No lap choosen!");
        return;
    }
    const int s = list_->indexOfTopLevelItem(current);
    if (s == list_->topLevelItemCount() - 1) return;
    MoveRow(s, s + 1);
}

void LoadedLapsArranger::OnMoveUp() {
    QTreeWidgetItem* current = list_->currentItem();
    if (!current || !current->isSelected()) {
        seam_.ShowMessage("Choose a lap to move!", Interaction::Icon::Error, "No lap choosen!");
        return;
    }
    const int s = list_->indexOfTopLevelItem(current);
    if (s == 0) return;
    MoveRow(s, s - 1);
}

void LoadedLapsArranger::OnRemove() {
    QTreeWidgetItem* current = list_->currentItem();
    if (!current || !current->isSelected()) {
        seam_.ShowMessage("Choose a lap to remove!", Interaction::Icon::Error, "No lap choosen!");
        return;
    }
    delete current;
    // No row is chosen after a removal, as before any click.
    list_->clearSelection();
}

void LoadedLapsArranger::accept() {
    const std::vector<int> order = Order();
    if (static_cast<int>(order.size()) != doc_.GetLoadedCount() && untick_all_) untick_all_();
    doc_.ArrangeLaps(order);
    QDialog::accept();
}
