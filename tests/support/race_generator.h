#pragma once
// Race generator: drives cars around a lap of known length at known speeds
// and writes what a recording of it holds, so that the lap-time tables, the
// timing markers and the car records of the frames agree, and the outcome of
// extracting any lap is known in advance.
//
// Each car runs at a constant speed per lap, so its distance along the lap is
// exact in raw units and the frames in which it crosses the line follow by
// arithmetic. Every frame block carries a timing marker of its session, a
// frame number, the player's car record (type 1) and engine readings (type
// 2), one other-car record (type 3) with every other car present in it (the
// wanted car at a rotating position), and optional filler records of the
// other types. Car records are packed by CarRecordPacker. Lap words are the
// session clock when the car crosses the line, in whole milliseconds.
//
// Blocks are numbered from 1 at the start of the data section, as the lap
// extraction numbers them: the practice session first, then the race.
//
// With a course (RacePlan::course) the cars are driven as on a real track
// instead: each follows a racing line over the course's geometry, at a speed
// that falls for the curves and rises on the straights (the lap's speed is
// then the mean of a lap), heads where it travels (turned a little into the
// curve), changes gear through neutral for a few frames at the revs of its
// engine, and its attitude, steering, suspension, tyres and engine readings
// follow from that driving, within the ranges the simulator writes. Given
// a seed, a driver strays a little from his line and pushes a little more
// or less from lap to lap, so no two laps are alike. A race can then start
// from the grid, the cars standing until the start and each driver moving
// off after his own reaction.

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "support/replay_fixture.h"
#include "support/track_fixture.h"

