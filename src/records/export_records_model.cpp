#include "records/export_records_model.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "interaction/interaction.h"
#include "records/replay_database_loader.h"
#include "records/season_file.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "replay/input_file.h"
#include "replay/name_tables.h"
#include "settings/atomic_file.h"
#include "settings/ini_file.h"
#include "settings/path_lookup.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kCellWidth = 8;         // other tracks are known by 8 characters
constexpr size_t kNameBuffer = 17;       // profile names: at most 16 characters
constexpr size_t kDirectoryBuffer = 10;  // season track folders: at most 9 characters
constexpr size_t kTrackIniMaxBytes = 1 << 20;
constexpr const char* kReplayReadTitle = "Error reading replay file - is this a standard QEL replay?";

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string Cell8(std::string name) {
    name.resize(kCellWidth, ' ');
    return name;
}

std::optional<fs::path> Local(const std::string& stored) {
    if (stored.empty()) return std::nullopt;
    return path_lookup::ToLocalPath(stored);
}

// A track folder name taken from a season file or a replay: one plain
// component, so it cannot lead out of the tracks folder.
bool PlainComponent(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos &&
           name.find('\0') == std::string::npos;
}

bool ReadWhole(const fs::path& path, size_t max_bytes, std::string& out) {
    return atomic_file::Read(path, max_bytes, out) == atomic_file::ReadResult::kRead;
}

// The text after the first "=" that follows `at`, to the end of its line,
// without leading blanks; empty when there is none.
std::string ValueAfter(const std::string& text, size_t at) {
    if (at == std::string::npos) return {};
    const size_t eq = text.find('=', at);
    if (eq == std::string::npos) return {};
    size_t begin = eq + 1;
    while (begin < text.size() && text[begin] == ' ') ++begin;
    const size_t end = std::min(text.find_first_of("\r\n", begin), text.size());
    return text.substr(begin, end - begin);
}

// The short and long names of a track.ini, found by their keys in the raw
// text as the simulator's own tools find them.
void TrackIniNames(const std::string& text, std::string& short_name, std::string& long_name) {
    short_name = ValueAfter(text, text.find("track_name_short"));
    size_t at = text.find("track_name");
    while (at != std::string::npos && at + 10 < text.size() && text[at + 10] == '_') at = text.find("track_name", at + 1);
    long_name = ValueAfter(text, at);
}

// The track.ini of a track folder; false when it cannot be read.
bool ReadTrackIni(const std::optional<fs::path>& simulator, const std::string& directory, std::string& text) {
    if (!simulator || !PlainComponent(directory)) return false;
    const auto file = path_lookup::Find(*simulator, "tracks/" + directory + "/track.ini");
    return file && ReadWhole(*file, kTrackIniMaxBytes, text);
}

// Best lap of one session of one driver: the smallest millisecond value
// of laps 1 to the lap count (entry 0 is the start), leaving out laps
// flagged invalid, laps with no time and, when asked, incomplete laps.
uint32_t SessionBest(const Drivers::LapWords& words, const Drivers::LapFlags& complete, int lap_count,
                     bool complete_only) {
    uint32_t best = BestLapCell::kNoTime;
    const int last = std::clamp(lap_count, 0, Drivers::kMaxLaps);
    for (int k = 1; k <= last; ++k) {
        const uint32_t word = words[static_cast<size_t>(k)];
        const uint32_t ms = Drivers::LapMs(word);
        if (word == Drivers::kNoTime || (word & Drivers::kInvalidLapFlag) != 0 || ms == 0xFFFFFF || ms == 0) continue;
        if (complete_only && complete[static_cast<size_t>(k)] == 0) continue;
        best = std::min(best, ms);
    }
    return best;
}

}  // namespace

ExportRecordsModel::ExportRecordsModel() = default;
ExportRecordsModel::~ExportRecordsModel() = default;

std::vector<fs::path> ExportRecordsModel::DriverFolders(const std::string& simulator_folder) {
    std::vector<fs::path> out;
    const auto simulator = Local(simulator_folder);
    if (!simulator) return out;
    const auto players = path_lookup::Find(*simulator, "players");
    if (!players) return out;
    for (const auto& folder : path_lookup::ListFolders(*players)) {
        const auto profile = path_lookup::Find(folder, "player.ini");
        InputFile file;
        if (profile && file.Open(profile->string()) == InputFile::Status::kOpened) out.push_back(folder);
    }
    return out;
}

