#include "app/desktop_registration.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <set>

#include "settings/atomic_file.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr size_t kLargestOwnFile = 1 << 20;
constexpr const char* kStampWord = "Ostrevan registration ";

std::string Stamp(const std::string& content) {
    uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a
    for (unsigned char c : content) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

std::string StampLine(const fs::path& relative, const std::string& content) {
    const std::string text = kStampWord + Stamp(content);
    if (relative.extension() == ".desktop") return "# " + text + "\n";
    return "<!-- " + text + " -->\n";
}

std::string WithLineEnd(std::string content) {
    if (!content.empty() && content.back() != '\n') content += '\n';
    return content;
}

// True when existing is a file this program wrote and nobody changed: its
// last line is the stamp of everything before it.
bool IsOwnUnchanged(const fs::path& relative, const std::string& existing) {
    if (existing.empty() || existing.back() != '\n') return false;
    const size_t start = existing.rfind('\n', existing.size() - 2);
    const std::string body = start == std::string::npos ? std::string() : existing.substr(0, start + 1);
    const std::string last = existing.substr(start == std::string::npos ? 0 : start + 1);
    return last == StampLine(relative, body);
}

bool IsReserved(char c) {
    static const std::string reserved = " \t\n\r\"'\\><~|&;$*?#()`";
    return reserved.find(c) != std::string::npos;
}

// XDG folder lists hold absolute paths only; anything else is ignored.
std::optional<fs::path> AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value != '/') return std::nullopt;
    return fs::path(value);
}

}  // namespace

DesktopRegistration::DesktopRegistration(fs::path data_home, std::vector<fs::path> data_dirs)
    : data_home_(std::move(data_home)), data_dirs_(std::move(data_dirs)) {}

std::optional<DesktopRegistration> DesktopRegistration::FromEnvironment() {
    std::optional<fs::path> home = AbsoluteFromEnvironment("XDG_DATA_HOME");
    if (!home) {
        const std::optional<fs::path> user = AbsoluteFromEnvironment("HOME");
        if (!user) return std::nullopt;
        home = *user / ".local" / "share";
    }
    std::vector<fs::path> dirs;
    const char* list = std::getenv("XDG_DATA_DIRS");
    const std::string value = list != nullptr ? list : "";
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find(':', start);
        if (end == std::string::npos) end = value.size();
        if (end > start && value[start] == '/') dirs.emplace_back(value.substr(start, end - start));
        start = end + 1;
    }
    if (dirs.empty()) dirs = {"/usr/local/share", "/usr/share"};
    return DesktopRegistration(*home, dirs);
}

bool DesktopRegistration::ProvidedSystemWide(const fs::path& relative) const {
    std::error_code ec;
    for (const fs::path& dir : data_dirs_)
        if (fs::exists(dir / relative, ec)) return true;
    return false;
}

std::vector<fs::path> DesktopRegistration::Register(const std::vector<File>& files, const RunTool& run) const {
    std::vector<fs::path> written;
    std::set<std::string> folders;
    for (const File& file : files) {
        if (file.content.empty()) continue;
        const fs::path target = data_home_ / file.relative;
        const std::string content = WithLineEnd(file.content);
        const std::string wanted = content + StampLine(file.relative, content);
        std::string existing;
        AtomicFile out;
        bool ok = false;
        switch (atomic_file::Read(target, kLargestOwnFile, existing)) {
        case atomic_file::ReadResult::kMissing: {
            if (ProvidedSystemWide(file.relative)) continue;
            std::error_code ec;
            fs::create_directories(target.parent_path(), ec);
            // Never over a file that appears meanwhile: it is someone else's.
            ok = out.Begin(target) && out.Append(wanted) && out.CommitNew();
            if (!ok && errno == EEXIST) continue;
            break;
        }
        case atomic_file::ReadResult::kRead:
            if (existing == wanted || !IsOwnUnchanged(file.relative, existing)) continue;
            ok = out.Begin(target) && out.Append(wanted) && out.Commit();
            break;
        case atomic_file::ReadResult::kUnreadable: continue;
        }
        if (!ok) {
            std::cerr << "Ostrevan could not register itself with the desktop: " << target.string() << " cannot be written.\n";
            continue;
        }
        written.push_back(target);
        folders.insert(file.relative.begin()->string());
    }
    if (folders.count("applications"))
        run({"update-desktop-database", "-q", (data_home_ / "applications").string()});
    if (folders.count("mime")) run({"update-mime-database", (data_home_ / "mime").string()});
    return written;
}

std::string DesktopRegistration::ExecValue(const std::string& program) {
    bool quote = false;
    for (char c : program) quote = quote || IsReserved(c);
    std::string argument;
    if (quote) argument += '"';
    for (char c : program) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) argument += '\\';
        argument += c;
        // A lone percent would start a field code.
        if (c == '%') argument += '%';
    }
    if (quote) argument += '"';
    // The value is a string as well: its own escapes come on top.
    std::string value;
    for (char c : argument) {
        switch (c) {
        case '\\': value += "\\\\"; break;
        case '\n': value += "\\n"; break;
        case '\t': value += "\\t"; break;
        case '\r': value += "\\r"; break;
        default: value += c;
        }
    }
    return value + " %f";
}

std::string DesktopRegistration::WithExec(const std::string& entry, const std::string& program) {
    std::string out;
    size_t start = 0;
    while (start < entry.size()) {
        size_t end = entry.find('\n', start);
        end = end == std::string::npos ? entry.size() : end + 1;
        const std::string line = entry.substr(start, end - start);
        out += line.rfind("Exec=", 0) == 0 ? "Exec=" + ExecValue(program) + "\n" : line;
        start = end;
    }
    return out;
}

bool DesktopRegistration::RunQuietly(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    pid_t pid = 0;
    // A missing tool is no failure of the program: the desktop then reads
    // the files as they are.
    const int started = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return false;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
