// Reading track files: both file forms, the closed-form stadium, every
// message of the reader, and damaged files that must be refused rather
// than read beyond their end.

#include "track/track.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <vector>

#include "track/curve.h"
#include "track/file_handle.h"
#include "track/section.h"
#include "track/straight.h"
#include "track/zavro_exception.h"
#include "track_test_support.h"

namespace {

using fixture::BuildTrackBlock;
using fixture::BuildTrackContainer;
using fixture::ContainerEntry;
using fixture::TrackBlockSpec;
using fixture::TrackContainerSpec;
using track_test::kMm;
using track_test::kUnit;
using track_test::Near;

constexpr double kPi = std::numbers::pi;
const double kStraight = fixture::kStadiumStraight * kUnit;  // 203.2 m
const double kRadius = fixture::kStadiumRadius * kUnit;      // 101.6 m

// The message a failed construction throws; "" when it does not throw.
std::string MessageOf(const std::string& path) {
    try {
        Track t(path);
    } catch (const ZAVROException& e) {
        return e.GetMessage();
    }
    return "";
}

class TrackReaderTest : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        return track_test::Write(dir, name, bytes);
    }
    fixture::TempDir dir;
};

void ExpectStadium(const Track& t) {
    ASSERT_EQ(t.GetSectionCount(), 4u);
    EXPECT_NEAR(t.GetLength(), 2 * kStraight + 2 * kPi * kRadius, kMm);
    EXPECT_DOUBLE_EQ(t.GetStatedLength(), fixture::kStadiumStated * kUnit);
    EXPECT_EQ(t.GetTraceCount(), 4u);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(t.GetTraceValue(i), fixture::kStadiumTraces[i]);
    // The fixture fills the slots beyond the trace count with pattern values.
    EXPECT_EQ(t.GetTraceValue(4), 0);
    EXPECT_EQ(t.GetTraceValue(15), 0);

    const double starts[] = {0, kStraight, kStraight + kPi * kRadius, 2 * kStraight + kPi * kRadius};
    const WorldPoint points[] = {{0, 0}, {kStraight, 0}, {kStraight, 2 * kRadius}, {0, 2 * kRadius}};
    for (size_t i = 0; i < 4; ++i) {
        const Section& s = t.GetSection(i);
        EXPECT_EQ(dynamic_cast<const Curve*>(&s) != nullptr, i % 2 == 1) << i;
        EXPECT_NEAR(s.GetStartDistance(), starts[i], kMm) << i;
        EXPECT_TRUE(Near(s.GetStartPoint(), points[i])) << i;
        EXPECT_TRUE(Near(s.GetEndPoint(), points[(i + 1) % 4])) << i;
        EXPECT_EQ(s.GetLateralLineCount(), 4u);
        EXPECT_EQ(s.GetCrossRecordCount(), 4u);
    }
    EXPECT_NEAR(t.GetSection(3).GetEnd(), t.GetLength(), 1e-9);
    EXPECT_NEAR(t.GetSection(1).GetComputedLength(), kPi * kRadius, kMm);
}

TEST_F(TrackReaderTest, StadiumLoadsFromABareBlockAndFromAContainer) {
    const std::string block = BuildTrackBlock(fixture::StadiumCircuit());
    ExpectStadium(Track(Write("stadium.trk", block)));

    // The container is searched for the base name with ".trk", also when
    // the .dat file is opened, and entry names are compared lower-cased.
    TrackContainerSpec c;
    c.entries = {{"other.trk", "not this one"}, {"STADIUM.TRK", block}, {"stadium.ini", "[x]"}};
    ExpectStadium(Track(Write("Stadium.dat", BuildTrackContainer(c))));
    ExpectStadium(Track(Write("Stadium.trk", BuildTrackContainer(c))));
}

