#include "replay/get_rpy_info.h"

#include <algorithm>
#include <cmath>

#include "replay/byte_reader.h"
#include "replay/drivers.h"
#include "replay/replay_file.h"

namespace {

constexpr uint16_t kPlayerCarType = 1;
constexpr uint16_t kEngineType = 2;
constexpr uint16_t kOtherCarsType = 3;
constexpr uint16_t kMarkerType = 13;
constexpr size_t kOtherCarEntry = 16;
// The data section is walked front to back through one read window; the
// lap itself is read a second time. The window stays small enough to be in
// the processor's cache while the block headers in it are walked.
constexpr size_t kWindowSize = 1024 * 1024;

// A marker opens the lap when it is less than this before the lap's start,
// and closes it when it is more than kCloseMs after the lap's end.
constexpr uint64_t kOpenMs = 2000;
constexpr uint64_t kCloseMs = 30;

// Bytes a record occupies, its 4-byte header included, by the skip rule of
// its type; 0 for a type the format does not have. The rules differ by type
// in the simulator's files and must be followed exactly, or the walk falls
// out of step with the records.
size_t Occupied(uint16_t type, uint16_t length) {
    switch (type) {
    case 1: case 2: case 3: case 4: case 6: case 10: case 11: case 12: case 13:
        return length;
    case 8:
        // Type 8 records are two bytes longer than their length field.
        return size_t{length} + 2;
    case 9: case 14: case 15: case 16:
        // The low two bits of the length field give the padding to four bytes.
        return (size_t{length} + 3) & ~size_t{3};
    default:
        return 0;
    }
}

template <typename T>
void Resize(std::vector<T>& v, size_t entries) {
    v.assign(entries, T{});
}

// Moves entries j0..j1 of a channel to 1..(j1 - j0 + 1); entry 0 stays.
template <typename T>
void Keep(std::vector<T>& v, uint32_t j0, uint32_t j1) {
    std::vector<T> out(size_t{j1} - j0 + 3, T{});
    out[0] = v[0];
    std::copy(v.begin() + j0, v.begin() + j1 + 1, out.begin() + 1);
    v.swap(out);
}

}  // namespace

GetRpyInfo::GetRpyInfo() = default;
GetRpyInfo::~GetRpyInfo() = default;

int GetRpyInfo::Fail(int code) {
    status = code;
    return code;
}

void GetRpyInfo::Reset() {
    drivers = nullptr;
    driver = -1;
    path.clear();
    status = kOk;
    distance_unit = 0;
    lap_start_ms = lap_end_ms = 0;
    start_block = end_block = 0;
    start_marker_ms = end_marker_ms = 0;
    first_block_pos = after_last_pos = 0;
    last_block_size = 0;
    sample_count = decoded_count = 0;
    missing_count = longest_missing_run = last_missing_index = current_missing_run = 0;
    marker_lap_time_ms = start_distance_step = end_distance_step = 0;
    first_kept_frame = last_kept_frame = 0;
    trimmed = false;
    extracted_ = false;
    Allocate(0);
    for (auto* v : {&distance, &lateral_offset, &height, &map_x, &map_y, &heading, &orientation_degrees,
                    &accel_raw_x, &accel_raw_y, &accel_total, &accel_long, &accel_lat, &accel_travel_long,
                    &accel_travel_lat, &slip_angle, &slip_less_steering, &speed})
        v->clear();
    revs_raw.clear();
    for (auto& v : locked_wheel) v.clear();
    split_time_ms = {};
}

void GetRpyInfo::Allocate(size_t entries) {
    Resize(distance_raw, entries);
    Resize(gear, entries);
    Resize(lateral_raw, entries);
    Resize(height_raw, entries);
    Resize(revs, entries);
    Resize(orientation, entries);
    Resize(pitch, entries);
    Resize(roll, entries);
    Resize(steering, entries);
    Resize(fraction, entries);
    Resize(state_bits, entries);
    Resize(tyre_squeal, entries);
    for (int w = 0; w < 4; ++w) {
        Resize(wheel_value[w], entries);
        Resize(suspension[w], entries);
        Resize(wheel_state[w], entries);
    }
    Resize(oil_pressure, entries);
    Resize(oil_temperature, entries);
    Resize(water_temperature, entries);
    Resize(fuel_pressure, entries);
    Resize(engine_value4, entries);
    Resize(spare, entries);
    Resize(has_data_, entries);
}

