#include "records/lap_finder_model.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "interaction/interaction.h"
#include "records/media_drives.h"
#include "records/replay_database_loader.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "replay/name_tables.h"
#include "replay/replay_file.h"
#include "settings/path_lookup.h"

namespace {

constexpr const char* kHeadings[] = {"Driver Name                     ", "Lap time    ", "Team (Mod)      ", "Class",
                                     "Session  ", "Filedate         ", "Replay file    "};
constexpr const char* kClassTexts[] = {"NA", "F3", "F2", "F1"};
constexpr const char* kScanning = "Please wait while scanning replays...";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lower(std::string s) {
    for (char& c : s) c = Lower(c);
    return s;
}

// "2007 Mar 05" as 20070305; 0 for any other text.
uint32_t DateKey(const std::string& text) {
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    unsigned year = 0, day = 0;
    char month[4] = {};
    if (std::sscanf(text.c_str(), "%4u %3s %2u", &year, month, &day) != 3) return 0;
    for (unsigned m = 0; m < 12; ++m)
        if (std::strcmp(month, months[m]) == 0) return year * 10000 + (m + 1) * 100 + day;
    return 0;
}

}  // namespace

LapFinderModel::LapFinderModel(Settings settings, const MediaDrives& media, Interaction& ui)
    : settings_(std::move(settings)), media_(media), ui_(ui) {}

LapFinderModel::~LapFinderModel() = default;

const char* LapFinderModel::ColumnHeading(int column) { return kHeadings[column]; }

std::string LapFinderModel::FormatLapTime(uint32_t time) {
    const uint32_t ms = time & 0xFFFFFF;
    const uint32_t m = ms / 60000;
    const uint32_t s = ms / 1000 - 60 * m;
    const uint32_t r = ms - (s + 60 * m) * 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%um %02u.%03us", m, s, r);
    return text;
}

std::vector<std::string> LapFinderModel::TrackList() const {
    std::vector<std::string> tracks;
    const auto folder = path_lookup::ToLocalPath(settings_.simulator_folder);
    if (!folder) return tracks;
    if (const auto dir = path_lookup::Find(*folder, "tracks"))
        for (const auto& f : path_lookup::ListFolders(*dir)) tracks.push_back(Lower(f.filename().string()));
    std::sort(tracks.begin(), tracks.end());
    return tracks;
}

std::vector<std::string> LapFinderModel::ModList() {
    std::vector<std::string> mods = {"All"};
    std::string name;
    for (int i = 0; name_tables::GetModName(i, name) != -1; ++i) mods.push_back(name);
    return mods;
}

int LapFinderModel::TrackEntryFor(const std::vector<std::string>& tracks, const std::string& track) {
    for (size_t i = 0; i < tracks.size(); ++i)
        if (!track.empty() && tracks[i].compare(0, track.size(), track) == 0) return static_cast<int>(i);
    return -1;
}