TEST_F(TrackReaderTest, NameAndContainerRules) {
    const std::string block = BuildTrackBlock(fixture::StadiumCircuit());
    // A file that starts with the magic is the block, whatever its name.
    EXPECT_EQ(Track(Write("stadium.dat", block)).GetSectionCount(), 4u);
    EXPECT_EQ(Track(Write("nothing.xyz", block)).GetSectionCount(), 4u);

    // The base name is cut at the first '.'.
    TrackContainerSpec ring;
    ring.entries = {{"RING.TRK", block}};
    EXPECT_EQ(Track(Write("Ring.Old.trk", BuildTrackContainer(ring))).GetSectionCount(), 4u);

    // The first of two entries with the wanted name is used.
    TrackContainerSpec twice;
    twice.entries = {{"ring.trk", block}, {"ring.trk", "garbage, no magic"}};
    EXPECT_EQ(MessageOf(Write("ring.dat", BuildTrackContainer(twice))), "");
    std::swap(twice.entries[0], twice.entries[1]);
    const std::string swapped = Write("ring.dat", BuildTrackContainer(twice));
    EXPECT_EQ(MessageOf(swapped), swapped + " ; _type != 0x5452414B");

    // Entry names hold at most 13 characters: a 13-character name fills
    // its field without a NUL and still matches; a longer one is cut.
    TrackContainerSpec full;
    full.entries = {{"ABCDEFGHI.TRK", block}};
    EXPECT_EQ(MessageOf(Write("abcdefghi.dat", BuildTrackContainer(full))), "");
    full.entries = {{"abcdefghij.trk", block}};
    const std::string cut = Write("abcdefghij.dat", BuildTrackContainer(full));
    EXPECT_EQ(MessageOf(cut), cut + " ; !getTrkfileInfo(_qelFile, datfilename, offset, _fileSize)");
}

TEST_F(TrackReaderTest, SixteenTracesAreAcceptedSeventeenRefused) {
    std::vector<int32_t> values;
    for (int i = 0; i < 16; ++i) values.push_back(-150000 + 20000 * i);
    const auto traces = fixture::ParallelTraces(values, {});
    fixture::CircuitBuilder b(values);
    b.Straight(fixture::kStadiumStraight, traces)
        .Curve(fixture::kStadiumRadius, 2 * fixture::kAngleQuarter, traces)
        .Straight(fixture::kStadiumStraight, traces)
        .Curve(fixture::kStadiumRadius, 2 * fixture::kAngleQuarter, traces);
    TrackBlockSpec spec = b.Build(fixture::kStadiumStated);
    const Track t(track_test::WriteBlock(dir, "sixteen.trk", spec));
    EXPECT_EQ(t.GetTraceCount(), 16u);
    EXPECT_EQ(t.GetTraceValue(15), values[15]);
    EXPECT_NEAR(t.GetLength(), 2 * kStraight + 2 * kPi * kRadius, kMm);

    spec.trace_count = 17;
    const std::string path = track_test::WriteBlock(dir, "seventeen.trk", spec);
    EXPECT_EQ(MessageOf(path), path + " ; _noOfTraces > MAX_NO_OF_TRACES");
}

// Every message text of the reader, each on its own damaged file.
TEST_F(TrackReaderTest, EveryReaderMessage) {
    const std::string block = BuildTrackBlock(fixture::StadiumCircuit());

    const std::string no_dot = Write("stadium", block);
    EXPECT_EQ(MessageOf(no_dot), no_dot + " ; filename lacks extension of trk or dat");
    // Only the file name counts: a '.' in a folder name is no extension.
    std::filesystem::create_directory(dir.path() / "tracks.v2");
    const std::string dotted_folder = Write("tracks.v2/stadium", block);
    EXPECT_EQ(MessageOf(dotted_folder), dotted_folder + " ; filename lacks extension of trk or dat");

    const std::string missing = dir.File("missing.trk");
    EXPECT_EQ(MessageOf(missing), missing + " ; _qelFile == NULL");

    TrackContainerSpec other;
    other.entries = {{"monza.trk", block}};
    const std::string no_entry = Write("stadium.dat", BuildTrackContainer(other));
    EXPECT_EQ(MessageOf(no_entry), no_entry + " ; !getTrkfileInfo(_qelFile, datfilename, offset, _fileSize)");
    const std::string empty_dir = Write("empty.dat", BuildTrackContainer({}));
    EXPECT_EQ(MessageOf(empty_dir), empty_dir + " ; !getTrkfileInfo(_qelFile, datfilename, offset, _fileSize)");

    TrackBlockSpec wrong_magic = fixture::StadiumCircuit();
    wrong_magic.magic = 0x5452414C;
    TrackContainerSpec c;
    c.entries = {{"stadium.trk", BuildTrackBlock(wrong_magic)}};
    const std::string not_block = Write("stadium.dat", BuildTrackContainer(c));
    EXPECT_EQ(MessageOf(not_block), not_block + " ; _type != 0x5452414B");

    TrackBlockSpec many = fixture::StadiumCircuit();
    many.trace_count = 0xFFFFFFFF;
    const std::string many_path = track_test::WriteBlock(dir, "many.trk", many);
    EXPECT_EQ(MessageOf(many_path), many_path + " ; _noOfTraces > MAX_NO_OF_TRACES");

    // The type's low byte is shown as a character: 0x341 shows "A".
    TrackBlockSpec type = fixture::StadiumCircuit();
    type.sections[2].type = 0x341;
    EXPECT_EQ(MessageOf(track_test::WriteBlock(dir, "type.trk", type)), "Unknown section type with value A");
}

