#include "document/rpy_graph_doc.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "interaction/interaction.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"
#include "replay/name_tables.h"
#include "settings/file_info_array.h"
#include "settings/path_lookup.h"
#include "settings/settings.h"
#include "track/track.h"
#include "track/track_path_tracer.h"

namespace {

constexpr const char* kProgressText = "Please wait while loading replay lap...";
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kDegreesPerOrientationUnit = 0.087890625;  // 360 / 4096
constexpr double kGPerMetrePerSecondSquared = 0.1020408163265306;  // 1 / 9.8

// The lap's entry in the driver table, in the session's table.
uint32_t StoredLapTime(const Drivers& drivers, const LapChoice& choice) {
    if (choice.driver < 0 || choice.driver >= Drivers::kMaxDrivers || choice.lap < 0 ||
        choice.lap >= Drivers::kTableWords)
        return 0;
    const auto& table = choice.session == 0 ? drivers.practice_times : drivers.race_times;
    return Drivers::LapMs(table[static_cast<size_t>(choice.driver)][static_cast<size_t>(choice.lap)]);
}

}  // namespace

LapSlot::LapSlot() = default;
LapSlot::~LapSlot() = default;
LapSlot::LapSlot(LapSlot&&) noexcept = default;
LapSlot& LapSlot::operator=(LapSlot&&) noexcept = default;
LapChooser::~LapChooser() = default;
DocumentObserver::~DocumentObserver() = default;

const std::array<uint32_t, CRpyGraphDoc::kColourCount>& CRpyGraphDoc::DefaultColours() {
    static const std::array<uint32_t, kColourCount> colours = {
        0x0000FF, 0xFF0000, 0x38FB00, 0x00F0F0, 0xE2E826, 0x2F2020, 0x2D5B28, 0x808080, 0xBEBEBE,
        0x328032, 0x005CB9, 0xFF00FF, 0x0050A0, 0x000000, 0xFFFFFF, 0x0000FF, 0x0000FF, 0xFF0000,
        0x007F00, 0xFF00FF, 0x007F7F, 0x000000, 0x0000FF, 0x6600FF, 0x0000CC, 0x6666FF, 0xFF0000,
        0x660000, 0xFFCC33, 0xCC3366, 0x007F00, 0x00FF00, 0x669933, 0x006633, 0xFF00FF, 0xFF6699,
        0x6633FF, 0xFF00CC, 0x007F7F, 0x666666, 0x33CCFF, 0x669999};
    return colours;
}

CRpyGraphDoc::CRpyGraphDoc(Settings& settings, Interaction& ui, std::function<void(CRpyGraphDoc&)> open_settings_dialog)
    : settings_(settings), ui_(ui), open_settings_dialog_(std::move(open_settings_dialog)),
      colours_(DefaultColours()) {
    LoadSettings();
}

CRpyGraphDoc::~CRpyGraphDoc() {
    for (int i = 0; i < kCapacity; ++i) ReleaseSlot(i);
    DropTrack();
    settings_.SetDefaultPlayerIndex(default_player_index);
    settings_.SetDefaultModIndex(default_mod_index);
    if (!settings_.Save()) ui_.ShowMessage(settings_.SaveFailureMessage(), Interaction::Icon::Error);
}

