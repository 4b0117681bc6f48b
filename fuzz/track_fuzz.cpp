// Track files: the first byte chooses the file form the input is written
// as (even: tracks/fz/fz.trk, odd: tracks/fz/fz.dat), and the track is
// loaded from the simulator folder as a replay's track is, split lines
// included. A track that loads is then queried and highlighted as the
// track map does.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "fuzz_support.h"
#include "track/exception.h"
#include "track/track.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const auto folder = fuzz::Scratch::Folder() / "sim";
    std::error_code ec;
    std::filesystem::remove_all(folder / "tracks", ec);
    const bool container = data[0] & 1;
    fuzz::WriteInput(container ? "sim/tracks/fz/fz.dat" : "sim/tracks/fz/fz.trk", data + 1, size - 1);

    auto track = Track::Load(folder, "fz");
    if (!track) return 0;
    const double length = track->GetLength();
    for (double d : {-1.0, 0.0, 0.3 * length, length, 2.0 * length}) {
        const int i = track->findSection(d);
        if (i >= 0) (void)track->GetSection(static_cast<size_t>(i));
    }
    try {
        track->HighlightAround(0.5 * length, 10);
        track->SetHighlightRange(0.1 * length, 0.9 * length);
    } catch (const Exception&) {
        // A damaged lap may refuse a range; the map then shows none.
    }
    track->ClearHighlight();
    track->Clear();
    return 0;
}
