#include "reports/laptime_verifier_report.h"

#include <algorithm>
#include <array>
#include <map>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "replay/byte_reader.h"
#include "replay/data_section_walker.h"
#include "replay/drivers.h"
#include "reports/car_sample.h"
#include "reports/loaded_laps.h"
#include "reports/report_text.h"

using report_text::FormatLapTime;
using report_text::RightAlign;

namespace {

// 120 m in 1/2000 m.
constexpr uint32_t kNearLine = 240000;
constexpr double kTickMs = 27.77777777777778;
constexpr int kBlocksPerMarker = 36;

// What the analysis needs of the data section, in file order: the timing
// markers and the records of the lap's car.
struct Event {
    uint32_t block = 0;  // numbered from 1
    bool marker = false;
    uint32_t car_id = 0; // markers: the low byte
    uint32_t value = 0;  // markers: clock in ms; car records: distance in 1/2000 m
    int driver = -1;     // car records: the driver's index
};

struct Section {
    std::vector<Event> events;
    bool damaged = false;         // the walk stopped before the end
    uint32_t damaged_block = 0;   // the block it stopped in
};

// One walk serves the laps of every wanted driver of the replay.
Section Collect(const Drivers& d, const std::vector<int>& wanted) {
    Section out;
    int player = -1;
    std::array<int, 64> driver_of_id{};
    driver_of_id.fill(-1);
    for (int driver : wanted) {
        if (d.player_index == static_cast<uint32_t>(driver))
            player = driver;
        else if (d.slot[driver] < driver_of_id.size())
            driver_of_id[d.slot[driver]] = driver;
    }
    const uint32_t scale = CarSample::DistanceScale(d.path, d.data_section_offset);
    uint32_t block_number = 0;
    DataSectionWalker walker;
    const auto end = walker.Walk(
        d.path, d.data_section_offset,
        [&](const DataSectionWalker::Block&) {
            ++block_number;
            return DataSectionWalker::BlockAction::kRecords;
        },
        [&](const DataSectionWalker::Block&, const DataSectionWalker::Record& rec) {
            if (rec.type == 13) {
                ByteReader r(rec.payload);
                const uint32_t v = r.U32();
                if (!r.ok()) return false;
                out.events.push_back({block_number, true, v & 0xFF, (v >> 8) * 10, -1});
            } else if (rec.type == 1) {
                if (rec.payload.size() < CarSample::kPlayerBytes) return false;
                if (player >= 0)
                    out.events.push_back({block_number, false, 0, CarSample::Player(rec.payload).distance * scale, player});
            } else if (rec.type == 3) {
                for (size_t at = 0; at + CarSample::kOtherBytes <= rec.payload.size(); at += CarSample::kOtherBytes) {
                    const CarSample s = CarSample::Other(rec.payload.subspan(at, CarSample::kOtherBytes));
                    if (driver_of_id[s.record_id] >= 0)
                        out.events.push_back({block_number, false, 0, s.distance * scale, driver_of_id[s.record_id]});
                }
            }
            return true;
        });
    if (end != DataSectionWalker::End::kFinished) {
        out.damaged = true;
        out.damaged_block = std::max<uint32_t>(block_number, 1);
    }
    return out;
}

bool Valid(const LoadedLap& lap) {
    const Drivers* d = lap.drivers;
    return d && lap.driver >= 0 && lap.driver < std::clamp<int>(d->driver_count, 0, Drivers::kMaxDrivers) &&
           lap.lap >= 0 && lap.lap < Drivers::kTableWords;
}

LaptimeVerifierReport::LapResult Analyse(const LoadedLap& lap, double track_length_m, const Section& section);

}  // namespace

LaptimeVerifierReport::LapResult LaptimeVerifierReport::VerifyLap(const LoadedLap& lap, double track_length_m) {
    if (!Valid(lap)) return {};
    return Analyse(lap, track_length_m, Collect(*lap.drivers, {lap.driver}));
}

