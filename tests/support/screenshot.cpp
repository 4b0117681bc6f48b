#include "support/screenshot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <cstdlib>
#include <set>

namespace fixture {

int DistinctColours(const QImage& image, int limit) {
    std::set<QRgb> seen;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); y += 2) {
        for (int x = 0; x < rgb.width(); x += 2) {
            seen.insert(rgb.pixel(x, y));
            if (static_cast<int>(seen.size()) >= limit) return limit;
        }
    }
    return static_cast<int>(seen.size());
}

void CheckScreenshot(const QImage& image, const std::string& name) {
    ASSERT_FALSE(image.isNull()) << name;
    EXPECT_GE(DistinctColours(image), 8) << name << " looks blank";
    if (const char* dir = std::getenv("OSTREVAN_SCREENSHOT_DIR")) {
        QDir().mkpath(dir);
        const QString path = QString::fromLocal8Bit(dir) + "/" + QString::fromStdString(name) + ".png";
        EXPECT_TRUE(image.save(path)) << path.toStdString();
    }
}

}  // namespace fixture
