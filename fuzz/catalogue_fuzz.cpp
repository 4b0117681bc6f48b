// Replay CD catalogue records: the header record and the driver-table
// record of catalogue versions 1 to 4, read back to back from one byte
// span as a catalogue entry holds them. The first byte picks the version.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "replay/byte_reader.h"
#include "replay/byte_writer.h"
#include "replay/drivers.h"
#include "replay/header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int version = data[0] % 4 + 1;
    ByteReader in(data + 1, size - 1);

    Header header;
    const int header_ok = version == 1 ? header.ReadDatabaseRecordV1(in) : header.ReadDatabaseRecord(in);
    (void)Header::GameModeText(header.game_mode);
    (void)Header::DamageLevelText(header.damage_level);
    if (!header_ok) return 0;

    auto drivers = std::make_unique<Drivers>();
    int ok = 0;
    switch (version) {
    case 1: ok = drivers->ReadFromDatabaseV1(in); break;
    case 2: ok = drivers->ReadFromDatabaseV2(in); break;
    case 3: ok = drivers->ReadFromDatabaseV3(in); break;
    default: ok = drivers->ReadFromDatabaseV4(in); break;
    }
    if (!ok) return 0;
    // A table read from a catalogue is written again in the current form
    // when the catalogue is saved.
    ByteWriter out;
    drivers->WriteToDatabase(out);
    ByteReader again(out.bytes().data(), out.bytes().size());
    auto back = std::make_unique<Drivers>();
    (void)back->ReadFromDatabaseV4(again);
    return 0;
}