namespace {

LaptimeVerifierReport::LapResult Analyse(const LoadedLap& lap, double track_length_m, const Section& section) {
    LaptimeVerifierReport::LapResult result;
    const Drivers* d = lap.drivers;
    const auto& table = lap.session == 0 ? d->practice_times[lap.driver] : d->race_times[lap.driver];
    // Lap k is entry k of its session's table; entry 0 is the time to the
    // first crossing of the line.
    int64_t start = 0;
    for (int k = 0; k < lap.lap; ++k) start += Drivers::LapMs(table[k]);
    const int64_t end = start + Drivers::LapMs(table[lap.lap]);
    const uint32_t line = static_cast<uint32_t>(std::max(0.0, track_length_m * 2000));

    if (section.events.empty() && section.damaged) return result;
    const auto& ev = section.events;
    auto car = [&](const Event& e) { return !e.marker && e.driver == lap.driver; };
    // The session's clock: car id 0 in practice, the race's marker id in
    // the race. Both passes go by these markers alone: markers of other ids
    // are not the clock the lap was timed by.
    auto counts = [&](const Event& e) { return e.marker && e.car_id == (lap.session == 0 ? 0u : d->race_session_code); };
    auto time = [](const Event& e) { return static_cast<int64_t>(e.value); };

    // First pass: the blocks of the lap's start and end markers.
    uint32_t start_block = 0, end_block = 0;
    int64_t reference = 0;
    bool searching_end = false, finished = false;
    size_t i = 0;
    for (; i < ev.size() && !finished; ++i) {
        const Event& e = ev[i];
        if (start_block == 0) {
            if (!counts(e) || time(e) <= start - 1050) continue;
            start_block = e.block;
            reference = time(e) - 1000;
            // The car must still be short of the line at the start block;
            // if it is found so only in an earlier block, the start goes
            // back to the counting marker before that. Never before the
            // first block.
            size_t back = i;
            while (back + 1 < ev.size() && ev[back + 1].block == e.block) ++back;
            size_t found = ev.size();
            for (size_t b = back + 1; b-- > 0;)
                if (car(ev[b]) && line - ev[b].value < kNearLine) {
                    found = b;
                    break;
                }
            if (found != ev.size() && ev[found].block != start_block) {
                for (size_t b = found + 1; b-- > 0;)
                    if (counts(ev[b])) {
                        start_block = ev[b].block;
                        reference = time(ev[b]) - 1000;
                        i = b;
                        break;
                    }
            }
            continue;
        }
        if (!searching_end) {
            if (counts(e) && time(e) > end + 30) {
                end_block = e.block;
                searching_end = true;
            }
            continue;
        }
        // The car must be past the line in the end block, else the next
        // counting marker closes the lap.
        if (car(e) && e.value < kNearLine && e.block == end_block) finished = true;
        if (counts(e) && e.block != end_block) {
            end_block = e.block;
            finished = true;
        }
    }
    if (!finished && searching_end && !section.damaged) finished = true;  // the section ended: keep the end block
    if (!finished || end_block <= start_block) return {};

    // Second pass: the car's distance in each block from the start block
    // to the one after the end block, and the clock's irregularities.
    const uint32_t m = end_block - start_block + 2;
    std::vector<int64_t> v(m + 1, 0);
    int64_t previous_time = reference;
    int64_t previous_block = 1 - kBlocksPerMarker;
    for (const Event& e : ev) {
        if (e.block < start_block) continue;
        if (e.block > start_block + m - 1) break;
        const int64_t rel = e.block - start_block + 1;
        if (car(e)) {
            v[rel] = e.value;
        } else if (counts(e)) {
            const int64_t step = time(e) - previous_time;
            if (step != 1000) {
                result.method_b_offset += static_cast<double>(1000 - step);
                ++result.corrections;
            }
            const int64_t blocks = rel - previous_block;
            if (blocks != kBlocksPerMarker) {
                result.method_b_offset += static_cast<double>(blocks - kBlocksPerMarker) * kTickMs;
                ++result.smashes;
            }
            previous_time = time(e);
            previous_block = rel;
        }
    }
    // A damaged block inside the lap ends the analysis with what the clock
    // told so far.
    if (section.damaged && section.damaged_block <= start_block + m - 1) return result;

    // Method A: the time from the car's first crossing of the line to its
    // last, from the distances around each.
    uint32_t j = 0, k = 0;
    for (uint32_t a = 1; a + 1 <= m; ++a)
        if (v[a] >= v[a + 1]) {
            j = a;
            break;
        }
    for (uint32_t b = m; b >= 2; --b)
        if (v[b - 1] >= v[b]) {
            k = b;
            break;
        }
    if (j == 0 || k < 3) return result;
    const int64_t f = v[j + 1];
    int64_t d1 = 0;
    if (f != 0) {
        if (j + 2 > m) return result;
        d1 = v[j + 2] - v[j + 1];
    } else {
        if (j + 3 > m) return result;
        d1 = v[j + 3] - v[j + 2];
    }
    const int64_t d2 = v[k - 1] - v[k - 2];
    int64_t r = int64_t{line} - v[k - 1];
    if (d2 < std::llabs(r)) r = d2;
    // A car that does not move over these blocks gives no speed to measure by.
    if (d1 <= 0 || d2 <= 0) return result;
    const double ticks = (static_cast<double>(k) - j - 2) / 36.0 + static_cast<double>(f) / d1 / 36.0 +
                         static_cast<double>(r) / d2 / 36.0;
    result.method_a_ms = static_cast<int>(std::trunc(ticks * 1000.0));
    return result;
}

}  // namespace

