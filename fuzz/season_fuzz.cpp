// Season file: the bytes are seasons/67season.ini under a simulator
// folder, found and read as the records tools find and read it, every
// event included.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "records/season_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::WriteInput("sim/seasons/67season.ini", data, size);
    SeasonFile season;
    if (!season.Load(SeasonFile::PathIn(fuzz::Scratch::Folder() / "sim"))) return 0;
    (void)season.NumEventsText();
    const auto events = season.Events();
    if (events.size() != static_cast<size_t>(season.EventCount())) __builtin_trap();
    (void)season.GetEvent(0);
    return 0;
}
