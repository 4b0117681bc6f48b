// Ini files: IniFile::Load over a file, then the reads the program makes
// (section lists, keys, values cut to a caller's buffer) and an edit of
// each section, as the profile and lap-times writers make them.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "settings/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto path = fuzz::WriteInput("file.ini", data, size);
    IniFile ini;
    if (!ini.Load(path)) return 0;

    const std::string text = ini.Text();
    // The text written back reads as the same lines.
    if (IniFile(text).Text() != text) __builtin_trap();

    const auto sections = ini.SectionNames();
    size_t visited = 0;
    for (const std::string& section : sections) {
        if (++visited > 16) break;
        std::string out;
        (void)ini.GetString(section, "name", "default", 8, out);
        (void)ini.GetString(section, "", "", 0, out);
        (void)ini.Find(section, section);
        ini.WriteString(section, "key", "value");
        ini.WriteString("new section", section, section);
    }
    if (!sections.empty()) ini.DeleteSection(sections.front());
    (void)ini.Text();
    return 0;
}
