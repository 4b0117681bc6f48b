#include "reports/mechanical_report.h"

#include <algorithm>
#include <vector>

#include "replay/byte_reader.h"
#include "replay/data_section_walker.h"
#include "replay/drivers.h"
#include "reports/report_input.h"
#include "reports/report_text.h"

using report_text::FormatLapTime;

namespace {

constexpr uint16_t kMarker = 13;
constexpr uint16_t kStatus = 10;
// The simulator's clock runs 1/36 s a block; the report counts 28 ms.
constexpr int kBlockMs = 28;

// The damage notice that ends a walk which cannot go on.
constexpr const char* kDamaged = "\r\nThe replay file is damaged - stopping detection.\r\n";

const char* const kWheels[] = {" left front", " right front", " left rear", " right rear"};

std::string LevelText(int level) {
    switch (level) {
    case 3: return "severe problems with";
    case 2: return "medium problems with";
    default: return "minor problems with";
    }
}

}  // namespace

void MechanicalScan::Append(const std::string& piece) {
    if (keep_text_) m_strReport += piece;
    if (progress_) progress_(piece);
}

std::string MechanicalScan::DriverName(int slot) const {
    const Drivers& d = *in_->drivers;
    const int count = std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers);
    for (int i = 0; i < count; ++i)
        if (d.slot[i] == static_cast<uint32_t>(slot)) return d.first_names[i] + " " + d.last_names[i];
    if (slot < count) return d.first_names[slot] + " " + d.last_names[slot];
    return "Car " + std::to_string(slot);
}

void MechanicalScan::ReportStatusChange(int b, int e, int s) {
    auto& entry = m_carStatus.cars[s];
    const int old = entry[b];
    entry[b] = static_cast<uint8_t>(e);

    const Drivers& d = *in_->drivers;
    int driver = s;
    for (int i = 0; i < std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers); ++i)
        if (d.slot[i] == static_cast<uint32_t>(s)) {
            driver = i;
            break;
        }
    const std::string name = DriverName(s);
    const std::string stamp = "\r\n" + FormatLapTime(static_cast<uint32_t>(m_nEventTime)) + "\r\n";

    if (e == 0) {
        if (std::all_of(entry.begin() + 2, entry.end(), [](uint8_t v) { return v == 0; }))
            Append(stamp + name + " makes a Shift-R? (detection method A - mech problems fixed)\r\n");
        return;
    }
    if (m_nEventTime != m_nLastTimeShown) Append(stamp);
    if (b == CarStatusTable::kRetirementByte)
        Append(name + " retires!\r\n");
    else if (!(driver == m_nLastDriver && m_nLastTimeShown == m_nEventTime))
        Append(name + " - spotters reporting:\r\n");
    m_nLastDriver = driver;
    m_nLastTimeShown = m_nEventTime;

    std::string detail;
    switch (b) {
    case 9:
    case 11:
        for (int w = 0; w < 4; ++w) {
            const int now = (e >> (2 * w)) & 3;
            if (now != 0 && now != ((old >> (2 * w)) & 3))
                detail += LevelText(now) + kWheels[w] + (b == 9 ? " tire.\r\n" : " suspension.\r\n");
        }
        break;
    case 12:
        if (e == 63)
            detail = "the engine has exploded.\r\n";
        else if (e < 63)
            detail = old == 0 ? "the car has an engine problem.\r\n" : "the engine problem is getting worse.\r\n";
        break;
    case 13:
        detail = GetRetirementReasonText(e, short_reasons_) + "\r\n";
        break;
    case 14:
        if (e == 1) {
            if (entry[7] == 0x40) detail = "the back of the car is on fire.\r\n";
            detail += "the engine has died and brakes are locked.\r\n";
        } else if ((e == 17 || e == 19) && entry[7] == 0x40) {
            detail = "the fire at the back of the car has been put out.\r\n";
        } else if (e == 16) {
            detail = "the car slows down and stops.\r\n";
        }
        break;
    default:
        break;
    }
    if (!detail.empty()) Append(detail);
}

void MechanicalScan::BeginCommentary(const ReportInput& in, const Progress& progress) {
    in_ = &in;
    short_reasons_ = false;
    progress_ = progress;
    m_strReport.clear();
    m_nLastDriver = -1;
    m_nLastTimeShown = -1;
    m_nEventTime = 0;
    m_carStatus.Clear();
}

void MechanicalScan::StatusChange(int byte_index, int value, int slot, int event_time_ms) {
    if (byte_index < 4 || byte_index >= CarStatusTable::kBytes || slot < 0 || slot >= CarStatusTable::kSlots) return;
    m_nEventTime = event_time_ms;
    ReportStatusChange(byte_index, value, slot);
}

std::string MechanicalScan::Scan(const ReportInput& in, bool short_reasons, const Progress& progress) {
    keep_text_ = true;
    Run(in, short_reasons, progress);
    // Handed over, not copied: the text may be very long.
    return std::move(m_strReport);
}

void MechanicalScan::ScanTo(const ReportInput& in, bool short_reasons, const Progress& sink) {
    keep_text_ = false;
    Run(in, short_reasons, sink);
}

