#include "records/ui/lap_finder.h"

#include <QHeaderView>
#include <QMenu>
#include <algorithm>

#include "document/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "records/ui/lap_finder_table.h"
#include "replay/header.h"
#include "settings/settings.h"
#include "ui_lap_finder.h"

namespace {

constexpr const char* kDamagedCaption = "Error reading replay file - is this a standard QEL replay?";

LapFinderModel::Settings SettingsOf(const CRpyGraphDoc& doc) {
    return {doc.GetQELDirectory(), doc.GetAltRpyPath(), doc.GetSettings().GetWarbleyeMsg() == 1};
}

}  // namespace

LapFinder::LapFinder(CRpyGraphDoc& doc, const MediaDrives& media, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::LapFinder>()),
      doc_(doc),
      model_(SettingsOf(doc), media, doc.GetInteraction()) {
    ui_->setupUi(this);
    table_ = new LapFinderTable(model_, this);
    ui_->laps->setModel(table_);
    ui_->laps->verticalHeader()->setDefaultSectionSize(ui_->laps->fontMetrics().height() + 4);
    const QFontMetrics metrics(ui_->laps->font());
    for (int c = 0; c < LapFinderModel::kColumnCount; ++c) {
        const int width = metrics.horizontalAdvance(QString::fromLatin1(LapFinderModel::ColumnHeading(c))) + 15;
        ui_->laps->setColumnWidth(c, c == LapFinderModel::kReplayFile ? 3 * width : width);
    }
    ui_->local_only->setChecked(true);
    for (const std::string& t : model_.TrackList()) ui_->tracks->addItem(QString::fromStdString(t));
    for (const std::string& m : LapFinderModel::ModList()) ui_->mods->addItem(QString::fromStdString(m));
    ui_->tracks->setCurrentIndex(-1);
    ui_->mods->setCurrentIndex(0);
    ShowSortState();

    connect(ui_->tracks, &QComboBox::activated, this, &LapFinder::Rescan);
    connect(ui_->mods, &QComboBox::activated, this, &LapFinder::OnFilterChanged);
    for (QRadioButton* b : {ui_->show_all, ui_->no_ai, ui_->local_only})
        connect(b, &QRadioButton::clicked, this, &LapFinder::OnFilterChanged);
    using S = LapFinderModel::SortState;
    for (S s : {S::kUnsorted, S::kByDriver, S::kByLaptime, S::kByTeam, S::kByClass, S::kBySession, S::kByFiledate,
                S::kByReplayFile})
        connect(SortButton(s), &QRadioButton::clicked, this, [this, s] {
            // "Unsorted (fastest)" only shows the state after a scan.
            if (s != S::kUnsorted) OnSort(s);
            ShowSortState();
        });
    connect(ui_->laps->horizontalHeader(), &QHeaderView::sectionClicked, this, &LapFinder::OnColumnClick);
    connect(ui_->laps, &QTableView::doubleClicked, this, &LapFinder::OnOK);
    connect(ui_->laps, &QTableView::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu menu(this);
        menu.addAction("Copy table to clipboard ", this, &LapFinder::OnCopyTable);
        menu.addAction("(Can be pasted into Excel)")->setEnabled(false);
        menu.exec(ui_->laps->viewport()->mapToGlobal(pos));
    });
    connect(ui_->ok, &QPushButton::clicked, this, &LapFinder::OnOK);
    connect(ui_->cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (doc.GetLoadedCount() > 0 && doc.GetSlot(0).header) {
        std::vector<std::string> tracks;
        for (int i = 0; i < ui_->tracks->count(); ++i) tracks.push_back(ui_->tracks->itemText(i).toStdString());
        const int entry = LapFinderModel::TrackEntryFor(tracks, doc.GetSlot(0).header->track_folder);
        if (entry >= 0) {
            ui_->tracks->setCurrentIndex(entry);
            Rescan();
        }
    }
}

LapFinder::~LapFinder() = default;

QComboBox* LapFinder::TrackList() const { return ui_->tracks; }
QComboBox* LapFinder::ModList() const { return ui_->mods; }
QTableView* LapFinder::LapList() const { return ui_->laps; }
QLabel* LapFinder::RowCountLabel() const { return ui_->row_count; }
QLabel* LapFinder::StatusLabel() const { return ui_->status; }

QRadioButton* LapFinder::SortButton(LapFinderModel::SortState state) const {
    switch (state) {
    case LapFinderModel::kByDriver: return ui_->by_driver;
    case LapFinderModel::kByLaptime: return ui_->by_laptime;
    case LapFinderModel::kByTeam: return ui_->by_team;
    case LapFinderModel::kByClass: return ui_->by_class;
    case LapFinderModel::kBySession: return ui_->by_session;
    case LapFinderModel::kByFiledate: return ui_->by_filedate;
    case LapFinderModel::kByReplayFile: return ui_->by_replay;
    default: return ui_->unsorted;
    }
}

void LapFinder::ShowSortState() { SortButton(model_.GetSortState())->setChecked(true); }

void LapFinder::ShowTable() {
    table_->Reset();
    ui_->row_count->setText(QString::fromStdString(model_.RowCountText()));
    ShowSortState();
}

void LapFinder::Rescan() {
    if (ui_->tracks->currentIndex() < 0) return;
    model_.Scan(ui_->tracks->currentText().toStdString());
    ShowTable();
    ui_->status->setText(QString::fromStdString(model_.StatusText()));
    // Every replay that could not be read, in one message per scan.
    const std::string damaged = model_.DamagedText();
    if (!damaged.empty()) doc_.GetInteraction().ShowMessage(damaged, Interaction::Icon::Error, kDamagedCaption);
}

void LapFinder::OnFilterChanged() {
    LapFinderModel::Filter filter = LapFinderModel::Filter::kLocalDriverOnly;
    if (ui_->show_all->isChecked()) filter = LapFinderModel::Filter::kAllLaps;
    if (ui_->no_ai->isChecked()) filter = LapFinderModel::Filter::kNoAILaps;
    model_.SetFilter(filter, std::max(0, ui_->mods->currentIndex()));
    ShowTable();
}

void LapFinder::OnSort(LapFinderModel::SortState state) {
    if (model_.Sort(state)) ShowTable();
}

void LapFinder::OnColumnClick(int column) {
    const LapFinderModel::SortState state = LapFinderModel::SortForColumn(column);
    if (state == LapFinderModel::kUnsorted) {
        doc_.GetInteraction().ShowMessage("No sorting available for this column.", Interaction::Icon::Information, {});
        return;
    }
    OnSort(state);
}

void LapFinder::OnCopyTable() { model_.OnCopyTable(); }

void LapFinder::OnOK() {
    std::vector<int> rows;
    for (const QModelIndex& index : ui_->laps->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    const bool done = model_.OnOK(rows, doc_.GetLoadedCount(), doc_.GetCapacity(),
                                  [this](const std::string& path, int session, int driver, int lap) {
                                      return doc_.AddLapFromCommandLine(path, session, driver, lap);
                                  });
    if (done) accept();
}
