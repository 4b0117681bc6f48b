// Adding a lap to the document from a damaged replay, as -loadrpy does: the
// first three bytes choose the driver, the lap and the session, the rest is
// the replay. The simulator folder holds the stadium circuit under the name
// the generated replays carry, so laps that load also run the derived
// channels. A refused lap must leave the document empty: no slot, no track,
// no title.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "document/rpy_graph_doc.h"
#include "fuzz_support.h"
#include "interaction/batch_interaction.h"
#include "replay/get_rpy_info.h"
#include "settings/settings.h"
#include "support/track_fixture.h"

namespace {

const std::filesystem::path& SimulatorFolder() {
    static const std::filesystem::path folder = [] {
        const std::string track = fixture::BuildTrackBlock(fixture::StadiumCircuit());
        fuzz::WriteInput("sim/qel.exe", reinterpret_cast<const uint8_t*>("MZ"), 2);
        fuzz::WriteInput("sim/tracks/fixturering/fixturering.trk", reinterpret_cast<const uint8_t*>(track.data()),
                         track.size());
        ::setenv("OSTREVAN_CONFIG_DIR", (fuzz::Scratch::Folder() / "config").c_str(), 1);
        return fuzz::Scratch::Folder() / "sim";
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const std::filesystem::path& sim = SimulatorFolder();
    const int driver = data[0] % 21;
    const int lap = data[1];
    const int session = data[2] % 3;
    const auto path = fuzz::WriteInput("sim/replay/lap.rpy", data + 3, size - 3);

    std::ostringstream messages;
    BatchInteraction ui(&messages);
    Settings settings;
    settings.SetQELDirectory(sim.string());
    CRpyGraphDoc doc(settings, ui);
    if (!doc.AddLapFromCommandLine(path.string(), session, driver, lap)) {
        if (doc.GetLoadedCount() != 0 || doc.GetSlot(0).used || doc.GetTrack() != nullptr ||
            doc.GetTitle() != CRpyGraphDoc::kNoLapTitle || !doc.GetPathName().empty())
            __builtin_trap();
        return 0;
    }
    const GetRpyInfo& info = *doc.GetSlot(0).telemetry;
    if (doc.GetLoadedCount() != 1 || info.speed.size() != info.sample_count + 2) __builtin_trap();
    return 0;
}