int GetRpyInfo::ExtractLap(Drivers& table, int wanted, int lap, int session) {
    Reset();
    drivers = &table;
    driver = wanted;
    // The lap must exist in its table before its times are summed: a lap
    // beyond the count would add up the fill words of unused entries.
    if (wanted < 0 || wanted >= table.driver_count || wanted >= Drivers::kMaxDrivers || lap < 1 ||
        lap > Drivers::kMaxLaps)
        return Fail(kNotSelectable);
    const bool practice = session == 0;
    const int laps = practice ? table.practice_lap_count[wanted] : table.race_lap_count[wanted];
    if (lap > laps) return Fail(kNotSelectable);
    if (session == 0 && !table.practice_selectable[wanted][lap]) return Fail(kNotSelectable);
    if (session == 1 && !table.race_selectable[wanted][lap]) return Fail(kNotSelectable);

    path = table.path;
    const auto& times = practice ? table.practice_times[wanted] : table.race_times[wanted];
    uint32_t start = 0;
    for (int k = 0; k < lap; ++k) start += Drivers::LapMs(times[k]);
    lap_start_ms = start;
    lap_end_ms = start + Drivers::LapMs(times[lap]);

    ReplayFile file(kWindowSize);
    if (!file.Open(path)) return Fail(kCannotOpen);
    if (file.size() == 0) return Fail(kEmptyFile);

    const uint64_t section = table.data_section_offset;
    const int found = FindLapFrames(file, session, section);
    if (found != kOk) return Fail(found);

    Allocate(size_t{sample_count} + 2);
    const int read = ReadSamples(file, static_cast<uint32_t>(wanted) == table.player_index);
    if (read != kOk) return Fail(read);
    extracted_ = true;
    return kOk;
}

int GetRpyInfo::FindLapFrames(ReplayFile& file, int session, uint64_t section) {
    const auto head = file.View(section, 12);
    if (head.empty()) return kEndNotFound;
    ByteReader h(head);
    distance_unit = static_cast<uint8_t>(h.U32At(4) & 0xFF);
    drivers->distance_unit = distance_unit;
    const uint64_t frame_bytes = h.U32At(8);
    const uint32_t race_code = drivers->race_session_code;

    uint64_t pos = section + 12;
    uint64_t walked = 0;
    uint32_t block = 0;
    bool have_start = false;
    bool have_end = false;
    uint16_t end_size = 0;
    // Only each block's header and first record are read, out of one read
    // window at a time: a lap late in a long race is found without decoding
    // the frames before it.
    std::span<const uint8_t> ahead;
    uint64_t ahead_pos = 0;
    ByteReader r;
    while (walked < frame_bytes) {
        ++block;
        if (pos < ahead_pos || pos + 16 > ahead_pos + ahead.size()) {
            ahead = file.ViewAhead(pos, 16);
            ahead_pos = pos;
            r = ByteReader(ahead);
        }
        const size_t at = static_cast<size_t>(pos - ahead_pos);
        if (!r.Has(at, 8)) return kEndNotFound;  // the file ends inside the data section
        const uint16_t size = r.U16At(at);
        if (size < 8) return kDamaged;           // no walk goes past such a block
        if (!file.Contains(pos, size)) return kEndNotFound;
        if (size >= 12) {
            const uint32_t head = r.U32At(at + 8);
            if ((head & 0xFFFF) == kMarkerType) {
                if ((head >> 16) < 8 || size < 16) return kDamaged;
                const uint32_t v = r.U32At(at + 12);
                const uint32_t code = v & 0xFF;
                const uint64_t t = uint64_t{v >> 8} * 10;
                const bool counts = (session == 0 && code == 0) || (session == 1 && code == race_code);
                if (counts && !have_start && t + kOpenMs > lap_start_ms) {
                    have_start = true;
                    start_block = block;
                    start_marker_ms = static_cast<uint32_t>(t);
                    first_block_pos = pos;
                }
                if (counts && have_start && t > lap_end_ms + kCloseMs) {
                    have_end = true;
                    end_block = block;
                    end_marker_ms = static_cast<uint32_t>(t);
                    end_size = size;
                    break;
                }
            }
        }
        pos += size;
        walked += size;
    }
    // Without both markers there is no lap to read: no frame of the session
    // reaches the lap's times.
    if (!have_start || !have_end) return kEndNotFound;

    // The samples run to the block after the closing one. A data section
    // that ends with the closing block still holds the whole lap; its
    // samples then stop one block earlier.
    bool has_next = false;
    const uint64_t next = pos + end_size;
    if (walked + end_size < frame_bytes) {
        const auto nh = file.View(next, 8);
        if (!nh.empty()) {
            const uint16_t size = ByteReader(nh).U16();
            if (size < 8) return kDamaged;
            has_next = file.Contains(next, size);
        }
    }
    sample_count = end_block - start_block + (has_next ? 2 : 1);
    return kOk;
}

