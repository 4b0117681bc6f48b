#pragma once
// The status bar's lock-key panes: which bit of the keyboard's indicator
// mask is the Caps, Num and Scroll Lock light (keymaps place them where
// they like, so they are found by name), and what each pane shows for a
// mask.

#include <array>
#include <cstdint>
#include <string>

class LockIndicators {
public:
    enum Pane { kCaps, kNum, kScroll, kPaneCount };

    // The pane's text while its light is on: "CAP", "NUM", "SCRL".
    static const char* Caption(Pane pane);
    // The name the keyboard gives the pane's light: "Caps Lock", "Num
    // Lock", "Scroll Lock".
    static const char* IndicatorName(Pane pane);

    // The light of `pane` is bit `bit` (0 to 31) of the mask; other bits
    // are ignored, and a pane never named stays empty.
    void SetBit(Pane pane, int bit);
    // The pane's caption when its light is on in `state`, else empty.
    std::string PaneText(Pane pane, uint32_t state) const;

private:
    std::array<uint32_t, kPaneCount> masks_{};
};
