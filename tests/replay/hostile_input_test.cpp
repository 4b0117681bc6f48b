// Replays as a hostile user would hand them over: special files, a sparse
// file claiming a huge table, frame blocks that run past their section, and
// objects reused for a second file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "replay/byte_reader.h"
#include "replay/byte_writer.h"
#include "replay/data_section_walker.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "replay/input_file.h"
#include "support/replay_fixture.h"
#include "support/temp_dir.h"

namespace {

using fixture::EntryFromLaps;
using fixture::ReplaySpec;

ReplaySpec TwoSessions() {
    ReplaySpec s;
    fixture::DriverSpec clark, hill;
    clark.first_name = "Jim";
    clark.last_name = "Clark";
    hill.first_name = "Graham";
    hill.last_name = "Hill";
    hill.slot = 1;
    s.drivers = {clark, hill};
    s.practice = {EntryFromLaps(0, 2000, {5000, 6000}), EntryFromLaps(1, 500, {6000})};
    s.race = {EntryFromLaps(0, 3000, {9000, 9000}), EntryFromLaps(1, 3100, {9500})};
    s.frames = fixture::SessionFrames(0, 1000, 400, 1, 8);
    const auto race = fixture::SessionFrames(2, 500, 1000, 401, 8);
    s.frames.insert(s.frames.end(), race.begin(), race.end());
    return s;
}

void PatchU32(std::string& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

TEST(HostileReplay, SpecialFilesAreRefusedWithoutWaiting) {
    fixture::TempDir dir;
    const std::string fifo = dir.File("fifo.rpy");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() / "folder.rpy");
    // A FIFO with no writer would block an ordinary open for ever.
    for (const std::string& path : {fifo, dir.File("folder.rpy"), std::string("/dev/null")}) {
        InputFile f;
        EXPECT_EQ(f.Open(path), InputFile::Status::kNotRegular) << path;
        EXPECT_FALSE(f.is_open());
        Header h;
        EXPECT_EQ(h.Load(path), Header::kCannotOpen) << path;
        Drivers d;
        EXPECT_EQ(d.LoadReplay(path), 3) << path;
        DataSectionWalker w;
        EXPECT_EQ(w.Walk(path, 308, [](const auto&) { return DataSectionWalker::BlockAction::kRecords; },
                         [](const auto&, const auto&) { return true; }),
                  DataSectionWalker::End::kCannotOpen);
    }
    InputFile missing;
    EXPECT_EQ(missing.Open(dir.File("none.rpy")), InputFile::Status::kMissing);
}

TEST(HostileReplay, AHugeClaimedLapTableIsRefusedBeforeItIsRead) {
    fixture::TempDir dir;
    const ReplaySpec s = TwoSessions();
    const auto layout = fixture::LayoutOf(s);
    std::string bytes = fixture::BuildReplay(s);
    PatchU32(bytes, layout.first_table + 8, 0xF0000000u);
    const std::string path = dir.File("sparse.rpy");
    fixture::WriteFile(path, bytes);
    // A few kilobytes on disk, but long enough to hold what the table claims.
    std::filesystem::resize_file(path, uint64_t{layout.first_table} + 12 + 0xF0000000u + 4096);

    const auto start = std::chrono::steady_clock::now();
    Drivers d;
    EXPECT_EQ(d.LoadReplay(path), 3);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    // The largest table twenty drivers of 149 laps can fill still loads.
    ReplaySpec full = TwoSessions();
    full.race[0] = EntryFromLaps(0, 3000, std::vector<uint32_t>(149, 1000));
    full.race[1] = EntryFromLaps(1, 3000, std::vector<uint32_t>(149, 1000));
    fixture::WriteFile(dir.File("full.rpy"), fixture::BuildReplay(full));
    Drivers f;
    EXPECT_EQ(f.LoadReplay(dir.File("full.rpy")), 0);
    EXPECT_EQ(f.race_lap_count[1], 149);
}

// A table is bounded by what the file holds, not by a count of laps: a
// full field of drivers who ran past the 149 laps the table keeps still
// loads, without the laps beyond; a table claiming more than the file
// holds is refused.
TEST(HostileReplay, LapsBeyondTheTableAreLeftOutAndAClaimPastTheFileIsRefused) {
    fixture::TempDir dir;
    ReplaySpec s = TwoSessions();
    for (auto* table : {&s.practice, &s.race}) {
        table->clear();
        for (uint32_t slot = 0; slot < 20; ++slot)
            table->push_back(EntryFromLaps(slot, 3000, std::vector<uint32_t>(151, 1000)));
    }
    fixture::WriteFile(dir.File("long.rpy"), fixture::BuildReplay(s));
    Drivers full;
    ASSERT_EQ(full.LoadReplay(dir.File("long.rpy")), 0);
    EXPECT_EQ(full.practice_lap_count[1], 149);
    EXPECT_EQ(full.race_lap_count[1], 149);
    EXPECT_EQ(full.race_times[1][149] & 0xFFFFFF, 1000u);

    std::string bytes = fixture::BuildReplay(s);
    const auto layout = fixture::LayoutOf(s);
    PatchU32(bytes, layout.first_table + 8, static_cast<uint32_t>(bytes.size() - layout.first_table - 12 + 1));
    fixture::WriteFile(dir.File("over.rpy"), bytes);
    Drivers over;
    EXPECT_EQ(over.LoadReplay(dir.File("over.rpy")), 3);
}

// One rule for a frame block in every walk of the data section: it ends
// inside the section. The forward and backward marker scans of the driver
// table and the walk of the scanning reports judge the same file alike.
TEST(HostileReplay, EveryWalkCallsABlockPastItsSectionDamage) {
    struct Case {
        const char* what;
        std::function<void(std::string& bytes, uint32_t data)> damage;
    } cases[] = {
        {"the first block runs past the end of the file",
         [](std::string& b, uint32_t data) {
             b[data + 12] = '\xF0';
             b[data + 13] = '\xFF';
         }},
        {"the first block runs past the section but not the file",
         [](std::string& b, uint32_t data) {
             // The section claims four bytes less than its blocks hold, and
             // the first block covers them all.
             const uint32_t total = ByteReader(b.data(), b.size()).U32At(data + 8);
             PatchU32(b, data + 8, total - 4);
             b[data + 12] = static_cast<char>(total & 0xFF);
             b[data + 13] = static_cast<char>(total >> 8);
         }},
    };
    for (const auto& c : cases) {
        // A first block without markers, so the forward scan reads the
        // next, and a last block with a race marker, where the backward scan
        // stops.
        ReplaySpec s = TwoSessions();
        fixture::FrameBlock plain;
        plain.records.push_back(fixture::Filler(4, 8));
        s.frames = {plain, fixture::SessionFrames(2, 500, 1)[0]};
        const auto layout = fixture::LayoutOf(s);
        std::string bytes = fixture::BuildReplay(s);
        c.damage(bytes, layout.data_section);
        fixture::TempDir dir;
        const std::string path = dir.File("r.rpy");
        fixture::WriteFile(path, bytes);

        Drivers d;
        EXPECT_EQ(d.LoadReplay(path), 3) << c.what;
        DataSectionWalker w;
        const auto end = w.Walk(path, layout.data_section,
                                [](const auto&) { return DataSectionWalker::BlockAction::kRecords; },
                                [](const auto&, const auto&) { return true; });
        EXPECT_TRUE(end == DataSectionWalker::End::kPastEndOfFile || end == DataSectionWalker::End::kPastSectionEnd)
            << c.what;
    }
}

// Everything a table shows after loading B, compared between a fresh object
// and one that loaded A first.
std::string Snapshot(const Drivers& d) {
    ByteWriter w;
    if (d.driver_count >= 0) d.WriteToDatabase(w);
    std::string s(w.bytes().begin(), w.bytes().end());
    for (uint32_t v : {uint32_t(d.driver_count), uint32_t(d.practice_present), uint32_t(d.race_present),
                       d.first_practice_marker, d.last_practice_marker, d.first_race_marker, d.last_race_marker,
                       d.race_session_code, uint32_t(d.frame_number_read), d.last_frame_number,
                       d.data_section_offset, d.frame_bytes_total, uint32_t(d.loaded_from_catalogue),
                       uint32_t(d.player_name_mismatch), d.player_index})
        s += std::to_string(v) + ",";
    for (int i = 0; i < Drivers::kMaxDrivers; ++i) {
        s += std::to_string(d.practice_entry_count[i]) + "/" + std::to_string(d.race_entry_count[i]) + ",";
        s += std::to_string(d.practice_words[i][0]) + "/" + std::to_string(d.race_words[i][0]) + ",";
        s += d.first_names[i] + std::to_string(d.slot[i]) + std::to_string(d.practice_lap_count[i]) +
             std::to_string(d.race_lap_count[i]) + ",";
    }
    return s;
}

std::string Snapshot(const Header& h) {
    std::string s(h.raw_header.begin(), h.raw_header.end());
    for (int v : {h.session_count, h.race_laps, h.game_mode, h.damage_level, h.loaded_from_catalogue, h.version,
                  h.last_load_result, int(h.ai_cars), int(h.next_chunk_offset), int(h.recording_length)})
        s += std::to_string(v) + ",";
    return s + h.player_first_name + "," + h.player_last_name + "," + h.track_folder + "," + h.car_set;
}

TEST(HostileReplay, ASecondFileLoadsAsIntoAFreshObject) {
    fixture::TempDir dir;
    auto write = [&](const std::string& name, const ReplaySpec& s) {
        fixture::WriteFile(dir.File(name), fixture::BuildReplay(s));
        return dir.File(name);
    };
    ReplaySpec practice_only = TwoSessions();
    practice_only.race.clear();
    practice_only.layout = fixture::TableLayout::kPracticeOnly;
    practice_only.frames = fixture::SessionFrames(0, 1000, 400, 1, 8);
    ReplaySpec no_tables = TwoSessions();
    no_tables.layout = fixture::TableLayout::kNone;
    ReplaySpec zavro = TwoSessions();
    zavro.drivers[0].first_name = "ZAVRO";
    ReplaySpec three = TwoSessions();
    three.sessions = 3;
    three.game_mode = 0;
    three.track = "Spa";
    ReplaySpec torquana = TwoSessions();
    torquana.version = 3;

    const std::string both = write("both.rpy", TwoSessions());
    const struct {
        std::string a, b;
    } pairs[] = {
        {both, write("practice.rpy", practice_only)},
        {both, write("none.rpy", no_tables)},
        {write("zavro.rpy", zavro), both},
        {write("three.rpy", three), both},
        {both, dir.File("missing.rpy")},
        {both, write("torquana.rpy", torquana)},
    };
    for (const auto& p : pairs) {
        Drivers reused, fresh;
        reused.LoadReplay(p.a);
        EXPECT_EQ(reused.LoadReplay(p.b), fresh.LoadReplay(p.b)) << p.a << " then " << p.b;
        EXPECT_EQ(Snapshot(reused), Snapshot(fresh)) << p.a << " then " << p.b;

        Header reused_header, fresh_header;
        reused_header.Load(p.a);
        EXPECT_EQ(reused_header.Load(p.b), fresh_header.Load(p.b));
        EXPECT_EQ(Snapshot(reused_header), Snapshot(fresh_header)) << p.a << " then " << p.b;
    }

    // A header read from a catalogue record and then from a file.
    Header catalogued, fresh;
    ByteWriter w;
    fresh.Load(both);
    fresh.WriteDatabaseRecord(w);
    ByteReader r(w.bytes().data(), w.bytes().size());
    catalogued.ReadDatabaseRecord(r);
    EXPECT_EQ(catalogued.loaded_from_catalogue, 1);
    catalogued.Load(both);
    EXPECT_EQ(Snapshot(catalogued), Snapshot(fresh));
}

TEST(HostileReplay, EveryOutOfRangeReadSetsTheReaderFailureFlag) {
    const uint8_t bytes[] = {'a', 'b', 'c'};
    char out[8];
    const std::function<void(ByteReader&)> reads[] = {
        [](ByteReader& r) { r.Seek(3), r.U8(); },
        [](ByteReader& r) { r.Seek(2), r.U16(); },
        [](ByteReader& r) { r.U32(); },
        [](ByteReader& r) { r.Seek(3), r.I8(); },
        [](ByteReader& r) { r.U16At(2); },
        [](ByteReader& r) { r.U32At(0); },
        [](ByteReader& r) { r.U16At(SIZE_MAX); },
        [](ByteReader& r) { r.CString(15); },
        [](ByteReader& r) { r.Field(4, 4); },
        [&out](ByteReader& r) { r.Bytes(out, 4); },
        [](ByteReader& r) { r.Skip(4); },
        [](ByteReader& r) { r.Seek(4); },
    };
    int i = 0;
    for (const auto& read : reads) {
        ByteReader r(bytes, sizeof bytes);
        EXPECT_TRUE(r.ok());
        read(r);
        EXPECT_FALSE(r.ok()) << "read " << i;
        ++i;
    }
    // Reads inside the bytes, and asking, leave it set.
    ByteReader r(bytes, sizeof bytes);
    EXPECT_EQ(r.U16At(1), 0x6362);
    EXPECT_FALSE(r.Has(2, 2));
    EXPECT_TRUE(r.ok());
}

}  // namespace
