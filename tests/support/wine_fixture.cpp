#include "support/wine_fixture.h"

#include <cctype>
#include <cstdio>

#include "support/replay_fixture.h"

namespace fixture {

namespace {

// Code points of the Windows-1252 bytes 0x80 to 0x9F.
constexpr unsigned kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Wine's escaping of names and texts; specials are the extra characters
// that get a backslash ('"' in texts, '[' and ']' in key names).
std::string Escaped(const std::string& text, const std::string& specials) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        char buf[16];
        if (c > 127) {
            const unsigned unit = c < 0xA0 ? kHigh[c - 0x80] : c;
            // Four digits when a hex digit follows, so it is not read as part of it.
            const bool pad = i + 1 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1]));
            std::snprintf(buf, sizeof buf, pad ? "\\x%04x" : "\\x%x", unit);
            out += buf;
        } else if (c == '\n' || c == '\t' || c == '\r') {
            out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r";
        } else if (c < 32) {
            std::snprintf(buf, sizeof buf, "\\%o", c);
            out += buf;
        } else {
            if (c == '\\' || specials.find(static_cast<char>(c)) != std::string::npos) out += '\\';
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

std::string WineString(const std::string& text) {
    std::string out(1, '"');
    out += Escaped(text, "\"");
    out += '"';
    return out;
}

std::string WineSystemReg(const std::vector<WineKey>& keys) {
    std::string out = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n";
    unsigned long stamp = 1733740000;
    for (const WineKey& key : keys) {
        out += "\n[" + Escaped(key.path, "[]") + "] " + std::to_string(stamp++) + "\n";
        out += "#time=1db4a2c3e5f6a70\n";
        for (const WineValue& v : key.values)
            out += (v.name.empty() ? std::string("@") : WineString(v.name)) + "=" + v.form + "\n";
    }
    return out;
}

void WriteWinePrefix(const std::filesystem::path& prefix, const std::string& system_reg,
                     const std::vector<std::pair<std::string, std::string>>& drive_links, bool make_targets) {
    namespace fs = std::filesystem;
    fs::create_directories(prefix / "dosdevices");
    WriteFile(prefix / "system.reg", system_reg);
    for (const auto& [drive, target] : drive_links) {
        const fs::path link = prefix / "dosdevices" / drive;
        fs::create_symlink(target, link);
        const fs::path resolved = (prefix / "dosdevices" / target).lexically_normal();
        if (make_targets && fs::path(target).is_relative()) fs::create_directories(resolved);
    }
}

}  // namespace fixture
