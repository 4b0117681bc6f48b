// Lap extraction failures: every failure code, the markers that open and
// close a lap, and damaged or cut files that must stop the extraction
// instead of reading past what is there.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "support/car_record_packer.h"
#include "support/race_generator.h"
#include "telemetry_support.h"

namespace {

using fixture::FrameBlock;
using fixture::LapTruth;
using fixture::RaceGenerator;
using fixture::Record;
using fixture::ReplaySpec;
using telemetry_test::FindRecord;
using telemetry_test::Load;
using telemetry_test::LoadedReplay;
using telemetry_test::SmallRace;

constexpr int kPlayer = 1;  // record index of the player in SmallRace
constexpr int kOther = 2;

class LapFailure : public testing::Test {
protected:
    LapFailure() : gen(SmallRace()), spec(gen.Spec()) {}

    // Extracts into `info` and checks that the status agrees with the result.
    int Extract(LoadedReplay& r, int driver, int lap, int session) {
        const int result = info.ExtractLap(*r.drivers, driver, lap, session);
        EXPECT_EQ(info.status, result);
        return result;
    }

    RaceGenerator gen;
    ReplaySpec spec;
    GetRpyInfo info;
};

struct NoSuchLap {
    int driver;
    int lap;
    int session;
};

TEST_F(LapFailure, LapsAndDriversOutsideTheTablesAreNotSelectable) {
    auto r = Load(spec);
    const NoSuchLap cases[] = {
        {kPlayer, 0, 0},    {kPlayer, -1, 1},   {kPlayer, 4, 1},  // the player has three race laps
        {kPlayer, 149, 0},  {kPlayer, 150, 0},  {kPlayer, 1000, 1},
        {-1, 1, 0},         {3, 1, 0},          {20, 1, 1},
        {kPlayer, 4, 2},    // an unchecked session still needs the lap in its table
    };
    for (const NoSuchLap& c : cases) {
        EXPECT_EQ(Extract(*r, c.driver, c.lap, c.session), GetRpyInfo::kNotSelectable)
            << "driver " << c.driver << " lap " << c.lap << " session " << c.session;
        EXPECT_EQ(info.TrimToLap(1), GetRpyInfo::kNotSelectable);
        EXPECT_FALSE(info.trimmed);
    }
}

TEST_F(LapFailure, InvalidPracticeLapIsNotSelectableButAnInvalidRaceLapIs) {
    spec.practice[kPlayer].words[1] |= Drivers::kInvalidLapFlag;  // practice lap 2 of the player
    spec.race[kOther].words[1] |= Drivers::kInvalidLapFlag;       // race lap 2 of Brabham
    auto r = Load(spec);
    EXPECT_EQ(Extract(*r, kPlayer, 2, 0), GetRpyInfo::kNotSelectable);
    EXPECT_EQ(Extract(*r, kPlayer, 1, 0), GetRpyInfo::kOk);
    EXPECT_EQ(Extract(*r, kOther, 2, 1), GetRpyInfo::kOk);
}

TEST_F(LapFailure, NoMarkerOfTheSessionIsAFailureNotALap) {
    auto r = Load(spec);
    // Session 2 skips the selectable test, takes the race table's times and
    // finds no marker that counts for it.
    r->drivers->race_selectable[kPlayer][2] = 0;
    EXPECT_EQ(Extract(*r, kPlayer, 2, 2), GetRpyInfo::kEndNotFound);
    EXPECT_EQ(info.lap_start_ms, gen.LapClock(kPlayer, 1)[1]);
    EXPECT_EQ(info.sample_count, 0u);
    EXPECT_EQ(info.TrimToLap(1), GetRpyInfo::kEndNotFound);

    // A race session code that no marker carries.
    r->drivers->race_session_code = 9;
    EXPECT_EQ(Extract(*r, kOther, 1, 1), GetRpyInfo::kEndNotFound);
}

TEST_F(LapFailure, LapEndingAfterTheRecordingIsNotFound) {
    auto r = Load(spec);
    // The lap table claims a last race lap a minute longer than recorded.
    const int lap = r->drivers->race_lap_count[kOther];
    r->drivers->race_times[kOther][lap] += 60000;
    EXPECT_EQ(Extract(*r, kOther, lap, 1), GetRpyInfo::kEndNotFound);
    EXPECT_EQ(Extract(*r, kOther, lap - 1, 1), GetRpyInfo::kOk);
}

TEST_F(LapFailure, FileCutInsideTheLapIsNotReadPastItsEnd) {
    auto r = Load(spec);
    const LapTruth& earlier = gen.Lap(kPlayer, 1, 1);
    const std::string whole = fixture::BuildReplay(spec);
    // Cut in the middle of the lap's blocks, after the driver table was read.
    GetRpyInfo probe;
    ASSERT_EQ(probe.ExtractLap(*r->drivers, kPlayer, 3, 1), 0);
    const uint64_t middle = (probe.first_block_pos + probe.after_last_pos) / 2;
    fixture::WriteFile(r->path, whole.substr(0, middle));
    EXPECT_EQ(Extract(*r, kPlayer, 3, 1), GetRpyInfo::kEndNotFound);
    EXPECT_EQ(Extract(*r, kPlayer, 1, 1), GetRpyInfo::kOk);
    EXPECT_EQ(info.sample_count, earlier.sample_count);
    // A cut inside the data section's header.
    fixture::WriteFile(r->path, whole.substr(0, r->drivers->data_section_offset + 6));
    EXPECT_EQ(Extract(*r, kPlayer, 1, 1), GetRpyInfo::kEndNotFound);
}

TEST_F(LapFailure, DataEndingWithTheClosingBlockKeepsTheLap) {
    auto r = Load(spec);
    const LapTruth& t = gen.Lap(kPlayer, 1, 2);
    GetRpyInfo probe;
    ASSERT_EQ(probe.ExtractLap(*r->drivers, kPlayer, 2, 1), 0);
    // The file now stops right after the block of the closing marker.
    fixture::WriteFile(r->path, fixture::BuildReplay(spec).substr(0, probe.after_last_pos - probe.last_block_size));
    ASSERT_EQ(Extract(*r, kPlayer, 2, 1), GetRpyInfo::kOk);
    EXPECT_EQ(info.sample_count, t.sample_count - 1);
    ASSERT_EQ(info.TrimToLap(1), 0);
    EXPECT_GE(info.sample_count, 1u);
    EXPECT_LE(info.sample_count, t.sample_count - 1);
}

TEST_F(LapFailure, MissingOrEmptyReplay) {
    auto r = Load(spec);
    std::filesystem::remove(r->path);
    EXPECT_EQ(Extract(*r, kPlayer, 1, 1), GetRpyInfo::kCannotOpen);
    fixture::WriteFile(r->path, "");
    EXPECT_EQ(Extract(*r, kPlayer, 1, 1), GetRpyInfo::kEmptyFile);
}

struct Damage {
    const char* name;
    void (*apply)(FrameBlock& block);
    int driver;  // the lap read
    int expected;
};

void Insert(FrameBlock& b, Record r) { b.records.insert(b.records.begin() + 2, std::move(r)); }

const Damage kDamages[] = {
    {"Type0", [](FrameBlock& b) { Insert(b, Record{0, 4, {}}); }, kPlayer, GetRpyInfo::kDamaged},
    {"Type5", [](FrameBlock& b) { Insert(b, Record{5, 8, std::string(4, 'x')}); }, kOther, GetRpyInfo::kDamaged},
    {"Type7", [](FrameBlock& b) { Insert(b, Record{7, 8, std::string(4, 'x')}); }, kPlayer, GetRpyInfo::kDamaged},
    {"Type17", [](FrameBlock& b) { Insert(b, Record{17, 4, {}}); }, kOther, GetRpyInfo::kDamaged},
    {"PlayerRecordShort",
     [](FrameBlock& b) {
         auto& r = b.records[FindRecord(b, 1)];
         r.payload.resize(24);
         r.length = 28;
     },
     kPlayer, GetRpyInfo::kDamaged},
    // Another car's lap does not read the player's record.
    {"PlayerRecordShortInAnotherCarsLap",
     [](FrameBlock& b) {
         auto& r = b.records[FindRecord(b, 1)];
         r.payload.resize(24);
         r.length = 28;
     },
     kOther, GetRpyInfo::kOk},
    {"EngineRecordEmpty",
     [](FrameBlock& b) {
         auto& r = b.records[FindRecord(b, 2)];
         r.payload.clear();
         r.length = 4;
     },
     kPlayer, GetRpyInfo::kDamaged},
    {"OtherCarsLengthBelow4", [](FrameBlock& b) { Insert(b, Record{3, 2, {}}); }, kOther, GetRpyInfo::kDamaged},
    {"OtherCarsLength0", [](FrameBlock& b) { Insert(b, Record{3, 0, {}}); }, kPlayer, GetRpyInfo::kDamaged},
    {"RecordPastTheBlock", [](FrameBlock& b) { b.records.push_back(Record{4, 400, std::string(8, 'x')}); }, kPlayer,
     GetRpyInfo::kDamaged},
    // Occupies exactly its length field, leaving two bytes: too few for a record header.
    {"RecordHeaderCutByTheBlock", [](FrameBlock& b) { b.records.push_back(Record{4, 4, "\x01\x02"}); }, kOther,
     GetRpyInfo::kDamaged},
    {"BlockSizeBelowItsHeader", [](FrameBlock& b) { b.size_override = 4; }, kOther, GetRpyInfo::kDamaged},
    // Other cars' entries beyond whole 16-byte entries are left alone.
    {"OtherCarsTrailingBytes",
     [](FrameBlock& b) {
         auto& r = b.records[FindRecord(b, 3)];
         r.payload += std::string(8, '\xFF');
         r.length = static_cast<uint16_t>(r.length + 8);
     },
     kOther, GetRpyInfo::kOk},
};

class DamagedLap : public testing::TestWithParam<Damage> {};

TEST_P(DamagedLap, StopsWithItsCode) {
    const RaceGenerator gen(SmallRace());
    ReplaySpec spec = gen.Spec();
    const Damage& d = GetParam();
    const LapTruth& t = gen.Lap(static_cast<uint32_t>(d.driver), 1, 2);
    // A block in the middle of the lap, one that starts with its marker.
    uint32_t block = t.start_block + 100;
    while (telemetry_test::FindRecord(spec.frames[block - 1], 13) != 0) ++block;
    d.apply(spec.frames[block - 1]);
    // The same damage after the lap's last block is never read.
    d.apply(spec.frames[t.start_block + t.sample_count + 3]);
    auto r = Load(spec);
    GetRpyInfo info;
    EXPECT_EQ(info.ExtractLap(*r->drivers, d.driver, 2, 1), d.expected);
    EXPECT_EQ(info.status, d.expected);
    GetRpyInfo earlier;
    EXPECT_EQ(earlier.ExtractLap(*r->drivers, d.driver, 1, 1), 0);
}

INSTANTIATE_TEST_SUITE_P(Records, DamagedLap, testing::ValuesIn(kDamages),
                         [](const testing::TestParamInfo<Damage>& info) { return info.param.name; });

// Records whose length fields mean different sizes under different skip
// rules, ahead of the car records in every block of a lap: a walk that
// skips any of them by the wrong rule misreads the cars after them.
TEST(LapRecords, EachTypeIsSkippedByItsOwnRule) {
    const RaceGenerator gen(SmallRace());
    ReplaySpec spec = gen.Spec();
    for (int driver : {kPlayer, kOther}) {
        const LapTruth& t = gen.Lap(static_cast<uint32_t>(driver), 1, 2);
        for (uint32_t b = t.start_block; b < t.start_block + t.sample_count; ++b) {
            auto& recs = spec.frames[b - 1].records;
            const std::vector<Record> odd = {
                Record{8, 8, std::string(6, '\x08')},      // length + 2: 10 bytes
                Record{4, 6, std::string(2, '\x04')},      // exactly its length: 6 bytes
                Record{9, 5, std::string(4, '\x09')},      // padded to 8 bytes
                Record{10, 18, std::string(14, '\x0A')},   // 18 bytes
                Record{13, 8, std::string(4, '\x0D')},     // a second marker, 8 bytes
                Record{6, 2 + 4, std::string(2, '\x06')},  // 6 bytes
                Record{15, 6, std::string(4, '\x0F')},     // padded to 8 bytes
            };
            if (b % 2 == 0) recs.insert(recs.begin() + 2, odd.begin(), odd.end());
        }
    }
    auto r = Load(spec);
    for (int driver : {kPlayer, kOther}) {
        const LapTruth& t = gen.Lap(static_cast<uint32_t>(driver), 1, 2);
        GetRpyInfo info;
        ASSERT_EQ(info.ExtractLap(*r->drivers, driver, 2, 1), 0);
        EXPECT_EQ(info.decoded_count, t.sample_count);
        ASSERT_EQ(info.TrimToLap(1), 0);
        ASSERT_EQ(info.sample_count, t.TrimmedCount(1));
        for (uint32_t k = 1; k <= info.sample_count; ++k) {
            const fixture::CarState s = gen.StateAt(t.driver, t.FirstKeptBlock(1) + k - 1);
            ASSERT_EQ(info.distance_raw[k], s.distance_raw) << "sample " << k;
            ASSERT_EQ(info.steering[k], s.steering) << "sample " << k;
            if (driver == kPlayer) {
                ASSERT_EQ(info.fuel_pressure[k], s.fuel_pressure) << "sample " << k;
            }
        }
    }
}

// A hand-built practice: one driver, one lap from 5000 ms to 5300 ms, and a
// marker every block at 10 ms steps from 2980 ms.
TEST(LapMarkers, OpenLessThan2sBeforeAndCloseMoreThan30msAfterTheLap) {
    ReplaySpec spec;
    spec.drivers = {fixture::DriverSpec{}};
    spec.layout = fixture::TableLayout::kPracticeOnly;
    spec.practice = {fixture::EntryFromLaps(0, 5000, {300})};
    for (uint32_t t = 2980; t <= 5400; t += 10) {
        FrameBlock b;
        fixture::PlayerCarFields car;
        car.distance = (t - 2980) * 50;
        b.records = {fixture::Marker(0, t), Record{1, 32, fixture::CarRecordPacker::PlayerCar(car)}};
        spec.frames.push_back(b);
    }
    auto r = Load(spec);
    GetRpyInfo info;
    ASSERT_EQ(info.ExtractLap(*r->drivers, 0, 1, 0), 0);
    EXPECT_EQ(info.lap_start_ms, 5000u);
    EXPECT_EQ(info.lap_end_ms, 5300u);
    // 3000 ms is exactly 2 s before the start and does not open the lap.
    EXPECT_EQ(info.start_marker_ms, 3010u);
    EXPECT_EQ(info.start_block, 4u);
    // 5330 ms is exactly 30 ms after the end and does not close it.
    EXPECT_EQ(info.end_marker_ms, 5340u);
    EXPECT_EQ(info.end_block, (5340u - 2980) / 10 + 1);
    EXPECT_EQ(info.sample_count, info.end_block + 2 - info.start_block);
}

}  // namespace
