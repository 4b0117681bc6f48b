#include "records/ui/export_records.h"

#include <QApplication>
#include <QPushButton>
#include <ctime>

#include "document/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "records/records_html_writer.h"
#include "settings/settings.h"
#include "ui_export_records.h"

ExportRecords::ExportRecords(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ExportRecords>()), doc_(doc), interaction_(ui) {
    ui_->setupUi(this);
    for (const auto& entry : ExportRecordsModel::DriverList(doc_.GetQELDirectory()))
        ui_->driverList->addItem(FromWindows1252(entry));
    if (doc_.default_player_index >= 0 && doc_.default_player_index < ui_->driverList->count())
        ui_->driverList->setCurrentIndex(doc_.default_player_index);
    else
        ui_->driverList->setCurrentIndex(-1);
    disconnect(ui_->buttons, nullptr, this, nullptr);
    connect(ui_->buttons, &QDialogButtonBox::accepted, this, &ExportRecords::OnOK);
    connect(ui_->buttons, &QDialogButtonBox::rejected, this, &ExportRecords::reject);
}

ExportRecords::~ExportRecords() = default;

QComboBox* ExportRecords::DriverList() const { return ui_->driverList; }
QCheckBox* ExportRecords::LaunchBrowser() const { return ui_->launchBrowser; }
QCheckBox* ExportRecords::CompleteLaps() const { return ui_->completeLaps; }
QCheckBox* ExportRecords::ScanReplays() const { return ui_->scanReplays; }
QProgressBar* ExportRecords::ProgressBar() const { return ui_->progress; }
QPushButton* ExportRecords::OkButton() const { return ui_->buttons->button(QDialogButtonBox::Ok); }
QPushButton* ExportRecords::CancelButton() const { return ui_->buttons->button(QDialogButtonBox::Cancel); }

void ExportRecords::OnOK() {
    if (running_) return;
    const int selection = ui_->driverList->currentIndex();
    if (selection < 0) {
        interaction_.ShowMessage("No driver selected!");
        return;
    }
    doc_.default_player_index = selection;
    RunExport(selection);
    if (cancelled_)
        QDialog::reject();
    else
        accept();
}

bool ExportRecords::RunExport(int driver_index) {
    site_folder_.clear();
    // The scan can take minutes: say before it, not after, that the site
    // would have nowhere to go.
    if (doc_.GetSettings().GetRecordsPath().empty()) {
        interaction_.ShowMessage(RecordsHtmlWriter::kNoRecordsFolder);
        return false;
    }
    cancelled_ = false;
    running_ = true;
    OkButton()->setEnabled(false);
    ui_->driverList->setEnabled(false);
    ui_->optionsGroup->setEnabled(false);
    ExportRecordsModel::Options options;
    options.simulator_folder = doc_.GetQELDirectory();
    options.alt_replay_folder = doc_.GetAltRpyPath();
    options.season_code = 1967;
    options.complete_laps_only = ui_->completeLaps->isChecked();
    options.scan_replays = ui_->scanReplays->isChecked();
    options.warbleye_msg = doc_.GetSettings().GetWarbleyeMsg() == 1;

    interaction_.BeginWait();
    // The scan runs here on the window's thread; the events taken between
    // steps keep the bar moving and let Cancel stop it.
    const auto result = model_.Run(driver_index, options, interaction_, [this](int done, int total) {
        ui_->progress->setRange(0, total);
        ui_->progress->setValue(done);
        QApplication::processEvents();
        return !cancelled_;
    });
    bool written = false;
    if (result == ExportRecordsModel::Result::kDone) {
        RecordsHtmlWriter writer(model_);
        const Settings& settings = doc_.GetSettings();
        writer.WriteSite(settings.GetRecordsPath(), settings.GetProgramFolder(), interaction_, std::time(nullptr));
        site_folder_ = writer.GetSiteFolder();
        written = !site_folder_.empty();
        if (written && ui_->launchBrowser->isChecked()) interaction_.OpenWithProgram(site_folder_ + "/index.html");
    }
    interaction_.EndWait();
    running_ = false;
    OkButton()->setEnabled(true);
    ui_->driverList->setEnabled(true);
    ui_->optionsGroup->setEnabled(true);
    ui_->progress->setValue(0);
    return written;
}

void ExportRecords::reject() {
    // Cancel while the scan runs stops the scan; the dialog then closes.
    if (running_) {
        cancelled_ = true;
        return;
    }
    QDialog::reject();
}