void CRpyGraphDoc::AddObserver(DocumentObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void CRpyGraphDoc::RemoveObserver(DocumentObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void CRpyGraphDoc::UpdateAllViews(DocumentObserver::Change change) {
    // An observer may unregister while it is told; tell a copy of the list.
    const std::vector<DocumentObserver*> observers = observers_;
    for (DocumentObserver* o : observers)
        if (std::find(observers_.begin(), observers_.end(), o) != observers_.end()) o->OnDocumentChanged(*this, change);
}

void CRpyGraphDoc::ApplySettings() {
    alt_rpy_path_ = settings_.GetAltRpyPath();
    retire_in_race_report_ = settings_.GetRetireInRaceReport();
    off_the_track_in_race_report_ = settings_.GetOffTheTrackInRaceReport();
    use_mph_ = settings_.GetUseMPH();
    dont_show_qual_report_ = settings_.GetDontShowQualReport();
    qel_directory_ = settings_.GetQELDirectory();
    bmp_size_in_pixel_ = settings_.GetBMPSizeInPixel();
}

void CRpyGraphDoc::LoadSettings() {
    ApplySettings();
    default_player_index = settings_.GetDefaultPlayerIndex();
    default_mod_index = settings_.GetDefaultModIndex();

    if (!qel_directory_.empty() && path_lookup::IsSimulatorFolder(qel_directory_)) return;
    ui_.ShowMessage(
        "Unable to find the file qel.exe in the specified QEL-directory.\nPlease choose a valid Varnholm directory.");
    if (open_settings_dialog_) open_settings_dialog_(*this);
}

std::string CRpyGraphDoc::FormatLapTime(uint32_t lap_time) {
    const uint32_t ms = Drivers::LapMs(lap_time);
    char text[50];
    std::snprintf(text, sizeof text, "%um %02u.%03us", ms / 60000, ms / 1000 % 60, ms % 1000);
    return text;
}

std::string CRpyGraphDoc::GetCarName(int season_code, int car_index) {
    return name_tables::GetCarName(season_code, car_index);
}

std::string CRpyGraphDoc::GetModYearText(int season_code) { return name_tables::GetModYearText(season_code); }

void CRpyGraphDoc::ReleaseSlot(int i) {
    LapSlot& slot = slots_[static_cast<size_t>(i)];
    // The telemetry borrows the driver table: it goes first.
    slot.telemetry.reset();
    slot.drivers.reset();
    slot.header.reset();
    slot.tracer.reset();
    slot.used = false;
}

void CRpyGraphDoc::DropTrack() {
    if (track_) track_->Clear();
    track_.reset();
    track_loaded_ = false;
    painter_fitted_ = false;
}

bool CRpyGraphDoc::LendTrackSlot(std::unique_ptr<Track> track) {
    if (loaded_count_ > 0) {
        if (track) track->Clear();
        return false;
    }
    DropTrack();
    track_ = std::move(track);
    track_loaded_ = track_ != nullptr;
    UpdateAllViews(DocumentObserver::Change::kTrack);
    return true;
}

bool CRpyGraphDoc::OnNewDocument() {
    title_ = kNoLapTitle;
    UpdateAllViews(DocumentObserver::Change::kCleared);
    for (int i = 0; i < kCapacity; ++i) ReleaseSlot(i);
    loaded_count_ = 0;
    DropTrack();
    UpdateAllViews(DocumentObserver::Change::kLapRows);
    UpdateAllViews(DocumentObserver::Change::kTrack);
    return true;
}

bool CRpyGraphDoc::ArrangeLaps(const std::vector<int>& order) {
    const int n = static_cast<int>(order.size());
    std::array<bool, kCapacity> kept{};
    for (int s : order) {
        if (s < 0 || s >= loaded_count_ || kept[static_cast<size_t>(s)]) return false;
        kept[static_cast<size_t>(s)] = true;
    }
    if (n == 0) return OnNewDocument();

    // The laps leave their slots first; the slots keep their tracers, whose
    // index is the colour they draw in.
    struct Lap {
        std::unique_ptr<Header> header;
        std::unique_ptr<Drivers> drivers;
        std::unique_ptr<GetRpyInfo> telemetry;
        int driver = 0, session = 0, lap = 0;
    };
    std::array<Lap, kCapacity> laps;
    for (int s = 0; s < loaded_count_; ++s) {
        LapSlot& slot = slots_[static_cast<size_t>(s)];
        laps[static_cast<size_t>(s)] = {std::move(slot.header), std::move(slot.drivers), std::move(slot.telemetry),
                                        slot.driver, slot.session, slot.lap};
    }
    for (int r = 0; r < n; ++r) {
        Lap& lap = laps[static_cast<size_t>(order[static_cast<size_t>(r)])];
        LapSlot& slot = slots_[static_cast<size_t>(r)];
        slot.header = std::move(lap.header);
        slot.drivers = std::move(lap.drivers);
        slot.telemetry = std::move(lap.telemetry);
        slot.driver = lap.driver;
        slot.session = lap.session;
        slot.lap = lap.lap;
    }
    // The telemetry borrows its driver table: it goes first.
    for (Lap& lap : laps) {
        lap.telemetry.reset();
        lap.drivers.reset();
        lap.header.reset();
    }
    for (int s = n; s < loaded_count_; ++s) ReleaseSlot(s);
    loaded_count_ = n;
    redraw = true;
    UpdateAllViews(DocumentObserver::Change::kLapRows);
    return true;
}

bool CRpyGraphDoc::OnAddReplayLap() { return AddLap(Ask::kFileAndLap, {}, {}); }

bool CRpyGraphDoc::OnOpenDocument(const std::string& path) { return AddLap(Ask::kLap, path, {}); }

bool CRpyGraphDoc::AddLapFromCommandLine(const std::string& path, int session, int driver, int lap) {
    return AddLap(Ask::kNothing, path, LapChoice{driver, session, lap});
}

std::optional<std::filesystem::path> CRpyGraphDoc::GetReplayFolder() const {
    const auto local = path_lookup::ToLocalPath(qel_directory_);
    return local ? path_lookup::Find(*local, "replay") : std::nullopt;
}

bool CRpyGraphDoc::OpenMostRecentReplay() {
    const auto folder = GetReplayFolder();
    if (!folder) return false;
    CFileInfoArray files;
    files.AddDir(folder->string(), "*.rpy", false);
    // The scan lists names in order, so the first of equally new files wins.
    const CFileInfo* newest = nullptr;
    for (const CFileInfo& file : files.records())
        if (!newest || file.creation_time > newest->creation_time) newest = &file;
    if (!newest) return false;
    return OnOpenDocument(newest->full_path);
}

bool CRpyGraphDoc::AddLap(Ask ask, const std::string& preset_path, const LapChoice& preset) {
    using Icon = Interaction::Icon;
    if (loaded_count_ >= kCapacity) {
        ui_.ShowMessage("Max number of laps already loaded!");
        return false;
    }
    std::string current_track;
    if (loaded_count_ > 0) current_track = slots_[0].header->track_folder;

    std::string path = preset_path;
    if (ask == Ask::kFileAndLap) {
        const auto replay_folder = GetReplayFolder();
        const std::string start = replay_folder ? replay_folder->string() : qel_directory_;
        const auto chosen = ui_.ChooseOpenFile("Select Replay File", start,
                                               {{"Replay files", "*.rpy"}, {"All Files", "*.*"}});
        if (!chosen) return false;
        path = *chosen;
    }

    const int index = loaded_count_;  // the used slots are 0 to loaded count - 1
    LapSlot& slot = slots_[static_cast<size_t>(index)];

    auto header = std::make_unique<Header>();
    if (header->Load(path) != Header::kOk || header->version == 3) {
        ui_.ShowMessage(header->version == 3 ? "HeaderClass: Torquana 4 replays not supported!"
                                             : "HeaderClass: Error reading file!",
                        Icon::Error);
        ui_.ShowMessage(path, Icon::Error);
        return false;
    }
    // Track folders are Windows folder names: a replay that names the same
    // folder in other letters' case comes from the same track.
    if (loaded_count_ > 0 && !path_lookup::EqualsNoCase(header->track_folder, current_track)) {
        ui_.ShowMessage("This file is not from the same track!");
        return false;
    }

    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(path) != 0) {
        ui_.ShowMessage("DriversClass: Error reading file!", Icon::Error);
        return false;
    }
    if (drivers->driver_count != static_cast<int>(drivers->chunk_driver_count)) {
        ui_.ShowMessage(
            "Sorry, but Ostrevan cannot load this file correct.\r\nPlease contact us so that we can analyse why.",
            Icon::Error);
        return false;
    }

    LapChoice choice = preset;
    if (ask != Ask::kNothing) {
        if (!lap_chooser_) return false;
        const auto chosen = lap_chooser_->ChooseLap(*header, *drivers);
        if (!chosen) return false;
        choice = *chosen;
    }

    ui_.BeginWait();
    ui_.ShowProgress(kProgressText);
    auto end_progress = [this] {
        ui_.ShowProgress({});
        ui_.EndWait();
    };

    // The first lap brings the track. It is kept aside until the lap has
    // been read, so a lap that fails leaves no track behind.
    const bool first_lap = loaded_count_ == 0;
    std::unique_ptr<Track> new_track;
    if (first_lap) {
        DropTrack();
        new_track = Track::Load(qel_directory_, header->track_folder);
    }

    auto telemetry = std::make_unique<GetRpyInfo>();
    if (telemetry->ExtractLap(*drivers, choice.driver, choice.lap, choice.session) != GetRpyInfo::kOk) {
        end_progress();
        if (new_track) new_track->Clear();
        ui_.ShowMessage("RpyDataClass: Error reading file!", Icon::Error);
        return false;
    }
    end_progress();

    // The lap is in: from here on nothing fails.
    slot.used = true;
    ++loaded_count_;
    path_name_ = path;
    title_ = header->track_folder.substr(0, 15);
    if (!title_.empty()) title_[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title_[0])));
    UpdateAllViews(DocumentObserver::Change::kPathAdded);
    if (first_lap) {
        track_ = std::move(new_track);
        track_loaded_ = track_ != nullptr;
        painter_fitted_ = false;
        if (!track_loaded_) {
            ui_.ShowMessage(
                "Can't find track for this replay!\nYou'll not be able to see any track maps nor speed data!\n"
                "Make sure QEL Path is set correctly in File->Settings");
        }
        UpdateAllViews(DocumentObserver::Change::kTrack);
    }

    if (!dont_show_qual_report_) ShowQualityReport(*telemetry, *drivers, choice);
    telemetry->TrimToLap(1);
    if (track_loaded_) CheckLapTime(*telemetry, *drivers, choice);

    slot.header = std::move(header);
    slot.drivers = std::move(drivers);
    slot.telemetry = std::move(telemetry);
    slot.driver = choice.driver;
    slot.session = choice.session;
    slot.lap = choice.lap;
    if (track_) slot.tracer = std::make_unique<TrackPathTracer>(*track_, index);
    if (track_loaded_) ComputeDerivedChannels(index);
    UpdateAllViews(DocumentObserver::Change::kLapRows);
    return true;
}