int GetRpyInfo::ReadSamples(ReplayFile& file, bool is_player) {
    uint64_t pos = first_block_pos;
    bool engine_seen = false;
    for (uint32_t i = 1; i <= sample_count; ++i) {
        const auto bh = file.View(pos, 8);
        if (bh.empty()) return kEndNotFound;
        const uint16_t size = ByteReader(bh).U16();
        if (size < 8) return kDamaged;
        const auto block = file.View(pos, size);
        if (block.size() != size) return kEndNotFound;
        const int r = ReadBlock(block, i, is_player, engine_seen);
        if (r != kOk) return r;
        last_block_size = size;
        pos += size;
    }
    after_last_pos = pos;
    return kOk;
}

int GetRpyInfo::ReadBlock(std::span<const uint8_t> block, uint32_t i, bool is_player, bool& engine_seen) {
    using P = ParseCarStructs;
    const ByteReader r(block);
    const uint32_t slot = drivers->slot[driver];
    bool found = false;
    bool other_cars = false;
    size_t at = 8;
    while (at < block.size()) {
        if (!r.Has(at, 4)) return kDamaged;
        const uint16_t type = r.U16At(at);
        const uint16_t length = r.U16At(at + 2);
        const size_t occupied = Occupied(type, length);
        if (occupied < 4 || !r.Has(at, occupied)) return kDamaged;
        const auto payload = block.subspan(at + 4, occupied - 4);
        at += occupied;

        if (type == kPlayerCarType && is_player) {
            const P::PlayerCarWords* w = parser_.ParseCarRecordA(payload);
            if (!w) return kDamaged;
            const auto& a = *w;
            distance_raw[i] = a[P::kPlayerDistance];
            gear[i] = static_cast<int16_t>(static_cast<int32_t>(a[P::kPlayerGear]));
            wheel_state[0][i] = static_cast<uint8_t>(a[P::kPlayerWheelState1]);
            lateral_raw[i] = P::Signed(a[P::kPlayerLateral], 0, P::kPlayerLateralBits);
            height_raw[i] = a[P::kPlayerHeight];
            revs[i] = a[P::kPlayerRevs];
            orientation[i] = static_cast<int16_t>(
                P::Signed(a[P::kPlayerAttitude], P::kPlayerOrientationLow, P::kOrientationBits));
            pitch[i] = P::Signed(a[P::kPlayerAttitude], P::kPlayerPitchLow, P::kPitchBits);
            roll[i] = P::Signed(a[P::kPlayerAttitude], P::kPlayerRollLow, P::kRollBits);
            tyre_squeal[i] = static_cast<uint8_t>(a[P::kPlayerTyreSqueal]);
            fraction[i] = a[P::kPlayerFraction];
            state_bits[i] = a[P::kPlayerFraction] >> 3;
            steering[i] = static_cast<int16_t>(P::Signed(a[P::kPlayerSteering], 0, P::kSteeringBits));
            wheel_state[1][i] = static_cast<uint8_t>(a[P::kPlayerWheelState2]);
            wheel_value[0][i] = a[P::kPlayerWheelValue1];
            suspension[0][i] = P::Signed(a[P::kPlayerSuspension1], 0, P::kSuspensionBits);
            wheel_value[1][i] = a[P::kPlayerWheelValue2];
            wheel_state[2][i] = static_cast<uint8_t>(a[P::kPlayerWheelState3]);
            suspension[1][i] = P::Signed(a[P::kPlayerSuspension2], 0, P::kSuspensionBits);
            wheel_value[2][i] = a[P::kPlayerWheelValue3];
            suspension[2][i] = P::Signed(a[P::kPlayerSuspension3], 0, P::kSuspensionBits);
            wheel_state[3][i] = static_cast<uint8_t>(a[P::kPlayerWheelState4]);
            wheel_value[3][i] = a[P::kPlayerWheelValue4];
            suspension[3][i] = P::Signed(a[P::kPlayerSuspension4], 0, P::kSuspensionBits);
            oil_pressure[i] = static_cast<uint16_t>(a[P::kPlayerOilPressure]);
            found = true;
        } else if (type == kEngineType) {
            if (!is_player) {
                oil_temperature[i] = water_temperature[i] = 0;
                fuel_pressure[i] = engine_value4[i] = 0;
                continue;
            }
            const P::EngineWords* w = parser_.ParseCarRecordC(payload);
            if (!w) return kDamaged;
            const auto& c = *w;
            // The first reading of the extraction also stands in entry 0:
            // the trimmed lap starts from it until its own readings begin.
            for (uint32_t e : {i, engine_seen ? i : 0u}) {
                oil_temperature[e] = c[P::kEngineOilTemperature];
                water_temperature[e] = c[P::kEngineWaterTemperature];
                fuel_pressure[e] = static_cast<uint16_t>(c[P::kEngineFuelPressure]);
                engine_value4[e] = static_cast<uint16_t>(c[P::kEngineValue4]);
            }
            engine_seen = true;
        } else if (type == kOtherCarsType && !is_player) {
            other_cars = true;
            for (size_t e = 0; e + kOtherCarEntry <= payload.size(); e += kOtherCarEntry) {
                const auto entry = payload.subspan(e, kOtherCarEntry);
                // The car slot is the top six bits of the entry's byte 7;
                // only the matching entry is unpacked.
                if (uint32_t{entry[7]} >> 2 != slot) continue;
                const auto& b = *parser_.ParseCarRecordB(entry);
                pitch[i] = P::Signed(b[P::kOtherPitch], 0, P::kPitchBits);
                revs[i] = b[P::kOtherRevs];
                distance_raw[i] = b[P::kOtherDistance];
                lateral_raw[i] = P::Signed(b[P::kOtherLateral], 0, P::kOtherLateralBits);
                fraction[i] = b[P::kOtherFraction];
                state_bits[i] = b[P::kOtherFraction] + b[P::kOtherStateHigh] * 32;
                height_raw[i] = b[P::kOtherHeight];
                steering[i] =
                    static_cast<int16_t>(P::Signed(b[P::kOtherAttitude], P::kOtherSteeringLow, P::kSteeringBits));
                orientation[i] = static_cast<int16_t>(
                    P::Signed(b[P::kOtherAttitude], P::kOtherOrientationLow, P::kOrientationBits));
                roll[i] = P::Signed(b[P::kOtherAttitude], P::kOtherRollLow, P::kRollBits);
                gear[i] = static_cast<int16_t>(static_cast<int32_t>(b[P::kOtherGear]));
                found = true;
            }
        }
    }
    if (found) {
        has_data_[i] = 1;
        ++decoded_count;
    } else if (other_cars) {
        // The car is missing from this frame. A frame may carry its cars in
        // more than one record: it counts once, and only when none of them
        // holds the car.
        ++missing_count;
        current_missing_run = last_missing_index != 0 && i - last_missing_index == 1 ? current_missing_run + 1 : 1;
        longest_missing_run = std::max(longest_missing_run, current_missing_run);
        last_missing_index = i;
    }
    return kOk;
}

