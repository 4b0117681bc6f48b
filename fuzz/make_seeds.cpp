// Writes the seed corpora of the fuzz targets: valid files of each
// arrangement the fixture writers know, so a fuzzer starts from inside the
// formats rather than from their first bytes. One folder per target under
// the folder given on the command line; files already there are replaced.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "replay/byte_writer.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "settings/registry.h"
#include "settings/registry_store.h"
#include "settings/settings.h"
#include "support/bmp_fixture.h"
#include "support/catalogue_fixture.h"
#include "support/car_record_packer.h"
#include "support/ini_fixture.h"
#include "support/race_generator.h"
#include "support/replay_fixture.h"
#include "support/sample_simulator.h"
#include "support/session_fixture.h"
#include "support/track_fixture.h"
#include "support/wine_fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace fixture;

constexpr uint32_t kInvalid = 0x10000000;
constexpr uint32_t kOff = 0x40000000;

fs::path g_root;

void Seed(const std::string& target, const std::string& name, const std::string& bytes) {
    const fs::path folder = g_root / target;
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write seed " + (folder / name).string());
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// --- replays ---------------------------------------------------------------

Record Status(int slot, std::initializer_list<std::pair<int, uint8_t>> bytes) {
    std::string payload(16, '\0');
    const int word = slot * 64 + 31;
    payload[0] = static_cast<char>(word & 0xFF);
    payload[1] = static_cast<char>(word >> 8);
    for (const auto& [index, value] : bytes) payload[index] = static_cast<char>(value);
    return Record{10, 20, payload};
}

FrameBlock At(uint8_t session, uint32_t clock_ms, std::vector<Record> more = {}) {
    FrameBlock b;
    b.records.push_back(Marker(session, clock_ms));
    b.records.insert(b.records.end(), more.begin(), more.end());
    return b;
}

std::vector<DriverLaps> Field() {
    DriverLaps a{NamedDriver("Jim", "Clark", 0, 5)};
    a.practice_start = 1000;
    a.practice_laps = {90000, 88000, 87500};
    a.practice_flags = {0, kInvalid, 0};
    a.race_start = 2000;
    a.race_laps = {60000, 60000, 59000};
    a.race_flags = {0, kOff, 0};
    DriverLaps b{NamedDriver("Graham", "Hill", 3, 1)};
    b.driver.ai = true;
    b.practice_start = 1500;
    b.practice_laps = {91000};
    b.race_start = 2100;
    b.race_laps = {61000, 60500};
    DriverLaps c{NamedDriver("Jack", "Brabham", 1, 0)};
    c.driver.country = 2;
    c.race_start = 2200;
    c.race_laps = {62000};
    DriverLaps d{NamedDriver("Denny", "Hulme", 2, 0)};
    d.driver.not_applicable = true;
    d.practice_start = 1200;
    d.practice_laps = {95000, 94000};
    return {a, b, c, d};
}

// Practice and race with status records of every kind the mechanical scan
// tells of.
ReplaySpec MechanicalRace() {
    ReplaySpec s = SessionReplay(Field(), true, true, "monza");
    FrameBlock no_marker;
    no_marker.records.push_back(Status(1, {{12, 9}}));
    s.frames = {
        At(0, 10),
        At(0, 20000, {Status(0, {{9, 3}})}),
        At(2, 10),
        no_marker,
        At(2, 5000, {Status(0, {{9, 0x0D}}), Status(1, {{12, 5}})}),
        At(2, 30000, {Status(0, {{9, 0x2D}}), Status(1, {{12, 6}})}),
        At(2, 65000, {Status(1, {{12, 6}, {13, 84}, {14, 16}})}),
        At(2, 70000, {Status(0, {})}),
        At(2, 80000, {Status(2, {{7, 0x40}, {14, 1}})}),
        At(2, 90000, {Status(2, {{7, 0x40}, {14, 17}})}),
        At(2, 95000, {Status(2, {{7, 0x40}, {14, 17}, {11, 0xC0}, {12, 63}, {13, 200}})}),
        At(2, 130000, {FrameNumber(7), Filler(8, 12), Filler(9, 8)}),
        At(2, 200000),
    };
    return s;
}

fixture::CarPlan Car(const std::string& first, const std::string& last, uint32_t slot, std::vector<double> practice,
                     std::vector<double> race) {
    fixture::CarPlan c;
    c.driver.first_name = first;
    c.driver.last_name = last;
    c.driver.slot = slot;
    c.practice_speeds = std::move(practice);
    c.race_speeds = std::move(race);
    return c;
}

// Short laps keep the generated replays small: a few hundred frames.
RacePlan ShortRace() {
    RacePlan p;
    p.lap_length_m = 100.0;
    p.player = 1;
    p.cars = {Car("Graham", "Hill", 4, {40, 45, 42}, {38, 46, 47}),
              Car("Jim", "Clark", 0, {42, 47, 48}, {40, 48, 49}),
              Car("Jack", "Brabham", 2, {36, 40, 41}, {37, 43, 44})};
    for (auto& car : p.cars) {
        car.practice_lead_m = 20.0;
        car.race_lead_m = 10.0;
    }
    p.tail_ticks = 10;
    return p;
}

std::vector<RacePlan> RacePlans() {
    std::vector<RacePlan> plans;
    plans.push_back(ShortRace());
    RacePlan coarse = ShortRace();
    coarse.distance_unit = 0x40;
    coarse.lap_length_m = 300.0;
    coarse.player = 0;
    coarse.race_code = 1;
    for (auto& car : coarse.cars) {
        for (double& v : car.practice_speeds) v *= 3;
        for (double& v : car.race_speeds) v *= 3;
    }
    coarse.filler_bytes = 12;
    plans.push_back(coarse);
    RacePlan race_only = ShortRace();
    race_only.practice = false;
    race_only.race_code = 7;
    race_only.plain_first_every = 3;
    race_only.split_every = 4;
    plans.push_back(race_only);
    RacePlan practice_only = ShortRace();
    practice_only.race = false;
    practice_only.player = 2;
    practice_only.cars[0].absent = {{20, 20}, {40, 46}};
    practice_only.filler_bytes = 40;
    plans.push_back(practice_only);
    // Markers once a second, engines, start signals and a clock that
    // stumbles, for the scanning reports.
    RacePlan online = ShortRace();
    online.marker_every = 36;
    online.tail_ticks = 80;
    online.cars[0].rev_limit_rpm = 9450;
    online.cars[1].rev_limit_rpm = 10950;
    online.cars[2].rev_limit_rpm = 8850;
    online.start_signals = {{2, 12}, {2, 32}, {5, 1056}, {5, 40}};
    online.race_clock_shifts = {{60, -20}};
    online.race_extra_frames = {100};
    plans.push_back(online);
    return plans;
}

// The catalogue record of a loaded replay in catalogue version `version`:
// the header record (its version 1 form stops before the session fields),
// then the driver table without the fields a version lacks.
std::string CatalogueEntry(const Header& h, const Drivers& d, int version) {
    ByteWriter head;
    h.WriteDatabaseRecord(head);
    std::string out = head.bytes();
    if (version == 1) out.resize(out.size() - 16);
    // The catalogue target picks the version from its first byte.
    return std::string(1, static_cast<char>(version - 1)) + out + fixture::DriversCatalogueRecord(d, version);
}

void ReplaySeeds(const std::string& name, const std::string& bytes, bool mechanical = false) {
    Seed("header", name + ".rpy", bytes);
    Seed("drivers", name + ".rpy", bytes);
    if (mechanical) {
        Seed("mechanical", name + ".rpy", bytes);
        // The other walks of the whole data section. The detailed race takes
        // a track length byte first (16 x 25 m), the verifier a lap choice
        // (driver, lap, session) and a length byte.
        Seed("engine_detection", name + ".rpy", bytes);
        Seed("detailed_race", name + ".rpy", std::string(1, '\x10') + bytes);
        Seed("laptime_verifier", name + "-d0-l2-race.rpy", std::string{'\0', '\x02', '\x01', '\x10'} + bytes);
        Seed("laptime_verifier", name + "-d1-l1-practice.rpy", std::string{'\x01', '\x01', '\0', '\x10'} + bytes);
    }

    const fs::path tmp = g_root / ".load.rpy";
    WriteFile(tmp, bytes);
    Header h;
    auto d = std::make_unique<Drivers>();
    const bool loads = h.Load(tmp.string()) == 0 && d->LoadReplay(tmp.string()) == 0;
    fs::remove(tmp);
    if (!loads) throw std::runtime_error("seed replay " + name + " does not load");
    for (int v = 1; v <= 4; ++v) Seed("catalogue", name + "-v" + std::to_string(v), CatalogueEntry(h, *d, v));
    // Whole catalogue files of two records each, as the creator writes them.
    for (int v = 1; v <= 4; ++v) {
        const CatalogueRecordSpec record{"replays\\" + name + ".rpy", HeaderCatalogueRecord(h, v),
                                         DriversCatalogueRecord(*d, v)};
        Seed("catalogue_file", name + "-v" + std::to_string(v) + ".rdb",
             CatalogueFile(v, "SEED [CDFS]", 3, {record, record}));
    }
}

void Replays() {
    ReplaySeeds("practice-race", BuildReplay(SessionReplay(Field(), true, true)), true);
    Seed("race_stream", "practice-race.rpy", BuildReplay(SessionReplay(Field(), true, true)));
    ReplaySeeds("practice", BuildReplay(SessionReplay(Field(), true, false)), true);
    ReplaySeeds("race", BuildReplay(SessionReplay(Field(), false, true, "spa")), true);
    ReplaySeeds("mechanical", BuildReplay(MechanicalRace()), true);

    // Every arrangement of the lap-time tables.
    const struct {
        const char* name;
        TableLayout layout;
    } layouts[] = {{"layout-none", TableLayout::kNone},
                   {"layout-practice-only", TableLayout::kPracticeOnly},
                   {"layout-extra-chunk", TableLayout::kPracticeExtraRace},
                   {"layout-empty-first", TableLayout::kEmptyFirstThenRace}};
    for (const auto& l : layouts) {
        ReplaySpec s = SessionReplay(Field(), true, true);
        s.layout = l.layout;
        ReplaySeeds(l.name, BuildReplay(s), l.layout != TableLayout::kNone);
    }

    ReplaySpec three = SessionReplay(Field(), true, true, "nurburgring");
    three.sessions = 3;
    three.race_laps = 12;
    three.game_mode = 0;
    three.version = 0;
    three.player_index = 7;  // found by name instead
    three.drivers[0].first_name = "ZAVRO";
    three.player_first = "ZAVRO";
    ReplaySeeds("three-sessions", BuildReplay(three));

    ReplaySpec training = SessionReplay(Field(), true, false);
    training.sessions = 1;
    training.game_mode = 0;
    training.damage_level = 1;
    training.driver_trailing = "pad";
    ReplaySeeds("training", BuildReplay(training));

    ReplaySpec empty = SessionReplay({}, false, false);
    ReplaySeeds("no-drivers", BuildReplay(empty));

    int n = 0;
    for (const RacePlan& plan : RacePlans()) {
        const RaceGenerator gen(plan);
        const std::string bytes = BuildReplay(gen.Spec());
        const std::string name = "generated-" + std::to_string(n++);
        ReplaySeeds(name, bytes, true);
        if (plan.race) Seed("race_stream", name + ".rpy", bytes);
        // A few laps of each car and session, chosen by the target's first
        // three bytes: driver, lap, session.
        size_t picked = 0;
        for (const LapTruth& t : gen.laps()) {
            if (picked++ % 3 != 0) continue;
            std::string prefix;
            prefix += static_cast<char>(t.driver);
            prefix += static_cast<char>(t.lap);
            prefix += static_cast<char>(t.session);
            const std::string lap_name = name + "-d" + std::to_string(t.driver) + "-s" +
                                         std::to_string(t.session) + "-l" + std::to_string(t.lap);
            Seed("lap", lap_name, prefix + bytes);
            Seed("add_lap", lap_name, prefix + bytes);
        }
        Seed("lap", name + "-any-session", std::string("\x01\x01\x02", 3) + bytes);
        // Two laps to merge: the first and the last lap of the table, the
        // second starting half a second ahead.
        if (gen.laps().size() >= 2) {
            const LapTruth& a = gen.laps().front();
            const LapTruth& b = gen.laps().back();
            std::string prefix;
            for (const LapTruth* t : {&a, &b}) {
                prefix += static_cast<char>(t->driver);
                prefix += static_cast<char>(t->lap);
                prefix += static_cast<char>(t->session);
            }
            prefix += static_cast<char>(5);
            Seed("merge", name, prefix + bytes);
        }
    }
}

// --- packed car records ----------------------------------------------------

void CarStructs() {
    PlayerCarFields p;
    p.distance = 123456;
    p.gear_field = 4;
    p.lateral = -2000;
    p.height = 300;
    p.revs = 700;
    p.orientation = -100;
    p.pitch = 12;
    p.roll = -7;
    p.fraction = 200;
    p.steering = -30;
    p.suspension1 = -5;
    p.suspension4 = 200;
    p.wheel_value3 = 1000;
    p.oil_pressure = 90;
    OtherCarFields o;
    o.pitch = -3;
    o.revs = 800;
    o.distance = 654321;
    o.slot = 4;
    o.lateral = 1234;
    o.fraction = 17;
    o.state_high = 2;
    o.height = 100;
    o.steering = 20;
    o.orientation = 2000;
    o.roll = -300;
    o.gear_field = 5;
    EngineFields e;
    e.oil_temperature = 85;
    e.water_temperature = 90;
    e.fuel_pressure = 60;
    e.value4 = 1500;
    Seed("car_structs", "player", CarRecordPacker::PlayerCar(p));
    Seed("car_structs", "other", CarRecordPacker::OtherCar(o) + CarRecordPacker::OtherCar(OtherCarFields{}));
    Seed("car_structs", "engine", CarRecordPacker::Engine(e));
    Seed("car_structs", "all", CarRecordPacker::PlayerCar(p) + CarRecordPacker::OtherCar(o) + CarRecordPacker::Engine(e));
}

// --- tracks ----------------------------------------------------------------

void Tracks() {
    // The target's first byte: even writes a .trk file, odd a .dat file.
    const std::string stadium = BuildTrackBlock(StadiumCircuit());
    const std::string winding = BuildTrackBlock(WindingCircuit());
    Seed("track", "stadium-trk", std::string(1, '\0') + stadium);
    Seed("track", "winding-trk", std::string(1, '\0') + winding);
    Seed("track", "stadium-dat",
         std::string(1, '\1') + BuildTrackContainer(TrackContainerSpec({ContainerEntry("fz.trk", stadium)})));
    Seed("track", "winding-dat",
         std::string(1, '\1') +
             BuildTrackContainer(TrackContainerSpec({ContainerEntry("track.ini", "[Track]\r\nname=Fz\r\n"),
                                                     ContainerEntry("FZ.TRK", winding),
                                                     ContainerEntry("fz.spd", std::string(64, '\x11'))})));
    // A container opened under the .trk name still holds its track as an entry.
    Seed("track", "container-as-trk",
         std::string(1, '\0') + BuildTrackContainer(TrackContainerSpec({ContainerEntry("fz.trk", winding)})));
    CircuitBuilder small({-60000, -20000, 20000, 60000});
    small.Straight(1000000, ParallelTraces({-60000, -20000, 20000, 60000}, {4, 1, 4}))
        .Curve(500000, kAngleQuarter * 2, ParallelTraces({-60000, -20000, 20000, 60000}, {0x801, 2, 10}))
        .Straight(1000000, ParallelTraces({-60000, 60000}, {1}))
        .Curve(500000, kAngleQuarter * 2, ParallelTraces({-60000, -20000, 20000, 60000}, {3, 1, 5}));
    Seed("track", "small-trk", std::string(1, '\0') + BuildTrackBlock(small.Build(6000000)));
}

// --- ini and season files --------------------------------------------------

void Inis() {
    Seed("ini", "track", "[Track]\r\nname=Monza\r\n");
    Seed("ini", "player", "[Player]\r\nfirst=Jim\r\nlast=Clark\r\n");
    Seed("ini", "windows",
         IniText()
             .Comment(" written by hand")
             .Section("Times")
             .Key("monza", "1:28.5")
             .Key(" spa ", " 3:40.1 ", " = ")
             .Blank()
             .Section(" monaco ")
             .Key("best", "1:31.0")
             .Section("times")
             .Key("monza", "9:99.9")
             .Line("no equals sign here")
             .Line("[unclosed")
             .Build(false));
    Seed("ini", "unix", IniText("\n").Line("orphan=1").Section("A").Key("k", "v").Key("K", "w").Section("").Build());
    SeasonSpec season;
    SeasonEventSpec spa;
    spa.name = "Grand Prix de Belgique";
    spa.shortname = "Spa";
    spa.track_directory = "spa";
    season.events = {spa, SeasonEventSpec{}};
    Seed("ini", "season", BuildSeasonFile(season));

    Seed("season", "two-events", BuildSeasonFile(season));
    Seed("records_profile", "profile",
         IniText()
             .Section("Personal Information")
             .Key("firstName", "Jim ;x")
             .Key("lastName", "Clark")
             .Section(" monaco ")
             .Key("braT", "3 83.1234")
             .Key("lotR", "1 83.5")
             .Key("ferP", "1 .")
             .Build());
    Seed("records_profile", "track", "[Track]\r\ntrack_name_short = Monaco\r\ntrack_name=Grand Prix\r\ntrack_name_x\r\n");
    SeasonSpec odd;
    SeasonEventSpec partial;
    partial.omit = {"day", "startingGrid"};
    partial.extra = {{"weather", "rain"}};
    odd.events = {partial, spa, SeasonEventSpec{}};
    odd.num_events = "5 events";
    odd.num_events_key = "NUMEVENTS";
    odd.separator = " = ";
    odd.line_end = "\n";
    Seed("season", "odd", BuildSeasonFile(odd));
    SeasonSpec none;
    none.omit_num_events = true;
    none.events = {spa};
    Seed("season", "no-count", BuildSeasonFile(none));
    SeasonSpec full;
    for (int i = 0; i < 11; ++i) full.events.push_back(SeasonEventSpec{});
    Seed("season", "eleven", BuildSeasonFile(full));
}

// --- settings store --------------------------------------------------------

void Registry() {
    RegistryStore store;
    store.SetValue(Settings::kSettingsKey, "QELDirectory", RegistryStore::kTypeString, std::string("/opt/qel\0", 9));
    store.SetValue(Settings::kSettingsKey, "BMPSizeInPixel", RegistryStore::kTypeDword, std::string("\x00\x04\x00\x00", 4));
    store.SetValue(Settings::kSettingsKey, "MPH", RegistryStore::kTypeDword, std::string("\x01", 1));
    store.SetValue(Settings::kSettingsKey, "AltRpyPath", RegistryStore::kTypeExpandString, "/home/jim/replays");
    store.SetValue(Settings::kSettingsKey, "", RegistryStore::kTypeString, std::string("Say \"hi\" \\o/\0", 14));
    store.SetValue("Software\\Ostrevan\\Ostrevan\\Records", "Laps", RegistryStore::kTypeBinary,
                   CRegistry::EncodeDWordArray({1, 2, 3, 0xFFFFFFFF}));
    store.SetValue("Software\\Ostrevan\\Ostrevan\\Records", "Names", RegistryStore::kTypeBinary,
                   CRegistry::EncodeStringArray({"Jim", std::string(300, 'x'), ""}));
    store.SetValue(Settings::kSetupKey, "Directory", RegistryStore::kTypeString, "C:\\Sierra\\QEL");
    Seed("registry_text", "hive", store.Encode());

    RegistryStore machine(RegistryHive::kLocalMachine);
    machine.SetValue(Settings::kSetupKey, "Directory", RegistryStore::kTypeString, std::string("C:\\QEL\0", 7));
    machine.CreateKey("Software\\Empty\\Key");
    Seed("registry_text", "machine", machine.Encode());
    Seed("registry_text", "empty", RegistryStore().Encode());

    // As a user writes it: comments, LF line ends, a continued hex value, a
    // duplicate, a damaged value, a key of the other hive.
    Seed("registry_text", "hand-written",
         "REGEDIT4\n\n; settings\n[HKEY_CURRENT_USER\\Software\\Ostrevan\\Ostrevan\\Settings]\n"
         "\"QELDirectory\"=\"C:\\\\Games\\\\QEL\"\n\"MPH\"=dword:1\n\"Laps\"=hex:01,02,\\\n  03\n"
         "\"mph\"=dword:00000002\n\"Bad\"=dword:xyz\n@=hex(7):61,00,00\n\n"
         "[HKEY_LOCAL_MACHINE\\Software]\n\"X\"=\"y\"\n\n[-HKEY_CURRENT_USER\\Gone]\n");

    Seed("registry_text", "wine",
         WineSystemReg({{Settings::kSetupKey,
                         {{"Directory", WineString("C:\\Games\\J\xFCrgen \x80" "1\tQEL")},
                          {"Root", "str(2):" + WineString("%ProgramFiles%\\QEL")},
                          {"Count", "dword:0000000a"},
                          {"List", "hex(7):61,00,00,00,\\\n  62,00"}}},
                        {"Software\\Wow6432Node\\Corvalis\\Setup\\QEL", {{"Directory", WineString("D:\\QEL")}}},
                        {"Software\\Wine\\[odd] key", {{"", WineString("say \"x\"")}}}}));
    Seed("registry_text", "dword-array", CRegistry::EncodeDWordArray({5, 6, 7}));
    Seed("registry_text", "string-array", CRegistry::EncodeStringArray({"a", "bc"}));
}

// --- ranking server replies ------------------------------------------------

void HttpReplies() {
    // The first byte only chooses where the input is split.
    Seed("http_reply", "sized", std::string("\x10") + "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello");
    Seed("http_reply", "chunked",
         std::string("\x30") + "HTTP/1.1 500 Error\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n");
    Seed("http_reply", "to-the-end", std::string("\x05") + "HTTP/1.0 401 Unauthorized\r\n\r\n<html>no</html>");
}

// --- bitmaps ---------------------------------------------------------------

void Bitmaps() {
    const auto bmp = [](int32_t w, int32_t h, uint16_t bits, uint32_t colours, uint32_t info_size = 40) {
        BmpSpec s;
        s.width = w;
        s.height = h;
        s.bits = bits;
        s.info_size = info_size;
        for (uint32_t i = 0; i < colours; ++i) s.colours.push_back(i * 0x010203);
        s.pixel = [bits](int x, int y) {
            return bits == 24 ? static_cast<uint32_t>(x * 0x10101 + y) : static_cast<uint32_t>(x + y) % (1u << bits);
        };
        return s;
    };
    Seed("bmp", "1-bit", BuildBmp(bmp(17, 3, 1, 2)));
    Seed("bmp", "4-bit", BuildBmp(bmp(9, 4, 4, 16)));
    Seed("bmp", "8-bit", BuildBmp(bmp(6, 5, 8, 256)));
    Seed("bmp", "24-bit", BuildBmp(bmp(5, 3, 24, 0)));
    Seed("bmp", "core", BuildBmp(bmp(4, 2, 8, 256, 12)));
    Seed("bmp", "v5-top-down", BuildBmp(bmp(4, -2, 4, 16, 124)));
    BmpSpec prefixed = bmp(3, 3, 8, 256);
    prefixed.prefix = 128;
    prefixed.gap = 5;
    Seed("bmp", "prefix-gap", BuildBmp(prefixed));
}

// --- the sample simulator folder -------------------------------------------

void SampleSimulator() {
    const fs::path folder = g_root / ".sample";
    fs::remove_all(folder);
    WriteSampleSimulator(folder);
    Seed("track", "sample-monza", std::string(1, '\0') + ReadFile(folder / "tracks" / "monza" / "monza.trk"));
    Seed("track", "sample-spa", std::string(1, '\0') + ReadFile(folder / "tracks" / "spa" / "spa.trk"));
    Seed("season", "sample", ReadFile(folder / "seasons" / "67season.ini"));
    Seed("ini", "sample-track", ReadFile(folder / "tracks" / "spa" / "track.ini"));
    // Every sample replay runs its sessions frame by frame; the Spa race,
    // three cars and no practice, is the smallest (about half a megabyte).
    const std::string spa = ReadFile(folder / "replay" / "spa_race.rpy");
    ReplaySeeds("sample-spa", spa, true);
    fs::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_seeds CORPUS_FOLDER\n";
        return 2;
    }
    try {
        g_root = argv[1];
        fs::create_directories(g_root);
        Replays();
        CarStructs();
        Tracks();
        Inis();
        Registry();
        HttpReplies();
        Bitmaps();
        SampleSimulator();
    } catch (const std::exception& e) {
        std::cerr << "make_seeds: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
