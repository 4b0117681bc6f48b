// A report site as a browser sees it: written by the -reportsite mode,
// served from a loopback HTTP server started here (127.0.0.1 only) and
// opened in headless Chromium. Every image loads (track.png at 300 x 300),
// a driver named "<b>" reads as written, and the pages are in quirks mode
// with the Windows-1252 character set. Skipped when Chromium is missing.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "app/command_line.h"
#include "app/ui/report_site_mode.h"
#include "interaction/batch_interaction.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/replay_fixture.h"
#include "support/sample_simulator.h"
#include "support/session_fixture.h"

namespace {

namespace fs = std::filesystem;

std::string Chromium() {
    for (const char* name : {"chromium", "chromium-browser"})
        for (const char* dir : {"/usr/bin/", "/usr/local/bin/"})
            if (fs::exists(std::string(dir) + name)) return std::string(dir) + name;
    return {};
}

// Serves the files of one folder over HTTP/1.0 on 127.0.0.1, one request
// per connection, until destroyed. Content types carry no character set,
// so the pages' own declaration decides.
class LoopbackServer {
public:
    explicit LoopbackServer(fs::path root) : root_(std::move(root)) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(fd_, 16);
        socklen_t len = sizeof addr;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        stop_ = true;
        ::shutdown(fd_, SHUT_RDWR);
        ::close(fd_);
        thread_.join();
    }
    int port() const { return port_; }

private:
    void Serve() {
        while (!stop_) {
            const int c = ::accept(fd_, nullptr, nullptr);
            if (c < 0) break;
            std::string request;
            char buf[2048];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::read(c, buf, sizeof buf);
                if (n <= 0) break;
                request.append(buf, static_cast<size_t>(n));
            }
            const size_t sp = request.find(' '), sp2 = request.find(' ', sp + 1);
            std::string name = sp2 == std::string::npos ? "" : request.substr(sp + 2, sp2 - sp - 2);
            if (const size_t q = name.find('?'); q != std::string::npos) name.erase(q);
            std::string reply;
            std::ifstream file(root_ / name, std::ios::binary);
            if (name.empty() || name.find("..") != std::string::npos || !file) {
                reply = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n";
            } else {
                std::stringstream body;
                body << file.rdbuf();
                const std::string ext = fs::path(name).extension().string();
                const std::string type = ext == ".html" ? "text/html" : ext == ".css" ? "text/css"
                                       : ext == ".png" ? "image/png" : ext == ".gif" ? "image/gif"
                                                                                     : "application/octet-stream";
                reply = "HTTP/1.0 200 OK\r\nContent-Type: " + type +
                        "\r\nContent-Length: " + std::to_string(body.str().size()) + "\r\n\r\n" + body.str();
            }
            for (size_t done = 0; done < reply.size();) {
                const ssize_t n = ::write(c, reply.data() + done, reply.size() - done);
                if (n <= 0) break;
                done += static_cast<size_t>(n);
            }
            ::close(c);
        }
    }

    fs::path root_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Opens each page in a frame of a probe page and writes what it found.
constexpr const char* kProbe = R"(<!DOCTYPE html><html><body>
<iframe src="index.html"></iframe><iframe src="Race.html"></iframe>
<iframe src="RaceGraphics.html"></iframe><iframe src="RaceGraphics2.html"></iframe>
<pre id="result"></pre>
<script>
window.addEventListener('load', () => {
  const out = [];
  for (const f of document.querySelectorAll('iframe')) {
    const d = f.contentDocument;
    out.push('page ' + f.getAttribute('src') + ' ' + d.compatMode + ' ' + d.characterSet);
    for (const img of d.images)
      out.push('image ' + img.getAttribute('src') + ' ' + (img.complete ? img.naturalWidth + 'x' + img.naturalHeight : 'pending'));
    if (f.getAttribute('src') === 'Race.html')
      out.push('bold ' + (d.body.innerText.indexOf('<b> Bold') >= 0) + ' ' + d.querySelectorAll('b').length);
  }
  document.getElementById('result').textContent = out.join('\n');
});
</script></body></html>)";

TEST(SiteInBrowser, ImagesLoadNamesReadAsWrittenQuirksModeWindows1252) {
    const std::string chromium = Chromium();
    if (chromium.empty()) GTEST_SKIP() << "Chromium is not installed (Debian package chromium): browser test skipped";

    fixture::ScopedConfigDir config;
    const fs::path sim = config.scratch() / "sim";
    fixture::WriteSampleSimulator(sim);
    fixture::DriverLaps a{fixture::NamedDriver("<b>", "Bold", 0, 1)}, b{fixture::NamedDriver("Jim", "Clark", 1, 2)};
    a.practice_start = b.practice_start = 1000;
    a.practice_laps = {90000};
    b.practice_laps = {91000};
    a.race_start = b.race_start = 2000;
    a.race_laps = {95000, 94000, 94500};
    b.race_laps = {96000, 95000, 95500};
    fixture::WriteFile(sim / "replay" / "bold.rpy",
                       fixture::BuildReplay(fixture::SessionReplay({a, b}, true, true, "monza")));
    Settings settings;
    settings.SetQELDirectory(sim.string());
    const fs::path out = config.scratch() / "sites";
    fs::create_directories(out);
    std::ostringstream messages, printed;
    BatchInteraction ui(&messages);
    ASSERT_EQ(RunReportSite(ParseCommandLine({"ostrevan", "-reportsite", "--" + (sim / "replay" / "bold.rpy").string(),
                                              "--" + out.string()}),
                            settings, ui, printed),
              0)
        << messages.str();
    const fs::path site = out / "bold";
    std::ofstream(site / "probe.html") << kProbe;

    LoopbackServer server(site);
    const std::string command = chromium + " --headless --no-sandbox --disable-gpu --no-first-run" +
                                " --user-data-dir=" + (config.scratch() / "chromium").string() +
                                " --virtual-time-budget=10000 --dump-dom http://127.0.0.1:" +
                                std::to_string(server.port()) + "/probe.html 2>/dev/null";
    std::string dom;
    {
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
        ASSERT_TRUE(pipe);
        std::array<char, 4096> buf;
        size_t n;
        while ((n = std::fread(buf.data(), 1, buf.size(), pipe.get())) > 0) dom.append(buf.data(), n);
    }
    const size_t start = dom.find("<pre id=\"result\">");
    ASSERT_NE(start, std::string::npos) << dom;
    const std::string result = dom.substr(start, dom.find("</pre>", start) - start);
    RecordProperty("browser", result);

    for (const char* page : {"index.html", "Race.html", "RaceGraphics.html", "RaceGraphics2.html"})
        EXPECT_NE(result.find(std::string("page ") + page + " BackCompat windows-1252"), std::string::npos)
            << page << "\n" << result;
    EXPECT_NE(result.find("image track.png 300x300"), std::string::npos) << result;
    EXPECT_NE(result.find("image RaceGraphics.png "), std::string::npos) << result;
    EXPECT_NE(result.find("image RaceGraphics2.png "), std::string::npos) << result;
    EXPECT_EQ(result.find(" 0x0"), std::string::npos) << result;
    EXPECT_EQ(result.find("pending"), std::string::npos) << result;
    // The race page's text has the name as written, and no bold element
    // other than the frame's own title and link.
    EXPECT_NE(result.find("bold true 2"), std::string::npos) << result;
}

}  // namespace
