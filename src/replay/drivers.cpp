#include "replay/drivers.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <span>

#include "replay/byte_reader.h"
#include "replay/byte_writer.h"
#include "replay/data_section_walker.h"
#include "replay/name_tables.h"
#include "replay/replay_file.h"

namespace {

constexpr size_t kNameChars = 15;
constexpr uint64_t kDriverChunk = 296;
constexpr uint64_t kFirstRecord = 308;
constexpr uint16_t kMarkerType = 13;
constexpr uint16_t kFrameNumberType = 14;
const char* const kCountries[] = {"ARG", "AUS", "AUT", "BEL", "BRA", "CAN", "CHI", "COL", "DEN", "FIN",
                                  "FRA", "GER", "GBR", "IRE", "ITA", "JPN", "MEX", "MON", "MOR", "HOL",
                                  "NZL", "POR", "RSA", "SPA", "SWE", "SUI", "USA", "URU", "VEN"};

bool KnownRecordType(uint16_t type) { return (type >= 1 && type <= 4) || type == 6 || (type >= 8 && type <= 16); }

struct ChunkHeader {
    uint32_t tag = 0;
    uint32_t second = 0;
    uint32_t length = 0;
};

bool ReadChunkHeader(ReplayFile& file, uint64_t offset, ChunkHeader& out) {
    const auto v = file.View(offset, 12);
    if (v.empty()) return false;
    ByteReader r(v);
    out.tag = r.U32();
    out.second = r.U32();
    out.length = r.U32();
    return true;
}

// Walks the records of one frame block from its byte 8. A record occupies
// its length field (header included) rounded up to a multiple of 4. Calls
// visit(type, payload) for each; stops early when visit returns false.
// Returns false for a damaged block: an unknown record type, a record
// shorter than its header or one that runs past the block.
template <typename Visit>
bool WalkRecords(std::span<const uint8_t> block, Visit visit) {
    ByteReader r(block);
    size_t pos = 8;
    while (pos < block.size()) {
        if (!r.Has(pos, 4)) return false;
        const uint32_t head = r.U32At(pos);
        const uint16_t type = static_cast<uint16_t>(head & 0xFFFF);
        const size_t occupied = ((head >> 16) + 3u) & ~size_t{3};
        if (!KnownRecordType(type) || occupied < 4 || !r.Has(pos, occupied)) return false;
        if (!visit(type, block.subspan(pos + 4, occupied - 4))) return true;
        pos += occupied;
    }
    return true;
}

// A timing marker's value: low byte the session code, the upper 24 bits the
// session clock in units of 10 ms.
struct Marker {
    uint32_t session = 0;
    uint32_t clock_ms = 0;
};

bool ReadMarker(std::span<const uint8_t> payload, Marker& out) {
    ByteReader r(payload);
    const uint32_t v = r.U32();
    if (!r.ok()) return false;
    out.session = v & 0xFF;
    out.clock_ms = (v >> 8) * 10;
    return true;
}

}  // namespace

Drivers::Drivers() {
    for (auto& t : practice_times) t.fill(kNoTime);
    for (auto& t : race_times) t.fill(0x11111111);
    for (auto& t : practice_words) t.fill(kNoTime);
    for (auto& t : race_words) t.fill(kNoTime);
    car_index.fill(255);
    car_data_56.fill(255);
    car_data_55.fill(255);
    for (auto& v : car_data_values) v.fill(255);
    season_code.fill(255);
}

Drivers::~Drivers() = default;

std::string Drivers::FormatFileDate(int64_t modified) {
    const std::time_t t = static_cast<std::time_t>(modified);
    std::tm local{};
    // A time the calendar cannot hold, or a year that is not four digits
    // (a damaged or far-future file time), is shown as unknown.
    if (!localtime_r(&t, &local)) return kUnknownDate;
    const long long year = static_cast<long long>(local.tm_year) + 1900;
    if (year < 0 || year > 9999 || local.tm_mon < 0 || local.tm_mon > 11) return kUnknownDate;
    // Month names are English whatever the user's locale: the reports show
    // this text as it stands.
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04lld %s %02d", year, kMonths[local.tm_mon], local.tm_mday);
    return buf;
}

