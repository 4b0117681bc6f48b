#include "support/ini_fixture.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace fixture {

IniText::IniText(std::string line_end) : line_end_(std::move(line_end)) {}

IniText& IniText::Section(std::string_view inner) {
    std::string line = "[";
    line += inner;
    line += ']';
    return Line(line);
}

IniText& IniText::Key(std::string_view key, std::string_view value, std::string_view separator) {
    return Line(std::string(key) + std::string(separator) + std::string(value));
}

IniText& IniText::Comment(std::string_view text) {
    std::string line = ";";
    line += text;
    return Line(line);
}

IniText& IniText::Blank() { return Line(""); }

IniText& IniText::Line(std::string_view raw) {
    lines_.emplace_back(raw);
    return *this;
}

std::string IniText::Build(bool final_line_end) const {
    std::string out;
    for (size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i];
        if (final_line_end || i + 1 < lines_.size()) out += line_end_;
    }
    return out;
}

std::string BuildSeasonFile(const SeasonSpec& spec) {
    IniText ini(spec.line_end);
    ini.Section("Season");
    if (!spec.omit_num_events)
        ini.Key(spec.num_events_key, spec.num_events.value_or(std::to_string(spec.events.size())), spec.separator);
    for (size_t i = 0; i < spec.events.size(); ++i) {
        const SeasonEventSpec& e = spec.events[i];
        ini.Blank().Section("Event" + std::to_string(i + 1));
        const std::pair<const char*, const std::string*> keys[] = {
            {"name", &e.name},         {"shortname", &e.shortname}, {"trackDirectory", &e.track_directory},
            {"numberOfLaps", &e.number_of_laps}, {"day", &e.day},   {"month", &e.month},
            {"startingGrid", &e.starting_grid},
        };
        for (const auto& [key, value] : keys)
            if (std::find(e.omit.begin(), e.omit.end(), key) == e.omit.end()) ini.Key(key, *value, spec.separator);
        for (const auto& [key, value] : e.extra) ini.Key(key, value, spec.separator);
    }
    return ini.Build();
}

std::filesystem::path WriteSeasonFile(const std::filesystem::path& simulator_folder, const SeasonSpec& spec,
                                      const std::string& relative) {
    const std::filesystem::path path = simulator_folder / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = BuildSeasonFile(spec);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("fixture: cannot write " + path.string());
    return path;
}

}  // namespace fixture
