#include "support/sample_simulator.h"

#include <fstream>
#include <stdexcept>

#include "support/ini_fixture.h"
#include "support/race_generator.h"
#include "support/replay_fixture.h"
#include "support/session_fixture.h"
#include "support/track_fixture.h"
#include "track/track.h"

namespace fixture {

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kInvalid = 0x10000000;
constexpr uint32_t kOff = 0x40000000;

// Race frames, one block per tick, a marker opening every block, with the
// given status records at their clock times.
std::vector<FrameBlock> RaceFrames(uint32_t end_ms, const std::vector<std::pair<uint32_t, Record>>& events) {
    std::vector<FrameBlock> frames = SessionFrames(0, 10, 40, 1, 16);
    const uint32_t ticks = end_ms * 36 / 1000 + 1;
    auto race = SessionFrames(2, 0, ticks, 41, 16);
    for (const auto& [clock, record] : events) {
        const size_t tick = static_cast<size_t>(clock) * 36 / 1000;
        if (tick < race.size()) race[tick].records.push_back(record);
    }
    frames.insert(frames.end(), race.begin(), race.end());
    return frames;
}

ReplaySpec MonzaGrandPrix() {
    struct Entry {
        const char* first;
        const char* last;
        uint8_t car, country;
        bool ai;
        std::vector<uint32_t> practice, race;
    };
    const Entry field[] = {
        {"Jim", "Clark", 5, 13, false, {95200, 93100, 92800}, {98000, 93500, 93200, 93900, 93000, 93400}},
        {"Graham", "Hill", 1, 13, false, {95900, 93400}, {97500, 93900, 93600, 93800, 93700, 93900}},
        {"Jack", "Brabham", 0, 2, true, {94100, 93600}, {99000, 94200, 94100}},
        {"Denny", "Hulme", 0, 21, true, {96100, 94000}, {99500, 94500, 94300, 94900, 94400}},
        {"John", "Surtees", 4, 13, false, {94900, 93900}, {98800, 94000, 93900, 94100, 94000, 94200}},
        {"Dan", "Gurney", 3, 27, false, {95500, 94400}, {100200, 95100, 94800, 95000, 94700, 95300}},
    };
    std::vector<DriverLaps> drivers;
    uint32_t slot = 0;
    for (const auto& e : field) {
        DriverLaps d{NamedDriver(e.first, e.last, slot, e.car)};
        d.driver.country = e.country;
        d.driver.ai = e.ai;
        d.driver.value128 = slot + 1;
        d.practice_start = 2000 + 100 * slot;
        d.practice_laps = e.practice;
        d.race_start = 2500 + 100 * slot;
        d.race_laps = e.race;
        drivers.push_back(d);
        ++slot;
    }
    drivers[0].practice_flags = {0, kInvalid, 0};
    drivers[0].race_flags = {0, 0, 0, kOff, 0, 0};
    drivers[3].race_flags = {0, 0, kOff, 0, 0};
    ReplaySpec s = SessionReplay(drivers, true, true, "monza");
    s.race_laps = 6;
    s.frames = RaceFrames(580000, {
                                      {60000, CarStatus(3, {{9, 0x04}})},
                                      {150000, CarStatus(2, {{12, 12}})},
                                      {260000, CarStatus(2, {{12, 40}})},
                                      {285000, CarStatus(2, {{12, 63}, {13, 16}, {14, 16}})},
                                      {380000, CarStatus(3, {{9, 0x0C}})},
                                      {470000, CarStatus(3, {{9, 0x0C}, {13, 92}, {14, 16}})},
                                  });
    return s;
}

ReplaySpec SpaRace() {
    std::vector<DriverLaps> drivers;
    const char* names[][2] = {{"Jackie", "Stewart"}, {"Lorenzo", "Bandini"}, {"Richie", "Ginther"}};
    for (uint32_t i = 0; i < 3; ++i) {
        DriverLaps d{NamedDriver(names[i][0], names[i][1], i, static_cast<uint8_t>(i + 1))};
        d.race_start = 2000 + 150 * i;
        d.race_laps = {61000 + 400 * i, 59000 + 300 * i, 58800 + 500 * i};
        drivers.push_back(d);
    }
    ReplaySpec s = SessionReplay(drivers, false, true, "spa");
    s.race_laps = 3;
    return s;
}

// Practice and a short race driven on the stadium circuit that the sample
// calls monza, so the laps have driving lines and telemetry.
ReplaySpec MonzaDriven(double lap_length) {
    RacePlan plan;
    plan.lap_length_m = lap_length;
    plan.player = 0;
    const struct {
        const char* first;
        const char* last;
        uint32_t slot;
        std::vector<double> practice, race;
    } cars[] = {
        {"Jim", "Clark", 0, {38, 44.5, 45.2, 44.8}, {30, 43.8, 44.9, 45.1}},
        {"Graham", "Hill", 1, {37, 43.9, 44.6, 44.1}, {30, 44.2, 44.4, 44.0}},
        {"Dan", "Gurney", 2, {36, 44.1, 44.3, 44.7}, {30, 43.5, 44.8, 44.6}},
    };
    for (const auto& c : cars) {
        CarPlan car;
        car.driver.first_name = c.first;
        car.driver.last_name = c.last;
        car.driver.slot = c.slot;
        car.driver.ai = c.slot != 0;
        car.practice_speeds = c.practice;
        car.race_speeds = c.race;
        car.race_lead_m = 20.0 + 12.0 * c.slot;
        plan.cars.push_back(car);
    }
    ReplaySpec spec = RaceGenerator(plan).Spec();
    spec.track = "monza";
    spec.race_laps = 3;
    return spec;
}

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

std::vector<fs::path> WriteSampleSimulator(const fs::path& folder) {
    WriteText(folder / "qel.exe", "MZ");
    WriteText(folder / "tracks" / "monza" / "monza.trk", BuildTrackBlock(StadiumCircuit()));
    WriteText(folder / "tracks" / "spa" / "spa.trk", BuildTrackBlock(WindingCircuit()));
    WriteText(folder / "tracks" / "monza" / "track.ini",
              "[Track]\r\nname=Monza\r\ntrack_name_short=Monza\r\ntrack_name=Autodromo Nazionale di Monza\r\n");
    WriteText(folder / "tracks" / "spa" / "track.ini",
              "[Track]\r\nname=Spa-Francorchamps\r\ntrack_name_short=Spa\r\ntrack_name=Circuit de Spa-Francorchamps\r\n");
    SeasonSpec season;
    SeasonEventSpec spa;
    spa.name = "Grand Prix de Belgique";
    spa.shortname = "Spa";
    spa.track_directory = "spa";
    spa.number_of_laps = "28";
    spa.day = "18";
    spa.month = "6";
    season.events = {spa, SeasonEventSpec{}};
    WriteSeasonFile(folder, season);
    // The profile as the simulator keeps it, with a best training lap at spa.
    WriteText(folder / "players" / "Jim_Clark" / "player.ini",
              "[Player]\r\nfirst=Jim\r\nlast=Clark\r\n[Personal Information]\r\nfirstName=Jim\r\n"
              "lastName=Clark\r\n[ spa ]\r\nlotT=3 221.4375\r\n");

    const std::vector<fs::path> replays = {folder / "replay" / "monza_gp.rpy", folder / "replay" / "spa_race.rpy",
                                           folder / "replay" / "monza_driven.rpy"};
    WriteText(replays[0], BuildReplay(MonzaGrandPrix()));
    WriteText(replays[1], BuildReplay(SpaRace()));
    const auto monza = Track::Load(folder, "monza");
    if (!monza) throw std::runtime_error("the sample's monza track does not read back");
    WriteText(replays[2], BuildReplay(MonzaDriven(monza->GetLength())));
    monza->Clear();
    return replays;
}

}  // namespace fixture