std::string Drivers::CountryCode(int index) {
    if (index < 1 || index > 29) return {};
    return kCountries[index - 1];
}

bool Drivers::ReadLapTable(ReplayFile& file, uint64_t chunk, PerDriver<uint16_t>& counts,
                           PerDriver<LapWords>& words) {
    ChunkHeader head;
    if (!ReadChunkHeader(file, chunk, head)) return false;
    // A table claims at most what the file holds after its header. Its
    // entries are read one at a time, and of each only the words the table
    // keeps: a long claim (a sparse file may claim gigabytes it never
    // stored) costs no more than the entry headers really present, and
    // damage is met at the first entry that does not fit.
    const uint64_t begin = chunk + 12;
    if (!file.Contains(begin, head.length)) return false;
    const uint64_t end = begin + head.length;
    for (auto& w : words) w[0] = kNoTime;
    uint64_t pos = begin;
    while (pos < end) {
        // Entry: two unused words, length E of what follows the 12-byte
        // entry header, slot, start time, then (E - 8) / 4 cumulative words.
        if (end - pos < 20) return false;
        uint8_t entry_head[20];
        if (!file.Read(pos, entry_head, sizeof entry_head)) return false;
        ByteReader h(entry_head, sizeof entry_head);
        const uint32_t length = h.U32At(8);
        if (length < 8 || length > end - pos - 12) return false;
        const uint32_t s = h.U32At(12);
        const uint32_t start = h.U32At(16);
        if (s < static_cast<uint32_t>(kMaxDrivers)) {
            // Words beyond the 149 laps of the table are left out.
            const uint32_t n = std::min<uint32_t>((length - 8) / 4, kMaxLaps);
            const auto stored_words = file.View(pos + 20, size_t{4} * n);
            if (stored_words.size() != size_t{4} * n) return false;
            ByteReader r(stored_words);
            words[s][0] = start;
            counts[s] = static_cast<uint16_t>(n);
            uint32_t previous = start;
            for (uint32_t i = 1; i <= n; ++i) {
                const uint32_t stored = r.U32At(4 * (i - 1));
                // Stored words are session clock times; a lap time is the
                // difference to the previous one, with the flags kept.
                words[s][i] = (stored & 0xFF000000u) | ((stored - previous) & 0xFFFFFFu);
                previous = stored;
            }
        }
        pos += 12 + uint64_t{length};
    }
    return true;
}

int Drivers::ReadLapTables(ReplayFile& file, uint32_t driver_payload) {
    const uint64_t first = kFirstRecord + driver_payload;
    ChunkHeader head;
    if (!ReadChunkHeader(file, first, head)) return kParseDamaged;
    if (head.tag == kDataTag) {
        data_section_offset = static_cast<uint32_t>(first);
        return 0;
    }
    if (head.length != 0) {
        if (!ReadLapTable(file, first, practice_entry_count, practice_words)) return kParseDamaged;
        practice_present = 1;
    }
    const uint64_t x = first + 12 + head.length;
    ChunkHeader at_x;
    if (!ReadChunkHeader(file, x, at_x)) return kParseDamaged;
    uint64_t taken = x;
    ChunkHeader taken_head = at_x;
    ChunkHeader after_x;
    // An extra chunk may stand before the race table; a look-ahead that runs
    // past the end of the file finds no race table.
    if (ReadChunkHeader(file, x + 12 + at_x.length, after_x) && after_x.tag == kRaceTableTag) {
        taken = x + 12 + at_x.length;
        taken_head = after_x;
    }
    if (taken_head.tag == kRaceTableTag) {
        if (!ReadLapTable(file, taken, race_entry_count, race_words)) return kParseDamaged;
        race_present = 1;
        taken += 12 + taken_head.length;
    }
    if (taken > UINT32_MAX) return kParseDamaged;
    data_section_offset = static_cast<uint32_t>(taken);
    return 0;
}

