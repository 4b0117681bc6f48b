// The lap-times file byte for byte, the viewer's texts, the personal-best
// and login values in the settings store, and the ranking upload's request,
// transcript and reply reading, all without a window or a network.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "records/http_reply_parser.h"
#include "records/lap_times_file.h"
#include "records/pb_viewer_model.h"
#include "records/personal_bests_store.h"
#include "records/ranking_login.h"
#include "records/ranking_request.h"
#include "records/ranking_transcript.h"
#include "records/unique_temp_file.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "support/config_dir.h"

namespace {

namespace fs = std::filesystem;
constexpr uint32_t kNo = BestLapCell::kNoTime;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(LapTimesFileTest, WritesTheSeasonThenOneSectionPerTimedTrack) {
    // Cells are {practice, training, race}.
    LapTimesFile file(1967, {{"monaco", {{kNo, 95250, 83000}, {kNo, kNo, kNo}, {83123, kNo, kNo}}},
                             {"spa", {{kNo, kNo, kNo}}},
                             {"a[b]=c", {{60000, kNo, kNo}}}});
    const std::string expected =
        "season = qel67\r\n"
        "[ monaco ]\r\n"
        "braT = 482917036 95.25\r\n"
        "braR = 482917036 83.\r\n"
        "covP = 482917036 83.123\r\n"
        "[ a[b]=c ]\r\n"
        "braP = 482917036 60.\r\n"
        "\r\n";
    EXPECT_EQ(file.Text(), expected);
    EXPECT_EQ(LapTimesFile(1967, {{"spa", {{kNo, kNo, kNo}}}}).Text(), "season = qel67\r\n");

    fixture::TempDir dir;
    const std::string path = dir.File("QELLapTimes.ini");
    ASSERT_TRUE(file.Write(path));
    EXPECT_EQ(ReadAll(path), expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_FALSE(file.Write(dir.File("missing/QELLapTimes.ini")));
}

TEST(LapTimesFileTest, SecondsAndNames) {
    for (const auto& [ms, text] : std::vector<std::pair<uint32_t, std::string>>{
             {83123, "83.123"}, {83000, "83."}, {60000, "60."}, {95250, "95.25"}, {500, "0.5"}, {16777215, "16777.215"}})
        EXPECT_EQ(LapTimesFile::FormatSeconds(ms), text) << ms;
    EXPECT_EQ(LapTimesFile::WithIniExtension("/a/x.INI"), "/a/x.INI");
    EXPECT_EQ(LapTimesFile::WithIniExtension("/a/x.txt"), "/a/x.txt.ini");
    EXPECT_EQ(LapTimesFile::WithIniExtension("ini"), "ini.ini");
}

TEST(PBViewerModelTest, LapTimeTextsAndBase64) {
    for (const auto& [time, text] : std::vector<std::pair<uint32_t, std::string>>{
             {83123, "1:23.123"}, {60000, "1:00.000"}, {59012, "0:59.012"}, {0x10000000u | 83456, "1:23.456"},
             {0xFFFFFFFF, " "}})
        EXPECT_EQ(PBViewerModel::FormatLapTime(time), text);
    EXPECT_EQ(PBViewerModel::Credentials("ab", "cd"), "YWI6Y2Q=");
    EXPECT_EQ(PBViewerModel::Base64Encode("abcd"), "YWJjZA==");
    EXPECT_EQ(PBViewerModel::Base64Encode("abc"), "YWJj");
    // No fixed room: a login of any length encodes whole.
    EXPECT_EQ(PBViewerModel::Base64Encode(std::string(3000, 'x')).size(), 4000u);
    const auto rows = PBViewerModel::StoredRows({"Monaco"}, {83123, 0xFFFFFFFF}, 2);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], "Using old times!");
    EXPECT_EQ(rows[0][7], "times");
    EXPECT_EQ(rows[2], (std::vector<std::string>{"Monaco", "1:23.123", " "}));
}

