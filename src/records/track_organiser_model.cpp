#include "records/track_organiser_model.h"

#include <charconv>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string_view>

#include "interaction/interaction.h"
#include "records/season_file.h"
#include "settings/atomic_file.h"
#include "settings/ini_file.h"
#include "settings/path_lookup.h"

namespace {

constexpr const char* kKeys[] = {"name", "shortname", "trackDirectory", "numberOfLaps", "month", "day", "startingGrid"};
constexpr const char* kHeadings[] = {"Long Name                     ", "Short Name         ", "TrackDir", "Laps",
                                     "Month", "Day", "Grid"};
// The order in which Export sets the keys of a section.
constexpr int kWriteOrder[] = {TrackOrganiserModel::kName,  TrackOrganiserModel::kShortName,
                               TrackOrganiserModel::kTrackDir, TrackOrganiserModel::kLaps,
                               TrackOrganiserModel::kDay,   TrackOrganiserModel::kMonth,
                               TrackOrganiserModel::kGrid};

std::string EventSection(int k) { return "Event" + std::to_string(k); }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// The section a line opens, by the ini reader's rule; nullopt for other lines.
std::optional<std::string> SectionOf(std::string_view line) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const size_t close = t.rfind(']');
    if (close == std::string_view::npos || close == 0) return std::nullopt;
    return std::string(t.substr(1, close - 1));
}

// A section header and the lines up to the next one (the lines before the
// first header form a block without a name).
struct Block {
    std::optional<std::string> name;
    std::vector<std::string> lines;  // header included
};

std::vector<Block> SplitBlocks(std::string_view text) {
    std::vector<Block> blocks(1);
    for (std::string_view line : SplitTextLines(text)) {
        if (auto name = SectionOf(line)) blocks.push_back(Block{std::move(name), {}});
        blocks.back().lines.emplace_back(line);
    }
    return blocks;
}

// Event number of a section named "Event<k>" (any case) for k in 1..limit;
// 0 for any other name.
int EventNumber(const std::optional<std::string>& name, int limit) {
    if (!name || name->size() < 6 || !path_lookup::EqualsNoCase(name->substr(0, 5), "Event")) return 0;
    int k = 0;
    for (char c : name->substr(5)) {
        if (c < '0' || c > '9' || k > limit) return 0;
        k = k * 10 + (c - '0');
    }
    return k >= 1 && k <= limit && EventSection(k).size() == name->size() ? k : 0;
}

}  // namespace

TrackOrganiserModel::TrackOrganiserModel(std::string simulator_folder, Interaction& ui)
    : simulator_folder_(std::move(simulator_folder)), ui_(ui) {}

const char* TrackOrganiserModel::ColumnKey(int column) { return kKeys[column]; }
const char* TrackOrganiserModel::ColumnHeading(int column) { return kHeadings[column]; }

std::string TrackOrganiserModel::DateProblem(const std::string& month, const std::string& day, bool month_typed,
                                             bool day_typed) {
    // A whole number in 1..last, or nothing set; -1 for any other text.
    const auto number = [](const std::string& text, int last) {
        if (text.empty() || text == kMissingText) return 0;
        int value = -1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return error == std::errc{} && end == text.data() + text.size() && value >= 1 && value <= last ? value : -1;
    };
    static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int m = number(month, 12);
    if (month_typed && m < 0) return "Month must be a number from 1 to 12.";
    const int last_day = m <= 0 ? 31 : kDays[m - 1];
    if (day_typed && number(day, last_day) < 0)
        return "Day must be a number from 1 to " + std::to_string(last_day) + ".";
    return {};
}

void TrackOrganiserModel::LoadSeason() {
    rows_.clear();
    SeasonFile season;
    season.Load(SeasonFile::PathIn(simulator_folder_));
    count_text_ = season.NumEventsText();
    const int n = season.EventCount();
    for (int k = 1; k <= n; ++k) {
        Row row;
        row.origin = k;
        for (int c = 0; c < kColumnCount; ++c) row.values[c] = season.ini().Find(EventSection(k), kKeys[c]);
        rows_.push_back(std::move(row));
    }
}

