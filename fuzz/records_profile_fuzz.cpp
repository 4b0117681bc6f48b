// Driver profiles and track.ini files as the records run reads them: the
// input stands as the driver's profile and as the track.ini of the one
// season event, and a whole run goes over them; every value of the
// repaired profile is also read as a lap time.

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "fuzz_support.h"
#include "interaction/batch_interaction.h"
#include "records/export_records_model.h"
#include "settings/ini_file.h"

namespace {

void Write(const std::string& relative, const std::string& text) {
    fuzz::WriteInput(relative, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool folder = [] {
        Write("qel/qel.exe", "MZ");
        Write("qel/seasons/67season.ini", "[Season]\r\nnumEvents=1\r\n[Event1]\r\ntrackDirectory=monaco\r\n");
        return true;
    }();
    (void)folder;
    fuzz::WriteInput("qel/players/p/player.ini", data, size);
    fuzz::WriteInput("qel/tracks/monaco/track.ini", data, size);

    const std::string text(reinterpret_cast<const char*>(data), size);
    const IniFile profile = ExportRecordsModel::RepairedProfile(text);
    size_t visited = 0;
    for (const std::string& section : profile.SectionNames()) {
        if (++visited > 16) break;
        for (const char* key : {"braT", "lotR", "ferP", "firstName"})
            if (const auto value = profile.Find(section, key)) {
                const auto ms = ExportRecordsModel::ParseIniTime(*value);
                if (ms && *ms >= 0xFFFFFF) __builtin_trap();
                (void)ExportRecordsModel::CleanName(*value);
            }
    }
    if (const auto ms = ExportRecordsModel::ParseIniTime(text); ms && *ms >= 0xFFFFFF) __builtin_trap();

    std::ostream discard(nullptr);
    BatchInteraction ui(&discard);
    ExportRecordsModel model;
    ExportRecordsModel::Options options;
    options.simulator_folder = (fuzz::Scratch::Folder() / "qel").string();
    model.Run(0, options, ui);
    for (int row = 0; row < model.GetNumTracks(); ++row) {
        int car = 0;
        (void)model.FindBestOverall(row, car);
        (void)model.GetTrackName(row);
    }
    return 0;
}
