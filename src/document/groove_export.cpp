#include "document/groove_export.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "document/lap_file_names.h"
#include "document/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"
#include "settings/atomic_file.h"
#include "track/track.h"

namespace groove_export {

std::string FormatGrooveNumber(double value) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 8);
    if (r.ec != std::errc{}) return "0.00000000";
    return std::string(buf, r.ptr);
}

double LateralAtDistance(const GetRpyInfo& lap, double d, int& p) {
    const auto& s = lap.distance;
    const auto& l = lap.lateral_offset;
    const int n = static_cast<int>(lap.sample_count);
    int i = std::max(p, 2);
    while (s[static_cast<size_t>(i)] < d && i < n - 2) ++i;
    const auto a = static_cast<size_t>(i - 1);
    const auto b = static_cast<size_t>(i);
    const double run = s[b] - s[a];
    // Two samples at one distance (a standing car) have no slope between them.
    const double x = run == 0.0 ? l[b] : l[a] + (l[b] - l[a]) / run * (d - s[a]);
    p = std::max(i - 1, 2);
    return x;
}

std::optional<std::string> Build(const GetRpyInfo& lap, double track_length, const Parameters& parameters) {
    const int n = static_cast<int>(lap.sample_count);
    if (lap.sample_count < kMinSamples || !lap.trimmed) return std::nullopt;
    const double a = parameters.acceleration_factor * 0.01;
    const double r = parameters.roll_factor * 0.01;
    std::vector<double> darkness(static_cast<size_t>(n), 0.0);
    for (int i = 2; i < n - 2; ++i) {
        const auto k = static_cast<size_t>(i);
        if (parameters.darkness_method == 1) {
            darkness[k] = lap.accel_total[k];
        } else {
            const double v = std::min(std::fabs((lap.speed[k + 1] - lap.speed[k]) * 0.4347826086956522), 1.0);
            const double roll_part = std::clamp(std::abs(lap.roll[k]) * 0.02 * r, 0.0, 1.0);
            const double b = v * a;
            const double larger = std::max(b, roll_part);
            darkness[k] = larger > 1.0 ? roll_part : larger;
        }
    }
    if (parameters.darkness_method == 1 && n - 2 > 15) {
        double top = 0.0;
        for (int k = 15; k < n - 2; ++k) top = std::max(top, darkness[static_cast<size_t>(k)]);
        // A lap without any acceleration from sample 15 on stays at 0.
        if (top > 0.0)
            for (int k = 15; k < n - 2; ++k) darkness[static_cast<size_t>(k)] /= top;
        for (int k = 0; k < 15; ++k) darkness[static_cast<size_t>(k)] = darkness[15];
    }

    const double step = (std::clamp(parameters.resolution_index, 0, 19) + 1) * 0.1;
    std::string lines;
    lines.reserve(track_length > 0 ? static_cast<size_t>(std::min(track_length / step, 1e7)) * 48 : 0);
    size_t count = 0;
    int p = 2;
    for (double d = 0.0; d < track_length; d += step) {
        const double x = LateralAtDistance(lap, d, p);
        lines += "0 ";
        lines += FormatGrooveNumber(x);
        lines += ' ';
        lines += FormatGrooveNumber(darkness[static_cast<size_t>(p)]);
        lines += ' ';
        lines += FormatGrooveNumber(d);
        lines += ' ';
        lines += parameters.width;
        lines += "\r\n";
        ++count;
    }
    return "60sections," + std::to_string(count) + "entries\r\n" + lines;
}

bool ExportLap(CRpyGraphDoc& doc, int slot_index, const Parameters& parameters) {
    Interaction& ui = doc.GetInteraction();
    if (slot_index < 0 || slot_index >= doc.GetLoadedCount()) return false;
    const LapSlot& slot = doc.GetSlot(slot_index);
    if (!slot.telemetry || !slot.header) return false;
    const double length = doc.GetTrack() ? doc.GetTrack()->GetLength() : 0.0;
    ui.BeginWait();
    const auto text = Build(*slot.telemetry, length, parameters);
    ui.EndWait();
    if (!text) {
        ui.ShowMessage(kTooShort);
        return false;
    }
    const auto chosen = ui.ChooseSaveFile("Export Lap To Groove (GRV) File",
                                          lap_file_names::SafeFileName(slot.header->track_folder + ".grv"),
                                          {{"Groove files", "*.grv"}, {"All Files", "*.*"}});
    if (!chosen) return false;
    if (!atomic_file::Write(lap_file_names::WithExtension(*chosen, ".grv"), *text)) {
        ui.ShowMessage("Error creating file!");
        return false;
    }
    return true;
}

}  // namespace groove_export
