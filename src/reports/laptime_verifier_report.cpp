#include "reports/laptime_verifier_report.h"

#include <algorithm>
#include <array>
#include <memory>
#include <set>
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

bool Valid(const LoadedLap& lap) {
    const Drivers* d = lap.drivers;
    return d && lap.driver >= 0 && lap.driver < std::clamp<int>(d->driver_count, 0, Drivers::kMaxDrivers) &&
           lap.lap >= 0 && lap.lap < Drivers::kTableWords;
}

// One lap's analysis, fed the section's events as the walk meets them. It
// keeps only the events of its own lap: those from the block its start can
// go back to (the counting marker before the car last came near the line)
// to the block after its end, so a whole race never piles up in memory.
class LapScan {
public:
    LapScan(const LoadedLap& lap, double track_length_m) : lap_(lap) {
        const Drivers* d = lap.drivers;
        const auto& table = lap.session == 0 ? d->practice_times[lap.driver] : d->race_times[lap.driver];
        // Lap k is entry k of its session's table; entry 0 is the time to
        // the first crossing of the line.
        for (int k = 0; k < lap.lap; ++k) start_ += Drivers::LapMs(table[k]);
        end_ = start_ + Drivers::LapMs(table[lap.lap]);
        line_ = static_cast<uint32_t>(std::max(0.0, track_length_m * 2000));
        // The session's clock: car id 0 in practice, the race's marker id in
        // the race. Both passes go by these markers alone: markers of other
        // ids are not the clock the lap was timed by.
        clock_id_ = lap.session == 0 ? 0u : d->race_session_code;
    }

    int driver() const { return lap_.driver; }
    const LaptimeVerifierReport::LapResult& result() const { return result_; }

    // A new block begins: the start block's car records are all seen, and
    // a finished lap has all it needs once the block after its end is past.
    void BeginBlock(uint32_t block) {
        if (phase_ == Phase::kStartBlock && block != start_block_) ResolveStart();
        if (phase_ == Phase::kSeekEnd && finished_ && block > end_block_ + 1) Conclude(false, 0);
    }

    void Take(const Event& e) {
        if (phase_ == Phase::kDone) return;
        const bool car = !e.marker && e.driver == lap_.driver;
        const bool counts = e.marker && e.car_id == clock_id_;
        if (!car && !counts) return;
        if (phase_ == Phase::kSeekStart && counts && static_cast<int64_t>(e.value) > start_ - 1050) {
            start_block_ = e.block;
            reference_ = static_cast<int64_t>(e.value) - 1000;
            phase_ = Phase::kStartBlock;
            start_index_ = kept_.size();
            last_marker_ = e;
            has_last_marker_ = true;
            kept_.push_back(e);
            return;
        }
        if (phase_ != Phase::kSeekEnd) Remember(e, car, counts);
        if (phase_ != Phase::kSeekStart && !finished_) SeekEnd(e, car, counts);
        if (phase_ != Phase::kSeekStart) kept_.push_back(e);
    }

    // The walk ended; damaged when it stopped before the end of the
    // section, in damaged_block.
    void EndOfSection(bool damaged, uint32_t damaged_block) {
        if (phase_ == Phase::kStartBlock) ResolveStart();
        // The section ended while the lap's end was being looked for: the
        // end block found stays.
        if (phase_ == Phase::kSeekEnd && searching_end_ && !damaged) finished_ = true;
        if (phase_ == Phase::kSeekEnd && finished_)
            Conclude(damaged, damaged_block);
        else
            phase_ = Phase::kDone;
    }

private:
    enum class Phase { kSeekStart, kStartBlock, kSeekEnd, kDone };

    // The car's approaches to the line up to the end of the start block.
    // Before the start is found, only the events since the counting marker
    // before the latest approach can be needed.
    void Remember(const Event& e, bool car, bool counts) {
        if (counts) {
            last_marker_ = e;
            has_last_marker_ = true;
        }
        const bool seeking = phase_ == Phase::kSeekStart;
        if (car && line_ - e.value < kNearLine) {
            near_block_ = e.block;
            has_near_ = true;
            has_near_marker_ = has_last_marker_;
            near_marker_ = last_marker_;
            if (seeking) Drop(has_near_marker_ ? near_marker_.block : e.block);
        } else if (seeking && !has_near_) {
            // No approach yet: a later one goes back no further than the
            // latest counting marker.
            Drop(has_last_marker_ ? last_marker_.block : e.block);
        }
        if (seeking) kept_.push_back(e);
    }

