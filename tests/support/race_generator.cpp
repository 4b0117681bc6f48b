#include "support/race_generator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

#include "support/car_record_packer.h"

namespace fixture {
namespace {

constexpr double kFrameMs = 1000.0 / 36.0;
// The lap-time arithmetic of the format rounds the tick to this constant.
constexpr double kRoundedTickMs = 27.777778;
constexpr uint32_t kOpenMs = 2000;
constexpr uint32_t kCloseMs = 30;
constexpr uint32_t kMaxClock = 0xFFFFFF;

// Inverse conversions of the raw channels, so each car is described by
// physical values: raw = atan(value / scale) / step.
int32_t RawOf(double value, double scale, double step) {
    return static_cast<int32_t>(std::lround(std::atan(value / scale) / step));
}

struct FillerKind {
    uint16_t type;
    uint16_t occupied;
};
// A start signal record's value: the code in the high 16 bits.
std::string StartSignal(uint16_t code) {
    return std::string{'\0', '\0', static_cast<char>(code & 0xFF), static_cast<char>(code >> 8)};
}

constexpr FillerKind kFillers[] = {{4, 12}, {6, 8}, {8, 12}, {9, 8}, {10, 20}, {11, 16}, {12, 8}, {15, 12}, {16, 8}};

}  // namespace

uint32_t LapTruth::TrimmedCount(int margin) const {
    const int64_t first = int64_t{before_start_block} - start_block + 1;
    const int64_t last = int64_t{after_end_block} - start_block + 1;
    const int64_t j0 = std::max<int64_t>(1, first + 1 - margin);
    const int64_t j1 = std::min<int64_t>(sample_count, last + margin);
    return static_cast<uint32_t>(j1 - j0 + 1);
}

uint32_t LapTruth::FirstKeptBlock(int margin) const {
    const int64_t first = int64_t{before_start_block} - start_block + 1;
    return static_cast<uint32_t>(start_block - 1 + std::max<int64_t>(1, first + 1 - margin));
}

RaceGenerator::RaceGenerator(RacePlan plan) : plan_(std::move(plan)) {
    if (plan_.cars.empty() || plan_.player >= plan_.cars.size() || plan_.cars.size() > 20)
        throw std::invalid_argument("race generator: 1 to 20 cars and a player among them");
    if (!plan_.practice && !plan_.race) throw std::invalid_argument("race generator: no session");
    if (plan_.filler_bytes % 4 != 0) throw std::invalid_argument("race generator: filler bytes");
    lap_raw_ = static_cast<uint32_t>(std::lround(plan_.lap_length_m / unit_m()));
    if (lap_raw_ < 100 || lap_raw_ >= (1u << 26)) throw std::invalid_argument("race generator: lap length");

    auto drive = [&](int session, std::vector<Run>& runs) {
        uint32_t ticks = 0;
        for (const CarPlan& car : plan_.cars) {
            const auto& speeds = session == 0 ? car.practice_speeds : car.race_speeds;
            const double lead = session == 0 ? car.practice_lead_m : car.race_lead_m;
            if (speeds.size() < 2) throw std::invalid_argument("race generator: a session without laps");
            Run run;
            const auto lead_raw = static_cast<uint64_t>(std::lround(lead / unit_m()));
            if (lead_raw == 0 || lead_raw >= lap_raw_) throw std::invalid_argument("race generator: lead");
            for (double v : speeds) {
                const auto raw = static_cast<uint32_t>(std::lround(v / 36.0 / unit_m()));
                if (raw == 0 || raw >= lap_raw_ / 8) throw std::invalid_argument("race generator: speed");
                run.speed.push_back(raw);
            }
            run.cross.push_back(0);
            run.s_at.push_back(lap_raw_ - lead_raw);
            for (size_t k = 1; k < speeds.size() + 1; ++k) {
                const uint64_t v = run.speed[k - 1];
                const uint64_t gap = k * uint64_t{lap_raw_} - run.s_at[k - 1];
                const uint64_t frames = (gap + v - 1) / v;
                run.cross.push_back(static_cast<uint32_t>(run.cross[k - 1] + frames));
                run.s_at.push_back(run.s_at[k - 1] + frames * v);
                if (k >= run.speed.size()) run.speed.push_back(run.speed.back());
            }
            if (run.cross[1] < 2) throw std::invalid_argument("race generator: the run to the line is too short");
            if (session == 1 && car.race_stop_tick != 0 && run.cross[speeds.size()] >= car.race_stop_tick)
                throw std::invalid_argument("race generator: a car stops before its last listed lap ends");
            ticks = std::max(ticks, run.cross.back() + plan_.tail_ticks);
            runs.push_back(std::move(run));
        }
        // Crossings after the last listed lap, to the end of the session.
        for (Run& run : runs) {
            while (run.cross.back() <= ticks) {
                const uint64_t v = run.speed.back();
                const uint64_t k = run.cross.size();
                const uint64_t frames = (k * lap_raw_ - run.s_at.back() + v - 1) / v;
                run.cross.push_back(static_cast<uint32_t>(run.cross.back() + frames));
                run.s_at.push_back(run.s_at.back() + frames * v);
                run.speed.push_back(run.speed.back());
            }
            const double clock0 = session == 0 ? plan_.practice_clock_ms : plan_.race_clock_ms;
            run.clock.assign(run.cross.size(), 0);
            for (size_t k = 1; k < run.cross.size(); ++k) {
                // The line lies between the frame before the crossing and the
                // crossing frame; the word is the clock at the line, in ms.
                const double before = static_cast<double>(run.s_at[k] - run.speed[k - 1]);
                const double part = (static_cast<double>(k) * lap_raw_ - before) / run.speed[k - 1];
                const double t = clock0 + (run.cross[k] - 1 + part) * kFrameMs;
                if (t > kMaxClock) throw std::invalid_argument("race generator: session clock beyond 24 bits");
                run.clock[k] = static_cast<uint32_t>(std::floor(t));
            }
        }
        return ticks;
    };
    if (plan_.practice) practice_ticks_ = drive(0, practice_runs_);
    if (plan_.race) race_ticks_ = drive(1, race_runs_);
    Truths();
}

double RaceGenerator::unit_m() const { return plan_.distance_unit == 0x40 ? 0.002 : 0.0005; }

const RaceGenerator::Run& RaceGenerator::RunOf(uint32_t driver, int session) const {
    const auto& runs = session == 0 ? practice_runs_ : race_runs_;
    if (driver >= runs.size()) throw std::out_of_range("race generator: no such car in that session");
    return runs[driver];
}

uint32_t RaceGenerator::PositionFrame(uint32_t driver, int session, uint32_t frame) const {
    const uint32_t stop = plan_.cars[driver].race_stop_tick;
    return session == 1 && stop != 0 && frame > stop ? stop : frame;
}

uint32_t RaceGenerator::ExtraFrames(int session, uint32_t frame) const {
    if (session != 1) return 0;
    uint32_t n = 0;
    for (uint32_t from : plan_.race_extra_frames) n += from <= frame ? 1 : 0;
    return std::min(n, frame);
}

bool RaceGenerator::HasMarker(int session, uint32_t frame) const {
    return plan_.marker_every <= 1 || (frame - ExtraFrames(session, frame)) % plan_.marker_every == 0;
}

uint32_t RaceGenerator::ClockAt(int session, uint32_t frame) const {
    const uint64_t clock0 = session == 0 ? plan_.practice_clock_ms : plan_.race_clock_ms;
    const uint64_t ms = clock0 + uint64_t{frame - ExtraFrames(session, frame)} * 1000 / 36;
    int64_t clock = static_cast<int64_t>(ms / 10 * 10);
    if (session == 1)
        for (const auto& [from, shift] : plan_.race_clock_shifts) clock += from <= frame ? shift : 0;
    return static_cast<uint32_t>(std::max<int64_t>(clock, 0));
}

bool RaceGenerator::Counts(uint32_t block) const {
    return plan_.plain_first_every == 0 || block % plan_.plain_first_every != 0;
}

bool RaceGenerator::Absent(uint32_t driver, uint32_t block) const {
    if (driver == plan_.player) return false;
    for (const auto& [from, to] : plan_.cars[driver].absent)
        if (block >= from && block <= to) return true;
    return false;
}

std::vector<uint32_t> RaceGenerator::LapClock(uint32_t driver, int session) const {
    const Run& run = RunOf(driver, session);
    const auto& speeds = session == 0 ? plan_.cars[driver].practice_speeds : plan_.cars[driver].race_speeds;
    return {run.clock.begin() + 1, run.clock.begin() + 1 + static_cast<long>(speeds.size())};
}

void RaceGenerator::Truths() {
    for (int session = 0; session < 2; ++session) {
        if ((session == 0 && !plan_.practice) || (session == 1 && !plan_.race)) continue;
        const uint32_t offset = SessionOffset(session);
        const uint32_t ticks = session == 0 ? practice_ticks_ : race_ticks_;
        for (uint32_t c = 0; c < plan_.cars.size(); ++c) {
            const Run& run = RunOf(c, session);
            const auto laps = LapClock(c, session).size() - 1;
            for (uint32_t k = 1; k <= laps; ++k) {
                LapTruth t;
                t.driver = c;
                t.session = session;
                t.lap = static_cast<int>(k);
                t.lap_ms = run.clock[k + 1] - run.clock[k];
                t.speed_raw = run.speed[k];
                for (uint32_t g = offset + 1; g <= offset + ticks; ++g) {
                    if (!Counts(g) || !HasMarker(session, g - offset - 1)) continue;
                    const uint32_t m = ClockAt(session, g - offset - 1);
                    if (t.start_block == 0 && m + kOpenMs > run.clock[k]) {
                        t.start_block = g;
                        t.start_marker_ms = m;
                    }
                    if (t.start_block != 0 && m > run.clock[k + 1] + kCloseMs) {
                        t.end_block = g;
                        t.end_marker_ms = m;
                        break;
                    }
                }
                if (t.end_block == 0) throw std::logic_error("race generator: a lap without its closing marker");
                t.sample_count = t.end_block - t.start_block + (t.end_block < block_count() ? 2 : 1);
                const uint32_t last_sample_block = t.start_block + t.sample_count - 1;

                t.before_start_block = offset + run.cross[k];
                while (t.before_start_block >= t.start_block && Absent(c, t.before_start_block))
                    --t.before_start_block;
                t.after_end_block = offset + run.cross[k + 1] + 1;
                while (t.after_end_block <= last_sample_block && Absent(c, t.after_end_block)) ++t.after_end_block;
                if (t.before_start_block < t.start_block || t.after_end_block > last_sample_block)
                    throw std::logic_error("race generator: the car is absent at both sides of the line");

                const auto lead = static_cast<int64_t>((int64_t{t.before_start_block} - t.start_block) * kRoundedTickMs);
                const auto tail =
                    static_cast<int64_t>((int64_t{t.end_block} - (t.after_end_block - 1)) * kRoundedTickMs);
                t.marker_lap_ms = static_cast<int32_t>(int64_t{t.end_marker_ms} - t.start_marker_ms - lead - tail);

                uint32_t run_length = 0;
                for (uint32_t g = t.start_block; g <= last_sample_block; ++g) {
                    if (Absent(c, g)) {
                        ++t.missing;
                        t.longest_missing_run = std::max(t.longest_missing_run, ++run_length);
                    } else {
                        run_length = 0;
                    }
                }
                laps_.push_back(t);
            }
        }
    }
}

const LapTruth& RaceGenerator::Lap(uint32_t driver, int session, int lap) const {
    for (const LapTruth& t : laps_)
        if (t.driver == driver && t.session == session && t.lap == lap) return t;
    throw std::out_of_range("race generator: no such lap");
}

CarState RaceGenerator::StateAt(uint32_t driver, uint32_t block) const {
    if (block == 0 || block > block_count() || driver >= plan_.cars.size())
        throw std::out_of_range("race generator: no such block or car");
    const int session = plan_.practice && block <= practice_ticks_ ? 0 : 1;
    const uint32_t frame = block - SessionOffset(session) - 1;
    const uint32_t f = PositionFrame(driver, session, frame);
    const bool standing = f != frame || (session == 1 && plan_.cars[driver].race_stop_tick != 0 &&
                                         frame >= plan_.cars[driver].race_stop_tick);
    const Run& run = RunOf(driver, session);
    const auto lap = static_cast<size_t>(std::upper_bound(run.cross.begin(), run.cross.end(), f) - run.cross.begin() - 1);
    const uint64_t s = run.s_at[lap] + uint64_t{f - run.cross[lap]} * run.speed[lap];
    const bool player = driver == plan_.player;
    const uint32_t c = driver;
    const uint32_t g = block;

    CarState st;
    st.present = !Absent(driver, block);
    st.laps_begun = static_cast<uint32_t>(lap);
    st.distance_raw = static_cast<uint32_t>(s - lap * uint64_t{lap_raw_});
    st.distance_m = st.distance_raw * unit_m();
    st.speed_mps = standing ? 0.0 : run.speed[lap] * unit_m() * 36.0;
    st.gear = 1 + static_cast<int>(uint64_t{st.distance_raw} * 5 / lap_raw_);
    const CarPlan& plan = plan_.cars[driver];
    double rev_share = 0;  // revs / limit of the engine model
    if (plan.rev_limit_rpm > 0) {
        const double stretch = lap_raw_ / 5.0;
        const double into = st.distance_raw - (st.gear - 1) * stretch;
        rev_share = 0.55 + 0.45 * std::clamp(into / stretch, 0.0, 1.0);
        if (st.gear > 1 && into < run.speed[lap]) {
            st.gear = 0;
            rev_share = 0.55;
        }
    }
    if (standing) {
        st.gear = 0;
        rev_share = 0.3;
    }
    st.lateral_m = 4.0 * std::sin(2.0 * std::numbers::pi * st.distance_raw / lap_raw_ + c);
    if (standing && session == 1 && plan.race_reset_tick != 0 && frame >= plan.race_reset_tick)
        st.lateral_m += st.lateral_m >= 0 ? -8.0 : 8.0;
    st.lateral_raw = RawOf(st.lateral_m, 13.0, player ? 2.911741e-06 : 4.658918e-05);
    if (player) {
        st.height_m = 0.35 + 0.05 * std::sin(g / 10.0);
        st.height_raw = static_cast<uint32_t>(RawOf(st.height_m, 1.563264, 0.0003759564));
    } else {
        st.height_m = 0.30 + 0.05 * std::cos(g / 13.0);
        st.height_raw = static_cast<uint32_t>(RawOf(st.height_m, 0.7816317, 0.003012801));
    }
    st.revs_rpm = 5000.0 + 4000.0 * static_cast<double>(uint64_t{st.distance_raw} * 7 % lap_raw_) / lap_raw_;
    if (plan.rev_limit_rpm > 0) st.revs_rpm = plan.rev_limit_rpm * rev_share;
    st.revs_raw = static_cast<uint32_t>(RawOf(st.revs_rpm, 4131.182, 0.001288481));
    st.orientation = static_cast<int32_t>((g * 37 + 100 * c) % 4096) - 2048;
    st.pitch = static_cast<int32_t>((g * 13 + c) % 1024) - 512;
    st.roll = static_cast<int32_t>((g * 29 + 3 * c) % 1024) - 512;
    st.steering = static_cast<int32_t>((g + 5 * c) % 128) - 64;
    if (player) {
        st.fraction_raw = (g * 3 + c) % 256;
        if (plan.rev_limit_rpm > 0) st.fraction_raw = static_cast<uint32_t>(std::lround(rev_share * 255));
        st.tyre_squeal = (g * 5 + c) % 128;
        for (uint32_t w = 0; w < 4; ++w) {
            st.wheel_state[w] = (g + w + c) % 4;
            st.wheel_value[w] = (g * 7 + 100 * w + c) % 1024;
            st.suspension[w] = static_cast<int32_t>((g * 11 + 50 * w + c) % 1024) - 512;
        }
        st.oil_pressure = (g + 2 * c) % 128;
        // Engine readings never read 0, which would mean "no reading".
        st.oil_temperature = 60 + (g / 36) % 60;
        st.water_temperature = 50 + (g / 20) % 70;
        st.fuel_pressure = 1 + g % 127;
        st.engine_value4 = (g * 3) % 2048;
    } else {
        st.fraction_raw = (g + c) % 32;
        if (plan.rev_limit_rpm > 0)
            st.fraction_raw = static_cast<uint32_t>(std::lround(std::atan(rev_share / 0.305114) / 0.04122431));
        st.state_high = (g / 3 + c) % 4;
    }
    return st;
}

FrameBlock RaceGenerator::Block(uint32_t g) const {
    const int session = plan_.practice && g <= practice_ticks_ ? 0 : 1;
    const uint32_t f = g - SessionOffset(session) - 1;
    FrameBlock block;
    const Record marker = Marker(session == 0 ? 0 : plan_.race_code, ClockAt(session, f));
    const Record frame = FrameNumber(g);
    if (!HasMarker(session, f)) {
        block.records = {frame};
    } else if (Counts(g)) {
        block.records = {marker, frame};
    } else {
        block.records = {frame, marker};
    }

    const CarState p = StateAt(plan_.player, g);
    PlayerCarFields a;
    a.distance = p.distance_raw;
    a.unused2 = g % 2;
    a.gear_field = static_cast<uint32_t>(p.gear + 1);
    a.wheel_state1 = p.wheel_state[0];
    a.lateral = p.lateral_raw;
    a.height = p.height_raw;
    a.revs = p.revs_raw;
    a.orientation = p.orientation;
    a.pitch = p.pitch;
    a.roll = p.roll;
    a.tyre_squeal = p.tyre_squeal;
    a.fraction = p.fraction_raw;
    a.steering = p.steering;
    a.wheel_state2 = p.wheel_state[1];
    a.wheel_value1 = p.wheel_value[0];
    a.suspension1 = p.suspension[0];
    a.wheel_value2 = p.wheel_value[1];
    a.wheel_state3 = p.wheel_state[2];
    a.suspension2 = p.suspension[1];
    a.wheel_value3 = p.wheel_value[2];
    a.suspension3 = p.suspension[2];
    a.wheel_state4 = p.wheel_state[3];
    a.wheel_value4 = p.wheel_value[3];
    a.suspension4 = p.suspension[3];
    a.oil_pressure = p.oil_pressure;
    a.unused26 = g % 8;
    block.records.push_back(Record{1, 32, CarRecordPacker::PlayerCar(a)});
    block.records.push_back(Record{2, 8,
                                   CarRecordPacker::Engine({p.oil_temperature, p.water_temperature,
                                                            p.fuel_pressure, p.engine_value4})});

    std::vector<std::string> entries;
    for (uint32_t c = 0; c < plan_.cars.size(); ++c) {
        if (c == plan_.player || Absent(c, g)) continue;
        const CarState s = StateAt(c, g);
        OtherCarFields b;
        b.unused1 = g % 2;
        b.unused2 = (g * 3) % 1024;
        b.pitch = s.pitch;
        b.revs = s.revs_raw;
        b.unused5 = (g + 1) % 2;
        b.distance = s.distance_raw;
        b.slot = plan_.cars[c].driver.slot;
        b.lateral = s.lateral_raw;
        b.fraction = s.fraction_raw;
        b.state_high = s.state_high;
        b.height = s.height_raw;
        b.steering = s.steering;
        b.orientation = s.orientation;
        b.roll = s.roll;
        b.gear_field = static_cast<uint32_t>(s.gear + 1);
        entries.push_back(CarRecordPacker::OtherCar(b));
    }
    // The wanted car stands at a different place in the record from frame
    // to frame.
    if (!entries.empty()) std::rotate(entries.begin(), entries.begin() + g % entries.size(), entries.end());
    auto other_cars = [](std::vector<std::string>::const_iterator from, std::vector<std::string>::const_iterator to) {
        Record r{3, 4, {}};
        for (auto it = from; it != to; ++it) r.payload += *it;
        r.length = static_cast<uint16_t>(4 + r.payload.size());
        return r;
    };
    if (plan_.split_every != 0 && g % plan_.split_every == 0 && entries.size() >= 2) {
        const auto mid = entries.begin() + static_cast<long>(entries.size() / 2);
        block.records.push_back(other_cars(entries.begin(), mid));
        block.records.push_back(other_cars(mid, entries.end()));
    } else {
        block.records.push_back(other_cars(entries.begin(), entries.end()));
    }

    if (session == 1) {
        for (const auto& [tick, code] : plan_.start_signals)
            if (SessionOffset(1) + tick + 1 == g) block.records.push_back(Record{9, 8, StartSignal(code)});
        for (const StatusChange& change : plan_.status)
            if (SessionOffset(1) + change.race_tick + 1 == g)
                block.records.push_back(Record{10, 20, StatusRecord(change.car, g)});
    }

    uint32_t left = plan_.filler_bytes;
    for (size_t kind = g % std::size(kFillers); left > 0; kind = (kind + 1) % std::size(kFillers)) {
        const uint16_t occupied = static_cast<uint16_t>(std::min<uint32_t>(left, kFillers[kind].occupied));
        if (kFillers[kind].type == 10 && occupied == 20)
            block.records.push_back(Record{10, 20, StatusRecord(g % plan_.cars.size(), g)});
        else
            block.records.push_back(Filler(kFillers[kind].type == 10 ? 11 : kFillers[kind].type, occupied));
        left -= occupied;
    }
    return block;
}

std::string RaceGenerator::StatusRecord(uint32_t driver, uint32_t block) const {
    std::string record(16, '\0');
    const uint32_t word = plan_.cars.at(driver).driver.slot * 64 + 31;
    record[0] = static_cast<char>(word & 0xFF);
    record[1] = static_cast<char>(word >> 8);
    for (const StatusChange& change : plan_.status) {
        if (change.car != driver || change.byte < 4 || change.byte > 15) continue;
        if (SessionOffset(1) + change.race_tick + 1 <= block) record[change.byte] = static_cast<char>(change.value);
    }
    return record;
}

std::vector<FrameBlock> RaceGenerator::Blocks(uint32_t first, uint32_t last) const {
    std::vector<FrameBlock> out;
    for (uint32_t g = first; g <= last; ++g) out.push_back(Block(g));
    return out;
}

ReplaySpec RaceGenerator::Spec() const {
    ReplaySpec s;
    s.track = "fixturering";
    const CarPlan& player = plan_.cars[plan_.player];
    s.player_index = plan_.player;
    s.player_first = player.driver.first_name;
    s.player_last = player.driver.last_name;
    s.sessions = plan_.practice && plan_.race ? 2 : 1;
    s.recording_ticks = block_count();
    s.ai_cars = static_cast<uint16_t>(plan_.cars.size() - 1);
    s.distance_unit = plan_.distance_unit;
    for (const CarPlan& car : plan_.cars) {
        if (car.driver.slot >= 20) throw std::invalid_argument("race generator: lap-table slot above 19");
        s.drivers.push_back(car.driver);
    }
    auto table = [&](int session) {
        std::vector<LapEntry> entries;
        for (uint32_t c = 0; c < plan_.cars.size(); ++c) {
            const auto clock = LapClock(c, session);
            std::vector<uint32_t> laps;
            for (size_t k = 1; k < clock.size(); ++k) laps.push_back(clock[k] - clock[k - 1]);
            entries.push_back(EntryFromLaps(plan_.cars[c].driver.slot, clock[0], laps));
        }
        return entries;
    };
    if (plan_.practice && plan_.race) {
        s.layout = TableLayout::kPracticeThenRace;
        s.practice = table(0);
        s.race = table(1);
    } else if (plan_.practice) {
        s.layout = TableLayout::kPracticeOnly;
        s.practice = table(0);
    } else {
        // A race-only replay keeps its one table in the first place.
        s.layout = TableLayout::kRaceOnly;
        s.practice = table(1);
    }
    uint16_t race_laps = 0;
    if (plan_.race)
        for (const CarPlan& car : plan_.cars)
            race_laps = std::max<uint16_t>(race_laps, static_cast<uint16_t>(car.race_speeds.size() - 1));
    s.race_laps = race_laps;
    s.frames = Blocks(1, block_count());
    return s;
}

}  // namespace fixture
