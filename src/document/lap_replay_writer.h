#pragma once
// The one-lap replay file: the source replay's file header, header block,
// driver block and lap-time tables, followed by only the frame blocks that
// hold one extracted lap, so that the simulator plays that lap alone.
//
// With D the data section's offset and S, E the file offsets of the lap's
// first frame block and just after its last one, the file is the source's
// bytes 0 .. D+11, then its bytes S .. E-1; its size is D + 12 + (E - S).
// Patched in the copy (little-endian): offset 8 = D + (E - S) (the header
// block length), 40 = the number of frame blocks from S to E plus one (the
// recording length in ticks), 44 = E - S, 48 = the size of the last block
// (u16), and D + 8 = E - S (the data section's payload length).

#include <cstdint>
#include <string>

class Drivers;
class GetRpyInfo;

namespace lap_replay_writer {

// The file for the lap extracted into `lap` from the replay at
// source_path, whose driver table is `drivers`. Every read is checked: the
// source must still hold the data section and the lap's frame blocks where
// the extraction found them, and the blocks from S must end exactly at E.
// Returns false, leaving out empty, when the source cannot be opened or
// read or no longer matches the lap; the source is closed on every outcome.
bool Build(const std::string& source_path, const Drivers& drivers, const GetRpyInfo& lap, std::string& out);

}  // namespace lap_replay_writer
