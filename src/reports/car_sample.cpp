#include "reports/car_sample.h"

#include "replay/byte_reader.h"
#include "replay/replay_file.h"

uint32_t CarSample::DistanceScale(const std::string& path, uint32_t data_offset) {
    ReplayFile file(64);
    if (!file.Open(path)) return 1;
    const auto word = file.View(uint64_t{data_offset} + 4, 4);
    return !word.empty() && word[0] == 0x40 ? 4 : 1;
}