TEST(PersonalBestsStoreTest, KeepsTheTableAndBoundsWhatItReadsBack) {
    fixture::ScopedConfigDir config;
    PersonalBestsStore::Table table;
    EXPECT_FALSE(PersonalBestsStore::Load(table));
    // Names long enough that the track list is far beyond 8192 bytes.
    PersonalBestsStore::Table saved;
    saved.cars = 7;
    for (int i = 0; i < 400; ++i) {
        saved.tracks.push_back("track number " + std::to_string(i) + std::string(20, 'x'));
        for (int c = 0; c < 7; ++c) saved.times.push_back(static_cast<uint32_t>(i * 10 + c));
    }
    long error = 0;
    ASSERT_TRUE(PersonalBestsStore::Save(saved, error));
    ASSERT_TRUE(PersonalBestsStore::Load(table));
    EXPECT_EQ(table.tracks, saved.tracks);
    EXPECT_EQ(table.times, saved.times);
    EXPECT_EQ(table.cars, 7);

    // Counts beyond any table are bounded before they size the lists.
    CRegistry registry(RegistryHive::kCurrentUser);
    ASSERT_TRUE(registry.Open(RegistryHive::kCurrentUser, Settings::kSettingsKey));
    registry.WriteDword("PB_num", 0xFFFFFFFF);
    registry.WriteDword("PB_cars", 0xFFFFFFFF);
    registry.DeleteValue("PB_times");
    ASSERT_TRUE(PersonalBestsStore::Load(table));
    EXPECT_EQ(table.tracks.size(), PersonalBestsStore::kMaxRows);
    EXPECT_EQ(table.cars, static_cast<int>(PersonalBestsStore::kMaxCars));
    EXPECT_EQ(table.tracks[399], saved.tracks[399]);
    EXPECT_EQ(table.tracks[400], "");
    EXPECT_EQ(table.times[0], 0u);  // unreadable times show as zero
}

