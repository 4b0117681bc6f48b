// The best-laps site: lap-time texts, the pages of a small records set
// against golden files, the dated folders, the style sheet from the
// program folder, and names made safe for paths and pages.

#include "records/records_html_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "records/export_records_model.h"
#include "records_scenario.h"
#include "support/recording_interaction.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Golden files under tests/data/records/; OSTREVAN_UPDATE_GOLDEN=1
// rewrites them (read every change before committing it).
void ExpectGolden(const std::string& name, const std::string& text) {
    const fs::path path = fs::path(OSTREVAN_TEST_DATA) / "records" / name;
    if (std::getenv("OSTREVAN_UPDATE_GOLDEN")) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return;
    }
    ASSERT_TRUE(fs::exists(path)) << "missing golden file " << path;
    EXPECT_EQ(text, ReadFile(path)) << "differs from " << path;
}

// 8 December 2026, noon local time.
std::time_t December8() {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

TEST(FormatBestLap, MinutesSecondsAndMilliseconds) {
    const struct {
        uint32_t time;
        const char* text;
    } cases[] = {{83123, "1.23.123"},     {59000, "0.59.000"},      {59999, "0.59.999"},
                 {605007, "10.05.007"},   {60000, "1.00.000"},      {0xFFFFFFFF, "&nbsp;"},
                 {0x10000000 | 83123, "1.23.123"}};
    for (const auto& c : cases) EXPECT_EQ(RecordsHtmlWriter::FormatBestLap(c.time), c.text) << c.time;
}

TEST(SafeFileName, NamesStayOneComponent) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"Jim Clark", "Jim Clark"}, {"../x", ".._x"}, {"a\\b/c", "a_b_c"}, {"..", "__"}, {".", "_"},
                 {"", ""},                   {"tab\there", "tab_here"}};
    for (const auto& c : cases) EXPECT_EQ(RecordsHtmlWriter::SafeFileName(c.in), c.out) << c.in;
}

class RecordsSite : public testing::Test {
protected:
    RecordsSite() {
        records_scenario::Write(dir_.path() / "qel");
        options_.simulator_folder = (dir_.path() / "qel").string();
        fs::create_directories(records_folder_);
    }
    void RunRecords(int driver = 1) {
        ASSERT_EQ(model_.Run(driver, options_, ui_), ExportRecordsModel::Result::kDone);
    }

    fixture::TempDir dir_;
    fs::path records_folder_ = dir_.path() / "records";
    ExportRecordsModel::Options options_;
    ExportRecordsModel model_;
    fixture::RecordingInteraction ui_;
};

TEST_F(RecordsSite, PagesOfASmallRecordsSetMatchTheirGoldenFiles) {
    RunRecords();
    RecordsHtmlWriter writer(model_);
    ASSERT_TRUE(writer.WriteSite(records_folder_.string(), {}, ui_, December8()));
    EXPECT_TRUE(ui_.messages.empty());
    const fs::path site = records_folder_ / "Jim Clark_December_08_2026";
    EXPECT_EQ(writer.GetSiteFolder(), site.string());
    const char* files[] = {"index.html",   "overallPerTrack.html", "overallPerTrackAllCars.html", "zavro.css",
                           "monaco.html",  "spa.html",             "monza.html",                  "imola.html",
                           "nurburgr.html", "Repco-Brabham BT24.html", "BRM P115.html",         "Cooper-Maserati T81.html",
                           "Eagle-Weslake T1G.html", "Ferrari 312.html", "Lotus-Ford 49.html",  "Honda RA300.html"};
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(site)) {
        (void)entry;
        ++count;
    }
    EXPECT_EQ(count, std::size(files));
    for (const char* f : files) ExpectGolden(f, ReadFile(site / f));
}

