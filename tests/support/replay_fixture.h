#pragma once
// Fixture writer for replay files. Lays out every byte from the documented
// replay format (file header and header block, driver chunk, lap-time table
// chunks, data section of frame blocks), independently of the program's
// readers, so a misreading on either side shows up in the tests.
//
// All numbers are written little-endian. Header, driver-record, entry and
// block bytes that the format leaves unused get a non-zero pattern, so a
// reader that looks at the wrong offset sees garbage rather than a lucky 0.
//
// Overrides damage one field only: every other length and offset in the file
// still describes the bytes as written, so the pieces after a damaged field
// stay where LayoutOf puts them.

#include <array>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace fixture {

// Chunk tags as u32 values; the quoted text is their bytes as stored.
inline constexpr uint32_t kTagMagic = 0x52504C59;     // "YLPR"
inline constexpr uint32_t kTagRaceTable = 0x4C505442; // "BTPL"
inline constexpr uint32_t kTagData = 0x52505450;      // "PTPR"
inline constexpr uint32_t kTagDrivers = 0x44525652;   // "RVRD"; readers do not test it
inline constexpr uint32_t kTagExtra = 0x41545845;     // "EXTA", the further chunk of kPracticeExtraRace
inline constexpr uint32_t kDriverRecordSize = 152;

// Appends little-endian numbers and fixed-width fields to a byte string.
class Bytes {
public:
    void U8(uint8_t v);
    void U16(uint16_t v);
    void U32(uint32_t v);
    // Writes text into a field of `width` bytes: the characters, then NUL
    // padding. Text of `width` characters or more is cut to `width` bytes and
    // then has no NUL.
    void Field(const std::string& text, size_t width);
    // Text followed by one NUL byte (catalogue string form).
    void CString(const std::string& text);
    void Raw(const std::string& bytes);
    void Zeros(size_t count);
    // Overwrites bytes already written; throws std::out_of_range past the end.
    void PutU16At(size_t offset, uint16_t v);
    void PutU32At(size_t offset, uint32_t v);

    size_t size() const { return data.size(); }
    std::string data;
};

// One 152-byte record of the driver chunk.
struct DriverSpec {
    std::string first_name = "Jim";   // record offset 12, 16-byte field
    std::string last_name = "Clark";  // record offset 28, 16-byte field
    uint8_t country = 13;             // offset 48 (1..29 in the country table)
    bool not_applicable = false;      // offsets 52..66 hold "NOT APPLICABLE" and its NUL
    // Used when not_applicable is false:
    int8_t season_offset = 82;        // offset 53, season code = 1885 + value
    uint8_t car_byte = 1;             // offset 54, car index + 1
    uint8_t car_data55 = 1;           // offset 55, value + 1
    uint8_t car_data56 = 1;           // offset 56, value + 1
    std::array<uint8_t, 9> car_data57{1, 1, 1, 1, 1, 1, 1, 1, 1};  // offsets 57..65, value + 1 each
    bool ai = false;                  // offset 84 holds "AI" and a NUL (else pattern bytes)
    uint32_t engine_index = 0;        // offset 120
    uint8_t code_byte = 0;            // offset 124
    uint32_t value128 = 0;            // offset 128
    uint32_t slot = 0;                // offset 136, lap-table slot
    uint32_t value140 = 0;            // offset 140
};

// One entry of a lap-time table chunk.
struct LapEntry {
    uint32_t slot = 0;                // entry offset 12
    uint32_t start_ms = 0;            // entry offset 16
    // Cumulative time words as stored: session clock at the end of each lap
    // in the low 24 bits, flags in the top byte.
    std::vector<uint32_t> words;
    // When set, written as the entry length E instead of 8 + 4 * words.size()
    // (for damaged files). The words are still all written, and the chunk's
    // payload length still counts the bytes written.
    std::optional<uint32_t> length_override;
};

// Builds an entry from lap durations: word k = start + sum of the first k
// durations (low 24 bits), ORed with flags[k - 1] when given (flags may be
// shorter than lap_ms).
LapEntry EntryFromLaps(uint32_t slot, uint32_t start_ms, const std::vector<uint32_t>& lap_ms,
                       const std::vector<uint32_t>& flags = {});

// Where the lap-time tables stand between the driver chunk and the data section.
// Entries of a table the layout has no place for are not written.
enum class TableLayout {
    kNone,                 // data section ("PTPR") right after the driver chunk
    kPracticeOnly,         // first table chunk, then the data section
    kPracticeThenRace,     // first table chunk, race table ("BTPL"), data section
    kPracticeExtraRace,    // first table, one further chunk, race table, data section
    kEmptyFirstThenRace,   // first chunk with payload length 0, race table, data section
    kRaceOnly,             // one table in the first position (tag not "BTPL"), then the data section
};