bool Drivers::ScanForward(ReplayFile& file) {
    uint64_t pos = uint64_t{data_section_offset} + 12;
    const uint64_t section_end = pos + frame_bytes_total;
    uint64_t left = frame_bytes_total;
    while (left > 0 && !found_first_practice_ && !found_first_race_) {
        const auto head = file.View(pos, 8);
        if (head.empty()) return false;
        const uint16_t size = ByteReader(head).U16();
        if (!DataSectionWalker::BlockInside(pos, size, section_end)) return false;
        const auto block = file.View(pos, size);
        if (block.empty()) return false;
        if (size >= 12 && ByteReader(block).U16At(8) == kMarkerType) {
            const bool ok = WalkRecords(block, [this](uint16_t type, std::span<const uint8_t> payload) {
                Marker m;
                if (type == kMarkerType && ReadMarker(payload, m)) {
                    if (m.session == 0 && !found_first_practice_) {
                        first_practice_marker = m.clock_ms;
                        found_first_practice_ = true;
                    } else if (m.session != 0 && !found_first_race_) {
                        first_race_marker = m.clock_ms;
                        found_first_race_ = true;
                    }
                }
                return true;
            });
            if (!ok) return false;
        }
        pos += size;
        left -= size;
    }
    return true;
}

bool Drivers::ScanBackward(ReplayFile& file) {
    uint64_t left = frame_bytes_total;
    if (left == 0) return true;
    const uint64_t first_block = uint64_t{data_section_offset} + 12;
    const uint64_t section_end = first_block + frame_bytes_total;
    if (last_block_size < 8 || file.size() < last_block_size || file.size() - last_block_size < first_block)
        return false;
    uint64_t pos = file.size() - last_block_size;
    // One window reaching back from the end of the file serves the last
    // block's header and its records alike; a window read around the
    // header alone would end inside the block and be read again for it.
    if (file.View(pos, last_block_size, ReplayFile::Walk::Backward).empty()) return false;
    while (left > 0 && !found_last_practice_ && !found_last_race_) {
        const auto head = file.View(pos, 8, ReplayFile::Walk::Backward);
        if (head.empty()) return false;
        ByteReader h(head);
        const uint16_t size = h.U16();
        const uint16_t previous = h.U16();
        if (!DataSectionWalker::BlockInside(pos, size, section_end)) return false;
        // The header names the size of the last block; a block found there
        // with another size means the walk did not start on a block.
        if (pos + last_block_size == file.size() && size != last_block_size) return false;
        const auto block = file.View(pos, size, ReplayFile::Walk::Backward);
        if (block.empty()) return false;
        const bool ok = WalkRecords(block, [&](uint16_t type, std::span<const uint8_t> payload) {
            if (type == kMarkerType) {
                Marker m;
                if (!ReadMarker(payload, m)) return true;
                // Records run forward in time inside a block: the last one
                // read is the latest.
                if (m.session == 0) {
                    last_practice_marker = m.clock_ms;
                    found_last_practice_ = true;
                } else {
                    last_race_marker = m.clock_ms;
                    race_session_code = m.session;
                    found_last_race_ = true;
                }
                if (zavro_) frame_number_read = 1;
            } else if (type == kFrameNumberType && !frame_number_read) {
                ByteReader p(payload);
                const uint32_t frame = p.U32();
                if (p.ok()) {
                    last_frame_number = frame;
                    frame_number_read = 1;
                }
            }
            return true;
        });
        if (!ok) return false;
        left -= std::min<uint64_t>(size, left);
        if (left == 0) break;
        if (previous < 8 || pos < first_block + previous) return false;
        pos -= previous;
    }
    return true;
}

int Drivers::ParseReplayFile(const std::string& file_path) {
    ReplayFile file(kHeadWindow, kTailWindow);
    file.Open(file_path);
    return ParseReplayFile(file);
}

