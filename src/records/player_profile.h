#pragma once
// PlayerProfile: a driver's profile (players\<folder>\player.ini and the
// season mods' profiles beside it) read as the simulator writes it. The
// simulator puts blanks inside section brackets ("[ monza ]"), which the
// ini rules would not find; "[ " and " ]" are closed up in memory before the
// text is parsed, so the user's file is never copied or touched.
//
// Also the list of drivers: one entry per folder under players whose
// player.ini can be read, in name order, with the names of its "Personal
// Information" section.

#include <filesystem>
#include <string>
#include <vector>

#include "settings/ini_file.h"

class PlayerProfile {
public:
    struct Driver {
        std::filesystem::path profile;  // the player.ini
        std::string first_name;         // cleaned as the driver lists show them
        std::string last_name;
        // "N. First Last", N counting from 1.
        std::string entry;
    };

    // Reads and repairs the profile. False when it cannot be read; the
    // profile is then empty.
    bool Load(const std::filesystem::path& profile);
    const IniFile& ini() const { return ini_; }

    // The drivers under the simulator folder (a stored path); empty when the
    // players folder is missing.
    static std::vector<Driver> ListDrivers(const std::string& simulator_folder);
    // A name as the lists show it: empty when it starts with ";", cut before
    // a ";" from the third character on, trailing blanks removed.
    static std::string CleanName(std::string name);

private:
    IniFile ini_;
};
