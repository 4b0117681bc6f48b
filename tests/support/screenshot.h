#pragma once
// The screenshot check every window goes through: the picture must show
// something (more than a handful of colours, not one flat fill), and when
// OSTREVAN_SCREENSHOT_DIR is set it is written there as <name>.png.

#include <QImage>
#include <string>

namespace fixture {

// The number of distinct colours, counted up to `limit`.
int DistinctColours(const QImage& image, int limit = 64);
// Fails the current test when the picture is blank; writes it when asked.
void CheckScreenshot(const QImage& image, const std::string& name);

}  // namespace fixture
