#include "reports/report_text.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "replay/header.h"

namespace report_text {

std::string FormatLapTime(uint32_t word) {
    const uint32_t ms = word & 0xFFFFFF;
    const uint32_t minutes = ms / 60000;
    char buf[32];
    if (minutes > 0)
        std::snprintf(buf, sizeof buf, "%um%02u.%03us", minutes, (ms / 1000) % 60, ms % 1000);
    else
        std::snprintf(buf, sizeof buf, "%02u.%03us", (ms / 1000) % 60, ms % 1000);
    return buf;
}

std::string RightAlign(std::string_view text, size_t width) {
    if (text.size() >= width) return std::string(text.substr(text.size() - width));
    return std::string(width - text.size(), ' ') + std::string(text);
}

std::string RightAlign(long long value, size_t width) { return RightAlign(std::to_string(value), width); }

std::string LeftAlign(std::string_view text, size_t width) {
    if (text.size() >= width) return std::string(text.substr(0, width));
    return std::string(text) + std::string(width - text.size(), ' ');
}

std::string FormatFileTime(std::time_t t) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm tm{};
    // A time the calendar cannot hold, or a year that is not four digits
    // (a damaged or far-future file time), is shown as unknown.
    if (!localtime_r(&t, &tm)) return kUnknownTime;
    const long long year = static_cast<long long>(tm.tm_year) + 1900;
    if (year < 0 || year > 9999 || tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_wday < 0 || tm.tm_wday > 6)
        return kUnknownTime;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s %s %02d %02d:%02d:%02d %04lld", kDays[tm.tm_wday], kMonths[tm.tm_mon],
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, year);
    return buf;
}

std::string FileTimeText(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return FormatFileTime(st.st_mtime);
}

std::string TrackLine(const Header& header, std::string_view file_time) {
    std::string name = header.track_folder;
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
    std::string line = "Track: " + name + std::string(13, ' ');
    line += file_time;
    return line;
}

void SortByTime(std::vector<uint32_t>& packed) {
    std::sort(packed.begin(), packed.end(), [](uint32_t a, uint32_t b) {
        if (PackedTime(a) != PackedTime(b)) return PackedTime(a) < PackedTime(b);
        return PackedDriver(a) < PackedDriver(b);
    });
}

}  // namespace report_text
