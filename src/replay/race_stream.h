#pragma once
// The whole race of one replay, read once for the race playback: for every
// frame from the one holding the race's first timing marker to the
// replay's last frame (one step each), the race time, the race state and
// where each car stood (distance along the lap, lateral offset, heading).
//
// The data section is walked in one buffered pass. Frames hold records of
// u16 type and u16 length L, each occupying L rounded up to a multiple of 4
// bytes, its head included. Read here: 13 session time (low byte session
// code, high 24 bits time in 10 ms), 14 frame number, 9 race state (high 16
// bits), 1 the player's car (28 packed bytes), 3 the other cars (16 packed
// bytes each, the car named by its lap-table slot). Types 0, 5, 7 and above
// 16 are unknown.
//
// Damage ends the walk where it is met and keeps the steps read before it:
// a frame whose length does not cover its 8-byte head or runs past the
// section, a record shorter than its head or running past its frame. An
// unknown record type after the race start fails the load, as does a race
// start that is never found or a step count below one.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Drivers;

class RaceStream {
public:
    static constexpr int kMaxCars = 20;
    // Steps per second of race (one frame each).
    static constexpr int kStepsPerSecond = 36;

    enum class Result {
        kLoaded,
        kCannotOpen,    // the replay cannot be opened or its data section lies outside it
        kNoRaceStart,   // no timing marker of the race session (or an unknown type before it)
        kNoSteps,       // the last frame number lies before the start frame, or no frame was read
        kUnknownType,   // a record of an unknown type after the race start
    };

    // Race states of CompleteTimesAndStates.
    enum State : int16_t {
        kLiningUp = 1, kGreenRaised = 2, kGreenDrops = 3, kRacing = 4, kChequered = 8,
    };

    // Reads the race of the replay the driver table was loaded from (its
    // path, data-section offset, race session code, player index, driver
    // count, lap-table slots and last frame number), then completes the
    // times and states. progress is called every 360 steps (10 s of race)
    // with the step index and the number of steps the race should have.
    // Everything read before is dropped first.
    Result Load(const Drivers& drivers, const std::function<void(int step, int steps)>& progress = {});
    // Forgets the race.
    void Clear();

    // Steps with a missing time take the last real time plus the ticks since
    // (trunc(n x 1000 / 36) ms); a missing raw state (-1) the previous one,
    // step 0's raw state becoming 0. States follow the raw words from step 1
    // on: a change to 12, 32, 40 or 4 gives 1, 2, 3 or 4; a word gaining
    // all of the bits 0x34 gives 8. Step 0's state is 0. The three vectors
    // have one entry per step.
    static void CompleteTimesAndStates(std::vector<uint32_t>& times, std::vector<int32_t>& raw_states,
                                       std::vector<int16_t>& states);

    int step_count() const { return static_cast<int>(times_.size()); }
    int car_count() const { return cars_; }
    // No frame-number record was met before the race start: the step count
    // then runs from frame 0 (the caller tells the user).
    bool missing_frame_number() const { return missing_frame_number_; }

    uint32_t StepTime(int step) const { return times_[static_cast<size_t>(step)]; }
    int16_t StepState(int step) const { return states_[static_cast<size_t>(step)]; }
    // The car has a record in that step.
    bool Present(int step, int car) const { return (Sample(step, car) >> 26 & 3) != 0; }
    // Metres along the lap, metres off the centre line, degrees.
    double Distance(int step, int car) const;
    double Lateral(int step, int car) const;
    double Heading(int step, int car) const;

    uint32_t race_start_time() const { return race_start_time_; }
    uint32_t start_frame_number() const { return start_frame_number_; }
    uint64_t start_frame_position() const { return start_frame_position_; }
    uint32_t frame_bytes_at_start() const { return frame_bytes_at_start_; }
    uint32_t data_length() const { return data_length_; }

private:
    // One car in one step, packed into 64 bits (an hour of 20 cars is
    // some 130,000 steps): bits 0-25 the raw distance, 26-27 the record
    // (0 none, 1 full, 2 compact), 28-39 the raw heading, 40-59 the raw
    // lateral offset (20 bits, signed).
    using CarSample = uint64_t;
    static CarSample Pack(uint32_t distance, int kind, uint32_t heading, uint32_t lateral) {
        return (distance & 0x3FFFFFFull) | (uint64_t(kind & 3) << 26) | (uint64_t(heading & 0xFFF) << 28) |
               (uint64_t(lateral & 0xFFFFF) << 40);
    }
    CarSample Sample(int step, int car) const {
        return samples_[static_cast<size_t>(step) * static_cast<size_t>(cars_) + static_cast<size_t>(car)];
    }

    int cars_ = 0;
    bool coarse_unit_ = false;
    bool missing_frame_number_ = false;
    uint32_t race_start_time_ = 0;
    uint32_t start_frame_number_ = 0;
    uint64_t start_frame_position_ = 0;
    uint32_t frame_bytes_at_start_ = 0;
    uint32_t data_length_ = 0;
    std::vector<uint32_t> times_;
    std::vector<int16_t> states_;
    std::vector<CarSample> samples_;  // step-major: step * cars + car
};
