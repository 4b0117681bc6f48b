#include "app/lock_indicators.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LockIndicators, EachPaneShowsItsCaptionOnlyWhileItsLightIsOn) {
    // Lights placed as an unusual keymap might: Num Lock first, Caps Lock
    // at bit 4, Scroll Lock last; a bit no mask can hold is ignored.
    LockIndicators lights;
    lights.SetBit(LockIndicators::kNum, 0);
    lights.SetBit(LockIndicators::kCaps, 4);
    lights.SetBit(LockIndicators::kScroll, 31);
    lights.SetBit(LockIndicators::kScroll, 32);
    struct Case {
        uint32_t state;
        std::string caps, num, scroll;
    };
    const Case cases[] = {
        {0x00, "", "", ""},
        {0x01, "", "NUM", ""},
        {0x10, "CAP", "", ""},
        {0x11, "CAP", "NUM", ""},
        {0x06, "", "", ""},  // lights no pane is named for
        {0x80000000, "", "", "SCRL"},
        {0xFFFFFFFF, "CAP", "NUM", "SCRL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        EXPECT_EQ(lights.PaneText(LockIndicators::kCaps, c.state), c.caps);
        EXPECT_EQ(lights.PaneText(LockIndicators::kNum, c.state), c.num);
        EXPECT_EQ(lights.PaneText(LockIndicators::kScroll, c.state), c.scroll);
    }
}

}  // namespace
