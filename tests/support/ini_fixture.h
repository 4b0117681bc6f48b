#pragma once
// Fixture writer for ini files as Windows programs and text editors leave
// them: CR LF line ends (or LF), section headers with blanks inside the
// brackets ("[ monaco ]"), "key = value" with blanks, comments, blank lines,
// duplicated sections and keys, a last line without its line end. Lines are
// written exactly as given, independently of the program's ini reader.
//
// Also the simulator's season file (seasons\67season.ini) in the layout the
// simulator reads: section Season with numEvents, then sections Event1,
// Event2, ... with seven keys each.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fixture {

class IniText {
public:
    explicit IniText(std::string line_end = "\r\n");

    // "[" + inner + "]": inner is written as given, blanks included.
    IniText& Section(std::string_view inner);
    // key, separator, value.
    IniText& Key(std::string_view key, std::string_view value, std::string_view separator = "=");
    // ";" + text.
    IniText& Comment(std::string_view text);
    IniText& Blank();
    // Any line, as is.
    IniText& Line(std::string_view raw);

    // Every line followed by the line end; without it after the last line
    // when final_line_end is false.
    std::string Build(bool final_line_end = true) const;

private:
    std::string line_end_;
    std::vector<std::string> lines_;
};

struct SeasonEventSpec {
    std::string name = "Gran Premio d'Italia";
    std::string shortname = "Monza";
    std::string track_directory = "monza";
    std::string number_of_laps = "68";
    std::string day = "10";
    std::string month = "9";
    std::string starting_grid = "0";
    // Keys of these names are left out.
    std::vector<std::string> omit;
    // Further simulator keys written after the seven.
    std::vector<std::pair<std::string, std::string>> extra;
};

struct SeasonSpec {
    std::vector<SeasonEventSpec> events;
    // Text of the count; the number of events when not set.
    std::optional<std::string> num_events;
    bool omit_num_events = false;
    std::string num_events_key = "numEvents";
    std::string separator = "=";
    std::string line_end = "\r\n";
};

// The whole file. Sections are separated by a blank line.
std::string BuildSeasonFile(const SeasonSpec& spec);

// Writes the season file under simulator_folder at `relative` (default
// "seasons/67season.ini"), creating folders. Returns its path. Throws
// std::runtime_error when it cannot be written.
std::filesystem::path WriteSeasonFile(const std::filesystem::path& simulator_folder, const SeasonSpec& spec,
                                      const std::string& relative = "seasons/67season.ini");

}  // namespace fixture
