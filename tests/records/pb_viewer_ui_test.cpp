// The personal-best viewer, the ranking login and the upload window
// offscreen, the upload against a loopback server the test runs (127.0.0.1
// only) that records the request and answers 200, 401, 500, closes early or
// never answers; the main window's Tools command; a screenshot of each.

#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QNetworkProxy>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "document/rpy_graph_doc.h"
#include "app/ui/main_frame.h"
#include "records/personal_bests_store.h"
#include "records/ranking_login.h"
#include "records/records_handicap_view.h"
#include "records/ui/pb_viewer.h"
#include "records/ui/qel_rank_upload_progress.h"
#include "records/ui/qelranklogin.h"
#include "records_scenario.h"
#include "settings/hive_cache.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/lock_holder.h"
#include "support/recording_interaction.h"
#include "support/screenshot.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 1000 && !done(); ++i) QTest::qWait(10);
    return done();
}

// A one-request HTTP stand-in on 127.0.0.1: keeps every byte of each
// request, then answers with `reply`, closes at once (`close_early`) or
// stays silent (empty reply).
class LoopbackServer {
public:
    explicit LoopbackServer(std::string reply, bool close_early = false) : reply_(std::move(reply)) {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server_, &QTcpServer::newConnection, [this, close_early] {
            QTcpSocket* socket = server_.nextPendingConnection();
            ++connections;
            requests.emplace_back();
            std::string& request = requests.back();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, &request, close_early] {
                request += socket->readAll().toStdString();
                if (close_early) {
                    socket->abort();
                    return;
                }
                const size_t head_end = request.find("\r\n\r\n");
                if (head_end == std::string::npos) return;
                const size_t at = request.find("Content-Length: ");
                const size_t length = at < head_end ? std::stoul(request.substr(at + 16)) : 0;
                if (request.size() < head_end + 4 + length || reply_.empty()) return;
                socket->write(reply_.data(), static_cast<qint64>(reply_.size()));
                socket->disconnectFromHost();
            });
        });
    }
    RankingRequest::Server Server() const {
        RankingRequest::Server s;
        s.host = "127.0.0.1";
        s.port = server_.serverPort();
        return s;
    }
    int connections = 0;
    std::vector<std::string> requests;

private:
    QTcpServer server_;
    std::string reply_;
};

class PBViewerWindowTest : public testing::Test {
protected:
    PBViewerWindowTest() {
        sim = config.scratch() / "QEL";
        records_scenario::Write(sim);
        settings.SetQELDirectory(sim.string());
        settings.SetRecordsPath(config.scratch().string());
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
        lap_file = config.scratch() / "laps.ini";
        std::ofstream(lap_file, std::ios::binary) << "season = qel67\r\n";
    }
    fixture::ScopedConfigDir config;
    fs::path sim, lap_file;
    Settings settings;
    fixture::RecordingInteraction ui;
    std::unique_ptr<CRpyGraphDoc> doc;
};

