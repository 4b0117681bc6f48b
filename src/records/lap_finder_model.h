#pragma once
// LapFinderModel: what "Lap Finder" lists and does, without a window. For
// one track it gathers every selectable practice and race lap of every
// driver in the replays of the simulator's replay folder, of the
// alternative replay folder and of the replay CD catalogues; filters them
// by driver kind and mod, sorts them, writes them as a text table, and
// hands the chosen laps to the document, asking for the CD that holds a
// catalogued replay.
//
// A scan reads the files once; filtering and sorting work on what it read
// and never touch a file again. Replays that cannot be read are collected
// and reported once per scan (Damaged()), not once per filter change.
//
// Each row keeps where it was found: the folder of a replay, or the
// catalogue, its path on the medium and the medium's label, so it is loaded
// from exactly that place.

#include <cstdint>
#include <memory>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class Drivers;
class Interaction;
class MediaDrives;

class LapFinderModel {
public:
    enum Column { kDriverName, kLapTime, kTeam, kClass, kSession, kFiledate, kReplayFile, kColumnCount };
    // The radio buttons of "Select options".
    enum class Filter { kAllLaps, kNoAILaps, kLocalDriverOnly };
    // Sort states as the dialog numbers them.
    enum SortState {
        kUnsorted = 1, kByDriver = 2, kByLaptime = 3, kByTeam = 4, kBySession = 5, kByReplayFile = 6,
        kByFiledate = 7, kByClass = 8
    };

    struct Settings {
        std::string simulator_folder;  // stored paths, Windows or Linux
        std::string alt_replay_folder; // empty: none
        bool warbleye_messages = false;  // report replays whose driver table cannot be read
    };
    // The document's lap adder: (path, session 0 practice / 1 race, driver,
    // lap entry); true when the lap was loaded.
    using AddLap = std::function<bool(const std::string& path, int session, int driver, int lap)>;

    // media and ui are borrowed for the model's life.
    LapFinderModel(Settings settings, const MediaDrives& media, Interaction& ui);
    ~LapFinderModel();

    // Column headings, padded as the list shows them.
    static const char* ColumnHeading(int column);
    // "1m 23.456s" from the low 24 bits of a lap-time word.
    static std::string FormatLapTime(uint32_t time);

    // The track folders under tracks, lower case, sorted.
    std::vector<std::string> TrackList() const;
    // "All", then the mod names; entry k >= 1 is mod index k - 1.
    static std::vector<std::string> ModList();
    // The track list entry that begins with track (the first loaded lap's
    // track); -1 when none does.
    static int TrackEntryFor(const std::vector<std::string>& tracks, const std::string& track);

    // Reads every source for the track and fills the table with the current
    // filter; the sort state becomes kUnsorted.
    void Scan(const std::string& track);
    // Changes the filter or the mod (list entry, 0 = all) and fills the
    // table again from the last scan; the sort state becomes kUnsorted.
    void SetFilter(Filter filter, int mod_entry);
    Filter GetFilter() const { return filter_; }
    int GetModEntry() const { return mod_entry_; }

    // Sorts by the state's column, ascending, times as times and dates as
    // dates, texts without regard to case; rows that compare equal keep
    // their order. A state that is already current does nothing; kUnsorted
    // leaves the rows as they are. False when nothing changed.
    bool Sort(SortState state);
    // The sort of a column click; kUnsorted for a column without one.
    static SortState SortForColumn(int column);
    SortState GetSortState() const { return sort_state_; }

    int RowCount() const { return static_cast<int>(visible_.size()); }
    std::string Text(int row, int column) const;
    // The CD label of a row, "NA" for a replay found in a folder.
    std::string Label(int row) const;
    // The row count text and the status line after a scan.
    std::string RowCountText() const { return std::to_string(RowCount()); }
    std::string StatusText() const;
    int FolderReplayCount() const { return folder_replays_; }
    int CatalogueRecordCount() const { return catalogue_records_; }
    // Replays and catalogues the last scan could not read: path, then why.
    const std::vector<std::string>& Damaged() const { return damaged_; }
    // The message that reports them, empty when there are none.
    std::string DamagedText() const;

