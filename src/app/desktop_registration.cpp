#include "app/desktop_registration.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

constexpr const char* kEntry = "applications/ostrevan.desktop";

// Well-formed UTF-8: no overlong form, no surrogate, nothing past U+10FFFF.
bool IsUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
        const unsigned char lead = byte(i);
        size_t extra = 0;
        uint32_t code = 0, least = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, code = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, code = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, code = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) return false;
            code = (code << 6) | (byte(i + k) & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

// The entry's Exec value, or nullopt when it has no Exec line.
std::optional<std::string> ExecLine(const std::string& entry) {
    size_t start = 0;
    while (start < entry.size()) {
        size_t end = entry.find('\n', start);
        if (end == std::string::npos) end = entry.size();
        if (entry.compare(start, 5, "Exec=") == 0) return entry.substr(start + 5, end - start - 5);
        start = end + 1;
    }
    return std::nullopt;
}

bool IsReserved(char c) {
    static const std::string reserved = " \t\n\r\"'\\><~|&;$*?#()`";
    return reserved.find(c) != std::string::npos;
}

// A link at one of our paths is the user's (into a folder of dotfiles, say):
// it is never written through, replaced or removed.
bool IsLink(const fs::path& path) {
    std::error_code ec;
    return fs::is_symlink(fs::symlink_status(path, ec));
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
    const fs::path own = data_home_ / relative;
    for (const fs::path& dir : data_dirs_) {
        std::error_code ec;
        const fs::path file = dir / relative;
        if (!fs::exists(file, ec)) continue;
        // Some sessions list the user's own folder among the system's: the
        // user's own file is no install's.
        if (fs::equivalent(file, own, ec)) continue;
        return true;
    }
    return false;
}

fs::path DesktopRegistration::OwnProgram() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : program;
}

fs::path DesktopRegistration::DataFromProgramFolder() { return OSTREVAN_DATA_FROM_PROGRAM; }

bool DesktopRegistration::IsInstalled(const fs::path& program) {
    std::error_code ec;
    return program.is_absolute() && fs::is_regular_file(program, ec) &&
           fs::is_regular_file(program.parent_path() / DataFromProgramFolder() / kEntry, ec);
}

bool DesktopRegistration::RemoveStaleEntry(const RunTool& run) const {
    const fs::path target = data_home_ / kEntry;
    std::string existing;
    if (IsLink(target) || atomic_file::Read(target, kLargestOwnFile, existing) != atomic_file::ReadResult::kRead ||
        !IsOwnUnchanged(kEntry, existing))
        return false;
    const std::optional<std::string> exec = ExecLine(existing);
    const fs::path program = exec ? ExecProgram(*exec) : std::string();
    std::error_code ec;
    const bool gone = !program.is_absolute() || !fs::is_regular_file(program, ec);
    if (!gone && !ProvidedSystemWide(kEntry)) return false;
    if (::unlink(target.c_str()) != 0) return false;
    run({"update-desktop-database", "-q", (data_home_ / "applications").string()});
    return true;
}

std::vector<fs::path> DesktopRegistration::RegisterProgram(const fs::path& program, std::vector<File> files,
                                                           const RunTool& run) const {
    RemoveStaleEntry(run);
    if (!IsInstalled(program)) return {};
    for (File& file : files) {
        if (file.relative != kEntry) continue;
        std::optional<std::string> entry = WithExec(file.content, program.string());
        // An entry that cannot name the program would leave a replay to
        // whatever the file manager makes of "Exec= %f": nothing is
        // registered.
        if (!entry) return {};
        file.content = std::move(*entry);
    }
    return Register(files, run);
}

std::vector<fs::path> DesktopRegistration::Register(const std::vector<File>& files, const RunTool& run) const {
    std::vector<fs::path> written;
    std::set<std::string> folders;
    for (const File& file : files) {
        if (file.content.empty()) continue;
        const fs::path target = data_home_ / file.relative;
        if (IsLink(target)) continue;
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

std::optional<std::string> DesktopRegistration::ExecValue(const std::string& program) {
    if (program.empty() || program[0] != '/' || !IsUtf8(program)) return std::nullopt;
    for (char c : program) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\n' && c != '\t' && c != '\r') || u == 0x7F) return std::nullopt;
    }
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

std::string DesktopRegistration::ExecProgram(const std::string& exec) {
    // The value's own escapes first, then the argument's quoting.
    std::string argument;
    for (size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '\\' || i + 1 == exec.size()) {
            argument += exec[i];
            continue;
        }
        switch (exec[++i]) {
        case 'n': argument += '\n'; break;
        case 't': argument += '\t'; break;
        case 'r': argument += '\r'; break;
        case 's': argument += ' '; break;
        default: argument += exec[i];
        }
    }
    std::string program;
    size_t i = 0;
    if (!argument.empty() && argument[0] == '"') {
        for (i = 1; i < argument.size() && argument[i] != '"'; ++i) {
            if (argument[i] == '\\' && i + 1 < argument.size()) ++i;
            program += argument[i];
        }
        if (i == argument.size()) return {};
        ++i;
    } else {
        i = std::min(argument.find(' '), argument.size());
        program = argument.substr(0, i);
    }
    if (argument.compare(i, std::string::npos, " %f") != 0) return {};
    std::string out;
    for (size_t k = 0; k < program.size(); ++k) {
        out += program[k];
        if (program[k] == '%' && k + 1 < program.size() && program[k + 1] == '%') ++k;
    }
    return out;
}

std::optional<std::string> DesktopRegistration::WithExec(const std::string& entry, const std::string& program) {
    const std::optional<std::string> exec = ExecValue(program);
    if (!exec) return std::nullopt;
    std::string out;
    size_t start = 0;
    while (start < entry.size()) {
        size_t end = entry.find('\n', start);
        end = end == std::string::npos ? entry.size() : end + 1;
        const std::string line = entry.substr(start, end - start);
        out += line.rfind("Exec=", 0) == 0 ? "Exec=" + *exec + "\n" : line;
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