TEST_F(PBViewerWindowTest, RefreshFillsTheTableKeepsItAndExportsTheLapTimes) {
    PBViewer viewer(*doc, ui);
    EXPECT_EQ(viewer.Table()->rowCount(), 0);
    EXPECT_EQ(viewer.Table()->columnCount(), 21);
    EXPECT_EQ(viewer.SeasonList()->count(), 7);
    EXPECT_EQ(viewer.Table()->horizontalHeaderItem(1)->text(), "Brabham");
    EXPECT_EQ(viewer.Table()->horizontalHeaderItem(8)->text(), " ");
    viewer.ExportLapTimesIni();
    viewer.UploadLapTimes();
    viewer.OnCalculator();
    viewer.OnOK();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{
                               "No laptimes to export!\r\nYou must first click 'Refresh' above",
                               "No laptimes to upload!\r\nYou must first click 'Refresh' above",
                               "No laptimes to calculate Ranks on!\r\nYou must first click 'Refresh' above",
                               "No driver selected!"}));
    ui.messages.clear();

    viewer.DriverList()->setCurrentIndex(1);  // Jim Clark
    viewer.OnOK();
    EXPECT_TRUE(viewer.TableFilled());
    EXPECT_EQ(doc->default_player_index, 1);
    ASSERT_EQ(viewer.Table()->rowCount(), viewer.Records().GetNumTracks());
    ASSERT_GT(viewer.Table()->rowCount(), 0);
    EXPECT_EQ(viewer.Table()->item(0, 0)->text(), "Monaco");
    viewer.resize(900, 480);
    viewer.show();
    QApplication::processEvents();
    fixture::CheckScreenshot(viewer.grab().toImage(), "pb_viewer");

    // The next opening shows the kept table behind its note.
    PBViewer reopened(*doc, ui);
    ASSERT_EQ(reopened.Table()->rowCount(), viewer.Table()->rowCount() + 2);
    EXPECT_EQ(reopened.Table()->item(0, 0)->text(), "Using old times!");
    EXPECT_EQ(reopened.Table()->item(2, 0)->text(), "Monaco");
    EXPECT_EQ(reopened.Table()->item(2, 1)->text(), viewer.Table()->item(0, 1)->text());

    // A season change empties the table; the export still writes the last
    // gathering, ".ini" added behind ".txt".
    viewer.SeasonList()->setCurrentIndex(2);
    EXPECT_EQ(viewer.Table()->rowCount(), 0);
    const fs::path chosen = config.scratch() / "mine.txt";
    ui.paths = {chosen.string()};
    viewer.ExportLapTimesIni();
    const fs::path written = config.scratch() / "mine.txt.ini";
    ASSERT_TRUE(fs::exists(written));
    const std::string text = ReadAll(written);
    EXPECT_EQ(text.rfind("season = qel67\r\n[ monaco ]\r\n", 0), 0u) << text;
    EXPECT_EQ(ui.messages.back(), "The Laptimes for Jim Clark\r\nare now stored in\r\n" + written.string());
    ui.paths = {(config.scratch() / "no" / "such.ini").string()};
    viewer.ExportLapTimesIni();
    EXPECT_EQ(ui.messages.back(), "Error creating file!");

    // The calculator reads the last gathering: Monaco's best is the
    // Ferrari's 1:21.250.
    const RecordsHandicapView source(viewer.Records());
    EXPECT_EQ(source.TrackDirectory(0), "monaco");
    EXPECT_EQ(source.RowBest(0), 81250u);
    EXPECT_EQ(source.CarBest(0, 0), 83123u);
    int calculators = 0;
    viewer.calculator_dialog = [&] { ++calculators; };
    viewer.OnCalculator();
    EXPECT_EQ(calculators, 1);
}

TEST_F(PBViewerWindowTest, UploadSendsAFileOfItsOwnAndRemovesIt) {
    PBViewer viewer(*doc, ui);
    viewer.DriverList()->setCurrentIndex(1);
    viewer.OnOK();
    viewer.login_dialog = [](std::string& user, std::string& password) {
        user = "ab";
        password = "cd";
        return true;
    };
    std::string sent_path, sent_text, sent_credentials;
    viewer.upload_dialog = [&](const std::string& path, const std::string& credentials) {
        sent_path = path;
        sent_text = ReadAll(path);
        sent_credentials = credentials;
    };
    viewer.UploadLapTimes();
    EXPECT_EQ(sent_credentials, "YWI6Y2Q=");
    EXPECT_EQ(sent_text.rfind("season = qel67\r\n[ monaco ]", 0), 0u);
    EXPECT_NE(fs::path(sent_path).filename().string().find("ZAVRO_QELRank_tempfile"), std::string::npos);
    EXPECT_FALSE(fs::exists(sent_path));

    // No temporary file, no upload.
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    ::setenv("TMPDIR", (config.scratch() / "gone").c_str(), 1);
    sent_path.clear();
    viewer.UploadLapTimes();
    if (old) ::setenv("TMPDIR", saved.c_str(), 1);
    else ::unsetenv("TMPDIR");
    EXPECT_EQ(ui.messages.back(), "Error creating temp file!");
    EXPECT_TRUE(sent_path.empty());
    EXPECT_EQ(ui.waits, 0);
}