void LapFinderModel::ReadFolder(const std::optional<std::filesystem::path>& folder, const std::string& track) {
    if (!folder) return;
    const std::vector<std::filesystem::path> files = path_lookup::ListFiles(*folder, "*.rpy");
    folder_replays_ += static_cast<int>(files.size());
    const std::string folder_text = folder->string();
    struct Slot {
        Header header;
        Drivers table;
        int header_result = 0;
        int table_result = 0;
    };
    // Reading a replay is mostly the system copying its head and tail, which
    // several threads do side by side; the replays are read a batch at a
    // time and taken in file order, so the rows stand as one reader would
    // add them.
    constexpr size_t kBatch = 32;
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    // A lone reader keeps one table hot in the cache instead.
    const size_t batch = threads == 1 ? 1 : kBatch;
    std::vector<Slot> slots(std::min(batch, files.size()));
    // One open and one read of the head serve the header and the table.
    std::vector<std::unique_ptr<ReplayFile>> readers;
    for (unsigned t = 0; t < threads; ++t)
        readers.push_back(std::make_unique<ReplayFile>(Drivers::kHeadWindow, Drivers::kTailWindow));
    for (size_t start = 0; start < files.size(); start += batch) {
        const size_t end = std::min(files.size(), start + batch);
        std::atomic<size_t> next{start};
        auto read = [&](ReplayFile& replay) {
            for (size_t i; (i = next.fetch_add(1)) < end;) {
                Slot& slot = slots[i - start];
                const std::string path = files[i].string();
                replay.Open(path);
                slot.header_result = slot.header.Load(path, replay);
                if (slot.header_result == Header::kOk && slot.header.track_folder == track)
                    slot.table_result = slot.table.LoadReplay(path, replay);
            }
        };
        {
            std::vector<std::jthread> helpers;
            for (unsigned t = 1; t < threads && t < end - start; ++t) helpers.emplace_back(read, std::ref(*readers[t]));
            read(*readers[0]);
        }
        for (size_t i = start; i < end; ++i) {
            const Slot& slot = slots[i - start];
            if (slot.header_result != Header::kOk) {
                damaged_.push_back(files[i].string());
                continue;
            }
            if (slot.header.track_folder != track) continue;
            if (slot.table_result != 0 || slot.table.driver_count < 0) {
                // Replays written by other tools often lack a driver table
                // that can be read; they are named only when the settings
                // ask for it.
                if (settings_.warbleye_messages) damaged_.push_back(files[i].string());
                continue;
            }
            Source s;
            s.folder = folder_text;
            s.file_name = files[i].filename().string();
            s.label = "NA";
            s.reference = s.file_name;
            AddDriverLaps(slot.table, std::move(s));
        }
        // Showing the box again lets the windows repaint between batches.
        ui_.ShowProgress(kScanning);
    }
}

void LapFinderModel::AddDriverLaps(const Drivers& table, Source source) {
    source.reference_key = Lower(source.reference);
    source.file_date = table.file_date;
    source.date_key = DateKey(table.file_date);
    const uint32_t source_index = static_cast<uint32_t>(sources_.size());
    sources_.push_back(std::move(source));
    const int count = std::clamp<int>(table.driver_count, 0, Drivers::kMaxDrivers);
    for (int d = 0; d < count; ++d) {
        DriverInfo info;
        info.name = static_cast<uint32_t>(names_.size());
        names_ += table.first_names[d];
        names_ += ' ';
        names_ += table.last_names[d];
        info.name_length = static_cast<uint32_t>(names_.size() - info.name);
        for (uint32_t i = 0; i < info.name_length; ++i) names_ += Lower(names_[info.name + i]);
        const int mod = table.season_code[d] == 255 ? 1967 : table.season_code[d];
        info.mod_code = mod;
        // A scan meets the same few cars thousands of times.
        auto [team, added] = team_index_.try_emplace((mod << 8) | table.car_index[d], teams_.size());
        if (added) {
            std::string text =
                name_tables::GetCarName(mod, table.car_index[d]) + " (" + name_tables::GetModYearText(mod) + ")";
            std::string key = Lower(text);
            teams_.emplace_back(std::move(text), std::move(key));
        }
        info.team = team->second;
        info.class_text = table.driver_code[d] < 4 ? kClassTexts[table.driver_code[d]] : "NA";
        info.ai = table.ai[d] == 1;
        info.local = static_cast<uint32_t>(d) == table.player_index;
        const uint32_t info_index = static_cast<uint32_t>(drivers_.size());
        drivers_.push_back(std::move(info));
        for (int session = 0; session < 2; ++session) {
            if (!(session == 0 ? table.practice_present : table.race_present)) continue;
            const auto& times = session == 0 ? table.practice_times[d] : table.race_times[d];
            const auto& flags = session == 0 ? table.practice_selectable[d] : table.race_selectable[d];
            // The lap count may claim more laps than the table holds.
            const int last = std::clamp(session == 0 ? table.practice_lap_count[d] : table.race_lap_count[d], 0,
                                        Drivers::kMaxLaps);
            for (int l = 0; l <= last; ++l) {
                if (flags[l] != 1) continue;
                rows_.push_back(Row{info_index, source_index, times[l], static_cast<uint16_t>(l),
                                    static_cast<uint8_t>(d), static_cast<uint8_t>(session),
                                    static_cast<uint8_t>(session == 0 && table.driver_count == 1)});
            }
        }
    }
}