void CRpyGraphDoc::ShowQualityReport(const GetRpyInfo& lap, const Drivers& drivers, const LapChoice& choice) {
    const uint32_t n = lap.sample_count;
    // A lap without samples has no data at all: its quality is nothing.
    const double quality = n == 0 ? 0.0 : 100.0 - static_cast<double>(lap.missing_count) / n * 100.0;
    const int shown = static_cast<int>(quality);
    std::string text = "Online quality of lapdata: " + std::to_string(shown) + "%\nLargest online gap: " +
                       std::to_string(lap.longest_missing_run / 36) + " seconds";
    if (uint64_t{n} * 1000 / 36 < StoredLapTime(drivers, choice))
        text += "\n\nPossible partly loss of data due to accelerated time\nor other disturbance.";
    if (lap.decoded_count == 0 && quality > 0) {
        text =
            "This laps seems to be a lap set under\r\naccelerated time and contains no data.\nThe plot and graph will "
            "not work OK with this lap,\n but you can run the reports.";
    }
    ui_.ShowMessage(text, Interaction::Icon::Information);
}

void CRpyGraphDoc::CheckLapTime(const GetRpyInfo& lap, const Drivers& drivers, const LapChoice& choice) {
    const int64_t n = lap.sample_count;
    const int64_t d1 = lap.start_distance_step;
    const int64_t dn = lap.end_distance_step;
    // The check reads samples 2, 3 and n - 2 and divides by both steps; a
    // lap too short for that, or a car that stood at either end, is not
    // checked.
    if (n < 4 || d1 == 0 || dn == 0) return;
    const auto& a = lap.distance_raw;
    const double length = track_->GetLength();
    const int64_t lr = static_cast<int64_t>(drivers.distance_unit == GetRpyInfo::kCoarseUnit ? length * 500.0
                                                                                              : length * 2000.0);
    const int64_t d = lr - int64_t{a[static_cast<size_t>(n - 2)]};
    const int64_t x = std::llabs(d) > dn ? dn : d;
    const double seconds = (static_cast<double>(n) - 4.0) / 36.0 + static_cast<double>(a[2]) / 36.0 / d1 +
                           static_cast<double>(x) / static_cast<double>(dn) / 36.0;
    const int64_t calculated = static_cast<int64_t>(seconds * 1000.0);
    if (calculated == 0) return;
    const int64_t stored = StoredLapTime(drivers, choice);
    if (int64_t{a[3]} > 3 * d1 || std::llabs(d) > 3 * dn) {
        ui_.ShowMessage(
            "ZAVRO has detected that some data seems to be missing at the start/end of this lap"
            "\nThis is often caused by false laptimes in the replay.\nThe replay laptime for this lap is probably "
            "incorrect.\nRun Tools->Online Laptime Verifier to analyse the lap further.",
            Interaction::Icon::Information);
        return;
    }
    const bool is_player = choice.driver >= 0 && choice.driver < Drivers::kMaxDrivers &&
                           drivers.player_index == drivers.slot[static_cast<size_t>(choice.driver)];
    if (std::llabs(stored - calculated) > 30 && is_player) {
        ui_.ShowMessage("ZAVRO has detected the laptime for this lap might be incorrect\n\nLaptime stored in replay: " +
                            FormatLapTime(static_cast<uint32_t>(stored)) + "\nLaptime calculated by ZAVRO: " +
                            FormatLapTime(static_cast<uint32_t>(calculated)) +
                            "\nRun Tools->Online Laptime Verifier to analyse the lap further.",
                        Interaction::Icon::Information);
    }
}

