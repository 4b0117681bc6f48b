#pragma once
// A Wine prefix for the tests: Wine's machine registry file system.reg laid
// out as Wine writes it (a "WINE REGISTRY Version 2" header, key names
// relative to the machine hive with '\' escaped and a time stamp after the
// bracket, #time lines, values with C-style escapes and \x for characters
// beyond ASCII), and the drive links of dosdevices.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fixture {

struct WineValue {
    std::string name;
    std::string form;  // what follows '=': "dword:00000001", "hex:01,02", ... (ParseWineString for text)
};

struct WineKey {
    std::string path;  // relative to the machine hive, '\' between components
    std::vector<WineValue> values;
};

// A quoted string in Wine's escaping; text is Windows-1252 bytes, written
// as their UTF-16 code units.
std::string WineString(const std::string& text);

// The file's text (LF line ends, as Wine writes it).
std::string WineSystemReg(const std::vector<WineKey>& keys);

// Writes prefix/system.reg and one link per drive in prefix/dosdevices
// ("c:" to "../drive_c" and the like; the targets are made when they lie in
// the prefix and make_targets is set).
void WriteWinePrefix(const std::filesystem::path& prefix, const std::string& system_reg,
                     const std::vector<std::pair<std::string, std::string>>& drive_links, bool make_targets = true);

}  // namespace fixture