void LapFinderModel::Scan(const std::string& track) {
    ui_.BeginWait();
    ui_.ShowProgress(kScanning);
    sources_.clear();
    drivers_.clear();
    names_.clear();
    teams_.clear();
    team_index_.clear();
    rows_.clear();
    damaged_.clear();
    folder_replays_ = 0;
    catalogue_records_ = 0;
    const auto simulator = path_lookup::ToLocalPath(settings_.simulator_folder);
    if (simulator) ReadFolder(path_lookup::Find(*simulator, "replay"), track);
    if (!settings_.alt_replay_folder.empty()) ReadFolder(path_lookup::ToLocalPath(settings_.alt_replay_folder), track);
    ReplayDatabaseLoader loader;
    if (simulator)
        if (const auto catalogues = path_lookup::Find(*simulator, "replay\\ZAVRO_CDDB"))
            loader.FindDatabases(catalogues->string());
    while (loader.NextReplay()) {
        if (++catalogue_records_ % 256 == 0) ui_.ShowProgress(kScanning);
        if (loader.GetHeader()->track_folder != track) continue;
        const Drivers& table = *loader.GetDrivers();
        Source s;
        s.catalogue = table.catalogue_name;
        s.medium_path = table.medium_path;
        s.label = table.medium_label;
        s.reference = s.catalogue + ":" + s.medium_path;
        AddDriverLaps(table, std::move(s));
    }
    for (const auto& skipped : loader.GetSkipped()) damaged_.push_back(skipped.path + " (" + skipped.reason + ")");
    Refilter();
    ui_.ShowProgress({});  // hides the "Please wait" box
    ui_.EndWait();
}

std::string LapFinderModel::DamagedText() const {
    if (damaged_.empty()) return {};
    std::string text;
    for (const std::string& d : damaged_) text += d + "\r\n";
    return text;
}

void LapFinderModel::SetFilter(Filter filter, int mod_entry) {
    filter_ = filter;
    mod_entry_ = mod_entry;
    Refilter();
}

bool LapFinderModel::Passes(const Row& row) const {
    const DriverInfo& d = drivers_[row.driver_info];
    if (filter_ == Filter::kNoAILaps && d.ai) return false;
    if (filter_ == Filter::kLocalDriverOnly && !d.local) return false;
    if (mod_entry_ > 0 && d.mod_code != name_tables::GetModCode(mod_entry_ - 1)) return false;
    return true;
}

void LapFinderModel::Refilter() {
    visible_.clear();
    visible_.reserve(rows_.size());
    for (uint32_t i = 0; i < rows_.size(); ++i)
        if (Passes(rows_[i])) visible_.push_back(i);
    sort_state_ = kUnsorted;
}

LapFinderModel::SortState LapFinderModel::SortForColumn(int column) {
    switch (column) {
    case kDriverName: return kByDriver;
    case kLapTime: return kByLaptime;
    case kTeam: return kByTeam;
    case kClass: return kByClass;
    case kSession: return kBySession;
    case kFiledate: return kByFiledate;
    case kReplayFile: return kByReplayFile;
    default: return kUnsorted;
    }
}

bool LapFinderModel::Sort(SortState state) {
    if (state == sort_state_) return false;
    sort_state_ = state;
    auto by = [&](auto key) {
        std::stable_sort(visible_.begin(), visible_.end(),
                         [&](uint32_t a, uint32_t b) { return key(rows_[a]) < key(rows_[b]); });
    };
    switch (state) {
    case kUnsorted: break;
    case kByDriver: by([&](const Row& r) { return NameKeyOf(drivers_[r.driver_info]); }); break;
    case kByLaptime: by([](const Row& r) { return r.time & 0xFFFFFF; }); break;
    case kByTeam: by([&](const Row& r) -> const std::string& { return teams_[drivers_[r.driver_info].team].second; }); break;
    case kByClass: by([&](const Row& r) { return std::string_view(drivers_[r.driver_info].class_text); }); break;
    case kBySession:
        by([](const Row& r) { return std::string_view(r.session ? "race" : r.training ? "training" : "practice"); });
        break;
    case kByFiledate:
        by([&](const Row& r) { return std::pair(sources_[r.source].date_key, std::string_view(sources_[r.source].file_date)); });
        break;
    case kByReplayFile:
        by([&](const Row& r) -> const std::string& { return sources_[r.source].reference_key; });
        break;
    }
    return true;
}

