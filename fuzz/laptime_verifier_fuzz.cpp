// Laptime verifier walk: the replay is loaded as the document loads it,
// then one lap is verified. The first three bytes choose the driver, the
// lap and the session, the fourth the track length; the rest is the file.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/laptime_verifier_report.h"
#include "reports/loaded_laps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    LoadedLap lap;
    lap.driver = data[0] % (Drivers::kMaxDrivers + 1);
    lap.lap = data[1];
    lap.session = data[2] % 2;
    const double length = data[3] * 25.0;
    const auto path = fuzz::WriteInput("verify.rpy", data + 4, size - 4);

    Header header;
    if (header.Load(path.string()) != Header::kOk) return 0;
    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(path.string()) != 0) return 0;
    lap.header = &header;
    lap.drivers = drivers.get();
    LoadedLaps laps;
    laps.track_length_m = length;
    laps.laps.push_back(lap);
    (void)LaptimeVerifierReport::Write(laps);
    return 0;
}
