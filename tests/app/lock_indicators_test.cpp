#include "app/lock_indicators.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LockIndicators, EachPaneShowsItsCaptionOnlyWhileItsNamedLightIsOn) {
    // Lights placed as an unusual keymap might: Num Lock first, Caps Lock
    // at bit 4, Scroll Lock never named.
    LockIndicators lights;
    lights.SetBit(LockIndicators::kNum, 0);
    lights.SetBit(LockIndicators::kCaps, 4);
    struct Case {
        uint32_t state;
        std::string caps, num, scroll;
    };
    const Case cases[] = {
        {0x00, "", "", ""},
        {0x01, "", "NUM", ""},
        {0x10, "CAP", "", ""},
        {0x11, "CAP", "NUM", ""},
        {0x06, "", "", ""},          // lights no pane is named for
        {0xFFFFFFFF, "CAP", "NUM", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        EXPECT_EQ(lights.PaneText(LockIndicators::kCaps, c.state), c.caps);
        EXPECT_EQ(lights.PaneText(LockIndicators::kNum, c.state), c.num);
        EXPECT_EQ(lights.PaneText(LockIndicators::kScroll, c.state), c.scroll);
    }
}

TEST(LockIndicators, PanesAreFoundByTheKeyboardsNamesAndOutOfRangeBitsAreIgnored) {
    EXPECT_STREQ(LockIndicators::IndicatorName(LockIndicators::kCaps), "Caps Lock");
    EXPECT_STREQ(LockIndicators::IndicatorName(LockIndicators::kNum), "Num Lock");
    EXPECT_STREQ(LockIndicators::IndicatorName(LockIndicators::kScroll), "Scroll Lock");
    EXPECT_STREQ(LockIndicators::Caption(LockIndicators::kScroll), "SCRL");
    LockIndicators lights;
    lights.SetBit(LockIndicators::kScroll, 31);
    lights.SetBit(LockIndicators::kCaps, 32);
    lights.SetBit(LockIndicators::kNum, -1);
    EXPECT_EQ(lights.PaneText(LockIndicators::kScroll, 0x80000000u), "SCRL");
    EXPECT_EQ(lights.PaneText(LockIndicators::kCaps, 0xFFFFFFFFu), "");
    EXPECT_EQ(lights.PaneText(LockIndicators::kNum, 0xFFFFFFFFu), "");
}

}  // namespace
