#include "reports/driver_sample_windows.h"

void DriverSampleWindows::Push(int channel, int value) {
    if (!Valid(channel) || max_length_ == 0) return;
    auto& c = channels_[channel];
    if (c.size() >= max_length_) c.pop_front();
    c.push_back(value);
}

int DriverSampleWindows::At(int channel, size_t index) const {
    if (!Valid(channel) || index >= channels_[channel].size()) return 0;
    return channels_[channel][index];
}

size_t DriverSampleWindows::Size(int channel) const { return Valid(channel) ? channels_[channel].size() : 0; }

void DriverSampleWindows::Clear(int channel) {
    if (Valid(channel)) channels_[channel].clear();
}
