#include "replay/name_tables.h"

#include <array>
#include <span>

namespace name_tables {

namespace {

// One row of a season's car table; the engine name is looked up by the
// engine index, the rest by the car index.
struct Car {
    const char* name;
    const char* short_name;   // 9 characters
    const char* model_year;   // 19 characters
    const char* engine_name;  // 11 characters
};

constexpr std::array<Car, 7> k1967{{
    {"Brabham", "Brabham  ", "Brabham BT24   1967", "Repco      "},
    {"BRM", "BRM      ", "BRM P83        1967", "BRM        "},
    {"Cooper", "Cooper   ", "Cooper T81     1967", "Maserati   "},
    {"Eagle", "Eagle    ", "Eagle AAR104   1967", "Weslake    "},
    {"Ferrari", "Ferrari  ", "Ferrari 312    1967", "Ferrari    "},
    {"Lotus", "Lotus    ", "Lotus 49       1967", "Ford       "},
    {"Honda", "Honda    ", "Honda RA273    1967", "Honda      "},
}};

constexpr std::array<Car, 7> k1969{{
    {"Brabham", "Brabham  ", "Brabham BT26   1969", "Ford DFV   "},
    {"BRM", "BRM      ", "BRM P126/139   1969", "BRM V12    "},
    {"Lotus63", "Lotus63  ", "Lotus 63       1969", "Ford DFV   "},
    {"McLaren", "McLaren  ", "Mclaren M7     1969", "Ford DFV   "},
    {"Ferrari", "Ferrari  ", "Ferrari 312    1969", "Ferrari V12"},
    {"Lotus49b", "Lotus49b ", "Lotus 49b      1969", "Ford DFV   "},
    {"Matra", "Matra    ", "Matra MS80     1969", "Ford DFV   "},
}};

// Rows 16 to 19 are placeholders the 1966 mod keeps for cars to come.
constexpr std::array<Car, 20> k1966{{
    {"Brabham BT19", "BrabBT19 ", "Brabham BT19   1966", "RepcoV8 3.0"},
    {"BrabhamBT115", "BraBT115 ", "BrabhamBT115   1966", "ClimaxS42.5"},
    {"BrabhamBT116", "BraBT117 ", "BrabhamBT116   1966", "ClimaxS42.7"},
    {"BrabhamBT11B", "BraBT11B ", "BrabhamBT11B   1966", "BRM V8 1.9 "},
    {"BRM P83", "BRM P83  ", "BRM P83        1966", "BRM H16 3.0"},
    {"BRM P261", "BRM P261 ", "BRM P261       1966", "BRM V8 2.1 "},
    {"Cooper T81", "Cooper   ", "Cooper T81     1966", "MaseratiV12"},
    {"EagleAAR T1G", "EagleT1G ", "EagleAAR T1G   1966", "WestlakeV12"},
    {"EagleAAR T1F", "EagleT1F ", "EagleAAR T1F   1966", "ClimaxS42.7"},
    {"Ferrari 312", "Ferr 312 ", "Ferrari 312    1966", "Ferrari V12"},
    {"Ferrari 246", "Ferr 246 ", "Ferrari 246    1966", "Ferrari V6 "},
    {"Honda RA273", "Honda    ", "Honda RA273    1966", "Honda V12  "},
    {"Lotus 43", "Lotus 43 ", "Lotus 43       1966", "BRM H16 3.0"},
    {"Lotus33 Cli", "Lot33Cli ", "Lotus33 Cli    1966", "ClimaxV82.0"},
    {"Lotus33 BRM", "Lot33BRM ", "Lotus33 BRM    1966", "BRM V8 1.9 "},
    {"McLaren M2B", "McLaren  ", "McLaren M2B    1966", "Ford V8 3.0"},
    {"unused atm", "unused   ", "unused atm     1966", "unused     "},
    {"unused atm", "unused   ", "unused atm     1966", "unused     "},
    {"unused atm", "unused   ", "unused atm     1966", "unused     "},
    {"unused atm", "unused   ", "unused atm     1966", "unused     "},
}};

constexpr std::array<Car, 7> k1965{{
    {"BrabhamBT11", "BrabBT11 ", "Brabham BT11   1965", "Climax 32v "},
    {"BRM", "BRM      ", "BRM P261       1965", "BRM V8     "},
    {"Cooper", "Cooper   ", "Cooper T77     1965", "Climax 16v "},
    {"BrabhamBT7", "Brab BT7 ", "BT7 Brabham    1965", "Climax 16v "},
    {"Ferrari", "Ferrari  ", "Ferrari 512    1965", "Ferrari V12"},
    {"Lotus", "Lotus    ", "Lotus 33       1965", "Climax 32v "},
    {"Honda", "Honda    ", "Honda RA272    1965", "Honda V12  "},
}};

constexpr std::array<Car, 7> k1955{{
    {"Vanwall", "Vanwall  ", "Vanwall        1955", "Vanwall    "},
    {"Gordini", "Gordini  ", "Gordini T16    1955", "Gordini    "},
    {"Connaught", "Conaught ", "Connaught T. B 1955", "Connaught  "},
    {"Maserati", "Maserati ", "Maserati 250F  1955", "Maserati   "},
    {"Ferrari", "Ferrari  ", "Ferrari 555    1955", "Ferrari    "},
    {"Lancia", "Lancia   ", "Lancia D50     1955", "Lancia     "},
    {"Mercedes", "Mercedes ", "Mercedes W196  1955", "Mercedes   "},
}};

// Season code 1999: the ThunderCars mod, which has no model years.
constexpr std::array<Car, 7> k1999{{
    {"Lubetech", "Lubetech ", "Lubetech       NA  ", "V8 GMC hemi"},
    {"Racing Bull", "RaciBull ", "Racing Bull    NA  ", "V8 GMC hemi"},
    {"Ultragrip", "Ultrgrip ", "Ultragrip      NA  ", "V8 GMC hemi"},
    {"King Wing", "KingWing ", "King Wing      NA  ", "V8 GMC hemi"},
    {"Megaspark", "Megasprk ", "Megaspark      NA  ", "V8 GMC hemi"},
    {"Oil Star", "Oil Star ", "Oil Star       NA  ", "V8 GMC hemi"},
    {"Magalloys", "Magalloy ", "Magalloys      NA  ", "V8 GMC hemi"},
}};

// Season code 66: the Cortina mod.
constexpr std::array<Car, 7> kCortina{{
    {"PD Lotus", "PD Lotus ", "Prod Lotus     1966", "Lotus 105E "},
    {"PD GT500", "PD GT500 ", "Prod GT500     1966", "Ford 105E  "},
    {"PD GT", "PD GT    ", "Prod GT        1966", "Ford 105E  "},
    {"G2 Lotus", "G2 Lotus ", "GR2 Team Lotus 1966", "Coswo. 105E"},
    {"G2 Privateer", "G2 Priva ", "GR2 Lotus Priv 1966", "BRM 105E II"},
    {"G5 Lotus", "G5 Lotus ", "GR5 Team Lotus 1966", "BRM 105E   "},
    {"G5 Privateer", "G5 Priva ", "GR5 Ford Priv  1966", "Ford 105E i"},
}};

// Tags of the simulator's car files. Season 1966 has its own list (none for
// its unused rows 16 to 19); every other season uses the base season's seven.
constexpr std::array<const char*, 16> kTags1966{
    "BT19wks", "BT11wks", "BT11dwr", "BT11brm", "BRMP83", "BRMP261", "CoopT81", "EagT1G",
    "EagT1F",  "Fer312",  "Fer246",  "RA273",   "L43H16", "L33V8",   "L33BRM",  "MclM2b",
};
constexpr std::array<const char*, 7> kTags{"bra", "brm", "cov", "eag", "fer", "lot", "mur"};

struct Mod {
    int code;
    const char* display_name;
    const char* year_text;
    const char* folder_name;
    const char* profile_file;
};

constexpr std::array<Mod, kModCount> kMods{{
    {1967, "1967 (original)", "1967", "qel67", "\\player.ini"},
    {1969, "1969 (mod)", "1969", "qel69", "\\plac69.ini"},
    {1966, "1966 (mod)", "1966", "qel66", "\\plac66.ini"},
    {1965, "1965 (mod)", "1965", "qel65", "\\plac65.ini"},
    {1955, "1955 (mod)", "1955", "qel55", "\\plac55.ini"},
    {1999, "ThunderCars (mod)", "TC", "qeltc", "\\placTC.ini"},
    {66, "Cortina/1966 (mod)", "Cortina", "qelcm", "\\placCM.ini"},
}};

constexpr int kBaseSeasonAlias = 255;

// Replays of the base season may carry 255 instead of 1967.
int CarTableCode(int season_code) { return season_code == kBaseSeasonAlias ? 1967 : season_code; }

std::span<const Car> CarsOf(int season_code) {
    switch (CarTableCode(season_code)) {
        case 1967: return k1967;
        case 1969: return k1969;
        case 1966: return k1966;
        case 1965: return k1965;
        case 1955: return k1955;
        case 1999: return k1999;
        case 66: return kCortina;
        default: return {};
    }
}

// The row of the season's table; null for an unknown code and for an index
// outside the table.
const Car* CarAt(int season_code, int index) {
    const auto cars = CarsOf(season_code);
    if (index < 0 || static_cast<size_t>(index) >= cars.size()) return nullptr;
    return &cars[static_cast<size_t>(index)];
}

const Mod* ModOf(int season_code) {
    for (const Mod& mod : kMods)
        if (mod.code == season_code) return &mod;
    return nullptr;
}

}  // namespace

std::string GetCarName(int season_code, int car_index) {
    const Car* car = CarAt(season_code, car_index);
    return car ? car->name : "Unknown";
}

bool HasCar(int season_code, int car_index) { return CarAt(season_code, car_index) != nullptr; }

std::string GetCarShortName(int season_code, int car_index) {
    const Car* car = CarAt(season_code, car_index);
    return car ? car->short_name : "Unknown";
}

std::string GetCarTag(int season_code, int car_index) {
    const std::span<const char* const> tags =
        season_code == 1966 ? std::span<const char* const>(kTags1966) : std::span<const char* const>(kTags);
    if (car_index < 0 || static_cast<size_t>(car_index) >= tags.size()) return {};
    return tags[static_cast<size_t>(car_index)];
}

std::string GetCarModelYear(int season_code, int car_index) {
    const Car* car = CarAt(season_code, car_index);
    return car ? car->model_year : "Unknown Car/Year   ";
}

std::string GetEngineName(int season_code, int engine_index) {
    const Car* car = CarAt(season_code, engine_index);
    return car ? car->engine_name : "Unknown    ";
}

int GetModCode(int mod_index) {
    if (mod_index < 0 || mod_index >= kModCount) return -1;
    return kMods[static_cast<size_t>(mod_index)].code;
}

int GetModCarCount(int season_code) { return season_code == 1966 ? 16 : 7; }

int GetModName(int mod_index, std::string& display_name) {
    if (mod_index < 0 || mod_index >= kModCount) {
        display_name = "error";
        return -1;
    }
    display_name = kMods[static_cast<size_t>(mod_index)].display_name;
    return kMods[static_cast<size_t>(mod_index)].code;
}

int GetModPlayerIni(int season_code, std::string& profile_file) {
    if (const Mod* mod = ModOf(season_code)) profile_file = mod->profile_file;
    return season_code;
}

std::string GetModYearText(int season_code) {
    const Mod* mod = ModOf(CarTableCode(season_code));
    return mod ? mod->year_text : "???";
}

std::string GetModFolderName(int season_code) {
    const Mod* mod = ModOf(season_code);
    return mod ? mod->folder_name : "?????";
}

}  // namespace name_tables