std::vector<std::string> ExportRecordsModel::DriverList(const std::string& simulator_folder) {
    std::vector<std::string> out;
    for (const auto& folder : DriverFolders(simulator_folder)) {
        std::string text;
        const auto profile = path_lookup::Find(folder, "player.ini");
        if (profile) ReadWhole(*profile, IniFile::kMaxFileBytes, text);
        const IniFile ini = RepairedProfile(text);
        std::string first, last;
        ini.GetString("Personal Information", "firstName", "default", kNameBuffer, first);
        ini.GetString("Personal Information", "lastName", "default", kNameBuffer, last);
        out.push_back(std::to_string(out.size() + 1) + ". " + CleanName(first) + " " + CleanName(last));
    }
    return out;
}

IniFile ExportRecordsModel::RepairedProfile(const std::string& text) {
    std::string repaired;
    repaired.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '[' && i + 1 < text.size() && text[i + 1] == ' ') {
            repaired += '[';
            ++i;
        } else if (text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ']') {
            repaired += ']';
            ++i;
        } else {
            repaired += text[i];
        }
    }
    return IniFile(repaired);
}

std::string ExportRecordsModel::CleanName(std::string name) {
    if (!name.empty() && name[0] == ';') return {};
    const size_t semicolon = name.find(';', 2);
    if (semicolon != std::string::npos) name.resize(semicolon);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

std::optional<uint32_t> ExportRecordsModel::ParseIniTime(std::string_view value) {
    const size_t blank = value.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    const size_t dot = value.find('.', blank + 1);
    if (dot == std::string_view::npos) return std::nullopt;
    std::string_view seconds_text = value.substr(blank + 1, dot - blank - 1);
    while (!seconds_text.empty() && seconds_text.front() == ' ') seconds_text.remove_prefix(1);
    if (seconds_text.empty() || seconds_text.size() > 6) return std::nullopt;
    uint64_t seconds = 0;
    for (char c : seconds_text) {
        if (c < '0' || c > '9') return std::nullopt;
        seconds = seconds * 10 + static_cast<uint64_t>(c - '0');
    }
    // Up to four digits of ten-thousandths; fewer are the leading digits
    // ("5" is 5000), so they are padded on the right.
    uint64_t fraction = 0;
    size_t digits = 0;
    for (size_t i = dot + 1; i < value.size() && digits < 4 && value[i] >= '0' && value[i] <= '9'; ++i, ++digits)
        fraction = fraction * 10 + static_cast<uint64_t>(value[i] - '0');
    for (size_t i = digits; i < 4; ++i) fraction *= 10;
    const uint64_t ms = seconds * 1000 + (fraction + 5) / 10;
    if (ms >= 0xFFFFFF) return std::nullopt;
    return static_cast<uint32_t>(ms);
}

void ExportRecordsModel::MergeDriverLaps(const std::string& track, const Drivers& drivers, bool complete_only,
                                         ReplayBests& bests) const {
    const int count = std::clamp<int>(drivers.driver_count, 0, Drivers::kMaxDrivers);
    for (int i = 0; i < count; ++i) {
        if (drivers.first_names[i] != first_name_ || drivers.last_names[i] != last_name_) continue;
        const int season = drivers.season_code[i] == 255 ? 1967 : drivers.season_code[i];
        if (season != season_code_) continue;
        // An unknown car (255) or one beyond the season's table has no column.
        const int car = drivers.car_index[i];
        if (car >= car_count_) continue;
        BestLapCell found;
        const uint32_t practice =
            drivers.practice_present == 1
                ? SessionBest(drivers.practice_times[i], drivers.practice_selectable[i], drivers.practice_lap_count[i],
                              complete_only)
                : BestLapCell::kNoTime;
        if (drivers.race_present == 1)
            found.race = SessionBest(drivers.race_times[i], drivers.race_selectable[i], drivers.race_lap_count[i],
                                     complete_only);
        // A replay of the driver alone is a training session.
        if (count == 1)
            found.training = practice;
        else
            found.practice = practice;
        auto& cells = bests[track];
        if (cells.empty()) cells.resize(static_cast<size_t>(car_count_));
        cells[static_cast<size_t>(car)].Improve(found);
    }
}

ExportRecordsModel::Result ExportRecordsModel::Run(int driver_index, const Options& options, Interaction& ui,
                                                   const Progress& progress) {
    rows_.clear();
    driver_name_.clear();
    first_name_.clear();
    last_name_.clear();
    season_code_ = options.season_code;
    car_count_ = name_tables::GetModCarCount(season_code_);
    const auto simulator = Local(options.simulator_folder);

    // The driver's profile first: its names decide which laps of the
    // replays count.
    std::string profile_file = "\\player.ini";
    name_tables::GetModPlayerIni(season_code_, profile_file);
    const std::string profile_name = profile_file.substr(1);
    const auto folders = DriverFolders(options.simulator_folder);
    fs::path profile_path;
    if (driver_index >= 0 && static_cast<size_t>(driver_index) < folders.size()) {
        profile_path = path_lookup::Resolve(folders[static_cast<size_t>(driver_index)], profile_name);
    } else if (simulator) {
        profile_path = path_lookup::Resolve(*simulator, "players/" + profile_name);
    }
    std::string profile_text;
    if (profile_path.empty() || !ReadWhole(profile_path, IniFile::kMaxFileBytes, profile_text)) {
        ui.ShowMessage("Can't open " + profile_path.string() + ", aborting");
        return Result::kProfileMissing;
    }
    const IniFile profile = RepairedProfile(profile_text);
    std::string first, last;
    profile.GetString("Personal Information", "firstName", "default", kNameBuffer, first);
    profile.GetString("Personal Information", "lastName", "default", kNameBuffer, last);
    first_name_ = CleanName(first);
    last_name_ = CleanName(last);
    driver_name_ = first_name_ + " " + last_name_;
    while (!driver_name_.empty() && driver_name_.back() == ' ') driver_name_.pop_back();

    SeasonFile season;
    const bool season_read = simulator && season.Load(SeasonFile::PathIn(*simulator));
    const int event_count = season_read ? season.EventCount() : 0;

    // The one pass over every replay and catalogue record.
    std::vector<fs::path> replays;
    if (simulator) {
        if (const auto folder = path_lookup::Find(*simulator, "replay"))
            replays = path_lookup::ListFiles(*folder, "*.rpy");
    }
    if (const auto alt = Local(options.alt_replay_folder)) {
        const auto more = path_lookup::ListFiles(*alt, "*.rpy");
        replays.insert(replays.end(), more.begin(), more.end());
    }
    int done = 0;
    int total = static_cast<int>(replays.size()) + 1 + event_count;
    auto step = [&] { return !progress || progress(++done, total); };

    std::vector<std::string> other_tracks;  // 8-character cells
    auto add_track = [&other_tracks](const std::string& track) {
        const std::string cell = Cell8(track);
        if (std::find(other_tracks.begin(), other_tracks.end(), cell) == other_tracks.end())
            other_tracks.push_back(cell);
    };
    ReplayBests bests;
    Header header;
    const auto drivers = std::make_unique<Drivers>();
    for (const auto& file : replays) {
        if (!step()) return Result::kCancelled;
        if (header.Load(file.string()) != Header::kOk) continue;
        add_track(header.track_folder);
        if (drivers->LoadReplay(file.string()) != 0) {
            if (options.warbleye_msg) ui.ShowMessage(file.string(), Interaction::Icon::Error, kReplayReadTitle);
            continue;
        }
        MergeDriverLaps(header.track_folder, *drivers, options.complete_laps_only, bests);
    }
    if (simulator) {
        if (const auto folder = path_lookup::Find(*simulator, "replay/ZAVRO_CDDB")) {
            ReplayDatabaseLoader loader;
            loader.FindDatabases(folder->string());
            while (loader.NextReplay()) {
                add_track(loader.GetHeader()->track_folder);
                MergeDriverLaps(loader.GetHeader()->track_folder, *loader.GetDrivers(), options.complete_laps_only,
                                bests);
            }
        }
    }
    if (!step()) return Result::kCancelled;

    // Season events are no other tracks; without a season file there are
    // none at all.
    if (!season_read) other_tracks.clear();
    for (int n = 1; n <= event_count; ++n) {
        std::string directory = Lower(season.GetEvent(n).track_directory);
        directory.erase(0, directory.find_first_not_of(' '));
        const std::string cell = Cell8(directory);
        other_tracks.erase(std::remove(other_tracks.begin(), other_tracks.end(), cell), other_tracks.end());
    }
    total += static_cast<int>(other_tracks.size());

    auto fold_replays = [&](TrackRow& row) {
        const auto found = bests.find(row.directory);
        if (found == bests.end()) return;
        for (size_t c = 0; c < row.cells.size(); ++c) row.cells[c].Improve(found->second[c]);
    };
    const auto names = profile.SectionNames();
    std::string held = " ";
    for (const auto& name : names) held += name + " ";

    rows_.resize(static_cast<size_t>(event_count) + other_tracks.size());
    for (auto& row : rows_) row.cells.resize(static_cast<size_t>(car_count_));
    for (int n = 1; n <= event_count; ++n) {
        if (!step()) return rows_.clear(), Result::kCancelled;
        TrackRow& row = rows_[static_cast<size_t>(n - 1)];
        std::string directory;
        season.ini().GetString("Event" + std::to_string(n), "trackDirectory", "default", kDirectoryBuffer, directory);
        directory = Lower(directory);
        std::string track_ini;
        if (!ReadTrackIni(simulator, directory, track_ini)) {
            ui.ShowMessage("Track.ini or entire track seems to be missing in the tracks directory: " + directory +
                           "\n\rThe html-pages will be corrupt! You must \n\reither remove the bad entry in "
                           "67season.ini or\n\rrestore the missing trackdirectory");
            break;
        }
        TrackIniNames(track_ini, row.short_name, row.long_name);
        row.directory = directory;
        // The simulator keys the profile's sections by the track folder as
        // written, so this test keeps to its case.
        const bool profile_holds = held.find(" " + directory + " ") != std::string::npos;
        if (profile_holds) {
            for (int car = 0; car < car_count_; ++car) {
                const std::string tag = name_tables::GetCarTag(season_code_, car);
                auto read = [&](const char* kind, uint32_t& field) {
                    if (const auto value = profile.Find(directory, tag + kind))
                        if (const auto ms = ParseIniTime(*value)) field = *ms;
                };
                BestLapCell& cell = row.cells[static_cast<size_t>(car)];
                read("T", cell.training);
                read("R", cell.race);
                read("P", cell.practice);
            }
        }
        if (!profile_holds || options.scan_replays) fold_replays(row);
    }
    for (size_t i = 0; i < other_tracks.size(); ++i) {
        if (!step()) return rows_.clear(), Result::kCancelled;
        TrackRow& row = rows_[static_cast<size_t>(event_count) + i];
        std::string directory = other_tracks[i];
        while (!directory.empty() && directory.back() == ' ') directory.pop_back();
        std::string track_ini;
        if (ReadTrackIni(simulator, directory, track_ini)) {
            TrackIniNames(track_ini, row.short_name, row.long_name);
        } else {
            row.short_name = directory;
            row.long_name = "NotInstalledTrack " + directory;
        }
        row.directory = directory;
        fold_replays(row);
    }
    return Result::kDone;
}

const ExportRecordsModel::TrackRow& ExportRecordsModel::Row(int row) const {
    static const TrackRow kNone;
    if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return kNone;
    return rows_[static_cast<size_t>(row)];
}

const BestLapCell& ExportRecordsModel::Cell(int car, int row) const {
    static const BestLapCell kNone;
    const TrackRow& r = Row(row);
    if (car < 0 || static_cast<size_t>(car) >= r.cells.size()) return kNone;
    return r.cells[static_cast<size_t>(car)];
}

template <typename Field>
uint32_t ExportRecordsModel::FindBest(int row, int& car, Field field) const {
    uint32_t best = BestLapCell::kNoTime;
    for (int c = 0; c < car_count_; ++c) {
        const uint32_t t = field(Cell(c, row));
        if (t < best) {
            best = t;
            car = c;
        }
    }
    return best;
}

uint32_t ExportRecordsModel::FindBestOverall(int row, int& car) const {
    return FindBest(row, car, [](const BestLapCell& c) { return c.Overall(); });
}
uint32_t ExportRecordsModel::FindBestTraining(int row, int& car) const {
    return FindBest(row, car, [](const BestLapCell& c) { return c.training; });
}
uint32_t ExportRecordsModel::FindBestPractice(int row, int& car) const {
    return FindBest(row, car, [](const BestLapCell& c) { return c.practice; });
}
uint32_t ExportRecordsModel::FindBestRace(int row, int& car) const {
    return FindBest(row, car, [](const BestLapCell& c) { return c.race; });
}

std::string ExportRecordsModel::GetModName() const { return name_tables::GetModFolderName(season_code_); }
