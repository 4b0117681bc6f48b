#include "replay/race_stream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <span>

#include "replay/byte_reader.h"
#include "replay/data_section_walker.h"
#include "replay/drivers.h"
#include "replay/replay_file.h"

namespace {

constexpr uint8_t kCoarseUnit = 0x40;

int32_t SignExtend(uint32_t value, int bits) {
    const uint32_t sign = 1u << (bits - 1);
    value &= (sign << 1) - 1;
    return static_cast<int32_t>(value ^ sign) - static_cast<int32_t>(sign);
}

// A little-endian u32 at p, whose 4 bytes the caller has bounded.
uint32_t Le32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    return v;
}

bool Unknown(uint16_t type) { return type == 0 || type == 5 || type == 7 || type > 16; }

// One record of a frame, or the reason the frame cannot be walked further.
struct RecordCursor {
    explicit RecordCursor(std::span<const uint8_t> bytes) : frame(bytes) {}

    std::span<const uint8_t> frame;
    size_t pos = 8;
    uint16_t type = 0;
    uint16_t length = 0;
    std::span<const uint8_t> payload;
    bool damaged = false;

    bool Next() {
        if (pos >= frame.size()) return false;
        if (frame.size() - pos < 4) return Damage();
        const uint32_t head = Le32(frame.data() + pos);
        type = static_cast<uint16_t>(head & 0xFFFF);
        length = static_cast<uint16_t>(head >> 16);
        // A record occupying less than its own head (length 0) would never
        // advance the walk. Lengths 1 to 3 are a 4-byte record's size code.
        const size_t occupied = (size_t{length} + 3) & ~size_t{3};
        if (occupied < 4 || occupied > frame.size() - pos) return Damage();
        payload = frame.subspan(pos + 4, occupied - 4);
        pos += occupied;
        return true;
    }
    bool Damage() {
        damaged = true;
        return false;
    }
};

}  // namespace

void RaceStream::Clear() {
    cars_ = 0;
    coarse_unit_ = false;
    missing_frame_number_ = false;
    race_start_time_ = 0;
    start_frame_number_ = 0;
    start_frame_position_ = 0;
    frame_bytes_at_start_ = 0;
    data_length_ = 0;
    times_.clear();
    states_.clear();
    samples_.clear();
    times_.shrink_to_fit();
    states_.shrink_to_fit();
    samples_.shrink_to_fit();
}

double RaceStream::Distance(int step, int car) const {
    return static_cast<double>(Sample(step, car) & 0x3FFFFFF) * (coarse_unit_ ? 0.002 : 0.0005);
}

double RaceStream::Lateral(int step, int car) const {
    const CarSample s = Sample(step, car);
    const int32_t lateral = SignExtend(static_cast<uint32_t>(s >> 40), 20);
    if ((s >> 26 & 3) == 1) return 13.0 * std::tan(lateral * 2.911741e-06);
    return 26.0 * std::tan(lateral * 2.261833e-05);
}

double RaceStream::Heading(int step, int car) const {
    return 180.0 - SignExtend(static_cast<uint32_t>(Sample(step, car) >> 28), 12) * 0.087890625;
}

