#pragma once
// Per driver slot, the latest samples of one figure, up to a fixed number:
// a sliding window whose oldest sample drops out when a new one arrives.

#include <array>
#include <cstddef>
#include <deque>

class DriverSampleWindows {
public:
    static constexpr int kChannels = 20;

    explicit DriverSampleWindows(size_t max_length) : max_length_(max_length) {}

    // Appends at the back; drops the oldest sample first when the channel
    // already holds the maximum. Channels outside 0 to 19 are ignored.
    void Push(int channel, int value);
    // Sample number index of the channel, 0 = oldest; 0 outside the samples.
    int At(int channel, size_t index) const;
    size_t Size(int channel) const;
    void Clear(int channel);

private:
    static bool Valid(int channel) { return channel >= 0 && channel < kChannels; }

    size_t max_length_;
    std::array<std::deque<int>, kChannels> channels_;
};
