#pragma once
// What the personal-best viewer shows and sends, without its window: the
// lap-time texts of its table, the rows of a gathered or a stored table, and
// the Base64 login text of the upload.

#include <cstdint>
#include <string>
#include <vector>

class ExportRecordsModel;

class PBViewerModel {
public:
    using Rows = std::vector<std::vector<std::string>>;  // column 0 the track, then the cars

    // Low 24 bits as milliseconds: "1:23.456", "0:59.012"; 0xFFFFFFFF " ".
    static std::string FormatLapTime(uint32_t time);
    // One row per track of the model's last run: short name, then the
    // overall best of each car.
    static Rows GatheredRows(const ExportRecordsModel& model);
    // The stored table behind the two rows "Using old times!" ... and an
    // empty one.
    static Rows StoredRows(const std::vector<std::string>& tracks, const std::vector<uint32_t>& times, int cars);
    // Standard Base64 with its "=" padding, of any length.
    static std::string Base64Encode(const std::string& bytes);
    // The Authorization text: Base64 of user ":" password.
    static std::string Credentials(const std::string& user, const std::string& password);
};
