#pragma once
// What the tests of the document's windows start from: the sample
// simulator folder in a scratch configuration folder, settings pointing at
// it, a recording seam and a document with no lap loaded. Derive a test
// fixture from it; its members are the test's.

#include <QColor>
#include <QImage>
#include <QRect>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/rpy_graph_doc.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/recording_interaction.h"

namespace fixture {

class SampleDocument {
public:
    SampleDocument();
    virtual ~SampleDocument();

    // The sample replay of three cars driven with full telemetry.
    std::string DrivenReplay() const { return replays.at(2).string(); }

    ScopedConfigDir config;
    std::filesystem::path sim;
    std::vector<std::filesystem::path> replays;
    Settings settings;
    RecordingInteraction ui;
    std::unique_ptr<CRpyGraphDoc> doc;
};

// Pixels of exactly this colour in the image (or in an area of it).
int PixelsOf(const QImage& image, QColor colour, QRect area = {});

}  // namespace fixture
