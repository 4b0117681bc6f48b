// Catalogue record forms of the replay header and the driver table: write
// then read round trips, older versions laid out by hand from the record
// tables, and damaged records.

#include <gtest/gtest.h>

#include <algorithm>

#include "replay/byte_reader.h"
#include "replay/byte_writer.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "support/catalogue_fixture.h"
#include "support/replay_fixture.h"

namespace {

Header SampleHeader() {
    Header h;
    h.version = 1;
    h.next_chunk_offset = 123456;
    h.recording_length = 77777;
    h.ai_cars = 12;
    h.player_first_name = "Jochen";
    h.player_last_name = "Rindt";
    h.track_folder = "spa";
    h.car_set = "qel67";
    h.session_count = 3;
    h.race_laps = 28;
    h.game_mode = -1;
    h.damage_level = 3;
    return h;
}

TEST(HeaderRecord, RoundTripsInTheCurrentForm) {
    ByteWriter w;
    const Header h = SampleHeader();
    EXPECT_EQ(h.WriteDatabaseRecord(w), 1);
    // 3 x u32, u16, four strings with NUL, 4 x u32.
    EXPECT_EQ(w.bytes().size(), 12u + 2 + 7 + 6 + 4 + 6 + 16);

    ByteReader r(w.bytes().data(), w.bytes().size());
    Header back;
    EXPECT_EQ(back.ReadDatabaseRecord(r), 1);
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_EQ(back.loaded_from_catalogue, 1);
    EXPECT_EQ(back.version, 1);
    EXPECT_EQ(back.next_chunk_offset, 123456u);
    EXPECT_EQ(back.recording_length, 77777u);
    EXPECT_EQ(back.ai_cars, 12);
    EXPECT_EQ(back.player_first_name, "Jochen");
    EXPECT_EQ(back.player_last_name, "Rindt");
    EXPECT_EQ(back.track_folder, "spa");
    EXPECT_EQ(back.car_set, "qel67");
    EXPECT_EQ(back.session_count, 3);
    EXPECT_EQ(back.race_laps, 28);
    EXPECT_EQ(back.game_mode, -1);
    EXPECT_EQ(back.damage_level, 3);
}

TEST(HeaderRecord, VersionOneStopsBeforeTheSessionFields) {
    ByteWriter w;
    SampleHeader().WriteDatabaseRecord(w);
    ByteReader r(w.bytes().data(), w.bytes().size());
    Header back;
    EXPECT_EQ(back.ReadDatabaseRecordV1(r), 1);
    EXPECT_EQ(back.car_set, "qel67");
    EXPECT_EQ(back.session_count, 0);
    EXPECT_EQ(r.remaining(), 16u);
    EXPECT_EQ(r.U32(), 3u);  // positioned at the session count
}

TEST(HeaderRecord, DamagedRecordsAreReportedNotOverrun) {
    ByteWriter w;
    SampleHeader().WriteDatabaseRecord(w);
    for (size_t len = 0; len < w.bytes().size(); ++len) {
        ByteReader r(w.bytes().data(), len);
        Header back;
        EXPECT_EQ(back.ReadDatabaseRecord(r), 0) << len;
    }
    // A name of 16 characters cannot come from a replay.
    fixture::Bytes b;
    b.U32(1);
    b.U32(2);
    b.U32(3);
    b.U16(4);
    b.CString("Sixteen-chars-xx");
    b.CString("x");
    b.CString("x");
    b.CString("x");
    ByteReader r(b.data.data(), b.data.size());
    Header back;
    EXPECT_EQ(back.ReadDatabaseRecordV1(r), 0);
    EXPECT_EQ(back.recording_length, 3u);
    EXPECT_EQ(back.player_first_name, "");
}

// A driver table filled the way a replay fills it.
Drivers SampleDrivers() {
    Drivers d;
    d.file_date = "2008 Jan 06";
    d.player_name_mismatch = 1;
    d.driver_count = 2;
    d.chunk_driver_count = 2;
    d.practice_present = 1;
    d.race_present = 1;
    d.race_session_code = 2;
    d.player_index = 1;
    const char* first[] = {"Jim", "Denny"};
    const char* last[] = {"Clark", "Hulme"};
    for (int i = 0; i < 2; ++i) {
        d.first_names[i] = first[i];
        d.last_names[i] = last[i];
        d.country_codes[i] = i == 0 ? "GBR" : "NZL";
        d.country_index[i] = i == 0 ? 13 : 21;
        d.ai[i] = static_cast<uint8_t>(i);
        d.driver_code[i] = static_cast<uint8_t>(0x30 + i);
        d.engine_index[i] = 4u + i;
        d.value140[i] = 1400u + i;
        d.slot[i] = 7u + i;
        d.season_code[i] = i == 0 ? 1967 : 66;
        d.car_index[i] = static_cast<uint8_t>(3 + i);
        d.practice_lap_count[i] = 2 + i;
        d.race_lap_count[i] = 1;
        for (int k = 0; k <= d.practice_lap_count[i]; ++k) {
            d.practice_times[i][k] = 60000u + 100 * k + i;
            d.practice_selectable[i][k] = k % 2;
        }
        for (int k = 0; k <= d.race_lap_count[i]; ++k) {
            d.race_times[i][k] = 0x40000000u | (70000u + k);
            d.race_selectable[i][k] = 1;
        }
    }
    return d;
}

std::string DriversRecord(const Drivers& d, int version) { return fixture::DriversCatalogueRecord(d, version); }

int ReadVersion(Drivers& d, ByteReader& r, int version) {
    switch (version) {
    case 1: return d.ReadFromDatabaseV1(r);
    case 2: return d.ReadFromDatabaseV2(r);
    case 3: return d.ReadFromDatabaseV3(r);
    default: return d.ReadFromDatabaseV4(r);
    }
}

TEST(DriversRecord, WriterLaysOutVersionFour) {
    const Drivers d = SampleDrivers();
    ByteWriter w;
    EXPECT_EQ(d.WriteToDatabase(w), 1);
    EXPECT_EQ(w.bytes(), DriversRecord(d, 4));
}

TEST(DriversRecord, EveryVersionReads) {
    const Drivers d = SampleDrivers();
    struct Case {
        int version;
        uint8_t code;
        uint16_t season;
        uint8_t car;
    } cases[] = {{1, 0, 255, 255}, {2, 0x31, 255, 255}, {3, 0x31, 66, 0}, {4, 0x31, 66, 4}};
    for (const auto& c : cases) {
        const std::string bytes = DriversRecord(d, c.version);
        ByteReader r(bytes.data(), bytes.size());
        Drivers back;
        ASSERT_EQ(ReadVersion(back, r, c.version), 1) << c.version;
        EXPECT_EQ(r.remaining(), 0u) << c.version;
        EXPECT_EQ(back.loaded_from_catalogue, 1);
        EXPECT_EQ(back.file_date, "2008 Jan 06");
        EXPECT_EQ(back.driver_count, 2);
        EXPECT_EQ(back.player_index, 1u);
        EXPECT_EQ(back.race_session_code, 2u);
        EXPECT_EQ(back.first_names[1], "Denny");
        EXPECT_EQ(back.country_codes[1], "NZL");
        EXPECT_EQ(back.country_index[1], 21);
        EXPECT_EQ(back.ai[1], 1);
        EXPECT_EQ(back.slot[1], 8u);
        EXPECT_EQ(back.engine_index[1], 5u);
        EXPECT_EQ(back.value140[1], 1401u);
        EXPECT_EQ(back.driver_code[1], c.code) << c.version;
        EXPECT_EQ(back.season_code[1], c.season) << c.version;
        EXPECT_EQ(back.car_index[1], c.car) << c.version;
        EXPECT_EQ(back.practice_lap_count[1], 3);
        EXPECT_EQ(back.practice_times[1][3], 60301u);
        EXPECT_EQ(back.practice_selectable[1][3], 1);
        EXPECT_EQ(back.race_times[0][1], 0x40000000u | 70001u);
    }
}

TEST(DriversRecord, RoundTripOfALoadedReplayKeepsTheTable) {
    Drivers d = SampleDrivers();
    d.race_present = 0;  // practice pairs only
    ByteWriter w;
    d.WriteToDatabase(w);
    ByteReader r(w.bytes().data(), w.bytes().size());
    Drivers back;
    ASSERT_EQ(back.ReadFromDatabaseV4(r), 1);
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_EQ(back.practice_times, d.practice_times);
    EXPECT_EQ(back.race_times[0][0], 0x11111111u);  // untouched
}

TEST(DriversRecord, DamagedRecordsAreReportedNotOverrun) {
    const std::string good = DriversRecord(SampleDrivers(), 4);
    for (size_t len = 0; len < good.size(); ++len) {
        ByteReader r(good.data(), len);
        Drivers back;
        EXPECT_EQ(back.ReadFromDatabaseV4(r), 0) << len;
        EXPECT_EQ(back.driver_count, -1) << len;
    }

    fixture::Bytes b;
    b.CString("2008 Jan 06");
    b.U32(0);
    b.U16(21);
    b.U16(21);
    b.Zeros(16);
    b.Zeros(4000);
    ByteReader r(b.data.data(), b.data.size());
    Drivers back;
    EXPECT_EQ(back.ReadFromDatabaseV4(r), 0);

    Drivers long_table = SampleDrivers();
    long_table.practice_lap_count[0] = 150;
    const std::string bytes = DriversRecord(long_table, 4);
    ByteReader lr(bytes.data(), bytes.size());
    Drivers lb;
    EXPECT_EQ(lb.ReadFromDatabaseV4(lr), 0);

    Drivers long_code = SampleDrivers();
    long_code.country_codes[0] = "GBRX";
    const std::string cb = DriversRecord(long_code, 2);
    ByteReader cr(cb.data(), cb.size());
    Drivers cback;
    EXPECT_EQ(cback.ReadFromDatabaseV2(cr), 0);
}

}  // namespace
