#pragma once
// What the speed-along-track window shows, without the window: which
// loaded lap is the first and which the second, the entries of the two
// lap lists, the scale, and after each change the coloured pieces of the
// track with the legend's texts.
//
// A lap chosen in one list is not offered in the other. Nothing is drawn
// until both laps are chosen.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "tools/tool_lap.h"

class CRpyGraphDoc;
class SpdTrkVisitor;
class Track;

class SpeedTrackState {
public:
    enum Role { kNone = 0, kFirst = 1, kSecond = 2 };
    struct Entry {
        std::string label;  // "J Clark 1m23.456s"
        int slot = 0;
    };

    // Reads the loaded laps, the track and the unit from the document,
    // which must outlive the state.
    explicit SpeedTrackState(const CRpyGraphDoc& doc);
    ~SpeedTrackState();

    // The entries of the first (kFirst) or second (kSecond) list, and the
    // index of the chosen one (-1 for none).
    std::vector<Entry> Entries(Role list) const;
    int SelectedIndex(Role list) const;

    // Gives the slot the role (the slot that had it loses it) and
    // recomputes. A slot that is not loaded changes nothing. A lap too
    // short to compare is refused: the message is returned, nothing else
    // changes. Empty text otherwise.
    std::string Choose(Role list, int slot);
    void SetAutomatic();
    void SetManual(int range);
    bool IsManual() const { return manual_; }
    int ManualRange() const { return manual_range_; }

    // "Kph:" or "Mph:".
    const char* UnitText() const { return mph_ ? "Mph:" : "Kph:"; }
    // The pieces of the last computation, or null before both laps are
    // chosen.
    const SpdTrkVisitor* Visitor() const { return visitor_.get(); }
    const std::vector<double>& Differences() const { return differences_; }
    // -M, -M/2, "0", M/2, M; "0" at the ends before the first computation.
    const std::array<std::string, 5>& Legend() const { return legend_; }

private:
    const ToolLap* LapOfSlot(int slot) const;
    void Recompute();

    const CRpyGraphDoc& doc_;
    std::vector<ToolLap> laps_;
    std::array<int, 5> roles_{};
    bool mph_ = false;
    double piece_length_ = 0.0;
    bool manual_ = false;
    int manual_range_ = 0;
    std::vector<double> differences_;
    std::unique_ptr<SpdTrkVisitor> visitor_;
    std::array<std::string, 5> legend_ = {"0", "", "0", "", "0"};
};
