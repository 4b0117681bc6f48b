#include "reports/ui/report_site_listener.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "document/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "settings/path_lookup.h"
#include "settings/settings.h"
#include "track/track.h"

ReportSiteListener::ReportSiteListener(Interaction& ui, CRpyGraphDoc& doc, SiteChartImages::TrackMap track_map,
                                       QWidget* parent)
    : QDialog(parent),
      ui_(ui),
      doc_(doc),
      track_map_(std::move(track_map)),
      // One folder for the replays and the tracks: the document's copy of
      // the simulator folder.
      watcher_([&doc] { return doc.GetReplayFolder(); }) {
    setWindowTitle("Report Site Listener");
    auto* text = new QLabel(
        "This feature will monitor your QEL replay directory and generate a Report Site for every new replay that "
        "is saved.\nSimply start this feature before starting your server and complete Report Sites will be "
        "automatically generated to the directory below.",
        this);
    text->setWordWrap(true);
    // A fixed width, so the wrapped text gets all the lines it needs.
    text->setFixedWidth(420);
    auto* group = new QGroupBox("Export Path", this);
    folder_ = new QLineEdit(FromWindows1252(doc.GetSettings().GetRecordsPath()), group);
    browse_ = new QPushButton("Browse", group);
    auto* row = new QHBoxLayout(group);
    row->addWidget(folder_, 1);
    row->addWidget(browse_);
    start_ = new QPushButton("Start", this);
    stop_ = new QPushButton("Stop", this);
    stop_->setDefault(true);
    stop_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    timer_ = new QTimer(this);
    timer_->setInterval(kPollMs);
    connect(timer_, &QTimer::timeout, this, [this] { OnTimer(); });
    connect(start_, &QPushButton::clicked, this, &ReportSiteListener::OnStart);
    connect(stop_, &QPushButton::clicked, this, &ReportSiteListener::OnStop);
    connect(browse_, &QPushButton::clicked, this, &ReportSiteListener::OnBrowse);
}

ReportSiteListener::~ReportSiteListener() = default;

void ReportSiteListener::SetListening(bool listening) {
    stop_->setEnabled(listening);
    start_->setEnabled(!listening);
    folder_->setEnabled(!listening);
    browse_->setEnabled(!listening);
}

void ReportSiteListener::OnStart() {
    doc_.OnNewDocument();
    watcher_.Start();
    last_failure_.clear();
    SetListening(true);
    timer_->start();
}

void ReportSiteListener::OnStop() {
    if (watcher_.listening()) {
        timer_->stop();
        watcher_.Stop();
        doc_.OnNewDocument();
        SetListening(false);
    }
    QDialog::accept();
}

void ReportSiteListener::reject() { OnStop(); }

void ReportSiteListener::OnBrowse() {
    if (const auto chosen = ui_.ChooseFolder("Export Path", ToWindows1252(folder_->text())))
        folder_->setText(FromWindows1252(*chosen));
}

ReportSiteWatcher::Outcome ReportSiteListener::OnTimer() {
    // Ticks that come while a message of this listener is open do nothing.
    if (in_timer_) return ReportSiteWatcher::Outcome::kIdle;
    in_timer_ = true;
    const auto outcome = watcher_.Tick([this](const std::filesystem::path& replay) { return WriteSite(replay); });
    if (outcome == ReportSiteWatcher::Outcome::kFailed)
        ui_.ShowMessage("Could not create site!\r\nPlease verify export path in File->Settings\r\n\r\n" + last_failure_,
                        Interaction::Icon::Error);
    in_timer_ = false;
    return outcome;
}

ReportSiteWatcher::Handled ReportSiteListener::WriteSite(const std::filesystem::path& replay) {
    using Handled = ReportSiteWatcher::Handled;
    std::string parent = ToWindows1252(folder_->text());
    // A stored Windows path leads to its Wine drive.
    if (const auto local = path_lookup::ToLocalPath(parent)) parent = local->string();
    if (parent.empty()) {
        last_failure_ = "No export path set.";
        return Handled::kFailed;
    }
    // Replays the site is not made for are passed over without a word.
    auto header = std::make_unique<Header>();
    if (header->Load(replay.string()) != 0) return Handled::kSkipped;
    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(replay.string()) != 0) return Handled::kSkipped;
    if (drivers->race_present != 1 || drivers->driver_count < 2 || drivers->driver_count != drivers->chunk_driver_count)
        return Handled::kSkipped;

    auto track = Track::Load(doc_.GetQELDirectory(), header->track_folder);
    if (!track) {
        ui_.ShowMessage(
            "Can't find track for this replay!\nYou'll not be able to see any track maps nor speed data!\n"
            "Make sure QEL Path is set correctly in File->Settings");
    }
    // The map is drawn from the document's track only when that is this
    // replay's own: a document still holding laps keeps its track, and the
    // site then names its map as failed.
    const bool lent = doc_.LendTrackSlot(std::move(track));
    SiteChartImages::TrackMap map = track_map_;
    if (!lent) map = [](const std::string&, int, std::string*) { return ReportSiteImages::Result::kFailed; };
    const auto result = WriteSiteWithCharts(ui_, &doc_, *header, *drivers, parent, map);
    if (lent) doc_.LendTrackSlot(nullptr);
    if (result.complete()) return Handled::kWritten;
    last_failure_.clear();
    for (const std::string& problem : result.problems) last_failure_ += problem + "\r\n";
    return result.folder.empty() ? Handled::kFailed : Handled::kIncomplete;
}
