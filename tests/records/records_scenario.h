#pragma once
// A small simulator folder for the records tests: a season of three events
// (monaco, spa, monza), track.ini files, driver profiles and replays of the
// driver Jim Clark on season and other tracks, laid out by the fixture
// writers. Each test changes what it needs before the run.

#include <filesystem>
#include <string>
#include <vector>

#include "support/session_fixture.h"

namespace records_scenario {

// Car tags of the 1967 season's profile keys, by column.
inline const char* const kTags[] = {"bra", "brm", "cov", "eag", "fer", "lot", "mur"};

void WriteText(const std::filesystem::path& path, const std::string& text);
// [Track] with track_name_short and track_name.
std::string TrackIni(const std::string& short_name, const std::string& long_name);
// A profile: [Personal Information] with the names, then `rest` as is.
std::string Profile(const std::string& first, const std::string& last, const std::string& rest = {});
// A driver with one practice and one race entry of the given laps.
fixture::DriverLaps Laps(const std::string& first, const std::string& last, uint32_t slot, uint8_t car,
                         std::vector<uint32_t> practice, std::vector<uint32_t> race);
void WriteReplay(const std::filesystem::path& path, const std::vector<fixture::DriverLaps>& drivers,
                 const std::string& track, bool practice = true, bool race = true);

// Writes the folder: qel.exe; seasons\67season.ini with monaco, spa,
// monza; track.ini of monaco ("Monaco", "Grand Prix de Monaco") and spa
// ("Spa", "Spa-Francorchamps") and monza ("Monza", "Autodromo Nazionale");
// players\Jim_Clark\player.ini (section "[ monaco ]" holding times) and
// players\Graham_Hill\player.ini; replays of monaco, spa, imola and
// nurburgring with Jim Clark in them.
void Write(const std::filesystem::path& folder);

}  // namespace records_scenario
