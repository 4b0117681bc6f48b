#include "records_scenario.h"

#include <fstream>
#include <stdexcept>

#include "support/ini_fixture.h"

namespace records_scenario {

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string TrackIni(const std::string& short_name, const std::string& long_name) {
    return fixture::IniText()
        .Section("Track")
        .Key("track_name_short", short_name, " = ")
        .Key("track_name", long_name, " = ")
        .Key("length", "3145")
        .Build();
}

std::string Profile(const std::string& first, const std::string& last, const std::string& rest) {
    return fixture::IniText()
               .Section("Personal Information")
               .Key("firstName", first)
               .Key("lastName", last)
               .Build() +
           rest;
}

fixture::DriverLaps Laps(const std::string& first, const std::string& last, uint32_t slot, uint8_t car,
                         std::vector<uint32_t> practice, std::vector<uint32_t> race) {
    fixture::DriverLaps d{fixture::NamedDriver(first, last, slot, car)};
    if (!practice.empty()) {
        d.practice_start = 3000;
        d.practice_laps = std::move(practice);
    }
    if (!race.empty()) {
        d.race_start = 2000;
        d.race_laps = std::move(race);
    }
    return d;
}

void WriteReplay(const fs::path& path, const std::vector<fixture::DriverLaps>& drivers, const std::string& track,
                 bool practice, bool race) {
    WriteText(path, fixture::BuildReplay(fixture::SessionReplay(drivers, practice, race, track)));
}

void Write(const fs::path& folder) {
    WriteText(folder / "qel.exe", "MZ");
    fixture::SeasonSpec season;
    fixture::SeasonEventSpec monaco, spa, monza;
    monaco.track_directory = "monaco";
    spa.track_directory = "spa";
    monza.track_directory = "monza";
    season.events = {monaco, spa, monza};
    fixture::WriteSeasonFile(folder, season);
    WriteText(folder / "tracks" / "monaco" / "track.ini", TrackIni("Monaco", "Grand Prix de Monaco"));
    WriteText(folder / "tracks" / "spa" / "track.ini", TrackIni("Spa", "Spa-Francorchamps"));
    WriteText(folder / "tracks" / "monza" / "track.ini", TrackIni("Monza", "Autodromo Nazionale"));
    // Blanks inside the brackets, as the simulator writes its profiles.
    WriteText(folder / "players" / "Jim_Clark" / "player.ini",
              Profile("Jim", "Clark ;the champion",
                      fixture::IniText()
                          .Section(" monaco ")
                          .Key("braT", "3 83.1234")
                          .Key("braP", "4 83.1235")
                          .Key("lotR", "1 83.5")
                          .Key("ferR", "1 81.25")  // seven characters, a real time
                          .Build()));
    WriteText(folder / "players" / "Graham_Hill" / "player.ini", Profile("Graham", "Hill"));
    // Column 5 alone at monaco: training, 82.000 s.
    WriteReplay(folder / "replay" / "a_monaco.rpy", {Laps("Jim", "Clark", 0, 5, {84000, 82000}, {})}, "monaco",
                true, false);
    // Spa with two drivers: practice. Lap 2 is flagged invalid, lap 3 has
    // no time (low part 0xFFFFFF); neither is a best.
    auto spa_clark = Laps("Jim", "Clark", 0, 1, {125000, 110000, 0xFFFFFF}, {130000, 128000});
    spa_clark.practice_flags = {0, 0x10000000, 0};
    WriteReplay(folder / "replay" / "b_spa.rpy", {spa_clark, Laps("Graham", "Hill", 1, 2, {121000}, {127000})},
                "spa");
    WriteReplay(folder / "replay" / "c_imola.rpy", {Laps("Jim", "Clark", 0, 3, {95000}, {96000})}, "imola");
    WriteReplay(folder / "replay" / "d_nurburgring.rpy", {Laps("Jim", "Clark", 0, 3, {500000}, {510000})},
                "nurburgring");
}

}  // namespace records_scenario
