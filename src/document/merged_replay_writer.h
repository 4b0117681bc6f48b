#pragma once
// The merged replay: every loaded lap drives as one car of a synthetic
// practice session, so that the simulator shows the laps side by side. The
// file is composed from the laps' telemetry alone, in the replay chunk
// layout: file header and header block, a second header chunk, the driver
// block (a creator record, then one record per lap), one lap-time entry per
// lap, and the data section with one frame block per tick whose car record
// holds one packed 16-byte entry per lap.
//
// Lap k may start o(k) = trunc(offset_ms(k) x 0.036 + 0.5) samples into
// its lap; block f carries its sample f + o(k).
//
// Differences from the layout as first written, so that the file can be
// read back with every lap (our own readers and the simulator's):
// - the track folder is written whole (up to 15 characters) rather than
//   cut to eight, so the file finds its track;
// - lap-time entry k names lap-table slot k (the slot of driver record k);
//   its time word is 1000 + the lap time in the low 24 bits with the
//   stored flags kept, except the "not valid" flag, which in the merged
//   practice session would make a loaded race lap unselectable;
// - the timing markers (blocks 1, 37, 73, ...) carry the session clock of
//   their block (980 ms at block 1, then 1000 ms per 36 blocks) instead of
//   one fixed time, and the last block carries a marker at least 40 ms after
//   the end of the slowest lap's entry, so every lap lies inside the
//   recorded session;
// - the frame count M is the largest count of samples a lap has left to
//   show (its sample count - o(k)), not the smallest: a lap cut before its
//   end line read back as a lap of three samples. A block past a lap's last
//   sample holds that sample with the car rolled on past the line at its
//   last pace, since a car standing still reads as the line itself;
// - every lap's distance is packed in the distance unit the data section
//   declares (slot 0's), so laps from replays of either unit read back alike.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct LapSlot;

namespace merged_replay_writer {

inline constexpr int kMaxLaps = 5;
// Session clock of the lap-time entries' start, ms.
inline constexpr uint32_t kStartTimeMs = 1000;

// Start offset in samples of a start advantage in milliseconds.
int64_t OffsetSamples(uint32_t offset_ms);

// The merged file of the given laps (used slots with header, driver table
// and trimmed telemetry, at most five, in slot order) with their start
// advantages in ms (offsets_ms[k] for laps[k]). False, leaving out empty,
// when there is no lap, a slot lacks its tables, or a lap has no samples.
bool Build(const std::vector<const LapSlot*>& laps, const std::array<uint32_t, kMaxLaps>& offsets_ms,
           std::string& out);

}  // namespace merged_replay_writer