void CRpyGraphDoc::ComputeDerivedChannels(int index) {
    LapSlot& slot = slots_.at(static_cast<size_t>(index));
    if (!track_ || !slot.telemetry || !slot.tracer || !slot.drivers) return;
    GetRpyInfo& lap = *slot.telemetry;
    const Drivers& drivers = *slot.drivers;
    const size_t n = lap.sample_count;
    // Every derived channel was allocated zeroed for n + 2 entries; a lap
    // with fewer than three samples has no step to derive anything from.
    if (n < 3 || lap.speed.size() < n + 2) return;

    painter_.FitToSurfaceBounds(kTelemetryMargin, kTelemetryMargin, kTelemetryCanvas, kTelemetryCanvas);
    const double k = painter_.GetPixelsPerMetre();
    telemetry_scale_ = k;
    TrackPathTracer& tracer = *slot.tracer;
    tracer.Reset();

    // The tracer's first move only places it and reports (0, 0); every
    // sample's pixel, the first one's too, is taken from the point the
    // tracer stands on, so the first step does not run from the corner of
    // the canvas. A sample off every section keeps the previous pixel.
    struct P {
        int64_t x = 0, y = 0;
    };
    auto pixel_of = [&](size_t i, const P& fallback) {
        if (!tracer.MoveTo(painter_, lap.distance[i], lap.lateral_offset[i], true)) return fallback;
        const PixelPoint q = painter_.WorldToPixel(tracer.GetCurrentPoint());
        return P{q.x, q.y};
    };
    P previous = pixel_of(1, P{});
    lap.map_x[1] = static_cast<double>(previous.x);
    lap.map_y[1] = static_cast<double>(previous.y);
    P before_previous = previous;

    const double length = track_->GetLength();
    const std::array<double, 3> split_distance = {0.25 * length, 0.5 * length, 0.75 * length};
    const int64_t d1 = lap.start_distance_step;
    const double t0 = d1 == 0 ? 0.0 : static_cast<double>(lap.distance_raw[2]) / 36.0 / static_cast<double>(d1);
    const bool is_player = drivers.player_index == static_cast<uint32_t>(slot.driver);
    auto& s = lap.speed;

    for (size_t i = 2; i <= n - 1; ++i) {
        const P p = pixel_of(i, previous);
        lap.map_x[i] = static_cast<double>(p.x);
        lap.map_y[i] = static_cast<double>(p.y);
        const double dx = static_cast<double>(p.x - previous.x);
        const double dy = static_cast<double>(p.y - previous.y);

        const double g = std::atan2(dy, dx) * kDegreesPerRadian;
        lap.heading[i] = g + 180.0;
        const double o = -(lap.orientation[i] * kDegreesPerOrientationUnit);
        double slip = o + 180.0 - lap.heading[i];
        if (slip < -300.0) slip += 360.0;
        if (slip > 300.0) slip -= 360.0;
        lap.slip_angle[i] = slip;

        s[i] = std::sqrt(dx * dx + dy * dy) * 129600.0 / (1000.0 * k);
        if (i > 5 && std::fabs(s[i - 1] - s[i]) > 1.0) {
            const double diff2 = std::fabs(s[i - 2] - s[i]);
            if (diff2 > 1.0 && std::fabs(s[i - 3] - s[i]) < 2.0) s[i - 2] = s[i - 1] = (s[i] + s[i - 3]) / 2.0;
            if (diff2 < 2.0) s[i - 1] = (s[i] + s[i - 2]) / 2.0;
        }

        for (size_t w = 0; w < 4; ++w) {
            lap.locked_wheel[w][i] = s[i] > 30.0 && is_player && lap.wheel_state[w][i] == 0 &&
                                     lap.wheel_value[w][i] == lap.wheel_value[w][i - 1];
        }
        lap.slip_less_steering[i] = slip - static_cast<double>(lap.steering[i] * 20 / 124);

        // t0 is the time since the line at sample 2, so a split passed
        // between samples i - 1 and i lies i - 3 whole ticks and a fraction
        // of one after sample 2.
        for (size_t q = 0; q < split_distance.size(); ++q) {
            if (lap.split_time_ms[q] != 0 || !(split_distance[q] < lap.distance[i])) continue;
            const double step = lap.distance[i] - lap.distance[i - 1];
            const double fraction = step == 0.0 ? 0.0 : (split_distance[q] - lap.distance[i - 1]) / step;
            lap.split_time_ms[q] =
                static_cast<int32_t>((fraction / 36.0 + (static_cast<double>(i) - 3.0) / 36.0 + t0) * 1000.0);
        }
        lap.orientation_degrees[i] = o;

        const double newer_x = static_cast<double>(previous.x - p.x) * 36.0 / k;
        const double newer_y = static_cast<double>(previous.y - p.y) * 36.0 / k;
        const double older_x = static_cast<double>(before_previous.x - previous.x) * 36.0 / k;
        const double older_y = static_cast<double>(before_previous.y - previous.y) * 36.0 / k;
        lap.accel_raw_x[i] = (newer_x - older_x) * 36.0 * kGPerMetrePerSecondSquared;
        lap.accel_raw_y[i] = (newer_y - older_y) * 36.0 * kGPerMetrePerSecondSquared;
        double x = 0.0, y = 0.0;
        if (i > 6) {
            for (size_t j = i - 6; j <= i; ++j) {
                x += lap.accel_raw_x[j];
                y += lap.accel_raw_y[j];
            }
            x /= 7.0;
            y /= 7.0;
        }
        const double total = std::sqrt(x * x + y * y);
        const double a = std::atan2(y, x) * kDegreesPerRadian;
        lap.accel_total[i] = total;
        lap.accel_long[i] = total * std::sin((a - o + 270.0) / kDegreesPerRadian);
        lap.accel_lat[i] = total * std::cos((a - o + 270.0) / kDegreesPerRadian);
        lap.accel_travel_long[i] = total * std::sin((a - g + 270.0) / kDegreesPerRadian);
        lap.accel_travel_lat[i] = total * std::cos((a - g + 270.0) / kDegreesPerRadian);

        before_previous = previous;
        previous = p;
    }

    // The first and the last sample have no step of their own to measure a
    // speed from; they take their neighbour's, so nothing that reads the
    // channel (the speed report's lowest speed, the graphs, the export)
    // sees a car standing at either end of the lap.
    s[1] = s[2];
    s[n] = s[n - 1];

    // Each acceleration channel becomes the mean of its own last four values
    // before smoothing; samples before 2 count as 0.
    for (auto* channel :
         {&lap.accel_long, &lap.accel_lat, &lap.accel_travel_long, &lap.accel_travel_lat, &lap.accel_total}) {
        const std::vector<double> raw = *channel;
        for (size_t i = 2; i <= n - 1; ++i) {
            double sum = 0.0;
            for (size_t j = i >= 3 ? i - 3 : 0; j <= i; ++j)
                if (j >= 2) sum += raw[j];
            (*channel)[i] = sum / 4.0;
        }
    }
    tracer.Reset();
    painter_fitted_ = false;
}
