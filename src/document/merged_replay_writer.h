#pragma once
// The merged replay: every loaded lap drives as one car of a synthetic
// practice session, so that the simulator shows the laps side by side. The
// file is composed from the laps' telemetry alone, in the replay chunk
// layout: file header and header block, a second header chunk, the driver
// block (a creator record, then one record per lap), one lap-time entry per
// lap, and the data section with one frame block per tick whose car record
// holds one packed 16-byte entry per lap.
//
// Lap k is given a start advantage of o(k) = trunc(offset_ms(k) x 0.036 +
// 0.5) samples over a lap without one. Every lap is in the file whole, its
// start line and its end line, and the advantages between the laps are
// kept: with O the largest advantage, lap k is late by L(k) = O - o(k)
// ticks and block f carries its sample f - L(k). The lap with the largest
// advantage shows its sample 1 in block 1; a later lap runs in before its
// first sample at its first pace (its position stops at distance 0 should
// that pace take it further back), as it rolls on after its last.
// Lap k's lap-time entry starts L(k) x 1000 / 36 ms (rounded) after
// kStartTimeMs, so the session clock of the timing markers and the entry
// agree and a reader finds the lap's own samples. With every advantage 0
// no lap is late.
//
// Differences from the layout as first written, so that the file can be
// read back with every lap (our own readers and the simulator's):
// - the track folder is written whole (up to 15 characters) rather than
//   cut to eight, so the file finds its track;
// - lap-time entry k names lap-table slot k (the slot of driver record k);
//   its time word is its start time + the lap time in the low 24 bits with the
//   stored flags kept, except the "not valid" flag, which in the merged
//   practice session would make a loaded race lap unselectable;
// - the timing markers (blocks 1, 37, 73, ...) carry the session clock of
//   their block (980 ms at block 1, then 1000 ms per 36 blocks) instead of
//   one fixed time, and the last block carries a marker at least 40 ms after
//   the end of the last lap entry to end, so every lap lies inside the
//   recorded session;
// - the frame count M is the block of the last lap to show its last sample
//   (the largest of sample count + L(k)), not the smallest sample count: a lap
//   cut before its end line read back as a lap of three samples. A block
//   past a lap's last sample holds that sample with the car rolled on past
//   the line at its last pace, and a block before its first holds the first
//   with the car short of it, since a car standing still reads as the line
//   itself;
// - the start advantages move the later laps' start later instead of
//   moving the earlier laps' start out of the file, and each lap-time
//   entry's start moves with its lap;
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
// advantages in ms (offsets_ms[k] for laps[k]; ignored for a single lap).
// False, leaving out empty, when there is no lap, a slot lacks its tables,
// a lap has no samples, or the advantages lie so far apart that a lap's
// start would not fit the 24-bit millisecond clock of the lap-time words.
bool Build(const std::vector<const LapSlot*>& laps, const std::array<uint32_t, kMaxLaps>& offsets_ms,
           std::string& out);

}  // namespace merged_replay_writer