    void SeekEnd(const Event& e, bool car, bool counts) {
        if (!searching_end_) {
            if (counts && static_cast<int64_t>(e.value) > end_ + 30) {
                end_block_ = e.block;
                searching_end_ = true;
            }
            return;
        }
        // The car must be past the line in the end block, else the next
        // counting marker closes the lap.
        if (car && e.value < kNearLine && e.block == end_block_) finished_ = true;
        if (counts && e.block != end_block_) {
            end_block_ = e.block;
            finished_ = true;
        }
    }

    // The car must still be short of the line at the start block; if it is
    // found so only in an earlier block, the start goes back to the
    // counting marker before that, and the lap's end is looked for again
    // from the start block's first counting marker on. Never before the
    // first block.
    void ResolveStart() {
        phase_ = Phase::kSeekEnd;
        if (has_near_ && near_block_ != start_block_ && has_near_marker_) {
            start_block_ = near_marker_.block;
            reference_ = static_cast<int64_t>(near_marker_.value) - 1000;
            searching_end_ = finished_ = false;
            end_block_ = 0;
            // The counting markers between are all before the lap's start,
            // so they cannot end it.
            for (size_t i = start_index_; i < kept_.size() && !finished_; ++i) {
                const Event& e = kept_[i];
                SeekEnd(e, !e.marker, e.marker);
            }
        }
        Drop(start_block_);
    }

    void Drop(uint32_t before_block) {
        const auto keep = std::find_if(kept_.begin(), kept_.end(), [&](const Event& e) { return e.block >= before_block; });
        start_index_ -= std::min<size_t>(start_index_, static_cast<size_t>(keep - kept_.begin()));
        kept_.erase(kept_.begin(), keep);
    }

    void Conclude(bool damaged, uint32_t damaged_block);

    LoadedLap lap_;
    int64_t start_ = 0, end_ = 0;
    uint32_t line_ = 0;
    uint32_t clock_id_ = 0;
    Phase phase_ = Phase::kSeekStart;
    // The lap's car records and counting markers, in file order.
    std::vector<Event> kept_;
    size_t start_index_ = 0;  // of the first start marker found, in kept_
    Event last_marker_, near_marker_;
    bool has_last_marker_ = false, has_near_ = false, has_near_marker_ = false;
    uint32_t near_block_ = 0;
    uint32_t start_block_ = 0, end_block_ = 0;
    int64_t reference_ = 0;
    bool searching_end_ = false, finished_ = false;
    LaptimeVerifierReport::LapResult result_;
};

void LapScan::Conclude(bool damaged, uint32_t damaged_block) {
    phase_ = Phase::kDone;
    if (end_block_ <= start_block_) {
        kept_ = {};
        return;
    }
    LaptimeVerifierReport::LapResult& result = result_;
    // The car's distance in each block from the start block to the one
    // after the end block, and the clock's irregularities.
    const uint32_t m = end_block_ - start_block_ + 2;
    std::vector<int64_t> v(m + 1, 0);
    int64_t previous_time = reference_;
    int64_t previous_block = 1 - kBlocksPerMarker;
    for (const Event& e : kept_) {
        if (e.block < start_block_) continue;
        if (e.block > start_block_ + m - 1) break;
        const int64_t rel = e.block - start_block_ + 1;
        if (!e.marker) {
            v[rel] = e.value;
        } else {
            const int64_t step = static_cast<int64_t>(e.value) - previous_time;
            if (step != 1000) {
                result.method_b_offset += static_cast<double>(1000 - step);
                ++result.corrections;
            }
            const int64_t blocks = rel - previous_block;
            if (blocks != kBlocksPerMarker) {
                result.method_b_offset += static_cast<double>(blocks - kBlocksPerMarker) * kTickMs;
                ++result.smashes;
            }
            previous_time = e.value;
            previous_block = rel;
        }
    }
    kept_ = {};
    // A damaged block inside the lap ends the analysis with what the clock
    // told so far.
    if (damaged && damaged_block <= start_block_ + m - 1) return;

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
    if (j == 0 || k < 3) return;
    const int64_t f = v[j + 1];
    int64_t d1 = 0;
    if (f != 0) {
        if (j + 2 > m) return;
        d1 = v[j + 2] - v[j + 1];
    } else {
        if (j + 3 > m) return;
        d1 = v[j + 3] - v[j + 2];
    }
    const int64_t d2 = v[k - 1] - v[k - 2];
    int64_t r = int64_t{line_} - v[k - 1];
    if (d2 < std::llabs(r)) r = d2;
    // A car that does not move over these blocks gives no speed to measure by.
    if (d1 <= 0 || d2 <= 0) return;
    const double ticks = (static_cast<double>(k) - j - 2) / 36.0 + static_cast<double>(f) / d1 / 36.0 +
                         static_cast<double>(r) / d2 / 36.0;
    result.method_a_ms = static_cast<int>(std::trunc(ticks * 1000.0));
}