// One record inside a frame block: u16 type, u16 length field, payload.
struct Record {
    uint16_t type = 0;
    uint16_t length = 0;  // the length field as written (header included)
    std::string payload;  // bytes after the 4-byte header, padding included
};

// Timing marker (type 13): value = (clock_ms / 10) << 8 | session_code.
Record Marker(uint8_t session_code, uint32_t clock_ms);
// Frame number record (type 14).
Record FrameNumber(uint32_t frame);
// Car status record (type 10, 20 bytes): bytes 0-1 of its 16-byte status
// hold slot * 64 + 31, the given bytes (index 2 to 15, value) are set, the
// rest are 0.
Record CarStatus(int slot, std::initializer_list<std::pair<int, uint8_t>> bytes);
// A record of the given type occupying `occupied` bytes (a multiple of 4,
// at least 4; else std::invalid_argument), with a length field that makes
// every documented skip rule land on the same end: type 8 writes
// occupied - 2, types 9, 14, 15, 16 write occupied - 1 (size code 3), the
// others write occupied. The payload is pattern bytes.
Record Filler(uint16_t type, uint16_t occupied);

// Without overrides, the block size field is 8 + the bytes of the records
// and the previous-block size field is the size of the block before (0 for
// the first). An override replaces only its own field: the next block's
// previous-block size, the section's total and file offset 48 still give
// the sizes of the blocks as written.
struct FrameBlock {
    std::vector<Record> records;
    std::optional<uint16_t> size_override;       // block size field
    std::optional<uint16_t> prev_size_override;  // previous-block size field
};

struct ReplaySpec {
    // File header.
    uint32_t magic = 0x52504C59;  // "YLPR"
    uint32_t version = 2;
    // Header block fields (file offsets in comments).
    uint32_t recording_ticks = 0;    // 40
    uint32_t player_index = 0;       // 52
    std::string player_first = "Jim";    // 56, 16-byte field
    std::string player_last = "Clark";   // 72, 16-byte field
    std::string track = "monza";     // 112, 16-byte field
    std::string car_set = "qel67";   // 128, 16-byte field
    uint8_t game_mode = 5;           // 148
    uint16_t ai_cars = 0;            // 156
    uint8_t damage_level = 3;        // bits 5-6 of byte 169 (the byte is damage_level << 5)
    uint8_t sessions = 2;            // 225
    uint16_t race_laps = 10;         // 239, or 247 when sessions == 3 (the other gets 0xEEEE)
    // Size of the last frame block (offset 48); computed when not set.
    std::optional<uint16_t> last_block_size;

    std::vector<DriverSpec> drivers;
    // Bytes written after the records, inside the driver chunk's payload.
    std::string driver_trailing;
    // Driver chunk payload length field; 152 * drivers.size() +
    // driver_trailing.size() when not set. Only the field changes: the
    // records and the trailing bytes are written as they are.
    std::optional<uint32_t> driver_payload_override;

    TableLayout layout = TableLayout::kPracticeThenRace;
    std::vector<LapEntry> practice;  // the first table (also the single table of kRaceOnly)
    std::vector<LapEntry> race;      // the "BTPL" table
    uint32_t first_table_tag = 0x4C505451;  // any tag but "PTPR"

    // Low byte of the data section's second word (its upper bytes are pattern).
    uint8_t distance_unit = 0;
    std::vector<FrameBlock> frames;
};

// The whole file. Offset 8 holds the file size minus 12. Throws
// std::length_error when a frame block does not fit its u16 size field.
std::string BuildReplay(const ReplaySpec& spec);

// File offsets of the chunk headers of a built replay, computed from the same
// spec without building it.
struct ReplayLayout {
    uint32_t driver_chunk = 296;
    // The chunk right after the driver chunk when it is not the data section
    // (with kEmptyFirstThenRace, the empty chunk); 0 when absent.
    uint32_t first_table = 0;
    uint32_t extra_chunk = 0;     // kPracticeExtraRace only; 0 when absent
    uint32_t race_table = 0;      // the "BTPL" chunk; 0 when absent
    uint32_t data_section = 0;
    uint32_t file_size = 0;
};
ReplayLayout LayoutOf(const ReplaySpec& spec);

// Frames of a recorded session: `ticks` blocks, each with a timing marker
// of `session_code` first (block i at clock_start_ms + i * 1000 / 36 ms,
// rounded down to 10 ms), a frame-number record (first_frame_number + i),
// and `filler_bytes` (a multiple of 4, else std::invalid_argument) of other
// records (types 4, 8, 9, 11 in turn).
std::vector<FrameBlock> SessionFrames(uint8_t session_code, uint32_t clock_start_ms, uint32_t ticks,
                                      uint32_t first_frame_number = 1, uint32_t filler_bytes = 0);

// Throws std::runtime_error when the file cannot be written.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

}  // namespace fixture