TEST_F(PBViewerWindowTest, LoginIsKeptOnlyWhenTicked) {
    {
        qelranklogin login(ui);
        EXPECT_FALSE(login.RememberBox()->isChecked());
        login.UserEdit()->setText("jim");
        login.PasswordEdit()->setText("pw");
        login.RememberBox()->setChecked(true);
        login.show();
        QApplication::processEvents();
        fixture::CheckScreenshot(login.grab().toImage(), "qel_rank_login");
        login.accept();
        EXPECT_EQ(login.UserName(), "jim");
    }
    qelranklogin again(ui);
    EXPECT_EQ(again.UserEdit()->text(), "jim");
    EXPECT_EQ(again.PasswordEdit()->text(), "pw");
    EXPECT_TRUE(again.RememberBox()->isChecked());
    again.RememberBox()->setChecked(false);
    again.accept();
    EXPECT_EQ(again.Password(), "pw");
    std::string user, password;
    EXPECT_FALSE(RankingLogin::Load(user, password));
}

// Refresh shows the table whether or not it can be kept, and a table or a
// login that cannot be stored says why, as the settings dialog does.
TEST_F(PBViewerWindowTest, ASaveThatFailsIsReported) {
    enum class Fault { kReadOnly, kLocked, kLockFileIsAFolder };
    const struct Case {
        const char* label;
        Fault fault;
        const char* reason;  // the file's name follows
    } cases[] = {
        {"read-only file", Fault::kReadOnly, "The settings file is read-only:\r\n"},
        {"locked by another run", Fault::kLocked, "Another program kept the settings file locked for too long:\r\n"},
        {"a folder for the lock file", Fault::kLockFileIsAFolder, "The settings file cannot be written:\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fixture::ScopedConfigDir fresh;
        const fs::path file = fresh.folder() / "current_user.reg";
        {
            CRegistry reg(RegistryHive::kCurrentUser);
            ASSERT_TRUE(reg.CreateKey(RegistryHive::kCurrentUser, Settings::kSettingsKey));
        }
        const fs::path lock_file = file.string() + ".lock";
        std::optional<fixture::LockHolder> other;
        switch (c.fault) {
        case Fault::kReadOnly: fs::permissions(file, fs::perms::owner_read); break;
        case Fault::kLocked:
            other.emplace(lock_file);
            ASSERT_TRUE(other->held());
            HiveCache::SetLockWait(std::chrono::milliseconds(0));
            break;
        case Fault::kLockFileIsAFolder:
            fs::remove(lock_file);
            fs::create_directory(lock_file);
            break;
        }
        std::string why = c.reason + file.string();
        if (c.fault == Fault::kReadOnly) why += "\r\nOstrevan leaves it as it is.";
        ui.messages.clear();
        PBViewer viewer(*doc, ui);
        viewer.DriverList()->setCurrentIndex(1);
        viewer.OnOK();
        EXPECT_GT(viewer.Table()->rowCount(), 0);
        PersonalBestsStore::Table kept;
        EXPECT_FALSE(PersonalBestsStore::Load(kept));
        qelranklogin login(ui);
        login.UserEdit()->setText("jim");
        login.RememberBox()->setChecked(true);
        login.accept();
        EXPECT_EQ(login.UserName(), "jim");
        EXPECT_EQ(ui.messages, (std::vector<std::string>{"The personal best laps could not be saved.\r\n" + why,
                                                          "The login could not be saved.\r\n" + why}));
        other.reset();
        HiveCache::Reset();
    }
}

std::string ExpectedRequest(uint16_t port, const std::string& file) {
    const std::string delimiter = "-----------------------------7d217c540366";
    const std::string body = delimiter + "\r\nContent-Disposition: form-data; name=\"MAX_FILE_SIZE\"\r\n\r\n65535\r\n" +
                             delimiter +
                             "\r\nContent-Disposition: form-data; name=\"submitfile\"; "
                             "filename=\"Uploaded_via_ZAVRO\"\r\nContent-Type: application/octet-stream\r\n\r\n" +
                             file + "\r\n" + delimiter + "--\r\n";
    return "POST /php-reg/user.php?submitTimes HTTP/1.1\r\nReferer: ZAVRO\r\n"
           "Content-Type: multipart/form-data; boundary=---------------------------7d217c540366\r\n"
           "Authorization: Basic YWI6Y2Q=\r\nUser-Agent: Ostrevan\r\nHost: 127.0.0.1:" +
           std::to_string(port) + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n" + body;
}

TEST_F(PBViewerWindowTest, UploadAgainstTheLoopbackServer) {
    struct Case {
        std::string reply;
        bool close_early;
        std::string short_answer;  // the transcript's answer line, then its meaning
        std::string meaning;
        std::string message;
    };
    const std::string page = "<html>\nthanks\n</html>";
    const std::vector<Case> cases = {
        {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(page.size()) + "\r\n\r\n" + page, false,
         "\r\nServers response in short was: 200 OK", "Which means everything went fine!",
         "Laptimes successfully uploaded!"},
        {"HTTP/1.1 401 Unauthorized\r\nContent-Length: 0\r\n\r\n", false,
         "\r\nServers response in short was: 401 Unauthorized",
         "Which means you did not supply correct user and/or password",
         "Laptimes not uploaded!\r\nIncorrect username or password"},
        {"HTTP/1.1 500 Internal Server Error\r\n\r\noops", false,
         "\r\nServers response in short was: 500 Internal Server Error",
         "Which means something went wrong, times not updated", "Laptimes not uploaded!\r\nSee transcript for details"},
        {"", true, "\r\nServers response in short was:  ", "Which means something went wrong, times not updated",
         "Laptimes not uploaded!\r\nSee transcript for details"},
        // Named, not followed: the upload did not reach the form.
        {"HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/elsewhere\r\nContent-Length: 0\r\n\r\n", false,
         "\r\nServers response in short was: 302 Found", "Which means something went wrong, times not updated",
         "Laptimes not uploaded!\r\nSee transcript for details"},
    };
    const std::string file = ReadAll(lap_file);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.short_answer);
        LoopbackServer server(c.reply, c.close_early);
        ui.messages.clear();
        QELRankUploadProgress upload(lap_file.string(), "YWI6Y2Q=", server.Server(), ui);
        EXPECT_FALSE(upload.CloseButton()->isEnabled());
        upload.show();
        ASSERT_TRUE(WaitFor([&] { return upload.CloseButton()->isEnabled(); }));
        EXPECT_FALSE(upload.AbortButton()->isEnabled());
        ASSERT_EQ(server.connections, 1);  // neither a 401 nor a redirect is tried again
        EXPECT_EQ(server.requests[0], ExpectedRequest(server.Server().port, file));
        const std::string host = "127.0.0.1";
        const size_t request_bytes = ExpectedRequest(server.Server().port, file).size();
        std::vector<std::string> lines = {"Beginning communication, please wait...", "Looking up IP of " + host,
                                          "IP of " + host + " successfully found", "Connecting to " + host,
                                          "Connected to " + host, "About to send information to " + host,
                                          std::to_string(request_bytes) + " bytes sent to " + host,
                                          "Waiting for response"};
        if (c.close_early) {
            lines.push_back("Error: Connection reset - Aborting");
        } else {
            const size_t head = c.reply.find("\r\n\r\n") + 4;
            lines.push_back(std::to_string(head) + " bytes received from " + host);
            if (c.reply.rfind("HTTP/1.1 3", 0) == 0) lines.push_back("Server tries to redirect...");
            lines.push_back("Request complete...");
        }
        lines.push_back("Closing connection");
        lines.push_back("Connection closed");
        lines.push_back(c.short_answer);
        lines.push_back(c.meaning);
        EXPECT_EQ(upload.Transcript().Lines(), lines);
        EXPECT_EQ(ui.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(ui.waits, 0);
        if (c.reply.find(page) != std::string::npos) {
            fixture::CheckScreenshot(upload.grab().toImage(), "qel_rank_upload_progress");
            EXPECT_EQ(upload.ReplyBody(), page);
            ASSERT_TRUE(upload.ViewButton()->isEnabled());
            upload.OnViewReply();
            const std::string reply_file = upload.ReplyFile();
            ASSERT_EQ(ui.opened, std::vector<std::string>{reply_file});
            EXPECT_EQ(ReadAll(reply_file), "<html>\r\nthanks\r\n</html>");
            upload.accept();
            EXPECT_FALSE(fs::exists(reply_file));
        } else {
            EXPECT_EQ(upload.ViewButton()->isEnabled(), c.reply.find("oops") != std::string::npos);
        }
    }
}