// One walk of a replay's data section serves the scans of all its laps.
void Scan(const Drivers& d, std::vector<LapScan*>& scans) {
    int player = -1;
    std::array<int, 64> driver_of_id{};
    driver_of_id.fill(-1);
    for (const LapScan* scan : scans) {
        const int driver = scan->driver();
        if (d.player_index == static_cast<uint32_t>(driver))
            player = driver;
        else if (d.slot[driver] < driver_of_id.size())
            driver_of_id[d.slot[driver]] = driver;
    }
    auto take = [&](const Event& e) {
        for (LapScan* scan : scans) scan->Take(e);
    };
    const uint32_t scale = CarSample::DistanceScale(d.path, d.data_section_offset);
    uint32_t block_number = 0;
    DataSectionWalker walker;
    const auto end = walker.Walk(
        d.path, d.data_section_offset,
        [&](const DataSectionWalker::Block&) {
            ++block_number;
            for (LapScan* scan : scans) scan->BeginBlock(block_number);
            return DataSectionWalker::BlockAction::kRecords;
        },
        [&](const DataSectionWalker::Block&, const DataSectionWalker::Record& rec) {
            if (rec.type == 13) {
                ByteReader r(rec.payload);
                const uint32_t v = r.U32();
                if (!r.ok()) return false;
                take({block_number, true, v & 0xFF, (v >> 8) * 10, -1});
            } else if (rec.type == 1) {
                if (rec.payload.size() < CarSample::kPlayerBytes) return false;
                if (player >= 0) {
                    const CarSample s = CarSample::Player(rec.payload.first<CarSample::kPlayerBytes>());
                    take({block_number, false, 0, s.distance * scale, player});
                }
            } else if (rec.type == 3) {
                for (size_t at = 0; at + CarSample::kOtherBytes <= rec.payload.size(); at += CarSample::kOtherBytes) {
                    const CarSample s = CarSample::Other(rec.payload.subspan(at).first<CarSample::kOtherBytes>());
                    if (driver_of_id[s.record_id] >= 0)
                        take({block_number, false, 0, s.distance * scale, driver_of_id[s.record_id]});
                }
            }
            return true;
        });
    const bool damaged = end != DataSectionWalker::End::kFinished;
    for (LapScan* scan : scans) scan->EndOfSection(damaged, std::max<uint32_t>(block_number, 1));
}

}  // namespace

LaptimeVerifierReport::LapResult LaptimeVerifierReport::VerifyLap(const LoadedLap& lap, double track_length_m) {
    if (!Valid(lap)) return {};
    LapScan scan(lap, track_length_m);
    std::vector<LapScan*> scans{&scan};
    Scan(*lap.drivers, scans);
    return scan.result();
}

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
    std::vector<std::unique_ptr<LapScan>> scans(laps.laps.size());
    for (size_t i = 0; i < laps.laps.size(); ++i)
        if (Valid(laps.laps[i])) scans[i] = std::make_unique<LapScan>(laps.laps[i], laps.track_length_m);
    std::set<const Drivers*> walked;
    for (size_t i = 0; i < laps.laps.size(); ++i) {
        if (!scans[i] || !walked.insert(laps.laps[i].drivers).second) continue;
        std::vector<LapScan*> of_replay;
        for (size_t j = i; j < laps.laps.size(); ++j)
            if (scans[j] && laps.laps[j].drivers == laps.laps[i].drivers) of_replay.push_back(scans[j].get());
        Scan(*laps.laps[i].drivers, of_replay);
    }
    int n = 0;
    for (size_t i = 0; i < laps.laps.size(); ++i) {
        const LoadedLap& lap = laps.laps[i];
        ++n;
        const LapResult r = scans[i] ? scans[i]->result() : LapResult{};
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
