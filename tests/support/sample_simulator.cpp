#include "support/sample_simulator.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "support/ini_fixture.h"
#include "support/race_generator.h"
#include "support/replay_fixture.h"
#include "support/session_fixture.h"
#include "support/track_fixture.h"

namespace fixture {

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kInvalid = 0x10000000;
constexpr uint32_t kOff = 0x40000000;

// Race state words of the start and the finish (their high 16 bits).
constexpr uint16_t kLiningUp = 12;
constexpr uint16_t kFlagRaised = 32;
constexpr uint16_t kFlagDrops = 40;
constexpr uint16_t kRacing = 4;
constexpr uint16_t kChequered = 0x34;
// Ten seconds on the grid: five lining up, five under the raised flag.
constexpr uint32_t kGridTicks = 360;

struct Entrant {
    const char* first;
    const char* last;
    uint8_t car;      // car and engine index of the 1967 season
    uint8_t country;
    bool ai;
    std::vector<uint32_t> practice_ms, race_ms;  // lap times aimed at on the sample track
};

// The mean speed (m/s) of a lap of `ms` milliseconds. The sample's tracks
// are a little over a kilometre, so its laps last about half a minute.
double PaceFor(double lap_m, uint32_t ms) { return lap_m * 1000.0 / ms; }

// Every car driven round the course for the whole of each session, as the
// simulator records them: practice first, then the race from the grid.
RacePlan SessionPlan(const CourseGeometry& course, const std::vector<Entrant>& field, bool practice) {
    RacePlan plan;
    plan.course = course;
    plan.practice = practice;
    plan.race = true;
    plan.race_code = 2;
    plan.race_grid_ticks = kGridTicks;
    plan.marker_every = 36;
    plan.plain_first_every = 0;
    plan.filler_bytes = 24;
    plan.player = 0;
    const double lap_m = course.Length();
    uint32_t slot = 0;
    for (const Entrant& e : field) {
        CarPlan car;
        car.driver = NamedDriver(e.first, e.last, slot, e.car);
        car.driver.engine_index = e.car;
        car.driver.country = e.country;
        car.driver.ai = e.ai;
        car.driver.value128 = slot + 1;
        car.practice_lead_m = 60.0 + 150.0 * slot;
        car.race_lead_m = 10.0 + 8.0 * slot;  // the grid, two by two behind the line
        if (practice) {
            car.practice_speeds = {PaceFor(lap_m, e.practice_ms.front())};
            for (uint32_t ms : e.practice_ms) car.practice_speeds.push_back(PaceFor(lap_m, ms));
        }
        car.race_speeds = {PaceFor(lap_m, e.race_ms.front())};
        for (uint32_t ms : e.race_ms) car.race_speeds.push_back(PaceFor(lap_m, ms));
        plan.cars.push_back(car);
        ++slot;
    }
    return plan;
}

// The race frame of a block.
uint32_t RaceFrame(const RaceGenerator& race, uint32_t block) { return block - race.practice_blocks() - 1; }

// The start signals, and the chequered flag when the leader ends the
// race's last lap.
void FlagTheRace(RacePlan& plan, uint16_t laps) {
    const RaceGenerator race(plan);
    uint32_t finish = 0;
    for (uint32_t c = 0; c < plan.cars.size(); ++c) {
        if (plan.cars[c].race_speeds.size() < size_t{laps} + 1u) continue;
        const uint32_t at = RaceFrame(race, race.Lap(c, 1, laps).after_end_block);
        finish = finish == 0 ? at : std::min(finish, at);
    }
    plan.start_signals = {{0, kLiningUp},
                          {kGridTicks - 180, kFlagRaised},
                          {kGridTicks, kFlagDrops},
                          {kGridTicks + 108, kRacing},
                          {finish, kChequered}};
}

// A car that retires: its last trouble a few seconds after its last lap,
// then it stops and is pulled off onto the grass.
void Retire(RacePlan& plan, uint32_t car, std::vector<StatusChange> last_trouble) {
    const RaceGenerator race(plan);
    const int laps = static_cast<int>(plan.cars[car].race_speeds.size()) - 1;
    // Status records that the reports read stand in the frames that open
    // with the second's timing marker.
    const uint32_t trouble = (RaceFrame(race, race.Lap(car, 1, laps).after_end_block) + 90 + 35) / 36 * 36;
    plan.cars[car].race_stop_tick = trouble + 36;
    plan.cars[car].race_reset_tick = trouble + 108;
    for (StatusChange& change : last_trouble) {
        change.race_tick = trouble;
        change.car = car;
        plan.status.push_back(change);
    }
}

ReplaySpec MonzaGrandPrix(const CourseGeometry& course) {
    const std::vector<Entrant> field = {
        {"Jim", "Clark", 5, 13, false, {26660, 26070, 25980}, {27440, 26180, 26100, 26290, 26040, 26150}},
        {"Graham", "Hill", 1, 13, false, {26850, 26150}, {27300, 26290, 26210, 26260, 26240, 26290}},
        {"Jack", "Brabham", 0, 2, true, {26350, 26210}, {27720, 26380, 26350}},
        {"Denny", "Hulme", 0, 21, true, {26910, 26320}, {27860, 26460, 26400, 26570, 26430}},
        {"John", "Surtees", 4, 13, false, {26570, 26290}, {27660, 26320, 26290, 26350, 26320, 26380}},
        {"Dan", "Gurney", 3, 27, false, {26740, 26430}, {28060, 26630, 26540, 26600, 26520, 26680}},
    };
    RacePlan plan = SessionPlan(course, field, true);
    plan.cars[0].practice_flags = {0, kInvalid, 0};
    plan.cars[0].race_flags = {0, 0, 0, kOff, 0, 0};
    plan.cars[3].race_flags = {0, 0, kOff, 0, 0};
    // Mechanical trouble during the race, the car's status record carrying
    // each change from then on (each in a frame with a timing marker).
    plan.status = {{36 * 16, 3, 9, 0x04}, {36 * 40, 2, 12, 12}, {36 * 70, 2, 12, 40}, {36 * 102, 3, 9, 0x0C}};
    Retire(plan, 2, {{0, 0, 12, 63}, {0, 0, 13, 16}, {0, 0, 14, 16}});
    Retire(plan, 3, {{0, 0, 9, 0x0C}, {0, 0, 13, 92}, {0, 0, 14, 16}});
    std::stable_sort(plan.status.begin(), plan.status.end(),
                     [](const StatusChange& a, const StatusChange& b) { return a.race_tick < b.race_tick; });
    FlagTheRace(plan, 6);
    ReplaySpec spec = RaceGenerator(plan).Spec();
    spec.track = "monza";
    spec.race_laps = 6;
    return spec;
}

ReplaySpec SpaRace(const CourseGeometry& course) {
    const std::vector<Entrant> field = {
        {"Jackie", "Stewart", 1, 13, false, {}, {35600, 34900, 34800}},
        {"Lorenzo", "Bandini", 4, 15, false, {}, {35800, 35100, 35100}},
        {"Richie", "Ginther", 3, 27, false, {}, {36000, 35300, 35400}},
    };
    RacePlan plan = SessionPlan(course, field, false);
    FlagTheRace(plan, 3);
    ReplaySpec spec = RaceGenerator(plan).Spec();
    spec.track = "spa";
    spec.race_laps = 3;
    return spec;
}

// Practice and a short race of three cars, the lap of the run command.
ReplaySpec MonzaDriven(const CourseGeometry& course) {
    const std::vector<Entrant> field = {
        {"Jim", "Clark", 5, 13, false, {26100, 25900, 26000}, {26300, 26050, 26000}},
        {"Graham", "Hill", 1, 13, false, {26250, 26000, 26150}, {26200, 26150, 26250}},
        {"Dan", "Gurney", 3, 27, false, {26200, 26150, 26000}, {26350, 25980, 26400}},
    };
    RacePlan plan = SessionPlan(course, field, true);
    plan.filler_bytes = 0;
    FlagTheRace(plan, 3);
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
    WriteText(folder / "tracks" / "spa" / "spa.trk", BuildTrackBlock(SurfacedWindingCircuit()));
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
    WriteText(replays[0], BuildReplay(MonzaGrandPrix(StadiumCourse())));
    WriteText(replays[1], BuildReplay(SpaRace(WindingCourse())));
    WriteText(replays[2], BuildReplay(MonzaDriven(StadiumCourse())));
    return replays;
}

}  // namespace fixture