int Drivers::ParseReplayFile(ReplayFile& file) {
    if (!file.is_open()) return -1;
    if (file.size() == 0) return -2;

    std::array<uint8_t, kFirstRecord> fixed{};
    if (!file.Read(0, fixed.data(), fixed.size())) return kParseDamaged;
    ByteReader head(fixed.data(), fixed.size());
    last_block_size = head.U16At(48);
    player_index = head.U32At(52);
    practice_entry_count.fill(0);
    race_entry_count.fill(0);

    const uint32_t payload = head.U32At(kDriverChunk + 8);
    const uint32_t count = payload / kRecordSize;
    if (count > static_cast<uint32_t>(kMaxDrivers)) return kParseDamaged;
    chunk_driver_count = static_cast<uint16_t>(count);

    const auto recs = file.View(kFirstRecord, count * kRecordSize);
    if (recs.size() != count * kRecordSize) return kParseDamaged;
    for (uint32_t i = 0; i < count; ++i) std::memcpy(records[i].data(), recs.data() + i * kRecordSize, kRecordSize);

    // The header's player index is checked against the names; the fields
    // are compared whole (16 bytes up to their NUL).
    auto name_field = [](const auto& bytes, size_t offset) {
        return ByteReader(bytes.data() + offset, 16).Field(16, 16);
    };
    const std::string player_first = name_field(fixed, 56);
    const std::string player_last = name_field(fixed, 72);
    auto is_player = [&](uint32_t i) {
        return name_field(records[i], 12) == player_first && name_field(records[i], 28) == player_last;
    };
    if (player_index < count && is_player(player_index)) {
        player_name_mismatch = 0;
    } else {
        player_name_mismatch = 1;
        for (uint32_t i = 0; i < count; ++i)
            if (is_player(i)) player_index = i;
    }
    // Replays written by this program carry "ZAVRO" as the first driver's
    // first name; their frame numbers are not taken.
    zavro_ = count > 0 && name_field(records[0], 12) == "ZAVRO";

    const int tables = ReadLapTables(file, payload);
    if (tables != 0) return tables;

    ChunkHeader data;
    if (!ReadChunkHeader(file, data_section_offset, data)) return kParseDamaged;
    frame_bytes_total = data.length;
    // Frame blocks that would run past the end of the file: the file was
    // cut short, and the last block named in the header is not where the
    // backward walk would look for it.
    if (!file.Contains(uint64_t{data_section_offset} + 12, frame_bytes_total)) return kParseDamaged;
    first_practice_marker = last_practice_marker = first_race_marker = last_race_marker = 0;
    if (!ScanForward(file) || !ScanBackward(file)) return kParseDamaged;
    if (!found_last_practice_ && found_first_practice_) last_practice_marker = 0xFFFFFFFF;
    return static_cast<int>(count);
}

void Drivers::FillSession(int i, const PerDriver<uint16_t>& counts, const PerDriver<LapWords>& words, bool practice) {
    auto& times = practice ? practice_times[i] : race_times[i];
    auto& selectable = practice ? practice_selectable[i] : race_selectable[i];
    int& lap_count = practice ? practice_lap_count[i] : race_lap_count[i];
    const uint32_t window_start = practice ? first_practice_marker : first_race_marker;
    const uint32_t window_end = practice ? last_practice_marker : last_race_marker;
    selectable.fill(0);
    if (slot[i] >= static_cast<uint32_t>(kMaxDrivers)) {
        // A slot outside the table has no lap times.
        lap_count = 0;
        times[0] = kNoTime;
        return;
    }
    const auto& source = words[slot[i]];
    lap_count = counts[slot[i]];
    uint32_t sum = 0;
    for (int k = 0; k <= lap_count; ++k) {
        const uint32_t word = source[k];
        times[k] = word;
        sum += LapMs(word);
        // Unsigned comparisons: entry 0, the start time, never qualifies. A
        // lap counts only when it lies wholly inside the recorded part of
        // the session; practice laps flagged invalid never do.
        const bool inside = sum - LapMs(word) > window_start && sum < window_end;
        selectable[k] = inside && (!practice || (word & kInvalidLapFlag) == 0) ? 1 : 0;
    }
}

