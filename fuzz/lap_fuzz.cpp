// Lap telemetry: the replay is loaded as the document loads it (header and
// driver table), then one lap is extracted and trimmed. The first three
// bytes choose the driver, the lap and the session; the rest is the file.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    // Driver 20 and lap 0 lie outside every table; session 2 takes the race
    // table without the selectable test.
    const int driver = data[0] % (Drivers::kMaxDrivers + 1);
    const int lap = data[1];
    const int session = data[2] % 3;
    const auto path = fuzz::WriteInput("lap.rpy", data + 3, size - 3);

    Header header;
    if (header.Load(path.string()) != Header::kOk) return 0;
    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(path.string()) != 0) return 0;

    GetRpyInfo info;
    const int extracted = info.ExtractLap(*drivers, driver, lap, session);
    const int trimmed = info.TrimToLap(1);
    // Trimming reports the extraction's failure and changes nothing then.
    if (extracted != GetRpyInfo::kOk && trimmed != extracted) __builtin_trap();
    if (extracted == GetRpyInfo::kOk && info.TrimToLap(1) != GetRpyInfo::kOk) __builtin_trap();
    return 0;
}
