#pragma once
// A folder of pages as a browser sees it: served over HTTP/1.0 from
// 127.0.0.1 only, and opened in headless Chromium, which runs a probe page
// of our own beside the pages and hands back what the probe wrote.

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

namespace fixture {

// Chromium's program, or empty when it is not installed.
std::string Chromium();

// Serves the files of one folder, one request per connection, until
// destroyed. Content types carry no character set, so the pages' own
// declaration decides.
class LoopbackServer {
public:
    explicit LoopbackServer(std::filesystem::path root);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    int port() const { return port_; }

private:
    void Serve();

    std::filesystem::path root_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Writes `probe` (a page whose script puts its findings in <pre
// id="result">) into the folder as probe.html, serves the folder, opens the
// probe in headless Chromium and returns the text of the result element;
// empty when Chromium gave no page. `profile` is a scratch folder for the
// browser's profile.
std::string RunProbe(const std::string& chromium, const std::filesystem::path& folder, const std::string& probe,
                     const std::filesystem::path& profile);

}  // namespace fixture