int GetRpyInfo::TrimToLap(int margin) {
    if (!extracted_) return status != kOk ? status : kEndNotFound;
    if (trimmed) return kOk;
    margin = std::max(margin, 0);
    const uint32_t n = sample_count;
    const auto& d = distance_raw;

    // The start line shows as the distance falling (or standing) from one
    // sample to the next. Samples without the car's data read 0 and would
    // look like the line, so only samples with data are compared.
    std::vector<uint32_t> with_data;
    with_data.reserve(n);
    for (uint32_t i = 1; i <= n; ++i)
        if (has_data_[i]) with_data.push_back(i);
    // Without a crossing the lap runs over all samples: the line lies
    // before the first and after the last.
    int64_t first = 0;
    int64_t last = int64_t{n} + 1;
    for (size_t r = 0; r + 1 < with_data.size(); ++r) {
        if (d[with_data[r + 1]] <= d[with_data[r]]) {
            first = with_data[r];
            break;
        }
    }
    for (size_t r = with_data.size(); r-- > 1;) {
        if (d[with_data[r - 1]] >= d[with_data[r]]) {
            last = with_data[r];
            break;
        }
    }

    first_kept_frame = static_cast<uint32_t>(start_block - 1 + first);
    last_kept_frame = static_cast<uint32_t>(start_block + last - 2);
    const int64_t span = int64_t{end_marker_ms} - start_marker_ms;
    const auto lead = static_cast<int64_t>((int64_t{first_kept_frame} - start_block) * kTickMs);
    const auto tail = static_cast<int64_t>((int64_t{end_block} - last_kept_frame) * kTickMs);
    marker_lap_time_ms = static_cast<int32_t>(span - lead - tail);

    auto at = [&](int64_t i) -> int64_t { return d[static_cast<size_t>(std::clamp<int64_t>(i, 1, n))]; };
    start_distance_step = static_cast<int32_t>(at(first + 1) == 0 ? at(first + 3) - at(first + 2)
                                                                  : at(first + 2) - at(first + 1));
    end_distance_step = static_cast<int32_t>(at(last - 1) - at(last - 2));

    const auto j0 = static_cast<uint32_t>(std::max<int64_t>(1, first + 1 - margin));
    const auto j1 = static_cast<uint32_t>(std::min<int64_t>(n, last + margin));
    const uint32_t m = j1 - j0 + 1;

    // Engine readings come only in some frames. Until the first one with an
    // oil temperature the lap shows the extraction's first reading; later
    // frames without a reading repeat the one before. The temperatures are
    // seven bits wide, so 128 is stored as 0 after 127.
    std::vector<double> oil(m + 2), water(m + 2);
    std::vector<uint16_t> fuel(m + 2), value4(m + 2);
    oil[0] = oil_temperature[0];
    water[0] = water_temperature[0];
    fuel[0] = fuel_pressure[0];
    value4[0] = engine_value4[0];
    bool reading = false;
    for (uint32_t j = j0, k = 1; j <= j1; ++j, ++k) {
        if (reading && oil_temperature[j] == 0 && water_temperature[j] == 0) {
            oil[k] = oil[k - 1];
            water[k] = water[k - 1];
            fuel[k] = fuel[k - 1];
            value4[k] = value4[k - 1];
            continue;
        }
        const uint32_t from = !reading && oil_temperature[j] == 0 ? 0 : j;
        const bool wraps = reading;
        reading = reading || oil_temperature[j] != 0;
        oil[k] = oil_temperature[from];
        water[k] = water_temperature[from];
        fuel[k] = fuel_pressure[from];
        value4[k] = engine_value4[from];
        if (wraps && oil[k] == 0 && oil[k - 1] == 127.0) oil[k] = 128.0;
        if (wraps && water[k] == 0 && water[k - 1] == 127.0) water[k] = 128.0;
    }
    oil_temperature.swap(oil);
    water_temperature.swap(water);
    fuel_pressure.swap(fuel);
    engine_value4.swap(value4);

    Keep(distance_raw, j0, j1);
    Keep(gear, j0, j1);
    Keep(lateral_raw, j0, j1);
    Keep(height_raw, j0, j1);
    Keep(revs, j0, j1);
    Keep(orientation, j0, j1);
    Keep(pitch, j0, j1);
    Keep(roll, j0, j1);
    Keep(steering, j0, j1);
    Keep(fraction, j0, j1);
    Keep(state_bits, j0, j1);
    Keep(tyre_squeal, j0, j1);
    for (int w = 0; w < 4; ++w) {
        Keep(wheel_value[w], j0, j1);
        Keep(suspension[w], j0, j1);
        Keep(wheel_state[w], j0, j1);
    }
    Keep(oil_pressure, j0, j1);
    Keep(spare, j0, j1);
    Keep(has_data_, j0, j1);

    const bool player = static_cast<uint32_t>(driver) == drivers->player_index;
    const double unit = distance_unit == kCoarseUnit ? 0.002 : 0.0005;
    distance.assign(m + 2, 0.0);
    lateral_offset.assign(m + 2, 0.0);
    height.assign(m + 2, 0.0);
    revs_raw.assign(m + 2, 0);
    for (uint32_t k = 1; k <= m; ++k) {
        distance[k] = distance_raw[k] * unit;
        lateral_offset[k] = 13.0 * std::tan(lateral_raw[k] * (player ? 2.911741e-06 : 4.658918e-05));
        height[k] = player ? 1.563264 * std::tan(height_raw[k] * 0.0003759564)
                           : 0.7816317 * std::tan(height_raw[k] * 0.003012801);
        revs_raw[k] = static_cast<int>(revs[k]);
        revs[k] = 4131.182 * std::tan(revs[k] * 0.001288481);
        fraction[k] = player ? fraction[k] * 0.003921569 : 0.305114 * std::tan(fraction[k] * 0.04122431);
    }

    for (auto* v : {&map_x, &map_y, &heading, &orientation_degrees, &accel_raw_x, &accel_raw_y, &accel_total,
                    &accel_long, &accel_lat, &accel_travel_long, &accel_travel_lat, &slip_angle,
                    &slip_less_steering, &speed})
        v->assign(m + 2, 0.0);
    for (auto& v : locked_wheel) v.assign(m + 2, 0);

    sample_count = m;
    trimmed = true;
    return kOk;
}
