// Race stream: the replay is loaded as the race playback loads it (driver
// table first), then the whole race is read. Every step read must lie
// within what the section can hold, and the times must never go back
// after completion of a step without a time.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz_support.h"
#include "replay/drivers.h"
#include "replay/race_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto path = fuzz::WriteInput("race.rpy", data, size);
    auto drivers = std::make_unique<Drivers>();
    if (drivers->LoadReplay(path.string()) != 0) return 0;
    RaceStream stream;
    const RaceStream::Result result = stream.Load(*drivers);
    if (result != RaceStream::Result::kLoaded) {
        if (stream.step_count() != 0) __builtin_trap();
        return 0;
    }
    // A frame takes at least its 8-byte head.
    if (stream.step_count() < 1 || uint64_t(stream.step_count()) > size / 8 + 1) __builtin_trap();
    for (int step = 0; step < stream.step_count(); ++step) {
        for (int car = 0; car < stream.car_count(); ++car) {
            if (!stream.Present(step, car)) continue;
            if (!(stream.Distance(step, car) >= 0.0)) __builtin_trap();
            (void)stream.Lateral(step, car);
            (void)stream.Heading(step, car);
        }
        (void)stream.StepState(step);
    }
    return 0;
}
