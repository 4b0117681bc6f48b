#pragma once
// Replay CD catalogue records of a driver table, laid out from the record
// table of each catalogue version (1 to 4): version 1 has no driver code
// byte, versions 1 and 2 no season code and car index. Lap pairs follow only
// for a session whose present flag is 1.

#include <string>

class Drivers;

namespace fixture {

// Pairs of a lap count the table cannot hold (above 149) are cut, so a
// reader must refuse the count before it reads them.
std::string DriversCatalogueRecord(const Drivers& d, int version);

}  // namespace fixture
