#include "support/sample_simulator.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
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

// The class byte of a Formula 1 car.
constexpr uint8_t kFormula1 = 3;

// The engines of the 1967 cars, by car index, as far apart as the engine
// detection tells them: the highest revs, where the driver changes up, and
// the revs of full power.
constexpr EngineSpec kEngines1967[] = {
    {8900, 8350, 9120},    // Brabham: Repco
    {11350, 10980, 9750},  // BRM
    {10050, 9650, 9300},   // Cooper: Maserati
    {10550, 10150, 8870},  // Eagle: Weslake
    {10950, 10570, 9450},  // Ferrari
    {9600, 8950, 8350},    // Lotus: Ford
    {11720, 11250, 9450},  // Honda
};

struct Entrant {
    const char* first;
    const char* last;
    uint8_t car;      // car and engine index of the 1967 season
    uint8_t country;
    std::vector<uint32_t> practice_ms, race_ms;  // lap times aimed at on the sample track
};

// What sets one recording apart from another: the session clocks when the
// recording began, where the cars are as practice begins, the time on the
// grid and where the grid stands, and the seed of each driver's own way
// round.
struct Meeting {
    uint32_t seed = 1;
    uint32_t practice_clock_ms = 1000;
    uint32_t race_clock_ms = 500;
    double practice_lead_m = 60.0;  // the first car's distance short of the line
    uint32_t grid_ticks = 360;      // half lining up, half under the raised flag
    double pole_m = 10.0;           // pole position's distance short of the line
    double grid_gap_m = 8.0;        // from one grid position to the next
};

// The mean speed (m/s) of a lap of `ms` milliseconds. The sample's tracks
// are a little over a kilometre, so its laps last about half a minute.
double PaceFor(double lap_m, uint32_t ms) { return lap_m * 1000.0 / ms; }

// Every car driven round the course for the whole of each session, as the
// simulator records them: practice first, then the race from the grid. The
// player, the first entrant, races the simulator's computer drivers.
RacePlan SessionPlan(const CourseGeometry& course, const std::vector<Entrant>& field, bool practice,
                     const Meeting& meeting) {
    RacePlan plan;
    plan.course = course;
    plan.practice = practice;
    plan.race = true;
    plan.race_code = 2;
    plan.practice_clock_ms = meeting.practice_clock_ms;
    plan.race_clock_ms = meeting.race_clock_ms;
    plan.race_grid_ticks = meeting.grid_ticks;
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
        car.driver.code_byte = kFormula1;
        car.driver.ai = slot != plan.player;
        if (car.driver.ai) {
            // A computer driver's record holds no car: the engine index
            // names it.
            car.driver.season_offset = 0;
            car.driver.car_byte = 0;
            car.driver.car_data55 = car.driver.car_data56 = 0;
            car.driver.car_data57.fill(0);
        } else {
            // Each engine byte names its own engine: the car runs the one
            // its season lists.
            for (uint8_t k = 0; k < car.driver.car_data57.size(); ++k) car.driver.car_data57[k] = k + 1;
        }
        car.driver.value128 = slot + 1;
        car.engine = kEngines1967[e.car];
        car.driving_seed = meeting.seed * 32 + slot + 1;
        // A fifth of a second or so to see the flag drop.
        car.start_reaction_ticks = 5 + (slot * 7 + meeting.seed * 3) % 9;
        car.practice_lead_m = meeting.practice_lead_m + 150.0 * slot;
        car.race_lead_m = meeting.pole_m + meeting.grid_gap_m * slot;  // the grid, staggered behind the line
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
                          {plan.race_grid_ticks / 2, kFlagRaised},
                          {plan.race_grid_ticks, kFlagDrops},
                          {plan.race_grid_ticks + 108, kRacing},
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
        {"Jim", "Clark", 5, 13, {26660, 26070, 25980}, {27440, 26180, 26100, 26290, 26040, 26150}},
        {"Graham", "Hill", 1, 13, {26850, 26150}, {27300, 26290, 26210, 26260, 26240, 26290}},
        {"Jack", "Brabham", 0, 2, {26350, 26210}, {27720, 26380, 26350}},
        {"Denny", "Hulme", 0, 21, {26910, 26320}, {27860, 26460, 26400, 26570, 26430}},
        {"John", "Surtees", 4, 13, {26570, 26290}, {27660, 26320, 26290, 26350, 26320, 26380}},
        {"Dan", "Gurney", 3, 27, {26740, 26430}, {28060, 26630, 26540, 26600, 26520, 26680}},
    };
    RacePlan plan = SessionPlan(course, field, true,
                                {.seed = 1, .practice_clock_ms = 1730, .race_clock_ms = 640, .practice_lead_m = 70.0,
                                 .grid_ticks = 360, .pole_m = 11.5, .grid_gap_m = 7.5});
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
        {"Jackie", "Stewart", 1, 13, {}, {35600, 34900, 34800}},
        {"Lorenzo", "Bandini", 4, 15, {}, {35800, 35100, 35100}},
        {"Richie", "Ginther", 3, 27, {}, {36000, 35300, 35400}},
    };
    RacePlan plan = SessionPlan(course, field, false,
                                {.seed = 2, .race_clock_ms = 1270, .grid_ticks = 414, .pole_m = 9.0,
                                 .grid_gap_m = 9.5});
    FlagTheRace(plan, 3);
    ReplaySpec spec = RaceGenerator(plan).Spec();
    spec.track = "spa";
    spec.race_laps = 3;
    return spec;
}

