#pragma once
// Media for tests: the list is whatever the test puts in `media`.

#include <vector>

#include "records/media_drives.h"

namespace fixture {

class FakeMediaDrives : public MediaDrives {
public:
    std::vector<Medium> List() const override { return media; }

    // A mounted medium of the given kind.
    void Add(const std::string& root, Kind kind, const std::string& volume_name, const std::string& file_system) {
        media.push_back({root, "/dev/fake" + std::to_string(media.size()), kind, true, volume_name, file_system});
    }
    // A removable or optical drive with nothing in it.
    void AddEmpty(const std::string& device, Kind kind) { media.push_back({device, device, kind, false, {}, {}}); }

    std::vector<Medium> media;
};

}  // namespace fixture
