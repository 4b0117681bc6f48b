#pragma once
// The driver table of a replay: at most 20 drivers with names, country, car,
// engine and season, and per driver the practice and race lap-time tables
// (entry 0 the start time, entries 1 to the lap count the laps, each with a
// selectable flag). Also finds the timing window of each session and the
// offset of the data section. Filled from a replay file or from a replay CD
// catalogue record (versions 1 to 4).

#include <array>
#include <cstdint>
#include <string>

class ByteReader;
class ByteWriter;
class ReplayFile;

class Drivers {
public:
    static constexpr int kMaxDrivers = 20;
    static constexpr int kTableWords = 150;  // start time and at most 149 laps
    static constexpr int kMaxLaps = kTableWords - 1;
    static constexpr size_t kRecordSize = 152;
    static constexpr uint32_t kDataTag = 0x52505450;       // "PTPR"
    static constexpr uint32_t kRaceTableTag = 0x4C505442;  // "BTPL"
    static constexpr uint32_t kNoTime = 0xCDCDCDCD;
    static constexpr uint32_t kInvalidLapFlag = 0x10000000;
    static constexpr uint32_t kOffTrackFlag = 0x40000000;
    // Returned by ParseReplayFile for a damaged file (an unknown frame record
    // type, a block or record size that cannot be walked, a table or chunk
    // outside the file); never a driver count.
    static constexpr int kParseDamaged = -3;

    template <typename T>
    using PerDriver = std::array<T, kMaxDrivers>;
    using LapWords = std::array<uint32_t, kTableWords>;
    using LapFlags = std::array<uint8_t, kTableWords>;

    Drivers();
    virtual ~Drivers();
    Drivers(const Drivers&) = default;
    Drivers& operator=(const Drivers&) = default;

    // Fills the table from the replay at path. Returns 0 on success and 3 on
    // any failure (the file cannot be opened, is not a regular file, is
    // damaged, or its driver chunk holds more than 20 records); driver_count
    // is then -1 and the table must not be used. Everything a load before
    // (or a catalogue record) left in the object is cleared first, so a
    // reused table ends as a fresh one would.
    int LoadReplay(const std::string& path);
    // The same from the replay at path already opened in file, for a caller
    // that reads several parts of one replay through one open file.
    int LoadReplay(const std::string& path, ReplayFile& file);
    // Windows that suit a table load: the header and tables of most replays
    // fit in the first 16 KiB, and the forward scan meets its first marker a
    // few blocks into the data section; the session's last marker lies up
    // to a second of frames before the end of the file.
    static constexpr size_t kHeadWindow = 16 * 1024;
    static constexpr size_t kTailWindow = 64 * 1024;

    // Reads the driver chunk, the lap-time tables and the timing window.
    // Returns the driver count of the chunk, -1 when the file cannot be
    // opened, -2 when it is empty, kParseDamaged when it is damaged.
    int ParseReplayFile(const std::string& path);
    int ParseReplayFile(ReplayFile& file);

    // Appends the version-4 catalogue record. Returns 1.
    int WriteToDatabase(ByteWriter& out) const;
    // Read a catalogue record of that version and mark the table as loaded
    // from a catalogue. Return 1, or 0 when the record is damaged (cut
    // short, a driver count above 20, a lap count above 149, a string longer
    // than its field); the table must not be used then.
    int ReadFromDatabaseV1(ByteReader& in);
    int ReadFromDatabaseV2(ByteReader& in);
    int ReadFromDatabaseV3(ByteReader& in);
    int ReadFromDatabaseV4(ByteReader& in);

    // Country code of an index of the driver record ("ARG" ... "VEN"); empty
    // for an index outside 1 to 29.
    static std::string CountryCode(int index);
    // What a date reads when it cannot be shown.
    static constexpr const char* kUnknownDate = "Unknown";
    // A file time (seconds since 1970) as the file date: local time,
    // "%Y %b %d" with English month names; kUnknownDate for a time whose
    // year is not one of four digits.
    static std::string FormatFileDate(int64_t modified);
    // Low 24 bits of a lap-time word: milliseconds.
    static uint32_t LapMs(uint32_t word) { return word & 0xFFFFFF; }

