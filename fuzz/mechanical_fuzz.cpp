// Data-section walk: the replay is loaded as the unattended report export
// loads it (header, driver table, the same checks), then the mechanical
// scan walks its whole data section, as the mechanical failures report and
// the race results' problem column have it walked.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/mechanical_report.h"
#include "reports/report_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto path = fuzz::WriteInput("mech.rpy", data, size);
    Header header;
    if (header.Load(path.string()) != Header::kOk) return 0;
    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(path.string()) != 0) return 0;
    if (drivers->driver_count != drivers->chunk_driver_count) return 0;

    ReportInput in;
    in.header = &header;
    in.drivers = drivers.get();
    MechanicalScan scan;
    (void)scan.Scan(in, (size & 1) != 0);
    for (uint32_t slot = 0; slot <= CarStatusTable::kSlots; ++slot) (void)scan.status().RetirementCode(slot);
    return 0;
}
