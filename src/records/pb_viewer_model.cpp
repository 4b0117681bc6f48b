#include "records/pb_viewer_model.h"

#include <cstdio>

#include "records/export_records_model.h"

std::string PBViewerModel::FormatLapTime(uint32_t time) {
    if (time == 0xFFFFFFFF) return " ";
    const uint32_t ms = time & 0xFFFFFF;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%u:%02u.%03u", ms / 60000, ms / 1000 % 60, ms % 1000);
    return buffer;
}

PBViewerModel::Rows PBViewerModel::GatheredRows(const ExportRecordsModel& model) {
    Rows rows;
    for (int row = 0; row < model.GetNumTracks(); ++row) {
        std::vector<std::string> cells{model.GetTrackShortName(row)};
        for (int car = 0; car < model.GetNumCars(); ++car)
            cells.push_back(FormatLapTime(model.GetOverallBestTime(car, row)));
        rows.push_back(std::move(cells));
    }
    return rows;
}

PBViewerModel::Rows PBViewerModel::StoredRows(const std::vector<std::string>& tracks,
                                             const std::vector<uint32_t>& times, int cars) {
    Rows rows{{"Using old times!", "Please", "click", "refresh", "to get", "current", "updated", "times"}, {""}};
    for (size_t i = 0; i < tracks.size(); ++i) {
        std::vector<std::string> cells{tracks[i]};
        for (int j = 0; j < cars; ++j) {
            const size_t at = i * static_cast<size_t>(cars) + static_cast<size_t>(j);
            cells.push_back(FormatLapTime(at < times.size() ? times[at] : 0));
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::string PBViewerModel::Base64Encode(const std::string& bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (size_t k = 0; k < 4; ++k)
            out += k <= n ? kAlphabet[group >> (18 - 6 * k) & 0x3F] : '=';
    }
    return out;
}

std::string PBViewerModel::Credentials(const std::string& user, const std::string& password) {
    return Base64Encode(user + ":" + password);
}
