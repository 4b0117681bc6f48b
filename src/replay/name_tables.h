#pragma once
// Names of the simulator's cars, engines, seasons and season mods. A
// replay's driver record names a car only by a season code, a car index and
// an engine index; these tables turn the codes into the texts that dialogs,
// lap names, file names, reports and the records show or use.
//
// Season codes: 1967 (the base season), 1969, 1966, 1965, 1955, 1999 (the
// ThunderCars mod) and 66 (the Cortina mod). Replays mark the base season
// 255 as well: the car, short-name, model, engine and year-text tables read
// 255 as 1967, the folder-name and profile-file tables do not.
//
// Codes outside the tables, and indexes beyond a season's rows, give the
// "Unknown" texts below; a tag beyond the tag list is empty. Every result is
// a copy; nothing here reads past a table.

#include <string>

namespace name_tables {

inline constexpr int kModCount = 7;  // mod list indexes 0 to 6

// Car make name; "Unknown".
std::string GetCarName(int season_code, int car_index);
// Whether the season's car tables hold a row at car_index.
bool HasCar(int season_code, int car_index);
// Short name, 9 characters padded with blanks; "Unknown" (7 characters).
std::string GetCarShortName(int season_code, int car_index);
// Tag of the simulator's car files, which prefixes the best-lap keys of a
// driver profile. Season 1966 has its own list (16 tags); every other code
// uses the seven tags of the base season.
std::string GetCarTag(int season_code, int car_index);
// Model left-aligned in 15 characters, then the year or "NA" in 4:
// 19 characters; "Unknown Car/Year   ".
std::string GetCarModelYear(int season_code, int car_index);
// Engine name, 11 characters padded with blanks; "Unknown    ".
std::string GetEngineName(int season_code, int engine_index);

// Season code of a mod list index; -1 outside 0 to 6.
int GetModCode(int mod_index);
// Number of cars of the season: 16 for 1966, else 7.
int GetModCarCount(int season_code);
// Sets display_name to the mod's display name ("1967 (original)" ...;
// "error" outside 0 to 6) and returns its season code (-1 outside).
int GetModName(int mod_index, std::string& display_name);
// Sets profile_file to the name of the season's driver profile file with
// its leading backslash ("\player.ini" ...); leaves it unchanged for a code
// not in the table, 255 included. Returns season_code.
int GetModPlayerIni(int season_code, std::string& profile_file);
// "1967" (also for 255), "1969", "1966", "1965", "1955", "TC", "Cortina";
// "???".
std::string GetModYearText(int season_code);
// The simulator's folder name of the season ("qel67" ...); "?????", also
// for 255.
std::string GetModFolderName(int season_code);

}  // namespace name_tables
