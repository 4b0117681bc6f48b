#pragma once
// Text conventions shared by every text report: fixed-pitch columns, the
// lap-time text, the session header line, the footer and the orderings.
// Report texts use "\r\n" line ends throughout.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

class Header;

namespace report_text {

inline constexpr std::string_view kFooter = "Generated with Ostrevan\r\n";
inline constexpr std::string_view kNoPracticeData = "This replay file does not contain practice data.";
inline constexpr std::string_view kNoRaceData = "This replay file does not contain race data.";
inline constexpr std::string_view kNoTime = "No time";
// Low 24 bits of a lap-time word that mean "no time".
inline constexpr uint32_t kNoTimeMs = 0xFFFFFF;

// The low 24 bits of a lap-time word (the top byte holds flags): whole
// minutes and "m" when there is at least one minute, the seconds as two
// digits, ".", the milliseconds as three digits, "s": 83456 -> "1m23.456s",
// 5123 -> "05.123s".
std::string FormatLapTime(uint32_t word);

// The value's text right-aligned in width columns; a wider text keeps its
// last width characters.
std::string RightAlign(std::string_view text, size_t width);
std::string RightAlign(long long value, size_t width);
// Padded with spaces to width and cut at it.
std::string LeftAlign(std::string_view text, size_t width);

// What a file time reads when it cannot be shown.
inline constexpr const char* kUnknownTime = "Unknown";
// A local time in the fixed 24-character form "Sun Jan 06 14:05:09 2008",
// English names whatever the locale; kUnknownTime for a time whose year is
// not one of four digits.
std::string FormatFileTime(std::time_t t);
// The last-write time of a file in that form; empty when it cannot be read.
std::string FileTimeText(const std::string& path);

// "Track: " and the track name with its first character upper-cased, 13
// spaces and the file time (no line end).
std::string TrackLine(const Header& header, std::string_view file_time);

// A packed entry: driver index in the top byte, a 24-bit time below.
inline uint32_t Pack(int driver, uint32_t ms) { return (static_cast<uint32_t>(driver) << 24) | (ms & 0xFFFFFF); }
inline int PackedDriver(uint32_t packed) { return static_cast<int>(packed >> 24); }
inline uint32_t PackedTime(uint32_t packed) { return packed & 0xFFFFFF; }

// Sorts packed entries by their 24-bit time, ascending; equal times by
// driver index, so the same replay always gives the same text.
void SortByTime(std::vector<uint32_t>& packed);

}  // namespace report_text
