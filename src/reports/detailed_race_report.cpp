#include "reports/detailed_race_report.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "replay/byte_reader.h"
#include "replay/data_section_walker.h"
#include "replay/drivers.h"
#include "reports/car_sample.h"
#include "reports/car_status.h"
#include "reports/mechanical_report.h"
#include "reports/report_input.h"
#include "reports/report_text.h"

using report_text::FormatLapTime;

namespace {

constexpr int kSlots = Drivers::kMaxDrivers;
// The simulator's clock runs 1/36 s a block; the report counts 28 ms.
constexpr int kBlockMs = 28;
// Raw distance units (1/2000 m) a car moves in one block.
constexpr int kStationary = 300;
constexpr int kResetStill = 50;
constexpr int kResetJump = 30000;
constexpr uint32_t kListWithoutTimes = Drivers::kNoTime & 0xFFFFFF;

constexpr const char* kDamaged = "\r\nThe replay file is damaged - stopping detection.\r\n";

struct Car {
    int distance = -1;  // 1/2000 m; -1 = never seen
    int previous_distance = 0;
    int moved = 0, previous_moved = 0;
    int value_a = 0, previous_value_a = 0;
    int gear = 0;
    bool seen = false, previously_seen = false;
    int laps = -1;
    double race_distance = 0;
    int position = 0, previous_position = 0;
    bool baseline_pending = true;
    bool disconnected = false;
    bool gone = false;
    uint32_t finish = 0;
    int last_reset = 0;
    int resets = 0;
};

}  // namespace

bool DetailedRaceReport::Refused(const Drivers& d) {
    const int count = std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers);
    if (count == 0) return false;
    return d.player_index >= static_cast<uint32_t>(count) || d.slot[d.player_index] != d.slot[0];
}