// Blocks that break the format's own limits, refused with the path and the
// condition.
TEST_F(TrackReaderTest, DamagedBlocksAreRefused) {
    struct Case {
        const char* name;
        void (*damage)(TrackBlockSpec&);
        const char* condition;
    };
    const Case cases[] = {
        {"no sections", [](TrackBlockSpec& s) { s.sections.clear(); }, " ; no sections"},
        {"one trace", [](TrackBlockSpec& s) { s.trace_count = 1; }, " ; fewer than two traces"},
        {"no traces", [](TrackBlockSpec& s) { s.trace_count = 0; }, " ; fewer than two traces"},
        {"equal ends", [](TrackBlockSpec& s) { s.trace_values = {100000, -5, 100000}; },
         " ; first and last trace values are equal"},
        {"offset table", [](TrackBlockSpec& s) { s.section_count = 0x40000000; },
         " ; section offset table beyond the end of the block"},
        {"cross area", [](TrackBlockSpec& s) { s.section_count = 40; },
         " ; cross records beyond the end of the block"},
        {"trace area", [](TrackBlockSpec& s) { s.trace_area_size = 0x00100000; },
         " ; trace records beyond the end of the block"},
        {"section offset", [](TrackBlockSpec& s) { s.section_offsets[2] = 0xFFFFFFF0; },
         " ; section record beyond the end of the block"},
        {"cross index", [](TrackBlockSpec& s) { s.sections[1].cross_index = 0x00FFFFFF; },
         " ; cross records beyond the end of the block"},
        {"trace index", [](TrackBlockSpec& s) { s.sections[3].trace_index = 0xFFFFFFFF; },
         " ; trace records beyond the end of the block"},
        {"trace count", [](TrackBlockSpec& s) { s.sections[0].trace_count = 0x10000000; },
         " ; trace records beyond the end of the block"},
        {"zero length", [](TrackBlockSpec& s) { s.sections[2].length = 0; }, " ; section length is 0"},
        {"zero radius",
         [](TrackBlockSpec& s) {
             for (size_t j = 0; j < s.trace_values.size(); ++j) s.sections[1].cross[j][6] = -s.trace_values[j];
         },
         " ; curve radius is 0"},
        {"no lap", [](TrackBlockSpec& s) { s.sections.resize(1); }, " ; lap length is not positive"},
    };
    for (const Case& c : cases) {
        TrackBlockSpec spec = fixture::StadiumCircuit();
        c.damage(spec);
        const std::string path = track_test::WriteBlock(dir, "damaged.trk", spec);
        EXPECT_EQ(MessageOf(path), path + c.condition) << c.name;
    }
    // A block too short for its header, with the magic.
    const std::string stub = Write("stub.trk", BuildTrackBlock(fixture::StadiumCircuit()).substr(0, 60));
    EXPECT_EQ(MessageOf(stub), stub + " ; block shorter than its header");
}

TEST_F(TrackReaderTest, DamagedContainersAreRefused) {
    const std::string block = BuildTrackBlock(fixture::StadiumCircuit());
    const std::string directory = " ; container directory beyond the end of the file";
    const std::string entry = " ; container entry beyond the end of the file";
    struct Case {
        TrackContainerSpec spec;
        std::string condition;
    };
    std::vector<Case> cases;
    cases.push_back({{{{"stadium.trk", block}}, 0xFFFF}, directory});
    cases.push_back({{{{"stadium.trk", block, std::nullopt, 0x7FFFFFF0u}}}, entry});
    cases.push_back({{{{"stadium.trk", block, 0x7FFFFFF0u}}}, entry});
    cases.push_back({{{{"stadium.trk", block, 0x20u, 0xFFFFFFF0u}}}, entry});
    cases.push_back({{{{"stadium.trk", block, static_cast<uint32_t>(block.size() + 6)}}}, entry});
    for (const Case& c : cases) {
        const std::string path = Write("stadium.dat", BuildTrackContainer(c.spec));
        EXPECT_EQ(MessageOf(path), path + c.condition);
    }
    for (const std::string& bytes : {std::string(), std::string(1, '\x01'), std::string("\x02\x00", 2)}) {
        const std::string path = Write("stadium.dat", bytes);
        EXPECT_EQ(MessageOf(path), path + directory) << bytes.size();
    }
}

