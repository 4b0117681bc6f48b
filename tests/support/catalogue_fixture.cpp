#include "support/catalogue_fixture.h"

#include <algorithm>

#include "replay/drivers.h"
#include "replay/header.h"
#include "support/replay_fixture.h"

namespace fixture {

namespace {

void WriteDriverRecord(Bytes& b, const Drivers& d, int i, int version) {
    b.CString(d.first_names[i]);
    b.CString(d.last_names[i]);
    b.CString(d.country_codes[i]);
    b.U8(d.ai[i]);
    if (version >= 2) b.U8(d.driver_code[i]);
    b.U32(d.engine_index[i]);
    b.U32(d.value140[i]);
    b.U32(d.slot[i]);
    b.U8(d.country_index[i]);
    b.U32(static_cast<uint32_t>(d.practice_lap_count[i]));
    b.U32(static_cast<uint32_t>(d.race_lap_count[i]));
    if (version >= 3) {
        b.U16(d.season_code[i]);
        b.U8(d.car_index[i]);
    }
    auto laps = [&b](const Drivers::LapWords& times, const Drivers::LapFlags& flags, int count) {
        for (int k = 0; k <= std::clamp(count, 0, Drivers::kMaxLaps); ++k) {
            b.U32(times[k]);
            b.U8(flags[k]);
        }
    };
    if (d.practice_present == 1) laps(d.practice_times[i], d.practice_selectable[i], d.practice_lap_count[i]);
    if (d.race_present == 1) laps(d.race_times[i], d.race_selectable[i], d.race_lap_count[i]);
}

}  // namespace

std::string DriversCatalogueRecord(const Drivers& d, int version) {
    Bytes b;
    b.CString(d.file_date);
    b.U32(static_cast<uint32_t>(d.player_name_mismatch));
    b.U16(static_cast<uint16_t>(d.driver_count));
    b.U16(d.chunk_driver_count);
    b.U32(static_cast<uint32_t>(d.practice_present));
    b.U32(static_cast<uint32_t>(d.race_present));
    b.U32(d.race_session_code);
    b.U32(d.player_index);
    for (int i = 0; i < std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers); ++i) WriteDriverRecord(b, d, i, version);
    return b.data;
}

std::string HeaderCatalogueRecord(const Header& h, int version) {
    Bytes b;
    b.U32(static_cast<uint32_t>(h.version));
    b.U32(h.next_chunk_offset);
    b.U32(h.recording_length);
    b.U16(h.ai_cars);
    b.CString(h.player_first_name);
    b.CString(h.player_last_name);
    b.CString(h.track_folder);
    b.CString(h.car_set);
    if (version >= 2) {
        b.U32(static_cast<uint32_t>(h.session_count));
        b.U32(static_cast<uint32_t>(h.race_laps));
        b.U32(static_cast<uint32_t>(h.game_mode));
        b.U32(static_cast<uint32_t>(h.damage_level));
    }
    return b.data;
}

std::string CatalogueFile(int version, const std::string& label, int32_t count,
                          const std::vector<CatalogueRecordSpec>& records) {
    Bytes b;
    b.CString("ZAVROCDDB");
    b.U8(static_cast<uint8_t>(version));
    b.CString(label);
    b.U32(static_cast<uint32_t>(count));
    for (const CatalogueRecordSpec& r : records) {
        b.CString(r.medium_path);
        b.Raw(r.header_record);
        b.Raw(r.drivers_record);
    }
    return b.data;
}

}  // namespace fixture