TEST(RankingLoginTest, KeptOnlyWhenAskedAndForgottenOtherwise) {
    fixture::ScopedConfigDir config;
    std::string user, password;
    long error = 0;
    ASSERT_TRUE(RankingLogin::Store("jim", "secret", false, error));
    EXPECT_FALSE(RankingLogin::Load(user, password));
    EXPECT_FALSE(fs::exists(config.folder() / "current_user.reg") &&
                 ReadAll(config.folder() / "current_user.reg").find("secret") != std::string::npos);
    ASSERT_TRUE(RankingLogin::Store("jim", "secret", true, error));
    ASSERT_TRUE(RankingLogin::Load(user, password));
    EXPECT_EQ(user, "jim");
    EXPECT_EQ(password, "secret");
    EXPECT_EQ(fs::status(config.folder() / "current_user.reg").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(RankingLogin::Store("jim", "other", false, error));
    EXPECT_FALSE(RankingLogin::Load(user, password));
    EXPECT_EQ(ReadAll(config.folder() / "current_user.reg").find("secret"), std::string::npos);
    EXPECT_EQ(ReadAll(config.folder() / "current_user.reg").find("other"), std::string::npos);
}

TEST(RankingRequestTest, BodyAndHeadAsTheServiceTakesThem) {
    const std::string dashes29 = "-----------------------------7d217c540366";
    const std::string expected_body = dashes29 + "\r\n" +
                                      "Content-Disposition: form-data; name=\"MAX_FILE_SIZE\"\r\n"
                                      "\r\n"
                                      "65535\r\n" +
                                      dashes29 + "\r\n" +
                                      "Content-Disposition: form-data; name=\"submitfile\"; "
                                      "filename=\"Uploaded_via_ZAVRO\"\r\n"
                                      "Content-Type: application/octet-stream\r\n"
                                      "\r\n"
                                      "\r\n" +
                                      dashes29 + "--\r\n";
    EXPECT_EQ(RankingRequest::Body(""), expected_body);
    RankingRequest::Server server;
    server.host = "ranks.test";
    EXPECT_EQ(RankingRequest::Request(server, "YWI6Y2Q=", "B"),
              "POST /php-reg/user.php?submitTimes HTTP/1.1\r\n"
              "Referer: ZAVRO\r\n"
              "Content-Type: multipart/form-data; boundary=---------------------------7d217c540366\r\n"
              "Authorization: Basic YWI6Y2Q=\r\n"
              "User-Agent: Ostrevan\r\n"
              "Host: ranks.test\r\n"
              "Content-Length: 1\r\n"
              "Cache-Control: no-cache\r\n"
              "Connection: close\r\n"
              "\r\n"
              "B");
    EXPECT_EQ(server.EffectivePort(), 80);
    server.scheme = "https";
    EXPECT_EQ(server.EffectivePort(), 443);

    fixture::ScopedConfigDir config;
    EXPECT_EQ(RankingRequest::LoadServer().host, RankingRequest::kDefaultHost);
    CRegistry registry(RegistryHive::kCurrentUser);
    ASSERT_TRUE(registry.CreateKey(RegistryHive::kCurrentUser, Settings::kSettingsKey));
    registry.WriteString("QELRankHost", "127.0.0.1");
    registry.WriteDword("QELRankPort", 8080);
    registry.WriteString("QELRankScheme", "gopher");
    const auto loaded = RankingRequest::LoadServer();
    EXPECT_EQ(loaded.host, "127.0.0.1");
    EXPECT_EQ(loaded.port, 8080);
    EXPECT_EQ(loaded.scheme, "http");
}

TEST(RankingTranscriptTest, StatusLinesWhileRunningAndTheVerdict) {
    RankingTranscript t("h");
    t.OnStatus(RankingTranscript::kResolvingName);  // before Begin: nothing
    t.Begin();
    t.OnStatus(RankingTranscript::kResolvingName);
    t.OnStatus(RankingTranscript::kSent, RankingTranscript::kRequestContext, 0);
    t.OnStatus(RankingTranscript::kSent, RankingTranscript::kRequestContext, 12);
    t.OnStatus(RankingTranscript::kReceived, RankingTranscript::kRequestContext, 0);
    t.OnStatus(RankingTranscript::kHandleCreated, RankingTranscript::kConnectContext, 0, false);
    t.OnStatus(RankingTranscript::kRequestComplete, RankingTranscript::kRequestContext, 0, true, false,
               RankingTranscript::kErrorNameNotResolved);
    t.OnStatus(RankingTranscript::kRequestComplete, RankingTranscript::kRequestContext, 0, true, false, 999);
    EXPECT_EQ(t.OnReply("401", "Unauthorized"), RankingTranscript::Verdict::kWrongLogin);
    t.OnStatus(RankingTranscript::kClosed);  // after the reply: nothing
    EXPECT_EQ(t.Text(),
              "Beginning communication, please wait...\r\n"
              "Looking up IP of h\r\n"
              "Error sending information - Aborting\r\n"
              "12 bytes sent to h\r\n"
              "Error creating handle: 1001 - Aborting\r\n"
              "Error: Could not look up QELRank - Aborting\r\nAre you connected to the internet?\r\n"
              "Error: Could not connect(2) - Aborting\r\n"
              "\r\nServers response in short was: 401 Unauthorized\r\n"
              "Which means you did not supply correct user and/or password\r\n");
    EXPECT_EQ(RankingTranscript::Message(RankingTranscript::Verdict::kWrongLogin),
              "Laptimes not uploaded!\r\nIncorrect username or password");
    RankingTranscript none("h");
    EXPECT_EQ(none.OnReply("", ""), RankingTranscript::Verdict::kNotUploaded);
    EXPECT_EQ(none.Lines().back(), "Which means something went wrong, times not updated");
}

TEST(HttpReplyParserTest, ReadsLengthChunkedAndToTheEndAndCutsAtTheBound) {
    HttpReplyParser sized;
    sized.Feed("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhe");
    EXPECT_TRUE(sized.HeadDone());
    EXPECT_FALSE(sized.Complete());
    sized.Feed("llo and more");
    EXPECT_TRUE(sized.Complete());
    EXPECT_EQ(sized.Body(), "hello");
    EXPECT_EQ(sized.StatusText(), "OK");

    HttpReplyParser chunked;
    chunked.Feed("HTTP/1.1 500 Internal Server Error\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n");
    chunked.Feed("2\r\nde\r\n0\r\n\r\n");
    EXPECT_TRUE(chunked.Complete());
    EXPECT_EQ(chunked.Body(), "abcde");
    EXPECT_EQ(chunked.StatusCode(), "500");

    HttpReplyParser open_ended;
    open_ended.Feed("HTTP/1.0 200 OK\r\n\r\n");
    open_ended.Feed(std::string(HttpReplyParser::kMaxBody + 10, 'x'));
    EXPECT_FALSE(open_ended.Complete());
    open_ended.End();
    EXPECT_TRUE(open_ended.Complete());
    EXPECT_EQ(open_ended.Body().size(), HttpReplyParser::kMaxBody);
    EXPECT_TRUE(open_ended.Truncated());

    for (const char* bad : {"SMTP 200 OK\r\n\r\n", "HTTP/1.1 200 OK\r\nContent-Length: 9x\r\n\r\n",
                            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n"}) {
        HttpReplyParser p;
        EXPECT_FALSE(p.Feed(bad)) << bad;
        EXPECT_FALSE(p.Complete());
    }
}

TEST(UniqueTempFileTest, TwoFilesNeverShareANameAndGoAway) {
    std::string first_path;
    {
        UniqueTempFile a("ZAVRO_QELRank_tempfile", ".ini");
        UniqueTempFile b("ZAVRO_QELRank_tempfile", ".ini");
        ASSERT_TRUE(a.Ok() && b.Ok());
        EXPECT_NE(a.Path(), b.Path());
        EXPECT_EQ(fs::path(a.Path()).extension(), ".ini");
        first_path = a.Path();
        EXPECT_TRUE(fs::exists(first_path));
    }
    EXPECT_FALSE(fs::exists(first_path));
}

}  // namespace
