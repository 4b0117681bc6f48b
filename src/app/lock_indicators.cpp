#include "app/lock_indicators.h"

const char* LockIndicators::Caption(Pane pane) {
    switch (pane) {
    case kCaps: return "CAP";
    case kNum: return "NUM";
    case kScroll: return "SCRL";
    case kPaneCount: break;
    }
    return "";
}

const char* LockIndicators::IndicatorName(Pane pane) {
    switch (pane) {
    case kCaps: return "Caps Lock";
    case kNum: return "Num Lock";
    case kScroll: return "Scroll Lock";
    case kPaneCount: break;
    }
    return "";
}

void LockIndicators::SetBit(Pane pane, int bit) {
    if (pane < 0 || pane >= kPaneCount || bit < 0 || bit > 31) return;
    masks_[pane] = uint32_t{1} << bit;
}

std::string LockIndicators::PaneText(Pane pane, uint32_t state) const {
    if (pane < 0 || pane >= kPaneCount || (state & masks_[pane]) == 0) return {};
    return Caption(pane);
}
