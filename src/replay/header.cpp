#include "replay/header.h"

#include <algorithm>
#include <cctype>
#include <type_traits>

#include "replay/byte_reader.h"
#include "replay/byte_writer.h"
#include "replay/replay_file.h"

namespace {

constexpr size_t kNameChars = 15;

std::string NameAt(const std::array<uint8_t, Header::kRawSize>& raw, size_t offset) {
    ByteReader r(raw.data() + offset, 16);
    return r.Field(16, kNameChars);
}

}  // namespace

Header::Header() = default;
Header::~Header() = default;

int Header::ReadFile(const std::string& file_path) {
    ReplayFile file(kRawSize);
    file.Open(file_path);
    return ReadFrom(file);
}

int Header::ReadFrom(ReplayFile& file) {
    if (!file.is_open()) return kCannotOpen;
    if (file.size() == 0) return kEmptyOrSeek;
    raw_header.fill(0);
    if (!file.Read(0, raw_header.data(), 12)) return kBadFormat;
    ByteReader r(raw_header.data(), 12);
    const uint32_t magic = r.U32();
    const uint32_t version_word = r.U32();
    if (magic != kMagic || version_word > 2) return kBadFormat;
    // A file that carries the magic but ends inside the header block is
    // damaged; its missing bytes are not made up.
    if (!file.Read(12, raw_header.data() + 12, kRawSize - 12)) return kBadFormat;
    return kOk;
}

int Header::Load(const std::string& file_path) {
    ReplayFile file(kRawSize);
    file.Open(file_path);
    return Load(file_path, file);
}

int Header::Load(const std::string& file_path, ReplayFile& file) {
    *this = Header();
    path = file_path;
    last_load_result = ReadFrom(file);
    ByteReader r(raw_header.data(), raw_header.size());
    if (last_load_result == kBadFormat && r.U32At(0) == kMagic) version = raw_header[4];
    if (last_load_result != kOk) return last_load_result;

    next_chunk_offset = r.U32At(8) + 12;
    recording_length = r.U32At(40);
    version = raw_header[4];
    ai_cars = r.U16At(156);
    player_first_name = NameAt(raw_header, 56);
    player_last_name = NameAt(raw_header, 72);
    track_folder = NameAt(raw_header, 112);
    std::transform(track_folder.begin(), track_folder.end(), track_folder.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    car_set = NameAt(raw_header, 128);

    session_count = raw_header[225];
    game_mode = raw_header[148];
    if (game_mode == 0 && session_count == 1) game_mode = -1;
    race_laps = session_count == 3 ? r.U16At(247) : r.U16At(239);
    damage_level = (raw_header[169] >> 5) & 3;
    return kOk;
}

int Header::WriteDatabaseRecord(ByteWriter& out) const {
    out.U32(static_cast<uint32_t>(version));
    out.U32(next_chunk_offset);
    out.U32(recording_length);
    out.U16(ai_cars);
    out.CString(player_first_name);
    out.CString(player_last_name);
    out.CString(track_folder);
    out.CString(car_set);
    out.U32(static_cast<uint32_t>(session_count));
    out.U32(static_cast<uint32_t>(race_laps));
    out.U32(static_cast<uint32_t>(game_mode));
    out.U32(static_cast<uint32_t>(damage_level));
    return 1;
}

int Header::ReadRecordFields(ByteReader& in, bool with_session_fields) {
    loaded_from_catalogue = 1;
    // Each field is stored only when it was read whole, so a damaged record
    // leaves the fields after the damage as they were.
    auto u32 = [&in](auto& field) {
        const uint32_t v = in.U32();
        if (in.ok()) field = static_cast<std::remove_reference_t<decltype(field)>>(v);
    };
    auto text = [&in](std::string& field) {
        std::string v = in.CString(kNameChars);
        if (in.ok()) field = std::move(v);
    };
    u32(version);
    u32(next_chunk_offset);
    u32(recording_length);
    const uint16_t ai = in.U16();
    if (in.ok()) ai_cars = ai;
    text(player_first_name);
    text(player_last_name);
    text(track_folder);
    text(car_set);
    if (with_session_fields) {
        u32(session_count);
        u32(race_laps);
        u32(game_mode);
        u32(damage_level);
    }
    return in.ok() ? 1 : 0;
}

int Header::ReadDatabaseRecordV1(ByteReader& in) { return ReadRecordFields(in, false); }

int Header::ReadDatabaseRecord(ByteReader& in) { return ReadRecordFields(in, true); }

const char* Header::GameModeText(int mode) {
    static const char* const kModes[] = {"Novice", "Int Short", "Int Long", "Pro Short", "Pro Long", "Grand Prix"};
    if (mode == -1) return "Training";
    if (mode < 0 || mode > 5) return "";
    return kModes[mode];
}

const char* Header::DamageLevelText(int level) {
    static const char* const kLevels[] = {"None", "Novice", "Advanced", "Realistic"};
    if (level < 0 || level > 3) return "";
    return kLevels[level];
}

const char* Header::VersionText(int v) { return v == 0 ? "<1.2" : ">=1.2"; }

std::string Header::RecordingLengthText(uint32_t ticks) {
    return std::to_string(ticks / 2160) + "m " + std::to_string((ticks / 36) % 60) + "s";
}
