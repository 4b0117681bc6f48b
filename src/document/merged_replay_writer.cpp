#include "document/merged_replay_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "document/lap_file_names.h"
#include "document/rpy_graph_doc.h"
#include "replay/byte_writer.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"

namespace merged_replay_writer {

namespace {

constexpr const char* kCreatorFirst = "Quandermolvixe";
constexpr const char* kProduct = "ZAVRO";
constexpr uint32_t kRecordSize = 152;
constexpr uint32_t kTicksPerMarker = 36;
constexpr uint16_t kMarkerType = 13;
constexpr uint16_t kOtherCarsType = 3;
constexpr uint32_t kInvalidLapFlag = 0x10000000;
// Session clock of block 1, in whole 10 ms: half a tick before the line
// crossing between samples 1 and 2 of a lap that starts without offset,
// which its lap-time entry puts at kStartTimeMs. Not 0, which readers take
// for no marker at all.
constexpr uint32_t kFirstMarkerMs = 980;

void Text(ByteWriter& w, const std::string& text, size_t width) {
    std::string field = text.substr(0, std::min(text.size(), width - 1));
    field.resize(width, '\0');
    w.Raw(field);
}

void Tag(ByteWriter& w, const char* tag) { w.Raw(std::string_view(tag, 4)); }

void Zeros(ByteWriter& w, size_t count) { w.Raw(std::string(count, '\0')); }

void PutU32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutU16(std::string& s, size_t at, uint16_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}

// Conversions truncate toward zero, as the simulator's own packing does.
int64_t Trunc(double v) {
    if (!std::isfinite(v)) return 0;
    return static_cast<int64_t>(std::clamp(v, -9.0e18, 9.0e18));
}

uint32_t Bits(int64_t v, int width) { return static_cast<uint32_t>(static_cast<uint64_t>(v) & ((1u << width) - 1)); }

// The 16-byte other-car entry of one lap at one sample.
void PackCar(ByteWriter& w, const GetRpyInfo& t, size_t s, double distance, uint32_t packet, uint32_t slot,
             double distance_scale) {
    const uint32_t w1 = (packet & 0x3FF) << 1 | Bits(t.pitch[s], 10) << 11 |
                        Bits(Trunc(std::atan(t.revs[s] * 0.0002420614729634279) * 776.1076802839933), 11) << 21;
    const uint32_t w2 = Bits(Trunc(distance * distance_scale), 26) | (slot & 0x3F) << 26;
    const uint32_t w3 = Bits(Trunc(std::atan(t.lateral_offset[s] * 0.07535159052137273) * 21464.211218141205), 16) |
                        Bits(Trunc(std::atan(t.fraction[s] * 3.2774635054438668) * 24.25753153903607), 5) << 16 |
                        static_cast<uint32_t>(Trunc(std::atan(t.height[s] * 1.2793749281151212) * 331.9170433095316))
                            << 23;
    const uint32_t w4 = Bits(t.steering[s], 7) | Bits(t.orientation[s], 12) << 7 | Bits(t.roll[s], 10) << 19 |
                        Bits(int64_t{t.gear[s]} + 1, 3) << 29;
    w.U32(w1);
    w.U32(w2);
    w.U32(w3);
    w.U32(w4);
}

uint32_t MarkerValue(uint32_t clock_ms) { return (clock_ms / 10) << 8; }

// Metres a lap's car runs per tick after its last sample (at_end) or before
// its first: its pace over its last or first samples that moved it forward
// (the outermost step may be the line). A car that stood there would read
// as the line itself to a reader looking for the lap's ends.
double PaceStep(const GetRpyInfo& t, bool at_end) {
    constexpr double kLeastStep = 0.01;
    const uint32_t n = t.sample_count;
    for (uint32_t j = 0; j < 4 && j + 2 <= n; ++j) {
        const uint32_t i = at_end ? n - j : 2 + j;
        const double step = t.distance[i] - t.distance[i - 1];
        if (std::isfinite(step) && step > kLeastStep) return step;
    }
    return kLeastStep;
}

}  // namespace

int64_t OffsetSamples(uint32_t offset_ms) { return Trunc(offset_ms * 0.035999999997119995 + 0.5); }

bool Build(const std::vector<const LapSlot*>& laps, const std::array<uint32_t, kMaxLaps>& offsets_ms,
           std::string& out) {
    out.clear();
    const size_t n = laps.size();
    if (n == 0 || n > static_cast<size_t>(kMaxLaps)) return false;
    for (const LapSlot* lap : laps) {
        if (!lap || !lap->header || !lap->drivers || !lap->telemetry || !lap->telemetry->trimmed) return false;
        if (lap->driver < 0 || lap->driver >= Drivers::kMaxDrivers) return false;
        if (lap->telemetry->sample_count == 0) return false;
    }
    std::array<int64_t, kMaxLaps> offset{};
    for (size_t k = 0; k < n; ++k) offset[k] = n == 1 ? 0 : OffsetSamples(offsets_ms[k]);
    const int64_t lead = *std::max_element(offset.begin(), offset.begin() + static_cast<std::ptrdiff_t>(n));
    // Each lap's lateness after the lap of the largest advantage, in ticks,
    // and the start of its lap-time entry. The readers sum start times in
    // 24 bits of milliseconds, so a start must fit them.
    std::array<int64_t, kMaxLaps> late{};
    std::array<uint32_t, kMaxLaps> start_ms{};
    for (size_t k = 0; k < n; ++k) {
        late[k] = lead - offset[k];
        const double start = kStartTimeMs + std::round(static_cast<double>(late[k]) * 1000.0 / 36.0);
        if (start > 0xFFFFFF) return false;
        start_ms[k] = static_cast<uint32_t>(start);
    }
    // The file runs until every lap has shown its last sample, so each lap
    // reads back whole, its end line included; a lap that ends earlier
    // rolls on past its line until the file ends.
    uint32_t m = 1;
    for (size_t k = 0; k < n; ++k)
        m = static_cast<uint32_t>(std::max<int64_t>(m, int64_t{laps[k]->telemetry->sample_count} + late[k]));

    const Header& first_header = *laps[0]->header;
    const uint8_t unit = laps[0]->drivers->distance_unit;
    const double distance_scale = unit == GetRpyInfo::kCoarseUnit ? 500.0 : 2000.0;

    ByteWriter w;
    Tag(w, "YLPR");
    w.U32(2);
    w.U32(0);  // file size - 12, set at the end
    Tag(w, "DHPR");
    w.U32(0);
    w.U32(76);
    Text(w, first_header.track_folder, 16);
    w.U32(m);
    w.U32(0);  // 44: frame bytes, set at the end
    w.U16(0);  // 48: last block size, set at the end
    w.U16(0);
    w.U32(0);
    Text(w, kCreatorFirst, 16);
    Text(w, kProduct, 16);
    Zeros(w, 12);
    Tag(w, "FNKW");
    w.U32(0);
    w.U32(181);
    Text(w, first_header.track_folder, 16);
    Text(w, "cars67", 16);
    Zeros(w, 152);

    Tag(w, "SLRD");
    w.U32(0);
    w.U32(static_cast<uint32_t>((n + 1) * kRecordSize));
    auto record = [&](const std::string& first, const std::string& last, uint32_t country, uint32_t engine,
                      uint32_t value128, uint32_t slot, uint32_t last_word) {
        Tag(w, "TNRD");
        w.U32(0);
        w.U32(139);
        Text(w, first, 16);
        Text(w, last, 16);
        w.U32(0);
        w.U32(country);
        Text(w, "NOT APPLICABLE", 16);
        Zeros(w, 16);
        Text(w, "NOT APPLICABLE", 16);
        Zeros(w, 16);
        w.U32(1);
        w.U32(engine);
        w.U32(3);
        w.U32(value128);
        w.U32(3);
        w.U32(slot);
        w.U32(slot);
        w.U32(150);
        w.U32(last_word);
    };
    record(kProduct, kCreatorFirst, 24, 4, 0, 0, 0x20010100);
    for (size_t k = 0; k < n; ++k) {
        const Drivers& d = *laps[k]->drivers;
        const auto i = static_cast<size_t>(laps[k]->driver);
        record(d.first_names[i].substr(0, 1) + " merged", d.last_names[i], d.country_index[i], d.engine_index[i] % 7,
               d.value128[i], static_cast<uint32_t>(k + 1), 0x20000100);
    }

    Tag(w, "BTPL");
    w.U32(0);
    w.U32(static_cast<uint32_t>(n * 24));
    // The readers add the start time and the lap time without the 24-bit
    // wrap of the stored word: the session must last past that sum.
    uint32_t latest_end = kStartTimeMs;
    for (size_t k = 0; k < n; ++k) {
        const uint32_t word = lap_file_names::StoredLapWord(*laps[k]);
        const uint32_t end_ms = (start_ms[k] + Drivers::LapMs(word)) & 0xFFFFFF;
        latest_end = std::max(latest_end, start_ms[k] + Drivers::LapMs(word));
        Tag(w, "ORPL");
        w.U32(0);
        w.U32(12);
        w.U32(static_cast<uint32_t>(k + 1));
        w.U32(start_ms[k]);
        w.U32((word & 0xFF000000u & ~kInvalidLapFlag) | end_ms);
    }

    Tag(w, "PTPR");
    w.U32(unit == GetRpyInfo::kCoarseUnit ? 0x40 : 0);
    const size_t data_length_at = w.bytes().size();
    w.U32(0);
    const size_t frames_start = w.bytes().size();

    std::array<double, kMaxLaps> roll_on{};
    std::array<double, kMaxLaps> run_in{};
    for (size_t k = 0; k < n; ++k) {
        roll_on[k] = PaceStep(*laps[k]->telemetry, true);
        run_in[k] = PaceStep(*laps[k]->telemetry, false);
    }
    // The closing marker lies past the end of every lap's entry.
    const uint32_t closing_ms = (latest_end + 40 + 9) / 10 * 10;

    const auto car_length = static_cast<uint16_t>(16 * n + 4);
    uint16_t previous = 0;
    uint32_t since_marker = kTicksPerMarker;
    w.bytes().reserve(frames_start + size_t{m} * (8 + 8 + 4 + 16 * n));
    for (uint32_t f = 1; f <= m; ++f) {
        const bool marker = since_marker >= kTicksPerMarker || f == m;
        const auto size = static_cast<uint16_t>(8 + (marker ? 8 : 0) + car_length);
        w.U16(size);
        w.U16(previous);
        w.U32(f % 1024);
        if (marker) {
            const uint32_t regular = kFirstMarkerMs + (f - 1) / kTicksPerMarker * 1000;
            const uint32_t clock = f == m ? std::max(closing_ms, regular + 10) : regular;
            w.U16(kMarkerType);
            w.U16(8);
            w.U32(MarkerValue(clock));
            since_marker = 0;
        }
        ++since_marker;
        w.U16(kOtherCarsType);
        w.U16(car_length);
        for (size_t k = 0; k < n; ++k) {
            const GetRpyInfo& t = *laps[k]->telemetry;
            const int64_t want = int64_t{f} - late[k];
            const auto s = static_cast<size_t>(std::clamp<int64_t>(want, 1, t.sample_count));
            const double beyond = static_cast<double>(want - static_cast<int64_t>(s));
            const double distance = std::max(0.0, t.distance[s] + beyond * (beyond < 0 ? run_in[k] : roll_on[k]));
            PackCar(w, t, s, distance, f % 1024, static_cast<uint32_t>(k + 1), distance_scale);
        }
        previous = size;
    }

    std::string& bytes = w.bytes();
    const auto frame_bytes = static_cast<uint32_t>(bytes.size() - frames_start);
    PutU32(bytes, data_length_at, frame_bytes);
    PutU32(bytes, 44, frame_bytes);
    PutU16(bytes, 48, previous);
    PutU32(bytes, 8, static_cast<uint32_t>(bytes.size() - 12));
    out.swap(bytes);
    return true;
}

}  // namespace merged_replay_writer