std::string TrackOrganiserModel::CellText(int row, int column) const {
    const auto& v = GetRow(row).values.at(static_cast<size_t>(column));
    return v ? *v : kMissingText;
}

TrackOrganiserModel::Cells TrackOrganiserModel::RowCells(int row) const {
    Cells cells;
    for (int c = 0; c < kColumnCount; ++c) cells[c] = CellText(row, c);
    return cells;
}

int TrackOrganiserModel::MoveRows(std::vector<int> rows, int before) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [&](int r) { return r < 0 || r >= RowCount(); });
    before = std::clamp(before, 0, RowCount());
    if (rows.empty()) return before;
    std::vector<Row> moved, rest;
    int insert_at = 0;
    for (int r = 0; r < RowCount(); ++r) {
        if (r == before) insert_at = static_cast<int>(rest.size());
        if (std::binary_search(rows.begin(), rows.end(), r))
            moved.push_back(rows_[r]);
        else
            rest.push_back(rows_[r]);
    }
    if (before == RowCount()) insert_at = static_cast<int>(rest.size());
    const bool same = rows.front() == insert_at && rows.back() - rows.front() + 1 == static_cast<int>(rows.size());
    rest.insert(rest.begin() + insert_at, moved.begin(), moved.end());
    rows_ = std::move(rest);
    if (!same) rows_moved_ = true;
    return insert_at;
}

void TrackOrganiserModel::OnEdit(const std::vector<int>& selected, const EditBox& edit) {
    if (selected.size() >= 2) {
        ui_.ShowMessage("Select only ONE track when editing!", Interaction::Icon::Warning, {});
        return;
    }
    if (selected.empty()) {
        ui_.ShowMessage("Choose a track to edit!", Interaction::Icon::Error, "No track choosen!");
        return;
    }
    const int r = selected.front();
    Cells cells = RowCells(r);
    if (!edit(cells)) return;
    Row& row = rows_.at(static_cast<size_t>(r));
    for (int c = 0; c < kColumnCount; ++c) {
        // A missing key that the user left as shown stays missing, so the
        // file does not get the placeholder as a value.
        if (!row.values[c] && cells[c] == kMissingText) continue;
        row.values[c] = cells[c];
    }
    changes_not_exported_ = true;
}

void TrackOrganiserModel::OnAdd(const EditBox& edit) {
    if (!ui_.AskYesNo("Only the entry in 67season.ini will be added.\r\nThe track directory must already exist,\r\n"
                      "or you have to add it later.\r\n\r\nAre you sure you want to add a track entry?"))
        return;
    Cells cells;
    if (edit(cells)) {
        Row row;
        for (int c = 0; c < kColumnCount; ++c) row.values[c] = cells[c];
        rows_.push_back(std::move(row));
        changes_not_exported_ = true;
    }
    count_text_ = std::to_string(RowCount());
}

void TrackOrganiserModel::OnRemove(const std::vector<int>& selected) {
    if (selected.size() >= 2) {
        ui_.ShowMessage("Select only ONE track when removing!", Interaction::Icon::Warning, {});
        return;
    }
    if (selected.empty()) {
        ui_.ShowMessage("Choose a track to remove!", Interaction::Icon::Error, "No track choosen!");
        return;
    }
    if (!ui_.AskYesNo("Only the entry in 67season.ini will be removed.\r\nThe track directory will NOT be removed.\r\n"
                      "You can later add the track again.\r\n\r\nAre you sure you want to remove the track entry?"))
        return;
    changes_not_exported_ = true;
    rows_.erase(rows_.begin() + selected.front());
    count_text_ = std::to_string(RowCount());
}