std::string LapFinderModel::Text(int row, int column) const {
    const Row& r = VisibleRow(row);
    const DriverInfo& d = drivers_[r.driver_info];
    const Source& s = sources_[r.source];
    switch (column) {
    case kDriverName: return std::string(NameOf(d));
    case kLapTime: return FormatLapTime(r.time);
    case kTeam: return teams_[d.team].first;
    case kClass: return d.class_text;
    case kSession: return r.session ? "Race" : r.training ? "Training" : "Practice";
    case kFiledate: return s.file_date;
    case kReplayFile: return s.reference;
    default: return {};
    }
}

std::string LapFinderModel::Label(int row) const { return sources_[VisibleRow(row).source].label; }

std::string LapFinderModel::StatusText() const {
    return "Total number of replay files scanned was " + std::to_string(folder_replays_ + catalogue_records_) +
           ", out of which " + std::to_string(catalogue_records_) + " were taken from Replay CD databases.";
}

std::string LapFinderModel::TableText() const {
    std::string text = "Driver Name\tLap time\tTeam\tClass\tSession\tFiledate\tReplay file\n";
    text.reserve(text.size() + visible_.size() * 96);
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = 0; c < kColumnCount; ++c) text += Text(r, c) + "\t";
        text += "\n";
    }
    return text;
}

void LapFinderModel::OnCopyTable() {
    ui_.BeginWait();
    ui_.SetClipboardText(TableText());
    ui_.EndWait();
}

std::string LapFinderModel::FindDriveWithLabel(const std::string& label) const {
    for (const MediaDrives::Medium& m : media_.List()) {
        if (!m.mounted || (m.kind != MediaDrives::Kind::kRemovable && m.kind != MediaDrives::Kind::kOptical)) continue;
        if (m.volume_name + " [" + m.file_system + "]" == label) return m.root;
    }
    return {};
}

bool LapFinderModel::ResolveLapFile(int row, std::string& path) {
    const Source& s = sources_[VisibleRow(row).source];
    if (!s.folder.empty()) {
        // The folder the replay was found in, not the first folder that
        // happens to hold a file of the same name.
        path = (std::filesystem::path(s.folder) / s.file_name).string();
        last_label_ = s.label;
        return true;
    }
    if (s.label != last_label_ &&
        !ui_.AskYesNo("The replay file " + s.medium_path + " is stored on the CD " + s.catalogue +
                      ".\r\n(Actual CD label is " + s.label +
                      ")\r\nThis CD must be inserted now to load the replay.\r\n\r\nDo you want to continue?"))
        return false;
    std::string root;
    while ((root = FindDriveWithLabel(s.label)).empty())
        if (!ui_.AskYesNo("Can't find the CD with label: " + s.label + "! Try again?")) return false;
    // Catalogues store the path below the medium's root with Windows
    // separators; the medium's names may differ in case.
    const auto found = path_lookup::Find(root, s.medium_path);
    path = found ? found->string() : path_lookup::Resolve(root, s.medium_path).string();
    last_label_ = s.label;
    return true;
}

bool LapFinderModel::OnOK(const std::vector<int>& selected, int loaded_count, int capacity, const AddLap& add_lap) {
    if (loaded_count + static_cast<int>(selected.size()) > capacity) {
        ui_.ShowMessage("Too many laps selected!", Interaction::Icon::Warning, {});
        return false;
    }
    if (selected.empty()) {
        ui_.ShowMessage("Choose a lap to view!", Interaction::Icon::Error, "No lap choosen!");
        return false;
    }
    for (int row : selected) {
        std::string path;
        if (!ResolveLapFile(row, path)) continue;
        const Row& r = VisibleRow(row);
        add_lap(path, r.session, r.driver, r.lap);
    }
    return true;
}