// Sections may share trace records, and a curve's radius sets how many
// points it makes: neither may make the reader build without limit.
TEST_F(TrackReaderTest, SharedTraceRecordsAndHugeCurvesAreBounded) {
    fixture::CircuitBuilder shared({-100000, 100000});
    for (int i = 0; i < 599; ++i) shared.Straight(100000, {});
    shared.Straight(100000, fixture::ParallelTraces(std::vector<int32_t>(2000, 0), {}));
    TrackBlockSpec spec = shared.Build(0);
    for (auto& s : spec.sections) {
        s.trace_count = 2000;
        s.trace_index = 1;  // the last section's records come first
    }
    const std::string path = track_test::WriteBlock(dir, "shared.trk", spec);
    EXPECT_EQ(MessageOf(path), path + " ; too many section traces");

    // One curve of three quarter turns with a radius of 101.6 km: 96 000
    // arc points for each of its 40 traces.
    std::vector<int32_t> offsets;
    for (int i = 0; i < 40; ++i) offsets.push_back(-100000 + 5000 * i);
    fixture::CircuitBuilder huge({-100000, 100000});
    huge.Curve(2000000000, 3 * fixture::kAngleQuarter, fixture::ParallelTraces(offsets, {}));
    const std::string huge_path = track_test::WriteBlock(dir, "huge.trk", huge.Build(0));
    EXPECT_EQ(MessageOf(huge_path), huge_path + " ; track geometry too large");
}

// Cuts of the block, and each of its words overwritten, either still read
// or throw the track exception: never a crash or an overrun (the
// sanitizers watch), never another exception type.
TEST_F(TrackReaderTest, CutAndCorruptedBlocksNeverEscapeTheTrackException) {
    const std::string block = BuildTrackBlock(fixture::StadiumCircuit());
    const std::string path = dir.File("fuzz.trk");
    auto check = [&](const std::string& bytes, const std::string& what) {
        fixture::WriteFile(path, bytes);
        try {
            Track t(path);
            t.ComputeSplitLines();
            t.Clear();
        } catch (const ZAVROException&) {
        } catch (...) {
            ADD_FAILURE() << what << ": another exception type";
        }
    };
    // A step of 3 meets every offset within a word.
    for (size_t len = 0; len < block.size(); len += 3) check(block.substr(0, len), "cut at " + std::to_string(len));
    // Every word made small, negative, huge or a little larger.
    for (size_t w = 0; w + 4 <= block.size(); w += 4) {
        for (auto [at, v] : {std::pair{3, '\x80'}, std::pair{3, '\x7F'}, std::pair{3, '\xFF'}, std::pair{0, '\xFF'}}) {
            std::string bytes = block;
            bytes[w + static_cast<size_t>(at)] = v;
            check(bytes, "word at " + std::to_string(w));
        }
        std::string zero = block;
        zero.replace(w, 4, 4, '\0');
        check(zero, "word at " + std::to_string(w) + " zeroed");
    }
    TrackContainerSpec c;
    c.entries = {{"other.trk", "x"}, {"fuzz.trk", block}};
    const std::string container = BuildTrackContainer(c);
    for (size_t len = 0; len < container.size(); len += 7) check(container.substr(0, len), "container cut");
    for (size_t i = 0; i < 2 + 2 * 27; ++i) {
        std::string bytes = container;
        bytes[i] = '\xFF';
        check(bytes, "directory byte " + std::to_string(i));
    }
}

TEST_F(TrackReaderTest, OneSectionTrackClosesOnItself) {
    // A full circle cannot be one curve record (its angle word would need
    // 2^31); three quarters of a turn, linked back to its own start.
    fixture::CircuitBuilder b({-100000, 100000});
    b.Curve(fixture::kStadiumRadius, 3 * fixture::kAngleQuarter, fixture::ParallelTraces({-100000, 100000}, {1, 1}));
    const Track t(track_test::WriteBlock(dir, "one.trk", b.Build(0)));
    ASSERT_EQ(t.GetSectionCount(), 1u);
    const Section& s = t.GetSection(0);
    EXPECT_TRUE(Near(s.GetEndPoint(), s.GetStartPoint(), 0.0));
    EXPECT_NEAR(t.GetLength(), 1.5 * kPi * kRadius, kMm);
}

