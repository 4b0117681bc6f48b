#include "records/ui/pb_viewer.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include "document/rpy_graph_doc.h"
#include "controls/hyper_link.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "records/lap_times_file.h"
#include "records/personal_bests_store.h"
#include "records/records_handicap_view.h"
#include "records/unique_temp_file.h"
#include "records/ui/new_qel_rank_calculator.h"
#include "records/ui/qel_rank.h"
#include "records/ui/qel_rank_upload_progress.h"
#include "records/ui/qelranklogin.h"
#include "replay/name_tables.h"
#include "settings/settings.h"
#include "ui_pb_viewer.h"

namespace {

constexpr int kCarColumns = 20;

}  // namespace

PBViewer::PBViewer(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent)
    : QDialog(parent), form_(std::make_unique<Ui::PBViewer>()), doc_(doc), interaction_(ui) {
    form_->setupUi(this);
    drivers_ = form_->driverList;
    seasons_ = form_->seasonList;
    complete_ = form_->completeLaps;
    scan_ = form_->scanReplays;
    progress_ = form_->progress;
    table_ = form_->table;
    refresh_ = form_->refresh;
    auto* link = new CHyperLink(ui, "Visit the QELRank site");
    link->SetURL(QELRank::kSiteAddress);
    auto* place = new QHBoxLayout(form_->linkPlace);
    place->setContentsMargins(0, 0, 0, 0);
    place->addWidget(link);

    table_->setColumnCount(kCarColumns + 1);
    table_->verticalHeader()->hide();
    const QString track_header = QString("Track") + QString(20, ' ');
    table_->setHorizontalHeaderItem(0, new QTableWidgetItem(track_header));
    table_->horizontalHeaderItem(0)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->setColumnWidth(0, QFontMetrics(table_->font()).horizontalAdvance(track_header) + 15);
    // Car columns are 60 pixels, wider when the font needs it for a time.
    const int car_width = std::max(60, QFontMetrics(table_->font()).horizontalAdvance("10:00.000") + 10);
    for (int k = 1; k <= kCarColumns; ++k) {
        table_->setHorizontalHeaderItem(k, new QTableWidgetItem(" "));
        table_->setColumnWidth(k, car_width);
    }
    connect(refresh_, &QPushButton::clicked, this, &PBViewer::OnOK);
    connect(form_->exportButton, &QPushButton::clicked, this, &PBViewer::ExportLapTimesIni);
    connect(form_->uploadButton, &QPushButton::clicked, this, &PBViewer::UploadLapTimes);
    connect(form_->calculatorButton, &QPushButton::clicked, this, &PBViewer::OnCalculator);
    connect(form_->closeButton, &QPushButton::clicked, this, &PBViewer::reject);

    for (const auto& entry : ExportRecordsModel::DriverList(doc_.GetQELDirectory()))
        drivers_->addItem(FromWindows1252(entry));
    drivers_->setCurrentIndex(doc_.default_player_index >= 0 && doc_.default_player_index < drivers_->count()
                                  ? doc_.default_player_index
                                  : -1);

    PersonalBestsStore::Table stored;
    if (PersonalBestsStore::Load(stored)) ShowRows(PBViewerModel::StoredRows(stored.tracks, stored.times, stored.cars));

    std::string name;
    for (int i = 0; name_tables::GetModName(i, name) != -1; ++i) seasons_->addItem(FromWindows1252(name));
    if (doc_.default_mod_index >= 0 && doc_.default_mod_index < seasons_->count())
        seasons_->setCurrentIndex(doc_.default_mod_index);
    HeadCarColumns(name_tables::GetModCode(seasons_->currentIndex()));

    connect(drivers_, &QComboBox::currentIndexChanged, this, &PBViewer::OnDriverChanged);
    connect(seasons_, &QComboBox::currentIndexChanged, this, &PBViewer::OnSeasonChanged);
}

PBViewer::~PBViewer() = default;

void PBViewer::HeadCarColumns(int season_code) {
    const int cars = season_code == -1 ? 0 : name_tables::GetModCarCount(season_code);
    for (int k = 0; k < kCarColumns; ++k)
        table_->horizontalHeaderItem(k + 1)->setText(
            k < cars ? FromWindows1252(name_tables::GetCarName(season_code, k)) : QString(" "));
}

void PBViewer::ShowRows(const PBViewerModel::Rows& rows) {
    table_->setRowCount(static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size() && c <= static_cast<size_t>(kCarColumns); ++c)
            table_->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(FromWindows1252(rows[r][c])));
}

void PBViewer::OnSeasonChanged() {
    table_->setRowCount(0);
    HeadCarColumns(name_tables::GetModCode(seasons_->currentIndex()));
}

void PBViewer::OnDriverChanged() {
    table_->setRowCount(0);
    progress_->setValue(0);
}