std::string DetailedRaceReport::Write(const ReportInput& in, double track_length_m, MechanicalScan& scan,
                                      const Progress& progress) {
    const Drivers& d = *in.drivers;
    if (!d.race_present) return std::string(report_text::kNoRaceData);

    std::string text;
    auto append = [&](const std::string& piece) {
        text += piece;
        if (progress) progress(piece);
    };
    scan.BeginCommentary(in, append);

    const int count = std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers);
    const double length = track_length_m;
    // Cumulative race time of every driver after each of his race entries:
    // rows 0 to the highest lap count (149 at most, the table's last entry).
    int last_lap = 0;
    std::array<int, kSlots> lap_count{};
    for (int i = 0; i < count; ++i) {
        lap_count[i] = std::clamp(d.race_lap_count[i], 0, Drivers::kMaxLaps);
        last_lap = std::max(last_lap, lap_count[i]);
    }
    std::vector<std::array<uint32_t, kSlots>> cumulative(static_cast<size_t>(last_lap) + 1);
    for (int i = 0; i < count; ++i)
        for (int k = 0; k <= last_lap; ++k)
            cumulative[k][i] = Drivers::LapMs(d.race_times[i][k]) + (k > 0 ? cumulative[k - 1][i] : 0);

    std::array<Car, kSlots> cars{};
    uint32_t winner_finish = 0xFFFFFFFF;
    uint32_t latest_finish = 0;
    for (int i = 0; i < count; ++i) {
        cars[i].finish = cumulative[lap_count[i]][i];
        if (lap_count[i] == last_lap) winner_finish = std::min(winner_finish, cars[i].finish);
        if (cars[i].finish != kListWithoutTimes) latest_finish = std::max(latest_finish, cars[i].finish);
    }

    append("\r\nDETAILED RACE REPORT\r\n\r\n");
    append("Starting scan of replay file(this might take a while)...\r\n");
    append("\r\nSearching for race data...\r\n\r\n");

    // Record ids name car slots 0 to 19; an id naming no driver is ignored.
    std::array<int, 64> driver_of{};
    driver_of.fill(-1);
    for (int i = count - 1; i >= 0; --i)
        if (d.slot[i] < static_cast<uint32_t>(kSlots)) driver_of[d.slot[i]] = i;
    // The player's own records (type 1) belong to the driver of his record id.
    const uint32_t local_id = d.player_index < static_cast<uint32_t>(count) ? d.slot[d.player_index] : 0xFFFFFFFF;
    const int local = local_id < static_cast<uint32_t>(kSlots) ? driver_of[local_id] : -1;
    // Distances in 1/2000 m whatever the replay's unit; one lap of them.
    const int scale = static_cast<int>(CarSample::DistanceScale(d.path, d.data_section_offset));
    const int line = static_cast<int>(length * 2000);

    auto name = [&](int i) { return d.first_names[i] + " " + d.last_names[i]; };
    int now = 0;
    auto stamp = [&] { return "\r\n" + FormatLapTime(static_cast<uint32_t>(now)) + "\r\n"; };

    bool race_found = false, all_on_grid = false, all_finished = false, first_marker = true;
    uint32_t previous_code = 0;
    int leader_lap = 0;
    uint32_t blocks = 0;
    bool block_open = false;
    std::array<int, kSlots> car_at{}, previous_car_at{};
    car_at.fill(-1);
    previous_car_at.fill(-1);

    auto end_of_block = [&] {
        if (!all_on_grid) return;
        for (int i = 0; i < count; ++i) {
            Car& c = cars[i];
            c.previous_moved = c.moved;
            c.moved = c.distance == -1 ? 0 : c.distance - c.previous_distance;
            // Crossing the line takes the distance back to 0: the car went on.
            if (line > 0 && c.moved < -line / 2) c.moved += line;
            const bool finished = int64_t{c.finish} < now;
            if (!c.seen && c.previous_moved > kStationary && finished) {
                append(stamp() + name(i) + " gets disconnected while racing in position " +
                       std::to_string(c.position + 1) + ".\r\n");
                c.disconnected = true;
            }
            if (!c.disconnected && !c.gone && !c.seen && finished) {
                append(stamp() + name(i) + (c.finish < winner_finish ? " retires.\r\n" : " drives into parc ferme.\r\n"));
                c.gone = true;
            }
            if (c.disconnected && c.moved != 0 && c.seen) {
                append(stamp() + "The disconnected " + name(i) + " resurrects, didn't disco after all.\r\n");
                c.disconnected = false;
            }
            if (std::abs(c.value_a - c.previous_value_a) > kResetJump && c.previous_moved < kResetStill && c.seen &&
                c.previously_seen && c.gear == 0 && now > c.last_reset + 1000) {
                append(stamp() + name(i) + " makes a Shift-R? (detection method B)\r\n");
                c.last_reset = now;
                c.disconnected = false;
                ++c.resets;
            }
            c.previous_value_a = c.value_a;
        }
        for (int i = 0; i < count; ++i) {
            cars[i].previous_distance = cars[i].distance;
            cars[i].previously_seen = cars[i].seen;
        }
    };

    auto rank_and_overtakes = [&] {
        for (int i = 0; i < count; ++i) {
            Car& c = cars[i];
            int laps = -1;
            for (int k = lap_count[i]; k >= 0; --k)
                if (int64_t{cumulative[k][i]} < now) {
                    laps = k;
                    break;
                }
            // The timing says the car crossed the line, but it is still
            // short of it.
            if (laps > c.laps && length > 0 && c.distance * 0.0005 / length > 0.95) --laps;
            c.laps = laps;
            c.race_distance = c.distance == -1 ? -length : (i * 0.001 + c.distance) * 0.0005 + laps * length;
        }
        std::vector<double> sorted;
        for (int i = 0; i < count; ++i) sorted.push_back(cars[i].race_distance);
        std::sort(sorted.begin(), sorted.end(), std::greater<>());
        car_at.fill(-1);
        for (int i = 0; i < count; ++i) {
            cars[i].position = static_cast<int>(std::find(sorted.begin(), sorted.end(), cars[i].race_distance) - sorted.begin());
            car_at[cars[i].position] = i;
        }
        for (int k = 0; k < count; ++k) {
            Car& c = cars[k];
            if (c.baseline_pending) {
                c.previous_position = c.position;
                previous_car_at = car_at;
                c.baseline_pending = false;
            }
            for (int p = 0; p < c.previous_position; ++p) {
                const int l = previous_car_at[p];
                if (l < 0 || l == k) continue;
                const Car& other = cars[l];
                if (c.position >= other.position) continue;
                if (!(int64_t{winner_finish} >= now || int64_t{c.finish} >= now)) continue;
                std::string s = name(k) + " overtakes ";
                if (other.disconnected)
                    s += "the disconnected ";
                else if (other.gone)
                    s += "the retired ";
                else if (other.moved < kStationary)
                    s += "the stationary ";
                s += name(l) + " for position " + std::to_string(c.position + 1);
                if (!other.disconnected && !other.gone && other.moved > kStationary) {
                    // A car that stood in the block before and moves now
                    // accelerates.
                    bool accelerating = false, braking = false;
                    if (c.previous_moved != 0) {
                        const double ratio = static_cast<double>(c.moved) / c.previous_moved;
                        accelerating = ratio > 1.01;
                        braking = ratio < 0.99 && ratio > 0;
                    } else {
                        accelerating = c.moved > 0;
                    }
                    if (accelerating)
                        s += " under acceleration";
                    else if (braking)
                        s += " under braking";
                }
                append(stamp() + s + ".\r\n");
            }
        }
        previous_car_at = car_at;
        for (int i = 0; i < count; ++i) cars[i].previous_position = cars[i].position;
    };

    auto marker = [&](uint32_t v) {
        now = static_cast<int>((v >> 8) * 10);
        const bool race_marker = (v & 0xFF) == d.race_session_code;
        if (first_marker) {
            first_marker = false;
            std::string s = "Replay file starts " + FormatLapTime(kBlockMs * blocks + static_cast<uint32_t>(now)) + " into ";
            if (race_marker) {
                s += "the race.\r\n";
                if (now > 3000)
                    s += "\r\nNOTE! This replay does not cover the start of the race.\r\n"
                         "This means a lot of the features of this report will not work.\r\n"
                         "It will basicly produce the same output as the \"Mechanical Report\"\r\n";
            } else {
                s += "the practice session.\r\n";
            }
            append(s);
        }
        if (!race_found && race_marker) {
            race_found = true;
            append("\r\nRace data found - beginning detection.\r\n\r\n");
        }
        if (!all_on_grid) {
            bool all = true;
            for (int i = 0; i < count; ++i)
                if (!(d.race_times[i][0] == Drivers::kNoTime || cars[i].distance != -1)) all = false;
            if (all) {
                all_on_grid = true;
                append("All drivers on grid, logging position changes etc\r\n");
            }
        }
        if (all_on_grid) rank_and_overtakes();

        if (leader_lap <= last_lap) {
            uint32_t best = 0xFFFFFFFF;
            for (int i = 0; i < count; ++i)
                if (lap_count[i] >= leader_lap) best = std::min(best, cumulative[leader_lap][i]);
            if (int64_t{best} < now && race_found) {
                ++leader_lap;
                if (leader_lap == last_lap + 1)
                    append("\r\nThe winner of the race crosses the finish line.\r\n(Assuming replay covers the end of "
                           "the race)\r\n");
                else
                    append("\r\nLeader of the race starts lap " + std::to_string(leader_lap) + "\r\n");
            }
        }
        if (race_found && !all_finished && int64_t{latest_finish} < now) {
            all_finished = true;
            append("\r\nAll drivers have crossed the finish line.\r\n");
        }
    };

    auto take = [&](int i, const CarSample& s) {
        if (i < 0) return;
        cars[i].distance = static_cast<int>(s.distance) * scale;
        cars[i].gear = s.gear;
        cars[i].value_a = s.value_a;
        cars[i].seen = true;
    };

    DataSectionWalker walker;
    const auto end = walker.Walk(
        d.path, d.data_section_offset,
        [&](const DataSectionWalker::Block&) {
            if (block_open) end_of_block();
            block_open = true;
            ++blocks;
            for (Car& c : cars) c.seen = false;
            return DataSectionWalker::BlockAction::kRecords;
        },
        [&](const DataSectionWalker::Block&, const DataSectionWalker::Record& rec) {
            ByteReader r(rec.payload);
            switch (rec.type) {
            case 1:
                if (rec.payload.size() < CarSample::kPlayerBytes) break;
                if (race_found) take(local, CarSample::Player(rec.payload.first<CarSample::kPlayerBytes>()));
                return true;
            case 3:
                if (race_found)
                    for (size_t at = 0; at + CarSample::kOtherBytes <= rec.payload.size(); at += CarSample::kOtherBytes) {
                        const CarSample s = CarSample::Other(rec.payload.subspan(at).first<CarSample::kOtherBytes>());
                        take(driver_of[s.record_id], s);
                    }
                return true;
            case 9: {
                // A start signal without a value tells nothing.
                const uint32_t code = r.U32() >> 16;
                if (!r.ok()) return true;
                if (previous_code == 12 && code == 32) append(stamp() + "The starter raises the green flag...\r\n");
                if (previous_code == 1056 && code == 40) append(stamp() + "The starter drops the green flag!\r\n");
                previous_code = code;
                return true;
            }
            case 10: {
                if (rec.payload.size() < CarStatusTable::kBytes) break;
                const uint8_t* status = rec.payload.data();
                const int slot = (((status[0] | (status[1] << 8)) & 0x0FFF) - 31) / 64;
                // Status records of slots outside the table name no car.
                if (race_found && slot >= 0 && slot < CarStatusTable::kSlots)
                    for (int b = 4; b < CarStatusTable::kBytes; ++b)
                        if (status[b] != scan.status().cars[slot][b]) scan.StatusChange(b, status[b], slot, now);
                return true;
            }
            case 13: {
                const uint32_t v = r.U32();
                if (!r.ok()) break;
                marker(v);
                return true;
            }
            default:
                return true;
            }
            // A record too short for its fields: the walk cannot go on.
            return false;
        });

    switch (end) {
    case DataSectionWalker::End::kFinished:
        if (block_open) end_of_block();
        append("\r\nEnd of replay file found - stopping detection.\r\n");
        append("\r\nSummary of Shift-R (for detection method B):\r\n");
        for (int i = 0; i < count; ++i) append(name(i) + " - " + std::to_string(cars[i].resets) + "\r\n");
        append("\r\nNote that the Shift-R detection isn't 100% perfect. It might detect a Shift-R"
               "\r\nthat never happened, and it might not detect a shift-R that really took place."
               "\r\nIf you find any such errors, please contact us so we can try to fix the problem.\r\n");
        append("\r\nGenerated with Ostrevan\r\n");
        break;
    case DataSectionWalker::End::kCannotOpen:
        append("Error opening file!\r\n");
        break;
    default:
        append(kDamaged);
        break;
    }
    return text;
}
