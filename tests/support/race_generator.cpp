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

// Driving on a course: a car of the 1960s, about 1.2 g in the curves,
// accelerating at 0.5 g and braking at 0.9 g, with a five-speed gearbox.
constexpr double kGripMps2 = 12.0;
constexpr double kAccelMps2 = 5.0;
constexpr double kBrakeMps2 = 9.0;
constexpr double kLaunchMps2 = 6.0;  // from standing
constexpr double kCoastMps2 = 0.6;   // no drive: air and tyres slow the car
constexpr double kTopMps = 80.0;
// Speed at the redline in each gear (m/s); index 0 is neutral.
constexpr double kGearTopMps[] = {0, 27.0, 36.0, 45.0, 53.0, 62.0};
constexpr int kTopGear = 5;
// Shift down once the lower gear would turn this share of the redline.
constexpr double kDownshiftShare = 0.853;
// The fastest the gearing lets a car run, a little short of the redline in
// top gear.
constexpr double kGearedTopMps = 0.98 * kGearTopMps[kTopGear];
// Frames in neutral: a shift of a gate-change gearbox takes about a quarter
// of a second, a downshift with a blip of the throttle a little more.
constexpr int kUpshiftTicks = 8;
constexpr int kDownshiftTicks = 10;
constexpr double kIdleRpm = 1500.0;
constexpr double kGridRpm = 4800.0;
constexpr double kLaunchRpm = 6500.0;

double RpmIn(double speed_mps, int gear, const EngineSpec& engine) {
    return engine.redline_rpm * speed_mps / kGearTopMps[gear];
}

// A number in [0, 1) drawn from a seed and a salt (splitmix64).
double Draw(uint64_t seed, uint64_t salt) {
    uint64_t x = (seed << 20 ^ salt) + 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    return static_cast<double>(x >> 11) / 9007199254740992.0;
}

// A driver's differences from lap to lap: waves of lengths that do not
// divide a lap, so no two laps are alike, each at a phase of his own.
struct Wave {
    double length_m;
    double amplitude;
};
constexpr Wave kStrayWaves[] = {{173.0, 0.45}, {281.0, 0.30}, {463.0, 0.25}};  // metres to the left
constexpr Wave kPushWaves[] = {{389.0, 0.008}, {617.0, 0.006}};                // share of the pace
// Straying narrows where the line runs close to the edge: none 4.5 m out.
constexpr double kStrayEdgeM = 4.5;