// Practice and a short race of three cars, the lap of the run command.
ReplaySpec MonzaDriven(const CourseGeometry& course) {
    const std::vector<Entrant> field = {
        {"Jim", "Clark", 5, 13, {26100, 25900, 26000}, {26300, 26050, 26030}},
        {"Graham", "Hill", 1, 13, {26250, 26000, 26150}, {26200, 26150, 26250}},
        {"Dan", "Gurney", 3, 27, {26200, 26150, 26000}, {26350, 25980, 26400}},
    };
    RacePlan plan = SessionPlan(course, field, true,
                                {.seed = 3, .practice_clock_ms = 860, .race_clock_ms = 390, .practice_lead_m = 95.0,
                                 .grid_ticks = 342, .pole_m = 14.0, .grid_gap_m = 6.5});
    plan.filler_bytes = 0;
    FlagTheRace(plan, 3);
    ReplaySpec spec = RaceGenerator(plan).Spec();
    spec.track = "monza";
    spec.race_laps = 3;
    return spec;
}

// The best lap of a driver's entry in a lap-time table that the simulator
// counts (not flagged invalid), in ms.
uint32_t BestLap(const std::vector<LapEntry>& table, uint32_t slot) {
    uint32_t best = UINT32_MAX;
    for (const LapEntry& entry : table) {
        if (entry.slot != slot) continue;
        uint32_t previous = entry.start_ms;
        for (uint32_t word : entry.words) {
            const uint32_t clock = word & 0xFFFFFF;
            if ((word & kInvalid) == 0) best = std::min(best, clock - previous);
            previous = clock;
        }
    }
    return best;
}

// A profile lap time: a field, a blank, and the seconds to ten-thousandths
// (the last digit finer than the replays' milliseconds, which it rounds to).
std::string ProfileTime(uint32_t ms) {
    const uint32_t tenths_of_ms = ms * 10 + ms % 9 - 4;
    char text[32];
    std::snprintf(text, sizeof text, "3 %u.%04u", tenths_of_ms / 10000, tenths_of_ms % 10000);
    return text;
}

// The folder is the user's too: the program's save dialogs start in its
// replay folder. Only the sample's own files are replaced, each whole
// through a temporary file renamed over it, so the program never reads one
// half written.
void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::string temp = (path.parent_path() / ("." + path.filename().string() + ".sample-XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) throw std::runtime_error("cannot write " + path.string());
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool written = done == text.size() && ::fchmod(fd, 0644) == 0;
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw std::runtime_error("cannot write " + path.string());
    }
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
    WriteText(folder / "seasons" / "67season.ini", BuildSeasonFile(season));

    const std::vector<fs::path> replays = {folder / "replay" / "monza_gp.rpy", folder / "replay" / "spa_race.rpy",
                                           folder / "replay" / "monza_driven.rpy"};
    const ReplaySpec monza_gp = MonzaGrandPrix(StadiumCourse());
    const ReplaySpec monza_driven = MonzaDriven(StadiumCourse());
    WriteText(replays[0], BuildReplay(monza_gp));
    WriteText(replays[1], BuildReplay(SpaRace(WindingCourse())));
    WriteText(replays[2], BuildReplay(monza_driven));

    // Jim Clark's profile as the simulator keeps it: his Lotus's best laps
    // of the Monza sessions recorded here, and training laps at both tracks
    // (Clark is slot 0 of both Monza replays).
    const uint32_t practice = std::min(BestLap(monza_gp.practice, 0), BestLap(monza_driven.practice, 0));
    const uint32_t race = std::min(BestLap(monza_gp.race, 0), BestLap(monza_driven.race, 0));
    WriteText(folder / "players" / "Jim_Clark" / "player.ini",
              "[Player]\r\nfirst=Jim\r\nlast=Clark\r\n[Personal Information]\r\nfirstName=Jim\r\n"
              "lastName=Clark\r\n[ monza ]\r\nlotT=" +
                  ProfileTime(25913) + "\r\nlotP=" + ProfileTime(practice) + "\r\nlotR=" + ProfileTime(race) +
                  "\r\n[ spa ]\r\nlotT=" + ProfileTime(34617) + "\r\n");
    return replays;
}

}  // namespace fixture