TEST_F(RecordsSite, EveryLinkOfEveryPageFindsItsFile) {
    // Names with blanks, a separator and markup stand in every link.
    records_scenario::WriteReplay(dir_.path() / "qel" / "replay" / "h.rpy",
                                  {records_scenario::Laps("Jim", "Clark", 0, 0, {70000}, {})}, "a/b<&>", true, false);
    RunRecords();
    RecordsHtmlWriter writer(model_);
    ASSERT_TRUE(writer.WriteSite(records_folder_.string(), {}, ui_, December8()));
    const fs::path site = writer.GetSiteFolder();
    int links = 0;
    for (const auto& entry : fs::directory_iterator(site)) {
        const std::string page = ReadFile(entry.path());
        for (size_t at = page.find("HREF=\""); at != std::string::npos; at = page.find("HREF=\"", at + 1)) {
            std::string target = page.substr(at + 6, page.find('"', at + 6) - at - 6);
            if (target.rfind("https://", 0) == 0) continue;
            // A browser reads the attribute's entities back.
            for (const auto& [entity, c] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
                for (size_t e = target.find(entity); e != std::string::npos; e = target.find(entity))
                    target.replace(e, std::string(entity).size(), c);
            EXPECT_TRUE(fs::exists(site / target)) << target << " from " << entry.path().filename();
            ++links;
        }
    }
    EXPECT_GT(links, 16 * 1 + 7 + 6);
}

TEST_F(RecordsSite, EachWriteOnOneDayGetsTheNextFolder) {
    RunRecords();
    const char* expected[] = {"Jim Clark_December_08_2026", "Jim Clark_December_08_2026_1",
                              "Jim Clark_December_08_2026_2"};
    for (const char* name : expected) {
        RecordsHtmlWriter writer(model_);
        ASSERT_TRUE(writer.WriteSite(records_folder_.string(), {}, ui_, December8()));
        EXPECT_EQ(writer.GetSiteFolder(), (records_folder_ / name).string());
        EXPECT_TRUE(fs::exists(records_folder_ / name / "index.html"));
    }
}

TEST_F(RecordsSite, StyleSheetInTheProgramFolderReplacesTheBuiltInOne) {
    RunRecords();
    const fs::path program = dir_.path() / "program";
    const std::string own = "BODY {color:white}\n\x01\xff";
    records_scenario::WriteText(program / "zavro.css", own);
    RecordsHtmlWriter writer(model_);
    ASSERT_TRUE(writer.WriteSite(records_folder_.string(), program.string(), ui_, December8()));
    EXPECT_EQ(ReadFile(fs::path(writer.GetSiteFolder()) / "zavro.css"), own);
}

TEST_F(RecordsSite, NamesFromFilesAreEscapedAndKeptInsideTheSite) {
    records_scenario::WriteText(
        dir_.path() / "qel" / "players" / "Jim_Clark" / "player.ini",
        records_scenario::Profile("../<b>Jim", "Cl&rk", "[monaco]\r\nbraT=1 80.0\r\n"));
    records_scenario::WriteText(dir_.path() / "qel" / "tracks" / "monaco" / "track.ini",
                                records_scenario::TrackIni("Mon<aco>", "Grand \"Prix\" & more"));
    RunRecords();
    RecordsHtmlWriter writer(model_);
    ASSERT_TRUE(writer.WriteSite(records_folder_.string(), {}, ui_, December8()));
    const fs::path site = writer.GetSiteFolder();
    EXPECT_EQ(site.parent_path(), records_folder_);
    EXPECT_EQ(site.filename(), ".._<b>Jim Cl&rk_December_08_2026");
    const std::string index = ReadFile(site / "index.html");
    EXPECT_NE(index.find("<H2>\r\n../&lt;b&gt;Jim Cl&amp;rk</H2>") , std::string::npos);
    EXPECT_NE(index.find(">Mon&lt;aco&gt; - Grand &quot;Prix&quot; &amp; more</A>"), std::string::npos);
    EXPECT_EQ(index.find("<b>"), std::string::npos) << index;
}

TEST_F(RecordsSite, FolderThatCannotBeMadeIsToldAndNothingIsWritten) {
    RunRecords();
    records_scenario::WriteText(dir_.path() / "not_a_folder", "x");
    RecordsHtmlWriter writer(model_);
    EXPECT_FALSE(writer.WriteSite((dir_.path() / "not_a_folder").string(), {}, ui_, December8()));
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].rfind("Error creating the directory: " +
                                        (dir_.path() / "not_a_folder" / "Jim Clark_December_08_2026").string() + "\n",
                                    0),
              0u);
    EXPECT_TRUE(writer.GetSiteFolder().empty());
}

TEST_F(RecordsSite, NoRecordsFolderSaysWhichSettingIsMissing) {
    RunRecords();
    RecordsHtmlWriter writer(model_);
    EXPECT_FALSE(writer.WriteSite("", {}, ui_, December8()));
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"No export path set. Please set this\r\npath in File->Settings dialog."});
    EXPECT_TRUE(writer.GetSiteFolder().empty());
}

}  // namespace