    uint8_t distance_unit = 0;       // set by the lap telemetry reader; 0x40 = coarse unit
    uint32_t last_frame_number = 0;  // frame number of the last type-14 record
    // Set by the catalogue reader for a table read from a catalogue.
    std::string catalogue_name;
    std::string medium_path;
    std::string medium_label;
    std::string file_date;           // last-write date of the replay, "%Y %b %d"
    int loaded_from_catalogue = 0;
    uint32_t frame_bytes_total = 0;
    int player_name_mismatch = 0;    // 1 when the player index had to be searched by name
    int16_t driver_count = -1;
    uint16_t chunk_driver_count = 0; // records in the driver chunk
    uint16_t last_block_size = 0;

    PerDriver<std::string> first_names;  // at most 15 characters
    PerDriver<std::string> last_names;
    PerDriver<uint8_t> ai{};
    PerDriver<uint32_t> engine_index{};
    PerDriver<uint32_t> value140{};      // record offset 140, passed on
    PerDriver<uint32_t> slot{};          // lap-table slot, also the car slot of the data section
    PerDriver<uint32_t> value128{};      // record offset 128, passed on
    PerDriver<uint16_t> season_code{};   // 1885 + record byte 53; 66 for the Cortina; 255 unknown
    PerDriver<uint8_t> car_index{};      // 255 unknown
    PerDriver<uint8_t> car_data_56{};    // record byte 56 - 1
    PerDriver<uint8_t> car_data_55{};    // record byte 55 - 1
    PerDriver<std::array<uint8_t, 9>> car_data_values{};  // record bytes 57 to 65, each - 1
    int practice_present = 0;
    int race_present = 0;
    PerDriver<int> practice_lap_count{};
    PerDriver<int> race_lap_count{};
    PerDriver<LapWords> practice_times{};  // entry 0 start time, then lap times with flags
    PerDriver<LapFlags> practice_selectable{};
    PerDriver<LapWords> race_times{};
    PerDriver<LapFlags> race_selectable{};
    PerDriver<uint8_t> country_index{};
    PerDriver<uint8_t> driver_code{};    // record byte 124, passed on
    PerDriver<std::string> country_codes;
    uint32_t race_session_code = 0;      // session code of the last race timing marker
    uint32_t data_section_offset = 0;
    std::string path;
    // Record index of the player. May name no record of the table when the
    // header's index is out of range and no record carries the player's
    // names: compare it with driver_count before indexing.
    uint32_t player_index = 0;
    int frame_number_read = 0;
    uint32_t first_practice_marker = 0;  // session clock, ms
    uint32_t last_practice_marker = 0;   // 0xFFFFFFFF when only a first one was found
    uint32_t first_race_marker = 0;
    uint32_t last_race_marker = 0;
    PerDriver<std::array<uint8_t, kRecordSize>> records{};
    PerDriver<uint16_t> practice_entry_count{};  // by slot
    PerDriver<LapWords> practice_words{};        // by slot
    PerDriver<uint16_t> race_entry_count{};      // by slot
    PerDriver<LapWords> race_words{};            // by slot

private:
    int ReadLapTables(ReplayFile& file, uint32_t driver_payload);
    bool ReadLapTable(ReplayFile& file, uint64_t chunk, PerDriver<uint16_t>& counts, PerDriver<LapWords>& words);
    bool ScanForward(ReplayFile& file);
    bool ScanBackward(ReplayFile& file);
    void FillSession(int driver, const PerDriver<uint16_t>& counts, const PerDriver<LapWords>& words,
                     bool practice);
    int ReadFromDatabase(ByteReader& in, int version);

    // Found flags of the four markers: a marker may read 0 ms.
    bool found_first_practice_ = false;
    bool found_last_practice_ = false;
    bool found_first_race_ = false;
    bool found_last_race_ = false;
    bool zavro_ = false;
};