int Drivers::LoadReplay(const std::string& file_path) {
    ReplayFile file(kHeadWindow, kTailWindow);
    file.Open(file_path);
    return LoadReplay(file_path, file);
}

int Drivers::LoadReplay(const std::string& file_path, ReplayFile& file) {
    // A fresh table is some 60 KB: one is built, on the heap, and copied
    // from for every load rather than built again each time.
    static const Drivers* const fresh = new Drivers();
    *this = *fresh;
    path = file_path;
    if (file.is_open()) file_date = FormatFileDate(file.modified());
    const int parsed = ParseReplayFile(file);
    if (parsed < 0 || parsed != chunk_driver_count) {
        driver_count = -1;
        return 3;
    }
    driver_count = static_cast<int16_t>(parsed);
    // A race-only replay stores its single table where the practice table
    // stands; the race markers tell it apart.
    const bool exchange = !race_present && found_first_race_;
    for (int i = 0; i < driver_count; ++i) {
        ByteReader r(records[i].data(), kRecordSize);
        country_index[i] = records[i][48];
        country_codes[i] = CountryCode(country_index[i]);
        r.Seek(12);
        first_names[i] = r.Field(16, kNameChars);
        last_names[i] = r.Field(16, kNameChars);
        ai[i] = records[i][84] == 'A' && records[i][85] == 'I' ? 1 : 0;
        engine_index[i] = r.U32At(120);
        driver_code[i] = records[i][124];
        value128[i] = r.U32At(128);
        slot[i] = r.U32At(136);
        value140[i] = r.U32At(140);

        if (std::memcmp(records[i].data() + 52, "NOT APPLICABLE", 15) == 0) {
            car_index[i] = 255;
            car_data_56[i] = 255;
            car_data_55[i] = 255;
            car_data_values[i].fill(255);
            season_code[i] = 255;
        } else if (ai[i]) {
            // Computer cars run the season of the first driver and carry no
            // car bytes of their own. Their engine index names their make,
            // so it stands in for the car index where the season has such
            // a car; zero is a valid index in every table.
            season_code[i] = season_code[0];
            car_index[i] = name_tables::HasCar(season_code[i], static_cast<int>(engine_index[i]))
                               ? static_cast<uint8_t>(engine_index[i])
                               : 0;
            car_data_56[i] = 0;
            car_data_55[i] = 0;
            car_data_values[i].fill(0);
        } else {
            car_index[i] = static_cast<uint8_t>(records[i][54] - 1);
            season_code[i] = static_cast<uint16_t>(1885 + static_cast<int8_t>(records[i][53]));
            if (season_code[i] == 1966 && car_index[i] == 1) season_code[i] = 66;
            car_data_56[i] = static_cast<uint8_t>(records[i][56] - 1);
            car_data_55[i] = static_cast<uint8_t>(records[i][55] - 1);
            for (int k = 0; k < 9; ++k) car_data_values[i][k] = static_cast<uint8_t>(records[i][57 + k] - 1);
        }

        FillSession(i, exchange ? race_entry_count : practice_entry_count, exchange ? race_words : practice_words,
                    true);
        FillSession(i, exchange ? practice_entry_count : race_entry_count, exchange ? practice_words : race_words,
                    false);
    }
    if (exchange) {
        practice_present = 0;
        race_present = 1;
    }
    return 0;
}

