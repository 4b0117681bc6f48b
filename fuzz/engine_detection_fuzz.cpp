// Engine detection walk: the replay is loaded as the report window's
// opener loads it, then the engine detection report walks every car
// record of its data section.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/engine_detection_report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto path = fuzz::WriteInput("engine.rpy", data, size);
    Header header;
    if (header.Load(path.string()) != Header::kOk) return 0;
    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(path.string()) != 0) return 0;
    if (drivers->driver_count != drivers->chunk_driver_count) return 0;
    (void)EngineDetectionReport::Write(*drivers);
    return 0;
}