    // The clipboard table: the heading line, then every row, tab separated.
    std::string TableText() const;
    // Context menu "Copy table to clipboard".
    void OnCopyTable();

    // Where a row's replay is: true and path filled when it was located (for
    // a catalogued replay after the CD was confirmed and found).
    bool ResolveLapFile(int row, std::string& path);
    // The root of the removable or optical medium whose label text is label;
    // empty when none.
    std::string FindDriveWithLabel(const std::string& label) const;

    // OK: hands the selected rows (in list order) to add_lap. False when the
    // dialog stays open (too many laps, none selected).
    bool OnOK(const std::vector<int>& selected, int loaded_count, int capacity, const AddLap& add_lap);

    const std::string& LastConfirmedLabel() const { return last_label_; }

private:
    struct Source {
        std::string folder;     // local folder of a replay file; empty for a catalogue record
        std::string file_name;  // the replay's file name
        std::string catalogue;  // catalogue name
        std::string medium_path;
        std::string label;      // "NA" for a replay file
        std::string reference;  // the "Replay file" column
        std::string reference_key;
        std::string file_date;
        uint32_t date_key = 0;  // yyyymmdd, 0 when the text is no date
    };
    struct DriverInfo {
        // The name is names_[name, name + name_length), its sort key (the
        // name in lower case) follows it.
        uint32_t name = 0, name_length = 0;
        uint32_t team = 0;  // index in teams_
        const char* class_text = "NA";
        bool ai = false, local = false;
        int mod_code = 0;
    };
    struct Row {
        uint32_t driver_info;  // index in drivers_
        uint32_t source;       // index in sources_
        uint32_t time;         // the lap-time word
        uint16_t lap;
        uint8_t driver;
        uint8_t session : 1;   // 0 practice, 1 race
        uint8_t training : 1;  // a practice lap of a one-driver replay
    };

    void ReadFolder(const std::optional<std::filesystem::path>& folder, const std::string& track);
    void AddDriverLaps(const Drivers& table, Source source);
    bool Passes(const Row& row) const;
    std::string_view NameOf(const DriverInfo& d) const { return {names_.data() + d.name, d.name_length}; }
    std::string_view NameKeyOf(const DriverInfo& d) const {
        return {names_.data() + d.name + d.name_length, d.name_length};
    }
    void Refilter();
    const Row& VisibleRow(int row) const { return rows_[visible_.at(static_cast<size_t>(row))]; }

    Settings settings_;
    const MediaDrives& media_;
    Interaction& ui_;
    Filter filter_ = Filter::kLocalDriverOnly;
    int mod_entry_ = 0;
    SortState sort_state_ = kUnsorted;
    std::vector<Source> sources_;
    std::vector<DriverInfo> drivers_;
    std::string names_;  // every driver's name and its key, one after the other
    // Team texts and their sort keys; the index of each by (mod code << 8 |
    // car index).
    std::vector<std::pair<std::string, std::string>> teams_;
    std::unordered_map<int, uint32_t> team_index_;
    // Rows in blocks of 16,384 that never move: a scan of thousands of
    // replays adds hundreds of thousands of rows, and regrowing one array
    // for them cost a fifth of the scan. Blocks are kept for the next scan.
    class RowStore {
    public:
        static constexpr size_t kBlockBits = 14;
        void push_back(const Row& row) {
            if ((size_ >> kBlockBits) == blocks_.size())
                blocks_.push_back(std::make_unique_for_overwrite<Row[]>(size_t{1} << kBlockBits));
            blocks_[size_ >> kBlockBits][size_ & kMask] = row;
            ++size_;
        }
        const Row& operator[](size_t i) const { return blocks_[i >> kBlockBits][i & kMask]; }
        size_t size() const { return size_; }
        void clear() { size_ = 0; }

    private:
        static constexpr size_t kMask = (size_t{1} << kBlockBits) - 1;
        std::vector<std::unique_ptr<Row[]>> blocks_;
        size_t size_ = 0;
    };

    RowStore rows_;                   // every lap of the last scan, in scan order
    std::vector<uint32_t> visible_;   // the table: indexes into rows_
    int folder_replays_ = 0;
    int catalogue_records_ = 0;
    std::vector<std::string> damaged_;
    std::string last_label_;
};