int Drivers::WriteToDatabase(ByteWriter& out) const {
    const int count = std::clamp<int>(driver_count, 0, kMaxDrivers);
    out.CString(file_date);
    out.U32(static_cast<uint32_t>(player_name_mismatch));
    out.U16(static_cast<uint16_t>(driver_count));
    out.U16(chunk_driver_count);
    out.U32(static_cast<uint32_t>(practice_present));
    out.U32(static_cast<uint32_t>(race_present));
    out.U32(race_session_code);
    out.U32(player_index);
    for (int i = 0; i < count; ++i) {
        out.CString(first_names[i]);
        out.CString(last_names[i]);
        out.CString(country_codes[i]);
        out.U8(ai[i]);
        out.U8(driver_code[i]);
        out.U32(engine_index[i]);
        out.U32(value140[i]);
        out.U32(slot[i]);
        out.U8(country_index[i]);
        out.U32(static_cast<uint32_t>(practice_lap_count[i]));
        out.U32(static_cast<uint32_t>(race_lap_count[i]));
        out.U16(season_code[i]);
        out.U8(car_index[i]);
        auto laps = [&](const LapWords& times, const LapFlags& flags, int laps_count) {
            for (int k = 0; k <= std::clamp(laps_count, 0, kMaxLaps); ++k) {
                out.U32(times[k]);
                out.U8(flags[k]);
            }
        };
        if (practice_present == 1) laps(practice_times[i], practice_selectable[i], practice_lap_count[i]);
        if (race_present == 1) laps(race_times[i], race_selectable[i], race_lap_count[i]);
    }
    return 1;
}

int Drivers::ReadFromDatabase(ByteReader& in, int version) {
    loaded_from_catalogue = 1;
    file_date = in.CString(49);
    player_name_mismatch = static_cast<int>(in.U32());
    const uint16_t count = in.U16();
    chunk_driver_count = in.U16();
    practice_present = static_cast<int>(in.U32());
    race_present = static_cast<int>(in.U32());
    race_session_code = in.U32();
    player_index = in.U32();
    if (!in.ok() || count > kMaxDrivers) {
        driver_count = -1;
        return 0;
    }
    driver_count = static_cast<int16_t>(count);
    for (int i = 0; i < count && in.ok(); ++i) {
        first_names[i] = in.CString(kNameChars);
        last_names[i] = in.CString(kNameChars);
        country_codes[i] = in.CString(3);
        ai[i] = in.U8();
        driver_code[i] = version >= 2 ? in.U8() : 0;
        engine_index[i] = in.U32();
        value140[i] = in.U32();
        slot[i] = in.U32();
        country_index[i] = in.U8();
        const uint32_t practice_laps = in.U32();
        const uint32_t race_laps = in.U32();
        if (practice_laps > static_cast<uint32_t>(kMaxLaps) || race_laps > static_cast<uint32_t>(kMaxLaps)) {
            in.Fail();
            break;
        }
        practice_lap_count[i] = static_cast<int>(practice_laps);
        race_lap_count[i] = static_cast<int>(race_laps);
        season_code[i] = version >= 3 ? in.U16() : 255;
        car_index[i] = version >= 3 ? in.U8() : 255;
        // Version 3 catalogues stored a car index that cannot be trusted.
        if (version == 3) car_index[i] = 0;
        auto laps = [&](LapWords& times, LapFlags& flags, int laps_count) {
            for (int k = 0; k <= laps_count; ++k) {
                times[k] = in.U32();
                flags[k] = in.U8();
            }
        };
        if (practice_present == 1) laps(practice_times[i], practice_selectable[i], practice_lap_count[i]);
        if (race_present == 1) laps(race_times[i], race_selectable[i], race_lap_count[i]);
    }
    if (!in.ok()) {
        driver_count = -1;
        return 0;
    }
    return 1;
}

int Drivers::ReadFromDatabaseV1(ByteReader& in) { return ReadFromDatabase(in, 1); }
int Drivers::ReadFromDatabaseV2(ByteReader& in) { return ReadFromDatabase(in, 2); }
int Drivers::ReadFromDatabaseV3(ByteReader& in) { return ReadFromDatabase(in, 3); }
int Drivers::ReadFromDatabaseV4(ByteReader& in) { return ReadFromDatabase(in, 4); }
