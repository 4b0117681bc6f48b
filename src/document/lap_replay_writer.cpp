#include "document/lap_replay_writer.h"

#include <cstring>
#include <limits>

#include "replay/byte_reader.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/input_file.h"

namespace lap_replay_writer {

namespace {

void PutU32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutU16(std::string& s, size_t at, uint16_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}

// The header fields patched below lie within the first 50 bytes; a data
// section before the driver chunk is no replay this program reads.
constexpr uint64_t kDriverChunk = 296;

}  // namespace

bool Build(const std::string& source_path, const Drivers& drivers, const GetRpyInfo& lap, std::string& out) {
    out.clear();
    const uint64_t d = drivers.data_section_offset;
    const uint64_t s = lap.first_block_pos;
    const uint64_t e = lap.after_last_pos;
    if (d < kDriverChunk || s < d + 12 || e <= s) return false;
    const uint64_t lap_bytes = e - s;
    // The patched header block length D + (E - S) is a 32-bit field.
    if (d + lap_bytes > std::numeric_limits<uint32_t>::max()) return false;

    InputFile source;
    if (source.Open(source_path) != InputFile::Status::kOpened) return false;
    if (e > source.size()) return false;

    std::string bytes(static_cast<size_t>(d + 12 + lap_bytes), '\0');
    if (!source.ReadAt(0, bytes.data(), static_cast<size_t>(d + 12))) return false;
    if (!source.ReadAt(s, bytes.data() + d + 12, static_cast<size_t>(lap_bytes))) return false;
    source.Close();

    // The blocks copied must be the lap's: walked by their sizes from S they
    // end exactly at E. A replay changed since the lap was read fails here.
    const ByteReader blocks(reinterpret_cast<const uint8_t*>(bytes.data() + d + 12), static_cast<size_t>(lap_bytes));
    uint64_t at = 0;
    uint32_t count = 0;
    uint16_t last = 0;
    while (at < lap_bytes) {
        if (!blocks.Has(static_cast<size_t>(at), 8)) return false;
        last = blocks.U16At(static_cast<size_t>(at));
        if (last < 8) return false;
        at += last;
        ++count;
    }
    if (at != lap_bytes) return false;

    PutU32(bytes, 8, static_cast<uint32_t>(d + lap_bytes));
    PutU32(bytes, 40, count + 1);
    PutU32(bytes, 44, static_cast<uint32_t>(lap_bytes));
    PutU16(bytes, 48, last);
    PutU32(bytes, static_cast<size_t>(d + 8), static_cast<uint32_t>(lap_bytes));
    out.swap(bytes);
    return true;
}

}  // namespace lap_replay_writer