std::string LaptimeVerifierReport::Write(const LoadedLaps& laps, const Progress& progress) {
    std::string text;
    auto append = [&](const std::string& piece) {
        text += piece;
        if (progress) progress(piece);
    };
    append("ONLINE LAPTIME VERIFIER\r\n\r\n");
    std::string rows[6] = {"Statistics                ", "Official time(from replay)", "Calculated time (method A)",
                           "Calculated time (method B)", "Clock corrections         ", "Clock smashes             "};
    // One walk per replay for the laps of all its drivers.
    std::map<const Drivers*, Section> sections;
    for (const LoadedLap& lap : laps.laps) {
        if (!Valid(lap) || sections.count(lap.drivers)) continue;
        std::vector<int> wanted;
        for (const LoadedLap& other : laps.laps)
            if (other.drivers == lap.drivers && Valid(other)) wanted.push_back(other.driver);
        sections.emplace(lap.drivers, Collect(*lap.drivers, wanted));
    }
    int n = 0;
    for (const LoadedLap& lap : laps.laps) {
        ++n;
        const LapResult r = Valid(lap) ? Analyse(lap, laps.track_length_m, sections.at(lap.drivers)) : LapResult{};
        const uint32_t official = lap.LapWord() & 0xFFFFFF;
        rows[0] += "     Lap " + std::to_string(n);
        append("Lap " + std::to_string(n) + ": " + FormatLapTime(official) + " - " + lap.FirstName() + " " +
               lap.LastName() + "\r\n");
        rows[1] += RightAlign(FormatLapTime(official), 10);
        rows[2] += RightAlign(FormatLapTime(static_cast<uint32_t>(r.method_a_ms)), 10);
        rows[3] += RightAlign(
            FormatLapTime(static_cast<uint32_t>(static_cast<int64_t>(std::trunc(official + r.method_b_offset)))), 10);
        rows[4] += RightAlign(static_cast<long long>(r.corrections), 10);
        rows[5] += RightAlign(static_cast<long long>(r.smashes), 10);
    }
    std::string table = "\r\n\r\n";
    for (const auto& row : rows) table += row + "\r\n";
    table += "\r\n";
    append(table);
    append("\r\nInformation"
           "\r\n==========="
           "\r\nDuring the development of this \"verifier\" we have not had enough bad replays to"
           "\r\nwork with. This means the results listed above might not detect all incorrect"
           "\r\nlaptimes, and maybe some correct laptimes are found to be incorrect. We will"
           "\r\ncontinue to improve this feature, so please contact us if you think you've found"
           "\r\na bug or some other \"strangeness\". We've concentrated on detecting incorrect"
           "\r\nlaptimes which are incorrect but still realistic."
           "\r\n\r\nMethod A should give the most reliable laptime estimate based on replay data."
           "\r\nHowever, if method B's laptime differs from both the replay and method A's"
           "\r\nlaptime something might be wrong with the official laptime."
           "\r\n\r\nIf a lap contains many clock corrections it probably means the connection to"
           "\r\nthe server was bad. The official laptime might still be OK though, specially if"
           "\r\nboth method A and B has the same laptime as the official laptime. Clock-smashes"
           "\r\non the other hand are likely to cause an incorrect laptime."
           "\r\n"
           "\r\nShift-Rs during a lap is likely to cause both smashes and corrections of the"
           "\r\nclock."
           "\r\n"
           "\r\nThis report is designed for use primarily for use on laps set by the same driver"
           "\r\nwho saved the replay."
           "\r\n"
           "\r\nGenerated with Ostrevan\r\n");
    return text;
}