void MechanicalScan::Run(const ReportInput& in, bool short_reasons, const Progress& progress) {
    BeginCommentary(in, progress);
    short_reasons_ = short_reasons;

    const Drivers& d = *in.drivers;
    if (!d.race_present) {
        if (keep_text_) m_strReport = report_text::kNoRaceData;
        else if (progress_) progress_(std::string(report_text::kNoRaceData));
        return;
    }

    // Running times S(d, k): the leader completes lap k at the smallest of
    // them among the drivers with at least k laps.
    const int count = std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers);
    int last_lap = 0;
    for (int i = 0; i < count; ++i) last_lap = std::max(last_lap, std::clamp(d.race_lap_count[i], 0, Drivers::kMaxLaps));
    std::vector<std::vector<uint32_t>> running(count, std::vector<uint32_t>(last_lap + 1));
    for (int i = 0; i < count; ++i)
        for (int k = 0; k <= last_lap; ++k)
            running[i][k] = Drivers::LapMs(d.race_times[i][k]) + (k > 0 ? running[i][k - 1] : 0);
    // Taken once per lap here rather than at every marker of the walk.
    std::vector<uint32_t> leader_times(static_cast<size_t>(last_lap) + 1, 0xFFFFFF);
    for (int k = 0; k <= last_lap; ++k)
        for (int i = 0; i < count; ++i)
            if (d.race_lap_count[i] >= k) leader_times[k] = std::min(leader_times[k], running[i][k]);
    auto leader_time = [&](int k) { return k > last_lap ? uint32_t{0xFFFFFF} : leader_times[static_cast<size_t>(k)]; };

    Append("\r\nRACE - MECHANICAL PROBLEMS REPORT\r\n\r\n");
    Append("Starting scan of replay file(this might take a while)...\r\n");
    Append("\r\nSearching for race data...\r\n\r\n");

    bool race_found = false;
    bool first_marker = true;
    int leader_lap = 0;
    uint32_t blocks = 0;
    bool damaged = false;

    DataSectionWalker walker;
    const auto end = walker.Walk(
        d.path, d.data_section_offset,
        [&](const DataSectionWalker::Block& block) {
            ++blocks;
            if (block.size <= 8) return DataSectionWalker::BlockAction::kSkip;
            // Only blocks that open with a timing marker carry what the
            // scan looks for.
            const bool marker_first = ByteReader(block.bytes).U16At(8) == kMarker;
            return marker_first ? DataSectionWalker::BlockAction::kRecords : DataSectionWalker::BlockAction::kSkip;
        },
        [&](const DataSectionWalker::Block&, const DataSectionWalker::Record& rec) {
            if (rec.type == kMarker) {
                ByteReader r(rec.payload);
                const uint32_t v = r.U32();
                if (!r.ok()) {
                    damaged = true;
                    return false;
                }
                m_nEventTime = static_cast<int>((v >> 8) * 10);
                const bool race_marker = (v & 0xFF) == d.race_session_code;
                if (first_marker) {
                    first_marker = false;
                    Append("Replay file starts " + FormatLapTime(kBlockMs * blocks + static_cast<uint32_t>(m_nEventTime)) +
                           " into " + (race_marker ? "the race.\r\n" : "the practice session.\r\n"));
                }
                if (!race_found && race_marker) {
                    race_found = true;
                    Append("\r\nRace data found - beginning detection.\r\n\r\n");
                }
                if (race_found && leader_lap <= last_lap &&
                    leader_time(leader_lap) < static_cast<uint32_t>(m_nEventTime)) {
                    ++leader_lap;
                    if (leader_lap == last_lap + 1)
                        Append("\r\nThe winner of the race crosses the finish line.\r\n(Assuming replay covers the end of "
                               "the race)\r\n");
                    else
                        Append("\r\nLeader of the race starts lap " + std::to_string(leader_lap) + "\r\n");
                }
            } else if (rec.type == kStatus) {
                // The 16-byte status record follows the record header.
                if (rec.payload.size() < CarStatusTable::kBytes) {
                    damaged = true;
                    return false;
                }
                const auto* status = rec.payload.data();
                const int word = status[0] | (status[1] << 8);
                const int slot = ((word & 0x0FFF) - 31) / 64;
                if (slot < 0 || slot >= CarStatusTable::kSlots) {
                    damaged = true;
                    return false;
                }
                if (race_found)
                    for (int b = 4; b < CarStatusTable::kBytes; ++b)
                        if (status[b] != m_carStatus.cars[slot][b]) ReportStatusChange(b, status[b], slot);
            }
            return true;
        });

    switch (end) {
    case DataSectionWalker::End::kFinished:
        Append("\r\nEnd of replay file found - stopping detection.\r\n");
        Append("\r\nGenerated with Ostrevan\r\n");
        break;
    case DataSectionWalker::End::kCannotOpen:
        Append("Error opening file!\r\n");
        break;
    case DataSectionWalker::End::kStopped:
        if (damaged) Append(kDamaged);
        break;
    default:
        Append(kDamaged);
        break;
    }
}