namespace fixture {

// With a course: the character of a car's engine. The revs never pass the
// redline (a shift made without lifting runs up to it in neutral), the
// driver changes up at the upshift revs and down once the lower gear would
// turn below 85 % of the redline, and the rev fraction field holds the
// revs as a share of the power revs, full from there on. Every engine
// reaches the same speed in each gear at its redline.
struct EngineSpec {
    double redline_rpm = 9500.0;
    double upshift_rpm = 9150.0;
    double power_rpm = 9500.0;
};

// One car. Its index in RacePlan::cars is its index in the driver table.
struct CarPlan {
    DriverSpec driver;  // names, lap-table slot (also the car slot of the other-car records)
    // Speeds in metres per second: entry 0 for the run to the line, entry k
    // for lap k; the last entry also holds after the last lap. The lap table
    // lists laps 1 to size - 1. At least two entries in each session run.
    std::vector<double> practice_speeds;
    std::vector<double> race_speeds;
    // Distance short of the line at the session's first frame, metres; the
    // run to the line must take at least two frames.
    double practice_lead_m = 120.0;
    double race_lead_m = 60.0;
    // Blocks, both ends included, in which the car is left out of the
    // other-car records (ignored for the player).
    std::vector<std::pair<uint32_t, uint32_t>> absent;
    // Engine: 0 keeps revs that follow the distance (seven rises a lap).
    // Otherwise the lap is five stretches in gears 1 to 5, revs climb in
    // each from 55 % of this limit to the limit, the frame in which a new
    // stretch begins is in neutral at 55 %, and the rev fraction field
    // holds revs / limit.
    double rev_limit_rpm = 0;
    // Race frame (0 = the race's first block) from which the car stands
    // still in neutral where it was in that frame; 0: never. Its listed
    // race laps must end before it.
    uint32_t race_stop_tick = 0;
    // Race frame from which a standing car stands 8 m to the other side of
    // the track (a reset by the driver); 0: never.
    uint32_t race_reset_tick = 0;
    // Flags ORed into the words of the lap table, by lap (index 0 = lap 1).
    std::vector<uint32_t> practice_flags;
    std::vector<uint32_t> race_flags;
    // With a course: the car's engine; the frames its driver takes to move
    // off once the race starts from the grid; and the seed of his own
    // small differences from lap to lap, in the line he takes and in how
    // hard he pushes along it (0: every lap alike).
    EngineSpec engine;
    uint32_t start_reaction_ticks = 0;
    uint32_t driving_seed = 0;
};

// A change of one byte (4 to 15) of a car's status record in the race. The
// race's frame blocks carry each car's whole status record (type 10) from
// then on, as the simulator does: the block of the change always, other
// blocks now and then in place of filler.
struct StatusChange {
    uint32_t race_tick = 0;  // race frame, 0 = the race's first block
    uint32_t car = 0;        // index in RacePlan::cars
    int byte = 4;
    uint8_t value = 0;
};

struct RacePlan {
    double lap_length_m = 500.0;
    uint8_t distance_unit = 0;   // 0x40: distances in 2 mm units, else 0.5 mm
    uint32_t player = 0;         // index of the player's car
    std::vector<CarPlan> cars;
    bool practice = true;        // practice session (session code 0)
    bool race = true;            // race session (race_code)
    uint8_t race_code = 3;
    uint32_t practice_clock_ms = 1000;  // session clock at the first frame of each session
    uint32_t race_clock_ms = 500;
    // Frames after the last lap of the slowest car ends.
    uint32_t tail_ticks = 72;
    // Every n-th block starts with its frame number instead of its marker,
    // so its marker does not count for the lap search (0: never).
    uint32_t plain_first_every = 7;
    // Every n-th block spreads the other cars over two type-3 records (0: never).
    uint32_t split_every = 0;
    // Bytes of filler records (types 4, 6, 8, 9, 10, 11, 12, 15, 16) per block, a multiple of 4.
    // A type-10 filler is the status record of one of the cars.
    uint32_t filler_bytes = 0;
    // Mechanical trouble, retirements and repairs during the race, in time
    // order.
    std::vector<StatusChange> status;
    // Start signals, in time order: in race frame `first` a type 9 record
    // whose value holds `second` in its high 16 bits.
    std::vector<std::pair<uint32_t, uint16_t>> start_signals;
    // Frames from one timing marker to the next: 1 puts one in every
    // block; 36 one a second, as the simulator writes them, each 1000 ms
    // after the one before.
    uint32_t marker_every = 1;
    // Clock trouble of an online race: from race frame `first` on, every
    // marker reads `second` ms more (a correction of the clock) ...
    std::vector<std::pair<uint32_t, int32_t>> race_clock_shifts;
    // ... and from each of these race frames on, markers come one frame
    // later (a frame recorded twice: the clock falls one tick behind).
    std::vector<uint32_t> race_extra_frames;
    // The track the cars are driven on (see the head of this file); its
    // length replaces lap_length_m. None: constant speeds per lap.
    std::optional<CourseGeometry> course;
    // With a course: race frames in which the cars stand on the grid before
    // they start (0: they come to the line at speed).
    uint32_t race_grid_ticks = 0;
};

// What a car shows in one frame, with the raw values as written.
struct CarState {
    bool present = true;       // false: left out of the frame's records
    uint32_t laps_begun = 0;   // 0 on the run to the line
    uint32_t distance_raw = 0;
    double distance_m = 0;
    double speed_mps = 0;
    int gear = 0;              // the gear as read back (the stored field is gear + 1)
    double lateral_m = 0;
    int32_t lateral_raw = 0;
    double height_m = 0;
    uint32_t height_raw = 0;
    double revs_rpm = 0;
    uint32_t revs_raw = 0;
    int32_t orientation = 0;
    int32_t pitch = 0;
    int32_t roll = 0;
    int32_t steering = 0;
    uint32_t fraction_raw = 0;
    uint32_t state_high = 0;   // other cars only
    // Player only:
    uint32_t tyre_squeal = 0;
    uint32_t wheel_state[4] = {};
    uint32_t wheel_value[4] = {};
    int32_t suspension[4] = {};
    uint32_t oil_pressure = 0;
    uint32_t oil_temperature = 0;
    uint32_t water_temperature = 0;
    uint32_t fuel_pressure = 0;
    uint32_t engine_value4 = 0;
};

// The expected outcome of extracting one lap.
struct LapTruth {
    uint32_t driver = 0;
    int session = 0;             // 0 practice, 1 race
    int lap = 0;                 // 1 = first lap
    uint32_t lap_ms = 0;         // the lap time in the lap table
    uint32_t speed_raw = 0;      // raw distance per tick during the lap
    uint32_t start_block = 0;    // first counting marker less than 2 s before the lap starts
    uint32_t end_block = 0;      // first counting marker more than 30 ms after the lap ends
    uint32_t start_marker_ms = 0;
    uint32_t end_marker_ms = 0;
    uint32_t sample_count = 0;   // blocks read: start_block to end_block + 1
    // The last block with the car's data before it crosses the line to begin
    // the lap, and the first with its data after it crosses the line at the end.
    uint32_t before_start_block = 0;
    uint32_t after_end_block = 0;
    int32_t marker_lap_ms = 0;   // lap time measured from the markers
    uint32_t missing = 0;        // samples without the car (other cars only)
    uint32_t longest_missing_run = 0;

    // The trimmed lap with `margin` samples on each side: its sample count
    // and the block of its sample 1.
    uint32_t TrimmedCount(int margin) const;
    uint32_t FirstKeptBlock(int margin) const;
};

class RaceGenerator {
public:
    // Drives the plan. Throws std::invalid_argument for a plan it cannot
    // write (no cars, a session without speeds, a run to the line shorter
    // than two frames, a value outside its field).
    explicit RaceGenerator(RacePlan plan);

