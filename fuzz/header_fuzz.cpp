// Replay header: Header::Load over a replay file, then the texts the
// replay list shows and the catalogue record the header is stored as.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "replay/byte_reader.h"
#include "replay/byte_writer.h"
#include "replay/header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto path = fuzz::WriteInput("header.rpy", data, size);
    Header header;
    if (header.Load(path.string()) != Header::kOk) return 0;
    (void)Header::GameModeText(header.game_mode);
    (void)Header::DamageLevelText(header.damage_level);
    (void)Header::VersionText(header.version);
    (void)Header::RecordingLengthText(header.recording_length);

    ByteWriter out;
    header.WriteDatabaseRecord(out);
    ByteReader in(out.bytes().data(), out.bytes().size());
    Header back;
    // A header read from a replay always makes a record that reads back.
    if (back.ReadDatabaseRecord(in) != 1 || in.remaining() != 0) __builtin_trap();
    return 0;
}