TEST_F(PBViewerWindowTest, AbortStopsTheTransferAndAMissingFileSendsNothing) {
    LoopbackServer silent("");
    QELRankUploadProgress upload(lap_file.string(), "YWI6Y2Q=", silent.Server(), ui);
    upload.show();
    ASSERT_TRUE(WaitFor([&] { return !silent.requests.empty() && silent.requests[0].find("--\r\n") != std::string::npos; }));
    EXPECT_TRUE(upload.Running());
    upload.AbortButton()->click();
    EXPECT_FALSE(upload.Running());
    EXPECT_TRUE(upload.CloseButton()->isEnabled());
    const auto& aborted = upload.Transcript().Lines();
    ASSERT_GE(aborted.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(aborted.end() - 4, aborted.end()),
              (std::vector<std::string>{"Closing connection", "Connection closed",
                                        "\r\nServers response in short was:  ",
                                        "Which means something went wrong, times not updated"}));
    EXPECT_EQ(ui.messages.back(), "Laptimes not uploaded!\r\nSee transcript for details");

    LoopbackServer unused("HTTP/1.1 200 OK\r\n\r\n");
    QELRankUploadProgress missing((config.scratch() / "gone.ini").string(), "YWI6Y2Q=", unused.Server(), ui);
    missing.show();
    ASSERT_TRUE(WaitFor([&] { return missing.CloseButton()->isEnabled(); }));
    // Finished without a connection begun: the whole transcript has no
    // look-up and no connect, and nothing is left running to make one.
    EXPECT_FALSE(missing.Running());
    EXPECT_EQ(missing.Transcript().Lines(),
              (std::vector<std::string>{"Beginning communication, please wait...",
                                        "\nFailed to open a local temporary file " +
                                            (config.scratch() / "gone.ini").string() + ".",
                                        "\r\nServers response in short was:  ",
                                        "Which means something went wrong, times not updated"}));
    EXPECT_EQ(unused.connections, 0);
    EXPECT_EQ(ui.messages.back(), "Laptimes not uploaded!\r\nSee transcript for details");
}