int32_t Clamp(long value, int32_t lowest, int32_t highest) {
    return static_cast<int32_t>(std::clamp<long>(value, lowest, highest));
}

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
    if (plan_.course) plan_.lap_length_m = plan_.course->Length();
    lap_raw_ = static_cast<uint32_t>(std::lround(plan_.lap_length_m / unit_m()));
    if (lap_raw_ < 100 || lap_raw_ >= (1u << 26)) throw std::invalid_argument("race generator: lap length");

    if (plan_.course) {
        const CourseGeometry& course = *plan_.course;
        const double length = course.Length();
        const auto n = static_cast<size_t>(std::ceil(length / 0.25));
        const double ds = length / static_cast<double>(n);
        auto at = [&](size_t i) { return static_cast<double>(i) * ds; };
        // The racing line swings to the inside of a curve towards its
        // middle and back out by its end.
        swing_.resize(n);
        for (size_t i = 0; i < n; ++i) {
            const double k = course.Curvature(at(i));
            if (k == 0) continue;
            const auto [start, section] = course.SectionAt(at(i));
            const double swing = std::sin(std::numbers::pi * (at(i) - start) / section);
            swing_[i] = (k > 0 ? 1.0 : -1.0) * std::min(3.0, section / 40.0) * swing * swing;
        }
        direction_x_.resize(n);
        direction_y_.resize(n);
        eased_curvature_.resize(n);
        const size_t ease = static_cast<size_t>(std::lround(10.0 / ds));
        std::vector<double> line_k(n);
        for (size_t i = 0; i < n; ++i) {
            const double k = course.Curvature(at(i));
            line_k[i] = k / (1.0 - k * swing_[i]);
            const auto behind = course.At(at(i) - ds, swing_[(i + n - 1) % n]);
            const auto ahead = course.At(at(i) + ds, swing_[(i + 1) % n]);
            const double h = std::atan2(ahead.y - behind.y, ahead.x - behind.x);
            direction_x_[i] = std::cos(h);
            direction_y_[i] = std::sin(h);
        }
        for (size_t i = 0; i < n; ++i) {
            double sum = 0;
            for (size_t j = 0; j <= 2 * ease; ++j) sum += line_k[(i + n + j - ease) % n];
            eased_curvature_[i] = sum / static_cast<double>(2 * ease + 1);
        }
        // The fastest a car can go at each point: what the curve allows,
        // reached by accelerating out of the curve before and left by braking
        // for the next (twice round, the lap being closed).
        std::vector<double> v(n);
        for (size_t i = 0; i < n; ++i) {
            const double k = std::fabs(course.Curvature(at(i)));
            v[i] = k > 0 ? std::min(kTopMps, std::sqrt(kGripMps2 / k)) : kTopMps;
        }
        for (int round = 0; round < 2; ++round) {
            for (size_t i = 0; i < n; ++i) {
                double& next = v[(i + 1) % n];
                next = std::min(next, std::sqrt(v[i] * v[i] + 2 * kAccelMps2 * ds));
            }
            for (size_t i = n; i-- > 0;) {
                double& before = v[(i + n - 1) % n];
                before = std::min(before, std::sqrt(v[i] * v[i] + 2 * kBrakeMps2 * ds));
            }
        }
        double lap_s = 0;
        for (double x : v) lap_s += ds / x;
        const double mean = length / lap_s;
        pace_.resize(n);
        for (size_t i = 0; i < n; ++i) pace_[i] = v[i] / mean;
    }

    auto drive = [&](int session, std::vector<Run>& runs) {
        uint32_t ticks = 0;
        for (uint32_t c = 0; c < plan_.cars.size(); ++c) {
            const CarPlan& car = plan_.cars[c];
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
            if (plan_.course) {
                run.s.push_back(lap_raw_ - lead_raw);
                const bool grid = session == 1 && plan_.race_grid_ticks > 0;
                run.v.push_back(grid ? 0.0 : speeds[0] * Pace(plan_.lap_length_m - lead));
                DriveCourse(session, c, run, 0);
                while (run.speed.size() < run.cross.size()) run.speed.push_back(run.speed.back());
            }
            for (size_t k = run.cross.size(); k < speeds.size() + 1; ++k) {
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
        for (size_t c = 0; c < runs.size(); ++c) {
            Run& run = runs[c];
            if (plan_.course) {
                DriveCourse(session, static_cast<uint32_t>(c), run, ticks);
                while (run.speed.size() < run.cross.size()) run.speed.push_back(run.speed.back());
            }
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
                double before = static_cast<double>(run.s_at[k] - run.speed[k - 1]);
                double step = run.speed[k - 1];
                if (plan_.course) {
                    before = static_cast<double>(run.s[run.cross[k] - 1]);
                    step = static_cast<double>(run.s_at[k]) - before;
                }
                const double part = (static_cast<double>(k) * lap_raw_ - before) / step;
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

std::pair<size_t, double> RaceGenerator::Where(double distance_m) const {
    const double length = plan_.course->Length();
    double d = std::fmod(distance_m, length);
    if (d < 0) d += length;
    const double x = d / length * static_cast<double>(pace_.size());
    const auto i = std::min(static_cast<size_t>(x), pace_.size() - 1);
    return {i, x - static_cast<double>(i)};
}

double RaceGenerator::Interpolate(const std::vector<double>& table, double distance_m) const {
    const auto [i, part] = Where(distance_m);
    return table[i] + (table[(i + 1) % table.size()] - table[i]) * part;
}

double RaceGenerator::Pace(double distance_m) const { return pace_[Where(distance_m).first]; }

double RaceGenerator::Line(uint32_t driver, double distance_m) const {
    // Each car keeps to its own side of the centre line.
    return 0.8 * (static_cast<double>(driver % 3) - 1.0) + Interpolate(swing_, distance_m);
}

double RaceGenerator::Stray(uint32_t driver, int session, double run_m) const {
    const uint64_t seed = plan_.cars[driver].driving_seed;
    double at = 0;
    for (size_t i = 0; seed != 0 && i < std::size(kStrayWaves); ++i) {
        const Wave& w = kStrayWaves[i];
        const double phase = 2.0 * std::numbers::pi * Draw(seed * 2 + static_cast<uint64_t>(session), i);
        at += w.amplitude * std::sin(2.0 * std::numbers::pi * run_m / w.length_m + phase);
    }
    return at;
}

double RaceGenerator::Push(uint32_t driver, int session, double run_m) const {
    const uint64_t seed = plan_.cars[driver].driving_seed;
    double share = 0;
    for (size_t i = 0; seed != 0 && i < std::size(kPushWaves); ++i) {
        const Wave& w = kPushWaves[i];
        const double phase = 2.0 * std::numbers::pi * Draw(seed * 2 + static_cast<uint64_t>(session), 16 + i);
        share += w.amplitude * std::sin(2.0 * std::numbers::pi * run_m / w.length_m + phase);
    }
    return share;
}

void RaceGenerator::DriveCourse(int session, uint32_t driver, Run& run, uint32_t until) const {
    const CarPlan& car = plan_.cars[driver];
    const auto& speeds = session == 0 ? car.practice_speeds : car.race_speeds;
    const uint32_t grid = session == 1 ? plan_.race_grid_ticks : 0;
    // The car moves off once its driver has seen the flag drop.
    const uint32_t off = grid > 0 ? grid + car.start_reaction_ticks : 0;
    for (;;) {
        const size_t f = run.s.size() - 1;
        if (run.gear.size() <= f) Shift(session, car, run, f);
        if (until == 0 ? run.cross.size() >= speeds.size() + 1 : f > until && run.cross.back() > until) return;
        if (f > (1u << 22)) throw std::invalid_argument("race generator: a car that does not come round");
        const size_t lap = run.cross.size() - 1;
        const double run_m = static_cast<double>(run.s[f]) * unit_m();
        const double pace = speeds[std::min(lap, speeds.size() - 1)] * Pace((run.s[f] % lap_raw_) * unit_m());
        const double target = std::min(kGearedTopMps, pace * (1.0 + Push(driver, session, run_m)));
        double v = f + 1 < off ? 0.0 : std::min(target, run.v[f] + kLaunchMps2 / 36.0);
        // Nothing drives the car while it shifts up: it coasts.
        if (run.box.left > 0 && run.box.target > run.box.gear) v = std::min(v, run.v[f] - kCoastMps2 / 36.0);
        const auto step = static_cast<uint64_t>(std::llround(std::max(v, 0.0) / 36.0 / unit_m()));
        run.s.push_back(run.s[f] + step);
        run.v.push_back(static_cast<double>(step) * unit_m() * 36.0);
        if (run.s.back() >= run.cross.size() * uint64_t{lap_raw_}) {
            run.cross.push_back(static_cast<uint32_t>(f + 1));
            run.s_at.push_back(run.s.back());
        }
    }
}

void RaceGenerator::Shift(int session, const CarPlan& car, Run& run, size_t f) const {
    // Gear and revs of one frame: up a gear near the rev limit, down one
    // once the lower gear turns slowly enough, each change through neutral
    // with the revs falling (or, every third upshift, kept rising: a shift
    // without lifting) or blipped up to the new gear's.
    const uint32_t grid = session == 1 ? plan_.race_grid_ticks : 0;
    const EngineSpec& engine = car.engine;
    Run::Box& box = run.box;
    const double v = run.v[f];
    run.gear.push_back(0);
    run.revs.push_back(kIdleRpm);
    if (box.gear < 0) {
        box.gear = 0;
        if (v > 0) {
            box.gear = 1;
            while (box.gear < kTopGear && RpmIn(v, box.gear, engine) >= engine.upshift_rpm) ++box.gear;
        }
    }
    if (box.left > 0) {
        const double to = RpmIn(v, box.target, engine);
        const double part = static_cast<double>(box.length - box.left + 1) / (box.length + 1);
        double rpm = box.from_rpm + (to - box.from_rpm) * part;
        if (box.speedshift) {
            // Foot down in neutral: the revs run up to the redline, faster
            // and faster, and fall as the next gear takes hold.
            const double run_up = static_cast<double>(box.length - box.left + 1) / box.length;
            rpm = box.from_rpm + (engine.redline_rpm - box.from_rpm) * run_up * run_up;
        }
        if (box.target < box.gear) rpm = std::max(rpm, to + 400.0 * std::sin(std::numbers::pi * part));
        run.revs[f] = rpm;
        if (--box.left == 0) box.gear = box.target;
        return;
    }
    if (box.gear == 0) {
        // On the grid: first gear a second before the start.
        run.revs[f] = grid > 0 ? kGridRpm : kIdleRpm;
        if (grid == 0 || f + 36 < grid) return;
        box.gear = 1;
    }
    double rpm = std::min(RpmIn(v, box.gear, engine), engine.redline_rpm);
    if (box.gear == 1) rpm = std::max(rpm, kLaunchRpm);
    run.gear[f] = box.gear;
    run.revs[f] = rpm;
    if (box.gear < kTopGear && rpm >= engine.upshift_rpm) {
        box.target = box.gear + 1;
        box.length = kUpshiftTicks;
        box.speedshift = ++box.upshifts % 3 == 0;
    } else if (box.gear > 1 && RpmIn(v, box.gear - 1, engine) <= kDownshiftShare * engine.redline_rpm && f > grid) {
        box.target = box.gear - 1;
        box.length = kDownshiftTicks;
        box.speedshift = false;
    } else {
        return;
    }
    box.left = box.length;
    box.from_rpm = rpm;
}

CarState RaceGenerator::CourseStateAt(uint32_t driver, int session, uint32_t frame, uint32_t g) const {
    const Run& run = RunOf(driver, session);
    const uint32_t f = PositionFrame(driver, session, frame);
    const bool standing = f != frame || (session == 1 && plan_.cars[driver].race_stop_tick != 0 &&
                                         frame >= plan_.cars[driver].race_stop_tick);
    const auto lap =
        static_cast<size_t>(std::upper_bound(run.cross.begin(), run.cross.end(), f) - run.cross.begin() - 1);
    const CarPlan& plan = plan_.cars[driver];
    const bool player = driver == plan_.player;

    CarState st;
    st.present = !Absent(driver, g);
    st.laps_begun = static_cast<uint32_t>(lap);
    st.distance_raw = static_cast<uint32_t>(run.s[f] - lap * uint64_t{lap_raw_});
    st.distance_m = st.distance_raw * unit_m();
    const size_t last = run.v.size() - 1;
    st.speed_mps = standing ? 0.0 : run.v[f];
    st.gear = standing ? 0 : run.gear[f];
    st.revs_rpm = standing ? kIdleRpm : run.revs[f];

    // Accelerations (m/s^2): along from the speeds around the frame, across
    // from the speed and the curvature of the line driven (positive to the
    // left).
    const double d = st.distance_m;
    const double line = Line(driver, d);
    const double room = std::clamp(kStrayEdgeM - std::fabs(line), 0.0, 1.0);
    st.lateral_m = line + room * Stray(driver, session, static_cast<double>(run.s[f]) * unit_m());
    // The driver eases into a curve and out of it, and onto the brakes:
    // curvature and speed changes are taken over about a quarter second.
    const double k_line = Interpolate(eased_curvature_, d);
    const size_t early = f > 9 ? f - 9 : 0;
    const size_t late = std::min<size_t>(f + 9, last);
    const double along =
        standing || late == early ? 0.0 : (run.v[late] - run.v[early]) * 36.0 / static_cast<double>(late - early);
    const double across = standing ? 0.0 : st.speed_mps * st.speed_mps * k_line;

    // Heading: where the line leads, the car turned a little further into
    // the curve than it travels. Straying from the line (a degree at most)
    // leaves it: the car drifts across rather than turning, so a car
    // heading due west does not flick between east and west of it.
    const double travel = std::atan2(Interpolate(direction_y_, d), Interpolate(direction_x_, d));
    const double degrees = travel * 180.0 / std::numbers::pi + 0.25 * across;
    int32_t units = static_cast<int32_t>(std::lround(degrees * 4096.0 / 360.0)) % 4096;
    if (units < -2048) units += 4096;
    if (units >= 2048) units -= 4096;
    st.orientation = units;

    if (standing && session == 1 && plan.race_reset_tick != 0 && frame >= plan.race_reset_tick)
        st.lateral_m += st.lateral_m >= 0 ? -8.0 : 8.0;
    st.lateral_raw = RawOf(st.lateral_m, 13.0, player ? 2.911741e-06 : 4.658918e-05);
    if (player) {
        st.height_m = 0.30 + 0.002 * along + 0.008 * std::sin(g / 9.0);
        st.height_raw = static_cast<uint32_t>(RawOf(st.height_m, 1.563264, 0.0003759564));
    } else {
        st.height_m = 0.30 + 0.02 * std::cos(g / 13.0);
        st.height_raw = static_cast<uint32_t>(RawOf(st.height_m, 0.7816317, 0.003012801));
    }
    st.revs_raw = static_cast<uint32_t>(RawOf(st.revs_rpm, 4131.182, 0.001288481));
    st.pitch = Clamp(std::lround(2.5 * along), -100, 100);
    st.roll = Clamp(std::lround(-2.5 * across), -100, 100);
    // Steering into the curve: the wheelbase's angle to the line's radius,
    // and some more as the car runs wide.
    const double lock = std::atan(2.4 * k_line) * 180.0 / std::numbers::pi * 1.4;
    st.steering = standing ? 0 : Clamp(std::lround(6.45 * lock), -63, 63);
    const double share = st.revs_rpm / plan.engine.redline_rpm;
    // The rev fraction, rounded down: the revs over it never come out below
    // the power revs.
    const double power = std::min(1.0, st.revs_rpm / plan.engine.power_rpm);
    if (player) {
        st.fraction_raw = static_cast<uint32_t>(std::floor(power * 255));
        st.tyre_squeal = static_cast<uint32_t>(
            Clamp(std::lround(6.0 * (std::max(0.0, std::fabs(across) - 9.0) + std::max(0.0, -along - 7.0))), 0, 45));
        // The wheels turn with the distance run; weight moves to the outer
        // wheels in a curve and to the front under braking.
        const double turns = static_cast<double>(run.s[f]) * unit_m() / 1.9;
        for (uint32_t w = 0; w < 4; ++w) {
            st.wheel_state[w] = 0;
            st.wheel_value[w] = static_cast<uint32_t>(std::fmod(turns * 1024.0 + 100.0 * w, 1024.0));
            const double pitch_load = w < 2 ? -0.8 * along : 0.8 * along;
            const double roll_load = w % 2 == 1 ? 0.9 * across : -0.9 * across;
            st.suspension[w] = Clamp(std::lround(12.0 + pitch_load + roll_load), -20, 40);
        }
        st.oil_pressure = static_cast<uint32_t>(std::lround((25.0 + 55.0 * share) / 0.805));
        // The engine warms up over the first minutes and runs a little
        // hotter at high revs.
        const double minutes = g / 2160.0;
        const double oil = 58.0 + 17.0 * (1.0 - std::exp(-minutes / 1.5)) + 2.0 * share;
        const double water = 52.0 + 14.0 * (1.0 - std::exp(-minutes / 2.0)) + share;
        st.oil_temperature = static_cast<uint32_t>(std::lround(oil));
        st.water_temperature = static_cast<uint32_t>(std::lround(water));
        st.fuel_pressure = static_cast<uint32_t>(std::lround((30.0 + 3.0 * share) / 0.805));
        st.engine_value4 = g / 36 < 1800 ? 1800 - g / 36 : 0;
    } else {
        st.fraction_raw = static_cast<uint32_t>(std::floor(std::atan(power / 0.305114) / 0.04122431));
        st.state_high = (g / 3 + driver) % 4;
    }
    return st;
}

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
    if (plan_.course) return CourseStateAt(driver, session, frame, block);
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
        if (kFillers[kind].type == 10 && occupied == 20) {
            block.records.push_back(Record{10, 20, StatusRecord(g % plan_.cars.size(), g)});
        } else if (kFillers[kind].type == 9 && plan_.course) {
            // A driven race repeats its state now and then; practice has none.
            const std::pair<uint32_t, uint16_t>* state = nullptr;
            if (session == 1)
                for (const auto& signal : plan_.start_signals)
                    if (SessionOffset(1) + signal.first + 1 <= g) state = &signal;
            if (state && occupied == 8)
                block.records.push_back(Record{9, 8, StartSignal(state->second)});
            else
                block.records.push_back(Filler(11, occupied));
        } else
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
    s.ai_cars = static_cast<uint16_t>(
        std::count_if(plan_.cars.begin(), plan_.cars.end(), [](const CarPlan& car) { return car.driver.ai; }));
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
            const CarPlan& car = plan_.cars[c];
            entries.push_back(
                EntryFromLaps(car.driver.slot, clock[0], laps, session == 0 ? car.practice_flags : car.race_flags));
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
