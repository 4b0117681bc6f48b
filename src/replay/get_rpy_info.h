#pragma once
// The telemetry of one lap of one driver: one sample per frame block of the
// replay's data section (a tick of 1/36 s), in about thirty channels.
//
// ExtractLap finds the frames that cover the lap and decodes the driver's
// car state from each; TrimToLap then cuts the samples down to the lap with
// a margin, converts raw values into physical units and allocates the
// derived channels that the document fills.
//
// Channels are indexed by sample from 1 to sample_count; entry 0 is not part
// of the lap (the engine channels keep there the first engine reading of the
// extraction). After ExtractLap every raw channel has sample_count + 2
// entries; after TrimToLap every channel, raw, converted and derived, has
// the trimmed sample_count + 2 entries.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "replay/parse_car_structs.h"

class Drivers;
class ReplayFile;

class GetRpyInfo {
public:
    // Results of ExtractLap (TrimToLap returns kOk or ExtractLap's failure).
    enum Result {
        kOk = 0,
        kCannotOpen = 1,      // the replay cannot be opened
        kEmptyFile = 2,       // the replay is empty
        kDamaged = 3,         // a frame record of an unknown type, a record shorter than its layout,
                              // a block or record size that cannot be walked
        kNotSelectable = 4,   // no such driver or lap, or the lap cannot be chosen in its session
        kEndNotFound = 5,     // no frames open or close the lap: no marker of the session, or the
                              // data section ends before the lap does
    };
    // Milliseconds per frame, rounded as the lap-time arithmetic has it.
    static constexpr double kTickMs = 27.777778;
    // Distance-unit byte that selects the coarse unit (2 mm instead of 0.5 mm).
    static constexpr uint8_t kCoarseUnit = 0x40;

    GetRpyInfo();
    virtual ~GetRpyInfo();
    GetRpyInfo(const GetRpyInfo&) = delete;
    GetRpyInfo& operator=(const GetRpyInfo&) = delete;

    // Extracts lap `lap` (1 = first lap) of driver `driver` (index in record
    // order) from session `session` (0 practice, 1 race; any other value
    // takes the race table without the selectable test, and no timing marker
    // counts for it). `drivers` is borrowed, must outlive this object, and
    // receives the data section's distance-unit byte. Returns a Result; on
    // failure `status` holds the same code and the channels must not be used.
    int ExtractLap(Drivers& drivers, int driver, int lap, int session);

    // Cuts the samples to the lap, from the sample before the start line to
    // the first sample after the line at the end, widened by `margin`
    // samples on each side within the extracted samples (the document passes
    // 1). Returns kOk, or, when no successful extraction precedes it, the
    // extraction's failure code (kEndNotFound when none ran) and changes
    // nothing. A second call changes nothing and returns kOk.
    int TrimToLap(int margin);

    // Inputs and state.
    Drivers* drivers = nullptr;  // borrowed
    int driver = -1;
    std::string path;
    int status = kOk;
    uint8_t distance_unit = 0;

    // Where the lap lies. Times are session clock in ms; blocks are numbered
    // from 1 at the start of the data section.
    uint32_t lap_start_ms = 0;     // from the lap table
    uint32_t lap_end_ms = 0;
    uint32_t start_block = 0;      // first frame block read
    uint32_t end_block = 0;        // block of the marker that closes the lap
    uint32_t start_marker_ms = 0;
    uint32_t end_marker_ms = 0;
    uint64_t first_block_pos = 0;  // file offset of the start block
    uint64_t after_last_pos = 0;   // file offset after the last block read
    uint16_t last_block_size = 0;  // size of the last block read

    uint32_t sample_count = 0;
    uint32_t decoded_count = 0;    // samples that carry the car's data
    // Another car's samples whose frame held other-car records but none of
    // this car (the player's laps have none): count, longest run of
    // consecutive ones, index of the last one and length of its run.
    uint32_t missing_count = 0;
    uint32_t longest_missing_run = 0;
    uint32_t last_missing_index = 0;
    uint32_t current_missing_run = 0;

    // Set by TrimToLap.
    int32_t marker_lap_time_ms = 0;  // lap time measured from the markers
    int32_t start_distance_step = 0; // raw distance per tick at the start of the lap
    int32_t end_distance_step = 0;   // and at its end
    uint32_t first_kept_frame = 0;   // block of the last sample before the start line
    uint32_t last_kept_frame = 0;    // block of the last sample before the line at the end
    bool trimmed = false;

    // Raw channels (ExtractLap). For another car the tyre, wheel, suspension,
    // oil pressure and engine channels are 0.
    std::vector<uint32_t> distance_raw;  // distance along the lap, raw units
    std::vector<int16_t> gear;           // -1 reverse, 0 neutral, 1...
    std::vector<int32_t> lateral_raw;
    std::vector<uint32_t> height_raw;
    std::vector<double> revs;            // raw; rpm after TrimToLap
    std::vector<int16_t> orientation;    // 4096 units per turn
    std::vector<int32_t> pitch;
    std::vector<int32_t> roll;
    std::vector<int16_t> steering;
    std::vector<double> fraction;        // raw; converted after TrimToLap
    std::vector<uint32_t> state_bits;
    std::vector<uint8_t> tyre_squeal;
    std::array<std::vector<uint32_t>, 4> wheel_value;
    std::array<std::vector<int32_t>, 4> suspension;
    std::array<std::vector<uint8_t>, 4> wheel_state;
    std::vector<uint16_t> oil_pressure;
    std::vector<double> oil_temperature;   // held over frames without engine readings (TrimToLap)
    std::vector<double> water_temperature;
    std::vector<uint16_t> fuel_pressure;
    std::vector<uint16_t> engine_value4;
    std::vector<uint32_t> spare;

    // Converted channels (TrimToLap).
    std::vector<double> distance;        // metres from the start/finish line
    std::vector<double> lateral_offset;  // metres, positive to the left
    std::vector<double> height;          // metres
    std::vector<int> revs_raw;

    // Derived channels, allocated zeroed by TrimToLap and filled by the
    // document.
    std::vector<double> map_x;
    std::vector<double> map_y;
    std::vector<double> heading;             // degrees
    std::vector<double> orientation_degrees;
    std::vector<double> accel_raw_x;         // g, before smoothing
    std::vector<double> accel_raw_y;
    std::vector<double> accel_total;         // g
    std::vector<double> accel_long;          // g, relative to the car
    std::vector<double> accel_lat;
    std::vector<double> accel_travel_long;   // g, relative to the direction of travel
    std::vector<double> accel_travel_lat;
    std::vector<double> slip_angle;          // degrees
    std::vector<double> slip_less_steering;
    std::vector<double> speed;               // km/h
    std::array<std::vector<uint8_t>, 4> locked_wheel;
    // Times of the split distances at 25, 50 and 75 % of the track length
    // (ms from the start line); 0 until the document sets them.
    std::array<int32_t, 3> split_time_ms{};

private:
    void Reset();
    int Fail(int code);
    int FindLapFrames(ReplayFile& file, int session, uint64_t data_section);
    int ReadSamples(ReplayFile& file, bool is_player);
    int ReadBlock(std::span<const uint8_t> block, uint32_t i, bool is_player, bool& engine_seen);
    void Allocate(size_t entries);

    ParseCarStructs parser_;
    std::vector<uint8_t> has_data_;  // 1 where the sample carries the car's data
    bool extracted_ = false;
};