// A proxy that cannot carry a TCP connection leaves no way to make the
// socket: the transcript names the connection handle, and nothing is closed
// that never opened. (Loopback addresses never go through a proxy, so the
// server is a documentation address that is never reached.)
TEST_F(PBViewerWindowTest, ASocketThatCannotBeMadeIsNamedAndNothingIsClosed) {
    RankingRequest::Server unreachable;
    unreachable.host = "192.0.2.1";
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::HttpCachingProxy, "127.0.0.1", 9));
    QELRankUploadProgress upload(lap_file.string(), "YWI6Y2Q=", unreachable, ui);
    upload.show();
    const bool closed = WaitFor([&] { return upload.CloseButton()->isEnabled(); });
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
    ASSERT_TRUE(closed);
    const auto& lines = upload.Transcript().Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Error creating handle: 1001 - Aborting"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "Closing connection"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "Connection closed"), lines.end());
    EXPECT_EQ(lines.back(), "Which means something went wrong, times not updated");
}

TEST_F(PBViewerWindowTest, TheToolsMenuOpensTheViewer) {
    CMainFrame frame(*doc, ui);
    QAction* action = frame.Action(CMainFrame::kPBViewer);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), "PB Viewer");
    bool in_tools = false;
    for (QAction* menu : frame.menuBar()->actions())
        if (menu->text() == "&Tools") in_tools = menu->menu()->actions().contains(action);
    EXPECT_TRUE(in_tools);
    QString title;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<PBViewer*>(w); d && d->isVisible()) {
                title = d->windowTitle();
                d->reject();
            }
    });
    EXPECT_TRUE(frame.Run(CMainFrame::kPBViewer));
    EXPECT_EQ(title, "Personal Best Laps Viewer");
}

}  // namespace
