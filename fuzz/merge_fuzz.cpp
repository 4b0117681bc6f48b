// Merging laps taken from a damaged replay, and saving one of them alone:
// up to two laps are loaded as the document loads them (header, driver
// table, extraction, trim), merged, and the merged file is read back. The
// first seven bytes choose the laps (driver, lap, session of each) and the
// second lap's start advantage; the rest is the replay.
//
// Whatever the source held, a merged file must read back: its header, its
// driver table with one record per lap after the creator's, and every lap
// selectable and extracted when the file has two frames or more.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/lap_replay_writer.h"
#include "document/merged_replay_writer.h"
#include "document/rpy_graph_doc.h"
#include "fuzz_support.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"

namespace {

bool LoadLap(const std::string& path, int driver, int lap, int session, LapSlot& slot) {
    slot.header = std::make_unique<Header>();
    slot.drivers = std::make_unique<Drivers>();
    slot.telemetry = std::make_unique<GetRpyInfo>();
    if (slot.header->Load(path) != Header::kOk) return false;
    if (slot.drivers->LoadReplay(path) != 0) return false;
    if (slot.telemetry->ExtractLap(*slot.drivers, driver, lap, session) != GetRpyInfo::kOk) return false;
    if (slot.telemetry->TrimToLap(1) != GetRpyInfo::kOk) return false;
    slot.used = true;
    slot.driver = driver;
    slot.lap = lap;
    slot.session = session;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 7) return 0;
    const auto path = fuzz::WriteInput("source.rpy", data + 7, size - 7).string();
    std::array<LapSlot, 2> slots;
    std::vector<const LapSlot*> laps;
    for (int k = 0; k < 2; ++k) {
        const int driver = data[3 * k] % Drivers::kMaxDrivers;
        if (LoadLap(path, driver, data[3 * k + 1], data[3 * k + 2] & 1, slots[static_cast<size_t>(k)]))
            laps.push_back(&slots[static_cast<size_t>(k)]);
    }
    if (laps.empty()) return 0;

    // The lap alone: copied from the source, or refused; never past it.
    std::string lap_bytes;
    if (lap_replay_writer::Build(path, *laps[0]->drivers, *laps[0]->telemetry, lap_bytes) &&
        lap_bytes.size() != laps[0]->drivers->data_section_offset + 12 +
                                (laps[0]->telemetry->after_last_pos - laps[0]->telemetry->first_block_pos))
        __builtin_trap();

    std::string merged;
    const std::array<uint32_t, 5> offsets{0, uint32_t{data[6]} * 100, 0, 0, 0};
    if (!merged_replay_writer::Build(laps, offsets, merged)) return 0;
    const auto out = fuzz::WriteInput("merged.rpy", reinterpret_cast<const uint8_t*>(merged.data()), merged.size());

    Header header;
    if (header.Load(out.string()) != Header::kOk) __builtin_trap();
    Drivers drivers;
    if (drivers.LoadReplay(out.string()) != 0) __builtin_trap();
    if (drivers.driver_count != static_cast<int>(laps.size()) + 1) __builtin_trap();
    if (header.recording_length < 2) return 0;
    for (size_t k = 0; k < laps.size(); ++k) {
        GetRpyInfo lap;
        if (lap.ExtractLap(drivers, static_cast<int>(k) + 1, 1, 0) != GetRpyInfo::kOk) __builtin_trap();
        if (lap.TrimToLap(1) != GetRpyInfo::kOk) __builtin_trap();
    }
    return 0;
}