TEST_F(TrackReaderTest, LoadFindsTheTrackInTheSimulatorFolderWithoutRegardToCase) {
    const std::string block = BuildTrackBlock(fixture::StadiumCircuit());
    std::filesystem::create_directories(dir.path() / "Tracks" / "Stadium");
    Write("Tracks/Stadium/STADIUM.TRK", block);
    std::unique_ptr<Track> t = Track::Load(dir.path(), "stadium");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetSectionCount(), 4u);

    // A damaged .trk falls back to the .dat container; its split lines
    // are computed.
    Write("Tracks/Stadium/STADIUM.TRK", block.substr(0, 100));
    TrackContainerSpec c;
    c.entries = {{"stadium.trk", block}};
    Write("Tracks/Stadium/stadium.DAT", BuildTrackContainer(c));
    t = Track::Load(dir.path(), "STADIUM");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetSectionCount(), 4u);

    std::filesystem::remove(dir.path() / "Tracks" / "Stadium" / "stadium.DAT");
    EXPECT_EQ(Track::Load(dir.path(), "stadium"), nullptr);
    EXPECT_EQ(Track::Load(dir.path(), "monza"), nullptr);

    // Names from a replay never lead out of the tracks folder: unchecked,
    // "../x" would name tracks/../x/../x.trk, the block beside the folder.
    std::filesystem::create_directories(dir.path() / "tracks");
    std::filesystem::create_directories(dir.path() / "x");
    Write("x.trk", block);
    for (const char* name : {"", ".", "..", "../x", "..\\x"}) {
        EXPECT_EQ(Track::Load(dir.path(), name), nullptr) << name;
    }
}

TEST_F(TrackReaderTest, ClearEmptiesTheTrackAndItsBoxes) {
    Track t(track_test::WriteBlock(dir, "stadium.trk", fixture::StadiumCircuit()));
    t.SetHighlightRange(10, 500);
    t.Clear();
    EXPECT_EQ(t.GetSectionCount(), 0u);
    EXPECT_EQ(t.findSection(0), -1);
    EXPECT_THROW(t.GetSection(0), ZAVROException);
    // A later highlight finds nothing to clear or to mark.
    EXPECT_NO_THROW(t.SetHighlightRange(10, 500));
    EXPECT_EQ(TrackPointList::GetMaxX(), 0.0);
    EXPECT_EQ(SurfacePolygon::GetMinY(), 0.0);
}

TEST(FileHandle, RefusesReadsBeyondTheFile) {
    fixture::TempDir dir;
    const std::string path = track_test::Write(dir, "f.bin", "0123456789");
    FileHandle f(path, "rb");
    ASSERT_FALSE(f.IsNull());
    std::vector<uint8_t> out;
    EXPECT_TRUE(f.ReadAt(6, 4, out));
    EXPECT_EQ(std::string(out.begin(), out.end()), "6789");
    EXPECT_FALSE(f.ReadAt(6, 5, out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(f.ReadAt(0xFFFFFFFFFFFFFFF0ull, 0x20, out));
    EXPECT_EQ(f.Close(), 0);
    EXPECT_EQ(f.Close(), 0);
    EXPECT_TRUE(FileHandle(dir.File("none"), "rb").IsNull());
    // The holder only reads.
    EXPECT_TRUE(FileHandle(path, "wb").IsNull());
}

// A FIFO or a folder named as the track is refused at once, as a
// file that cannot be opened, instead of waiting for a writer for ever.
TEST(TrackReader, SpecialFilesAreRefusedWithoutWaiting) {
    fixture::TempDir dir;
    const std::string fifo = dir.File("ring.trk");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() / "ring.dat");
    for (const std::string& path : {fifo, dir.File("ring.dat")}) {
        try {
            Track t(path);
            ADD_FAILURE() << path;
        } catch (const ZAVROException& e) {
            EXPECT_EQ(e.GetMessage(), path + " ; _qelFile == NULL");
        }
    }
}

// A sparse file of gigabytes whose blocks are tiny on disk: refused at once,
// in both file forms, before its block is read.
TEST(TrackReader, AHugeBlockIsRefusedBeforeItIsRead) {
    fixture::TempDir dir;
    const std::string bare = track_test::Write(dir, "bare.trk", BuildTrackBlock(fixture::StadiumCircuit()));
    std::filesystem::resize_file(bare, uint64_t{3} << 30);
    TrackContainerSpec container;
    // The entry's size field claims two gigabytes of the file.
    container.entries = {ContainerEntry{"box.trk", BuildTrackBlock(fixture::StadiumCircuit()), 0x80000000u}};
    const std::string boxed = track_test::Write(dir, "box.dat", BuildTrackContainer(container));
    std::filesystem::resize_file(boxed, uint64_t{3} << 30);
    for (const std::string& path : {bare, boxed}) {
        try {
            Track t(path);
            ADD_FAILURE() << path;
        } catch (const ZAVROException& e) {
            EXPECT_EQ(e.GetMessage(), path + " ; track block too large");
        }
    }
}

}  // namespace
