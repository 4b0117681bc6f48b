// Replay CD catalogue files: the bytes are one *.rdb file in a catalogue
// folder, walked by the catalogue reader as the lap finder and the records
// export walk it. Every record handed out must be whole, and the walk must
// end.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "records/replay_database_loader.h"
#include "replay/drivers.h"
#include "replay/header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("ZAVRO_CDDB/cd.rdb", data, size);
    ReplayDatabaseLoader loader;
    loader.FindDatabases((fuzz::Scratch::Folder() / "ZAVRO_CDDB").string());
    size_t records = 0;
    while (loader.NextReplay()) {
        const Drivers* d = loader.GetDrivers();
        if (!d || !loader.GetHeader()) __builtin_trap();
        if (d->driver_count < 0 || d->driver_count > Drivers::kMaxDrivers) __builtin_trap();
        for (int i = 0; i < d->driver_count; ++i)
            if (d->practice_lap_count[i] > Drivers::kMaxLaps || d->race_lap_count[i] > Drivers::kMaxLaps) __builtin_trap();
        if (d->medium_path.size() > 199 || d->medium_label.size() > 199) __builtin_trap();
        // Every record takes at least its path's NUL byte.
        if (++records > size) __builtin_trap();
    }
    if (loader.GetHeader() || loader.GetDrivers()) __builtin_trap();
    return 0;
}