RaceStream::Result RaceStream::Load(const Drivers& drivers, const std::function<void(int, int)>& progress) {
    Clear();
    cars_ = std::clamp<int>(drivers.driver_count, 0, kMaxCars);
    // A window that stays in the processor's cache between the copy and
    // the walk over it.
    ReplayFile file(128 << 10);
    if (!file.Open(drivers.path)) return Result::kCannotOpen;
    const auto head = file.View(drivers.data_section_offset, 12);
    if (head.empty()) return Result::kCannotOpen;
    ByteReader h(head);
    coarse_unit_ = (h.U32At(4) & 0xFF) == kCoarseUnit;
    data_length_ = h.U32At(8);

    // Session code 0 is the practice: a replay without a race has none.
    const uint8_t race_code = static_cast<uint8_t>(drivers.race_session_code & 0xFF);
    if (race_code == 0) return Result::kNoRaceStart;
    const int player = drivers.player_index < static_cast<uint32_t>(cars_) ? static_cast<int>(drivers.player_index) : -1;
    // Compact records name their car by its lap-table slot: the first
    // driver with that slot.
    std::array<int, 64> car_of_slot;
    car_of_slot.fill(-1);
    for (int i = cars_ - 1; i >= 0; --i)
        if (drivers.slot[static_cast<size_t>(i)] < car_of_slot.size()) car_of_slot[drivers.slot[static_cast<size_t>(i)]] = i;

    uint64_t pos = uint64_t{drivers.data_section_offset} + 12;
    const uint64_t section_end = std::min<uint64_t>(pos + data_length_, file.size());
    uint32_t walked = 0;
    bool started = false;
    bool frame_number_seen = false;
    uint32_t frame_number = 0;
    int64_t wanted_steps = 0;
    std::vector<int32_t> raw_states;

    while (walked < data_length_) {
        const auto frame_head = file.View(pos, 8);
        if (frame_head.empty()) break;
        const uint16_t size = ByteReader(frame_head).U16At(0);
        // A frame that does not cover its head would never advance the walk.
        if (!DataSectionWalker::BlockInside(pos, size, section_end)) break;
        const auto frame = file.View(pos, size);
        if (frame.size() != size) break;

        if (!started) {
            RecordCursor c(frame);
            bool start_here = false;
            while (c.Next()) {
                if (Unknown(c.type)) return Result::kNoRaceStart;
                ByteReader p(c.payload);
                if (c.type == 14 && p.Has(0, 4)) {
                    frame_number = p.U32At(0);
                    frame_number_seen = true;
                } else if (c.type == 13 && p.Has(0, 4) && !start_here) {
                    const uint32_t v = p.U32At(0);
                    if ((v & 0xFF) == race_code) {
                        start_here = true;
                        race_start_time_ = (v >> 8) * 10;
                    }
                }
            }
            if (c.damaged) return Result::kNoRaceStart;
            if (start_here) {
                started = true;
                missing_frame_number_ = !frame_number_seen;
                start_frame_number_ = frame_number;
                start_frame_position_ = pos;
                frame_bytes_at_start_ = walked;
                wanted_steps = int64_t{drivers.last_frame_number} - int64_t{frame_number} + 1;
                if (wanted_steps <= 0) return Result::kNoSteps;
                // A frame takes at least its 8-byte head: room for no more
                // steps than that, whatever the frame numbers claim.
                const uint64_t room = (section_end - pos) / 8 + 1;
                const size_t reserve = static_cast<size_t>(std::min<uint64_t>(uint64_t(wanted_steps), room));
                times_.reserve(reserve);
                raw_states.reserve(reserve);
                samples_.reserve(reserve * static_cast<size_t>(cars_));
            }
        }

        if (started) {
            if (int64_t(times_.size()) >= wanted_steps) break;
            uint32_t time = 0;
            int32_t raw = -1;
            // The step's cars are written in place, all absent to begin with.
            const size_t base = samples_.size();
            samples_.resize(base + static_cast<size_t>(cars_));
            CarSample* step_cars = samples_.data() + base;
            RecordCursor c(frame);
            while (c.Next()) {
                if (Unknown(c.type)) {
                    Clear();
                    return Result::kUnknownType;
                }
                const ByteReader p(c.payload);
                const uint8_t* bytes = c.payload.data();
                switch (c.type) {
                case 13:
                    if (p.Has(0, 4)) time = (Le32(bytes) >> 8) * 10;
                    break;
                case 9:
                    if (p.Has(0, 4)) raw = static_cast<int32_t>(Le32(bytes) >> 16);
                    break;
                case 1:
                    if (player >= 0 && p.Has(0, 28))
                        step_cars[player] = Pack(Le32(bytes), 1, Le32(bytes + 8) >> 10, Le32(bytes + 4));
                    break;
                case 3: {
                    // Thousands of these per second of race: the entries are
                    // bounded by the record once, then read in place.
                    const size_t entries = std::min<size_t>((size_t{c.length} - 4) / 16, c.payload.size() / 16);
                    const uint8_t* entry = c.payload.data();
                    for (size_t e = 0; e < entries; ++e, entry += 16) {
                        const uint32_t word = Le32(entry + 4);
                        const int car = car_of_slot[word >> 26];
                        if (car < 0) continue;
                        const int32_t lateral = static_cast<int16_t>(Le32(entry + 8) & 0xFFFF);
                        step_cars[car] = Pack(word, 2, Le32(entry + 12) >> 7, static_cast<uint32_t>(lateral));
                    }
                    break;
                }
                default: break;
                }
            }
            // A damaged frame ends the race here; the steps before it stay.
            if (c.damaged) {
                samples_.resize(base);
                break;
            }
            times_.push_back(time);
            raw_states.push_back(raw);
            if (progress && times_.size() % 360 == 0)
                progress(static_cast<int>(times_.size()), static_cast<int>(std::min<int64_t>(wanted_steps, std::numeric_limits<int>::max())));
        }
        walked += size;
        pos += size;
    }
    if (!started) {
        Clear();
        return Result::kNoRaceStart;
    }
    if (times_.empty()) {
        Clear();
        return Result::kNoSteps;
    }
    CompleteTimesAndStates(times_, raw_states, states_);
    return Result::kLoaded;
}

void RaceStream::CompleteTimesAndStates(std::vector<uint32_t>& times, std::vector<int32_t>& raw_states,
                                        std::vector<int16_t>& states) {
    const size_t n = std::min(times.size(), raw_states.size());
    states.assign(n, 0);
    if (n == 0) return;
    raw_states[0] = 0;
    uint32_t last_real = times[0];
    uint32_t since = 0;
    for (size_t i = 1; i < n; ++i) {
        if (raw_states[i] == -1) raw_states[i] = raw_states[i - 1];
        if (times[i] == 0) {
            ++since;
            times[i] = last_real + static_cast<uint32_t>(since * 27.777777777777775);
        } else {
            last_real = times[i];
            since = 0;
        }
    }
    int16_t state = kLiningUp;
    int32_t previous = 0;
    for (size_t i = 1; i < n; ++i) {
        const int32_t raw = raw_states[i];
        if (raw != previous) {
            switch (raw) {
            case 12: state = kLiningUp; break;
            case 32: state = kGreenRaised; break;
            case 40: state = kGreenDrops; break;
            case 4: state = kRacing; break;
            default: break;
            }
        }
        if ((raw & 0x34) == 0x34 && (previous & 0x34) != 0x34) state = kChequered;
        states[i] = state;
        previous = raw;
    }
}
