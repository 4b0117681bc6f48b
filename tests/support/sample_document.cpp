#include "support/sample_document.h"

#include "support/sample_simulator.h"

namespace fixture {

SampleDocument::SampleDocument() {
    sim = config.scratch() / "QEL";
    replays = WriteSampleSimulator(sim);
    settings.SetQELDirectory(sim.string());
    doc = std::make_unique<CRpyGraphDoc>(settings, ui);
}

SampleDocument::~SampleDocument() = default;

int PixelsOf(const QImage& image, QColor colour, QRect area) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (area.isNull()) area = rgb.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += rgb.pixelColor(x, y) == colour;
    return n;
}

}  // namespace fixture
