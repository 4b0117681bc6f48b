// Driver table: Drivers::LoadReplay over a replay file (driver chunk,
// lap-time tables, timing-marker walks of the data section), then the
// catalogue record a loaded table is stored as.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "replay/byte_reader.h"
#include "replay/byte_writer.h"
#include "replay/drivers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto path = fuzz::WriteInput("drivers.rpy", data, size);
    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(path.string()) != 0) return 0;

    ByteWriter out;
    drivers->WriteToDatabase(out);
    ByteReader in(out.bytes().data(), out.bytes().size());
    auto back = std::make_unique<Drivers>();
    (void)back->ReadFromDatabaseV4(in);
    return 0;
}
