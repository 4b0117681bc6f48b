#pragma once
// The header of a replay file (*.rpy): file magic, version, session and
// track identity, read from the first 296 bytes of the file, and its record
// form in a replay CD catalogue.

#include <array>
#include <cstdint>
#include <string>

class ByteReader;
class ByteWriter;
class ReplayFile;

class Header {
public:
    // File magic "YLPR" as a little-endian u32.
    static constexpr uint32_t kMagic = 0x52504C59;
    static constexpr size_t kRawSize = 296;
    // Result codes of Load and ReadFile.
    enum Result { kOk = 0, kCannotOpen = 1, kEmptyOrSeek = 2, kBadFormat = 3 };

    Header();
    virtual ~Header();
    Header(const Header&) = default;
    Header& operator=(const Header&) = default;

    // Reads the header of the replay at path and derives the fields below.
    // Returns 0 on success, 1 when the file cannot be opened or is not a
    // regular file (a FIFO, a device, a folder), 2 when it is
    // empty or cannot be positioned, 3 when it is not a replay this program
    // reads (wrong magic, version above 2, or shorter than the header). On
    // failure nothing is derived, except that a file with the right magic
    // leaves the low byte of its version word in `version`, so a caller can
    // tell a Torquana 4 replay (version 3) from a damaged file. Whatever an
    // earlier load or catalogue record left in the object is cleared first.
    int Load(const std::string& path);
    // The same from the replay at path already opened in file.
    int Load(const std::string& path, ReplayFile& file);

    // Reads the raw 296 header bytes; the same codes as Load.
    int ReadFile(const std::string& path);

    // Appends the current catalogue record form (12 fields). Returns 1.
    int WriteDatabaseRecord(ByteWriter& out) const;
    // Reads the catalogue form of catalogue version 1 (fields 1 to 8) or of
    // versions 2 to 4 (fields 1 to 12) and marks the header as loaded from a
    // catalogue. Returns 1, or 0 when the record is damaged (cut short, a
    // name longer than 15 characters); fields read before the damage stand.
    int ReadDatabaseRecordV1(ByteReader& in);
    int ReadDatabaseRecord(ByteReader& in);

    // Display texts of the derived fields.
    static const char* GameModeText(int game_mode);      // "Training", "Novice" ... "Grand Prix"
    static const char* DamageLevelText(int damage_level);  // "None" ... "Realistic"
    static const char* VersionText(int version);           // "<1.2" or ">=1.2"
    // Recording length as minutes, "m ", seconds, "s".
    static std::string RecordingLengthText(uint32_t ticks);

    int session_count = 0;       // 1 to 3
    int race_laps = 0;
    int game_mode = 0;           // 0 to 5; -1 for training (mode 0 with one session)
    int damage_level = 0;        // 0 to 3
    int loaded_from_catalogue = 0;
    int version = 0;             // 0: release older than 1.2; 1 and 2: 1.2 or later
    uint32_t next_chunk_offset = 0;  // header-block length + 12
    uint32_t recording_length = 0;   // ticks of 1/36 s
    std::string player_first_name;   // at most 15 characters
    std::string player_last_name;
    std::string track_folder;        // lower case
    std::string car_set;
    uint16_t ai_cars = 0;
    int last_load_result = 0;
    std::string path;
    // Bytes 0 to 295 of the file as read, kept so a written replay can
    // reproduce them.
    std::array<uint8_t, kRawSize> raw_header{};

private:
    int ReadRecordFields(ByteReader& in, bool with_session_fields);
    int ReadFrom(ReplayFile& file);
};