bool TrackOrganiserModel::ExportSeason() {
    ui_.BeginWait();
    struct EndWait {
        Interaction& ui;
        ~EndWait() { ui.EndWait(); }
    } end_wait{ui_};

    const std::filesystem::path path = SeasonFile::PathIn(simulator_folder_);
    if (path.empty()) {
        ui_.ShowMessage("The simulator folder cannot be found:\r\n" + simulator_folder_ +
                            "\r\n\r\nNothing was saved.",
                        Interaction::Icon::Error, {});
        return false;
    }
    std::string old_text;
    const auto read = atomic_file::Read(path, IniFile::kMaxFileBytes, old_text);
    if (read == atomic_file::ReadResult::kUnreadable) {
        ui_.ShowMessage("Could not read " + path.string() + "\r\n\r\nNothing was saved.", Interaction::Icon::Error, {});
        return false;
    }
    if (read == atomic_file::ReadResult::kRead) {
        // The backup must stand before the season file is replaced.
        const auto backup = path_lookup::Resolve(path.parent_path(), "67season.old");
        if (!atomic_file::Write(backup, old_text)) {
            ui_.ShowMessage("Could not save the backup " + backup.string() +
                                "\r\n\r\nNothing was saved; 67season.ini is unchanged.",
                            Interaction::Icon::Error, {});
            return false;
        }
    }

    const int old_events = [&] {
        // numEvents as the season's readers count it.
        std::string text = IniFile(old_text).GetString("Season", "numEvents", kMissingText);
        int n = 0;
        for (char c : text) {
            if (c < '0' || c > '9') break;
            n = std::min(n * 10 + (c - '0'), SeasonFile::kMaxEvents);
        }
        return n;
    }();
    const int m = RowCount();
    const int limit = std::max(old_events, m);

    // Take the event sections out of the file, keeping the first one of
    // each number as the source of the row that was read from it.
    std::vector<Block> blocks = SplitBlocks(old_text);
    std::map<int, Block> sources;
    std::vector<Block> kept;
    size_t insert_at = std::string::npos;
    bool has_season = false;
    for (Block& b : blocks) {
        const int k = EventNumber(b.name, limit);
        if (k == 0) {
            if (b.name && path_lookup::EqualsNoCase(*b.name, "Season")) has_season = true;
            kept.push_back(std::move(b));
            continue;
        }
        if (insert_at == std::string::npos) insert_at = kept.size();
        sources.try_emplace(k, std::move(b));
    }
    if (insert_at == std::string::npos) insert_at = kept.size();

    std::vector<Block> events;
    if (!has_season) events.push_back(Block{"Season", {"[Season]"}});
    for (int k = 1; k <= m; ++k) {
        const Row& row = rows_[k - 1];
        std::string header = "[";
        header += EventSection(k);
        header += ']';
        Block block{EventSection(k), {std::move(header)}};
        int from = row.origin;
        // An added entry takes over a leftover section of its number beyond
        // the old count, so the simulator's keys there are kept.
        if (from == 0 && k > old_events) from = k;
        if (auto it = sources.find(from); from > 0 && it != sources.end())
            block.lines.insert(block.lines.end(), it->second.lines.begin() + 1, it->second.lines.end());
        events.push_back(std::move(block));
    }
    kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(insert_at), events.begin(), events.end());

    std::string text;
    for (const Block& b : kept)
        for (const std::string& line : b.lines) text += line + "\n";
    IniFile ini(text);
    bool written = ini.WriteString("Season", "NumEvents", std::to_string(m));
    for (int k = 1; k <= m && written; ++k)
        for (int c : kWriteOrder)
            if (const auto& v = rows_[k - 1].values[c]) written = written && ini.WriteString(EventSection(k), kKeys[c], *v);
    if (!written) {
        ui_.ShowMessage("A value cannot be written into 67season.ini (it holds a line break).\r\n\r\nNothing was saved.",
                        Interaction::Icon::Error, {});
        return false;
    }
    if (!ini.Save(path)) {
        ui_.ShowMessage("Could not write " + path.string() + "\r\n\r\n67season.ini is unchanged.",
                        Interaction::Icon::Error, {});
        return false;
    }
    for (int k = 1; k <= m; ++k) rows_[k - 1].origin = k;
    rows_moved_ = false;
    changes_not_exported_ = false;
    ui_.ShowMessage("New track order saved.\r\nA backup of your previous '67season.ini'\r\nhas been saved as '67season.old'.",
                    Interaction::Icon::Information, {});
    return true;
}

bool TrackOrganiserModel::OnCancel() {
    if (!rows_moved_ && !changes_not_exported_) return true;
    return ui_.AskYesNo("You haven't exported your changes,\r\nclose Track Organizer anyway?");
}
