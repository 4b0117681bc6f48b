#pragma once
// Replay CD catalogue records of a driver table, laid out from the record
// table of each catalogue version (1 to 4): version 1 has no driver code
// byte, versions 1 and 2 no season code and car index. Lap pairs follow only
// for a session whose present flag is 1.

#include <cstdint>
#include <string>
#include <vector>

class Drivers;
class Header;

namespace fixture {

// Pairs of a lap count the table cannot hold (above 149) are cut, so a
// reader must refuse the count before it reads them.
std::string DriversCatalogueRecord(const Drivers& d, int version);

// The header's catalogue record: version, next chunk offset and recording
// length (u32 each), the AI car count (u16), the player's first and last
// name, the track folder and the car set (texts with NUL), then from
// catalogue version 2 on the session count, race laps, game mode and damage
// level (u32 each).
std::string HeaderCatalogueRecord(const Header& h, int version);

// One replay of a catalogue file: its path below the medium's root and its
// two records as they are to stand in the file.
struct CatalogueRecordSpec {
    std::string medium_path;
    std::string header_record;
    std::string drivers_record;
};

// A whole catalogue file (*.rdb): "ZAVROCDDB" and NUL, the version byte,
// the label and NUL, the signed 32-bit replay count, then the records.
std::string CatalogueFile(int version, const std::string& label, int32_t count,
                          const std::vector<CatalogueRecordSpec>& records);

}  // namespace fixture