    const RacePlan& plan() const { return plan_; }
    // The replay: header (its AI car count that of the drivers flagged AI),
    // drivers, lap tables and every frame block.
    ReplaySpec Spec() const;
    // Frame blocks from `first` to `last` (numbered from 1), as Spec has them.
    std::vector<FrameBlock> Blocks(uint32_t first, uint32_t last) const;

    uint32_t block_count() const { return practice_ticks_ + race_ticks_; }
    uint32_t practice_blocks() const { return practice_ticks_; }
    double unit_m() const;               // metres per raw distance unit
    uint32_t lap_length_raw() const { return lap_raw_; }

    // Every lap of every car in the lap tables.
    const std::vector<LapTruth>& laps() const { return laps_; }
    // Throws std::out_of_range for a lap that is not in the tables.
    const LapTruth& Lap(uint32_t driver, int session, int lap) const;
    // The car's state in a block (numbered from 1).
    CarState StateAt(uint32_t driver, uint32_t block) const;
    // The car's 16-byte status record as written in a block (numbered from
    // 1): bytes 0-1 name the car's slot, 4-15 hold the changes so far.
    std::string StatusRecord(uint32_t driver, uint32_t block) const;
    // Lap table words of one car and session: start time, then the clock at
    // the end of each lap.
    std::vector<uint32_t> LapClock(uint32_t driver, int session) const;

private:
    struct Run {
        std::vector<uint32_t> cross;    // session frame of each crossing; cross[0] = 0
        std::vector<uint64_t> s_at;     // total raw distance at each cross[k]
        std::vector<uint32_t> speed;    // raw per tick for lap index k (with a course: its mean)
        std::vector<uint32_t> clock;    // lap table words: clock at cross 1 .. laps + 1
        // With a course, per session frame: the total raw distance, the
        // speed (m/s) of the step into the frame, the gear and the revs.
        std::vector<uint64_t> s;
        std::vector<double> v;
        std::vector<int> gear;
        std::vector<double> revs;
        // The gearbox as the frames are driven: the gear engaged, and during
        // a shift the gear to come, the frames of neutral left and in all,
        // the revs when it began and whether the driver keeps his foot down.
        struct Box {
            int gear = -1;  // not yet set
            int target = 0;
            int left = 0;
            int length = 0;
            double from_rpm = 0;
            bool speedshift = false;
            int upshifts = 0;
        } box;
    };
    // With a course: the speed shape of a lap (mean 1) and the racing line.
    double Pace(double distance_m) const;
    double Line(uint32_t driver, double distance_m) const;
    // A driver's own differences at a distance run in the session (m):
    // how far he strays to the left of his line (m), and by what share he
    // is faster than his pace.
    double Stray(uint32_t driver, int session, double run_m) const;
    double Push(uint32_t driver, int session, double run_m) const;
    void DriveCourse(int session, uint32_t driver, Run& run, uint32_t until) const;
    void Shift(int session, const CarPlan& car, Run& run, size_t frame) const;
    CarState CourseStateAt(uint32_t driver, int session, uint32_t frame, uint32_t block) const;
    const Run& RunOf(uint32_t driver, int session) const;
    uint32_t SessionOffset(int session) const { return session == 0 ? 0 : practice_ticks_; }
    // The session frame the car's position is taken from (a standing car
    // stays in its stop frame).
    uint32_t PositionFrame(uint32_t driver, int session, uint32_t frame) const;
    uint32_t ClockAt(int session, uint32_t frame) const;  // marker clock, whole 10 ms
    bool HasMarker(int session, uint32_t frame) const;
    uint32_t ExtraFrames(int session, uint32_t frame) const;
    bool Counts(uint32_t block) const;
    bool Absent(uint32_t driver, uint32_t block) const;
    FrameBlock Block(uint32_t block) const;
    void Truths();

    RacePlan plan_;
    uint32_t lap_raw_ = 0;
    uint32_t practice_ticks_ = 0;
    uint32_t race_ticks_ = 0;
    std::vector<Run> practice_runs_;
    std::vector<Run> race_runs_;
    std::vector<LapTruth> laps_;
    // With a course, by quarter metre of the lap: the speed shape, the
    // racing line's swing to the inside, the curvature of the line as a
    // driver takes it (eased over 20 m) and the line's direction.
    std::vector<double> pace_;
    std::vector<double> swing_;
    std::vector<double> eased_curvature_;
    std::vector<double> direction_x_;
    std::vector<double> direction_y_;
    // Table index and fraction towards the next entry of a distance.
    std::pair<size_t, double> Where(double distance_m) const;
    double Interpolate(const std::vector<double>& table, double distance_m) const;
};

}  // namespace fixture
