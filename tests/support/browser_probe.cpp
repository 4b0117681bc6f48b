#include "support/browser_probe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace fixture {

namespace fs = std::filesystem;

std::string Chromium() {
    for (const char* name : {"chromium", "chromium-browser"})
        for (const char* dir : {"/usr/bin/", "/usr/local/bin/"})
            if (fs::exists(std::string(dir) + name)) return std::string(dir) + name;
    return {};
}

LoopbackServer::LoopbackServer(fs::path root) : root_(std::move(root)) {
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

LoopbackServer::~LoopbackServer() {
    stop_ = true;
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    thread_.join();
}

void LoopbackServer::Serve() {
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
        // Names with blanks arrive as %20.
        std::string decoded;
        for (size_t i = 0; i < name.size(); ++i) {
            if (name.compare(i, 3, "%20") == 0) {
                decoded += ' ';
                i += 2;
            } else {
                decoded += name[i];
            }
        }
        name = std::move(decoded);
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
            reply = "HTTP/1.0 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " +
                    std::to_string(body.str().size()) + "\r\n\r\n" + body.str();
        }
        for (size_t done = 0; done < reply.size();) {
            const ssize_t n = ::write(c, reply.data() + done, reply.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::close(c);
    }
}

std::string RunProbe(const std::string& chromium, const fs::path& folder, const std::string& probe,
                     const fs::path& profile) {
    std::ofstream(folder / "probe.html") << probe;
    LoopbackServer server(folder);
    const std::string command = chromium + " --headless --no-sandbox --disable-gpu --no-first-run" +
                                " --user-data-dir=" + profile.string() +
                                " --virtual-time-budget=10000 --dump-dom http://127.0.0.1:" +
                                std::to_string(server.port()) + "/probe.html 2>/dev/null";
    std::string dom;
    {
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
        if (!pipe) return {};
        std::array<char, 4096> buf;
        size_t n;
        while ((n = std::fread(buf.data(), 1, buf.size(), pipe.get())) > 0) dom.append(buf.data(), n);
    }
    const size_t start = dom.find("<pre id=\"result\">");
    if (start == std::string::npos) return {};
    return dom.substr(start, dom.find("</pre>", start) - start);
}

}  // namespace fixture
