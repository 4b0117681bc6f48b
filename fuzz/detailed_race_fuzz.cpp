// Detailed race walk: the replay is loaded as the report window's opener
// loads it, then the detailed race report walks its data section with a
// track length taken from the first input byte (0 included).

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/detailed_race_report.h"
#include "reports/mechanical_report.h"
#include "reports/report_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const double length = data[0] * 25.0;
    const auto path = fuzz::WriteInput("detailed.rpy", data + 1, size - 1);
    Header header;
    if (header.Load(path.string()) != Header::kOk) return 0;
    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(path.string()) != 0) return 0;
    if (drivers->driver_count != drivers->chunk_driver_count) return 0;
    if (DetailedRaceReport::Refused(*drivers)) return 0;
    ReportInput in;
    in.header = &header;
    in.drivers = drivers.get();
    MechanicalScan scan;
    (void)DetailedRaceReport::Write(in, length, scan);
    return 0;
}