void PBViewer::OnOK() {
    if (running_) return;
    doc_.default_mod_index = seasons_->currentIndex();
    const int driver = drivers_->currentIndex();
    if (driver < 0) {
        interaction_.ShowMessage("No driver selected!");
        return;
    }
    doc_.default_player_index = driver;
    table_->setRowCount(0);
    ExportRecordsModel::Options options;
    options.simulator_folder = doc_.GetQELDirectory();
    options.alt_replay_folder = doc_.GetAltRpyPath();
    const int code = name_tables::GetModCode(seasons_->currentIndex());
    options.season_code = code == -1 ? 1967 : code;
    options.complete_laps_only = complete_->isChecked();
    options.scan_replays = scan_->isChecked();
    options.warbleye_msg = doc_.GetSettings().GetWarbleyeMsg() == 1;
    running_ = true;
    cancelled_ = false;
    refresh_->setEnabled(false);
    interaction_.BeginWait();
    const auto result = records_.Run(driver, options, interaction_, [this](int done, int total) {
        progress_->setRange(0, total);
        progress_->setValue(done);
        QApplication::processEvents();
        return !cancelled_;
    });
    interaction_.EndWait();
    running_ = false;
    refresh_->setEnabled(true);
    if (result != ExportRecordsModel::Result::kCancelled) SavePersonalBests();
    table_filled_ = true;
    if (cancelled_) QDialog::reject();
}

void PBViewer::SavePersonalBests() {
    ShowRows(PBViewerModel::GatheredRows(records_));
    PersonalBestsStore::Table table;
    table.cars = records_.GetNumCars();
    for (int row = 0; row < records_.GetNumTracks(); ++row) {
        table.tracks.push_back(records_.GetTrackShortName(row));
        for (int car = 0; car < table.cars; ++car) table.times.push_back(records_.GetOverallBestTime(car, row));
    }
    // The table is shown either way; the user learns that the next opening
    // will not show it.
    long error = 0;
    if (!PersonalBestsStore::Save(table, error))
        interaction_.ShowMessage(Settings::WriteFailureMessage("The personal best laps could not be saved.", error),
                                 Interaction::Icon::Error);
}

void PBViewer::ExportLapTimesIni() {
    if (!table_filled_) {
        interaction_.ShowMessage("No laptimes to export!\r\nYou must first click 'Refresh' above");
        return;
    }
    std::string proposed = doc_.GetSettings().GetRecordsPath();
    if (!proposed.empty() && proposed.back() != '/') proposed += '/';
    proposed += "QELLapTimes.ini";
    const auto chosen = interaction_.ChooseSaveFile(
        "Save As", proposed, {{"Ini files (*.ini)", "*.ini"}, {"All Files(*.*)", "*.*"}});
    if (!chosen) return;
    const std::string path = LapTimesFile::WithIniExtension(*chosen);
    if (!LapTimesFile(records_).Write(path)) {
        interaction_.ShowMessage("Error creating file!");
        return;
    }
    interaction_.ShowMessage("The Laptimes for " + records_.GetDriverName() + "\r\nare now stored in\r\n" + path,
                             Interaction::Icon::Information);
}

void PBViewer::UploadLapTimes() {
    if (!table_filled_) {
        interaction_.ShowMessage("No laptimes to upload!\r\nYou must first click 'Refresh' above");
        return;
    }
    std::string user, password;
    if (login_dialog) {
        if (!login_dialog(user, password)) return;
    } else {
        qelranklogin login(interaction_, this);
        if (login.exec() != QDialog::Accepted) return;
        user = login.UserName();
        password = login.Password();
    }
    interaction_.BeginWait();
    // A file of its own for each upload, removed when the upload is over.
    UniqueTempFile file("ZAVRO_QELRank_tempfile", ".ini");
    const bool written = file.Ok() && LapTimesFile(records_).Write(file.Path());
    interaction_.EndWait();
    if (!written) {
        interaction_.ShowMessage("Error creating temp file!");
        return;
    }
    const std::string credentials = PBViewerModel::Credentials(user, password);
    if (upload_dialog) {
        upload_dialog(file.Path(), credentials);
        return;
    }
    QELRankUploadProgress upload(file.Path(), credentials, RankingRequest::LoadServer(), interaction_, this);
    upload.exec();
}

void PBViewer::OnCalculator() {
    if (!table_filled_) {
        interaction_.ShowMessage("No laptimes to calculate Ranks on!\r\nYou must first click 'Refresh' above");
        return;
    }
    if (calculator_dialog) {
        calculator_dialog();
        return;
    }
    RecordsHandicapView source(records_);
    NewQELRankCalculator calculator(source, interaction_, this);
    calculator.exec();
}

void PBViewer::reject() {
    if (running_) {
        cancelled_ = true;
        return;
    }
    QDialog::reject();
}
