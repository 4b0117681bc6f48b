#include "reports/engine_detection_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "replay/byte_reader.h"
#include "replay/data_section_walker.h"
#include "replay/drivers.h"
#include "replay/name_tables.h"
#include "reports/car_sample.h"
#include "reports/driver_sample_windows.h"
#include "reports/report_text.h"

using report_text::LeftAlign;

namespace {

constexpr const char* kMakes[] = {"Brabham", "BRM",   "Cooper", "Eagle", "Ferrari",          "Lotus",
                                  "Honda",   "Can't be detected ", "F2", "F3", "Honda or Ferrari"};
constexpr int kLotus = 5;
constexpr int kFerrari = 4;
constexpr int kHonda = 6;
constexpr int kHondaOrFerrari = 10;
constexpr size_t kWindow = 200;
constexpr size_t kLabelWidth = 53;

constexpr const char* kNoData = "No data to use in detection";
constexpr const char* kNotEnough = "Not enough data to use in detection";
constexpr const char* kDamaged = "\r\nThe replay file is damaged - stopping detection.\r\n";

constexpr const char* kIntroduction =
    "Engine Detection Report\r\n\r\n"
    "Generated with Ostrevan\r\n\r\n"
    "This report will TRY to determine what engine each driver\r\n"
    "is using (there is a patch for engine swapping available).\r\n"
    "\r\n"
    "For most accurate results the report should be run on a replay\r\n"
    "saved by the server or an offline replay. Online replays not \r\n"
    "saved by the server will most likely give very false results.\r\n\r\n"
    "Drivers not maximizing the potential of the engine (ofter slower\r\n"
    "drivers) might also be detected to be using the wrong engine.\r\n"
    "If you consistantly are detected as using the wrong engine even\r\n"
    "though you don't you probably have time to gain by reviewing\r\n"
    "your driving style.\r\n\r\n"
    "Four different tests are made:\r\n"
    "Test A works best for fast hotlaps\r\n"
    "Test B works on both race and hotlaps\r\n"
    "Test C works best for race laps\r\n"
    "Test D is the most reliable, but only works on laps driven by\r\nthe local driver (the one who saved the replay)\r\n\r\n"
    "THIS DETECTION SHOULD BE TREATED AS A HINT OF WHAT ENGINE IS\r\n"
    "USED, NOT THE TRUTH!\r\n\r\n"
    "To make sure the reported engines are correct you need to\r\n"
    "make further manual checks on the replay in ZAVRO or in QEL.\r\n\r\n";

// Engine-speed code (10 bits) to revolutions per minute, and the other
// cars' rev fraction field (5 bits) to its fraction; tables, as every car
// record of a long race needs them.
const std::array<double, 1024>& RpmTable() {
    static const auto table = [] {
        std::array<double, 1024> t{};
        for (int code = 0; code < 1024; ++code) t[code] = std::tan(code * 0.001288481) * 4131.182;
        return t;
    }();
    return table;
}

double Rpm(int code) { return RpmTable()[static_cast<size_t>(code) & 1023]; }

double OtherFraction(int scale) {
    static const auto table = [] {
        std::array<double, 32> t{};
        for (int s = 0; s < 32; ++s) t[s] = std::tan(s * 0.04122431) * 0.305114;
        return t;
    }();
    return table[static_cast<size_t>(scale) & 31];
}

// The first bound the figure lies below gives the make; figures above the
// last bound give -1.
template <typename T, size_t N>
int Classify(T figure, const std::array<T, N>& bounds, const std::array<int, N>& makes) {
    if (figure == 0) return EngineDetectionReport::kCannotDetect;
    for (size_t i = 0; i < N; ++i)
        if (figure < bounds[i]) return makes[i];
    return -1;
}

constexpr std::array<int, 9> kCodeMakes = {9, 8, 0, 5, 2, 3, 4, 1, 6};

int Median(const DriverSampleWindows& w, int channel) {
    std::vector<int> v;
    for (size_t i = 0; i < w.Size(channel); ++i) v.push_back(w.At(channel, i));
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct DriverState {
    int code = 0, previous = 0, before = 0;
    int highest_code = 0;
    int shift_code = 0;
    bool armed = true;
    int last_gear = 7;
    int highest_peak = 0, second_peak = 0;
    double lowest_ratio = 50000.0;
};

}  // namespace

std::string EngineDetectionReport::MakeText(int make) {
    if (make < 0 || make >= static_cast<int>(std::size(kMakes))) make = kCannotDetect;
    return LeftAlign(kMakes[make], std::max<size_t>(9, std::char_traits<char>::length(kMakes[make])));
}

int EngineDetectionReport::ClassifyByHighestCode(int code) {
    return Classify(code, std::array<int, 9>{815, 871, 900, 909, 924, 934, 945, 952, 960}, kCodeMakes);
}

int EngineDetectionReport::ClassifyByShiftFigure(int figure) {
    return Classify(figure, std::array<int, 9>{800, 853, 872, 896, 914, 925, 937, 944, 950}, kCodeMakes);
}

int EngineDetectionReport::ClassifyByShiftCodes(const DriverSampleWindows& third_to_fourth,
                                                const DriverSampleWindows& fourth_to_fifth, int channel) {
    const int a = Median(third_to_fourth, channel);
    const int b = Median(fourth_to_fifth, channel);
    const int figure = a != 0 && b != 0 ? (a + b) / 2 : (a != 0 ? a : b);
    return ClassifyByShiftFigure(figure);
}

int EngineDetectionReport::ClassifyByPeakCode(int peak) {
    return Classify(peak, std::array<int, 9>{815, 871, 892, 909, 924, 934, 945, 952, 960}, kCodeMakes);
}

int EngineDetectionReport::ClassifyByRevLimit(double ratio) {
    if (std::isnan(ratio)) ratio = 0;
    return Classify(ratio, std::array<double, 9>{8000, 8700, 9050, 9200, 9400, 9500, 10000, 12000, 17500},
                    std::array<int, 9>{7, 5, 3, 0, 2, 4, 1, 8, 9});
}

std::string EngineDetectionReport::Write(const Drivers& d, const Progress& progress) {
    std::string text;
    auto append = [&](const std::string& piece) {
        text += piece;
        if (progress) progress(piece);
    };
    append(kIntroduction);
    append("Starting scan of replay file(this might take a while)...\r\n");

    const int count = std::clamp<int>(d.driver_count, 0, Drivers::kMaxDrivers);
    // The record ids of the data section name car slots 0 to 19; an id
    // that names no driver is ignored.
    std::array<int, 64> driver_of{};
    driver_of.fill(-1);
    for (int i = count - 1; i >= 0; --i)
        if (d.slot[i] < Drivers::kMaxDrivers) driver_of[d.slot[i]] = i;
    const bool has_local = d.player_index < static_cast<uint32_t>(count);
    const uint32_t local_id = has_local ? d.slot[d.player_index] : 0xFFFFFFFF;
    const int local = local_id < Drivers::kMaxDrivers ? driver_of[local_id] : -1;

    std::array<DriverState, Drivers::kMaxDrivers> state{};
    DriverSampleWindows third_to_fourth(kWindow), fourth_to_fifth(kWindow);
    double highest_rpm = 0.0, lowest_rpm = 20000.0;
    uint32_t blocks = 0;
    bool damaged = false;

    auto sample = [&](int i, const CarSample& s, bool player) {
        DriverState& st = state[i];
        st.before = st.previous;
        st.previous = st.code;
        st.code = s.code;
        // A rev fraction of 0 gives no limit to divide by: no figure.
        if (player) {
            const double rpm = Rpm(s.code);
            const double fraction = s.scale * 0.003921569;
            if (fraction > 0) st.lowest_ratio = std::min(st.lowest_ratio, rpm / fraction);
            highest_rpm = std::max(highest_rpm, rpm);
            lowest_rpm = std::min(lowest_rpm, rpm);
        } else {
            const double fraction = OtherFraction(s.scale);
            if (fraction > 0) st.lowest_ratio = std::min(st.lowest_ratio, Rpm(s.code) / fraction);
        }
        st.highest_code = std::max(st.highest_code, s.code);
        if (s.gear == 0 && st.armed) {
            st.armed = false;
            st.shift_code = st.previous;
        }
        if (st.last_gear == 3 && s.gear == 4) {
            third_to_fourth.Push(i, st.shift_code);
            st.armed = true;
        }
        if (st.last_gear == 4 && s.gear == 5) {
            fourth_to_fifth.Push(i, st.shift_code);
            st.armed = true;
        }
        if (st.previous > st.second_peak && st.previous > st.code && st.previous > st.before && blocks > 4) {
            st.second_peak = st.previous;
            if (st.previous > st.highest_peak) {
                st.second_peak = st.highest_peak;
                st.highest_peak = st.previous;
            }
        }
        if (s.gear != 0) {
            st.armed = true;
            st.last_gear = s.gear;
        }
    };

    DataSectionWalker walker;
    const auto end = walker.Walk(
        d.path, d.data_section_offset,
        [&](const DataSectionWalker::Block&) {
            ++blocks;
            return DataSectionWalker::BlockAction::kRecords;
        },
        [&](const DataSectionWalker::Block&, const DataSectionWalker::Record& rec) {
            if (rec.type == 1) {
                if (rec.payload.size() < CarSample::kPlayerBytes) {
                    damaged = true;
                    return false;
                }
                if (local >= 0) sample(local, CarSample::Player(rec.payload.first<CarSample::kPlayerBytes>()), true);
            } else if (rec.type == 3) {
                for (size_t at = 0; at + CarSample::kOtherBytes <= rec.payload.size(); at += CarSample::kOtherBytes) {
                    const CarSample s = CarSample::Other(rec.payload.subspan(at).first<CarSample::kOtherBytes>());
                    if (driver_of[s.record_id] >= 0) sample(driver_of[s.record_id], s, false);
                }
            }
            return true;
        });

    if (end == DataSectionWalker::End::kCannotOpen) {
        append("Error opening file!\r\n");
        return text;
    }
    if (end != DataSectionWalker::End::kFinished || damaged) {
        append(kDamaged);
        return text;
    }

    for (int i = 0; i < count; ++i) {
        const DriverState& st = state[i];
        const int car = d.car_index[i];
        const int season = d.season_code[i];
        std::string r = "\r\n" + d.first_names[i] + " " + d.last_names[i] + "\r\n\r\n" + LeftAlign("Listed car:", kLabelWidth);
        // The make table holds the base season's cars; other seasons list
        // their own.
        if (season == 1967 || season == 255)
            r += MakeText(car % 7);
        else
            r += LeftAlign(name_tables::GetCarName(season, car), std::max<size_t>(9, name_tables::GetCarName(season, car).size()));

        r += "\r\n" + LeftAlign("Detected engine method A(mainly for hotlaps):", kLabelWidth);
        r += st.highest_code == 0 ? kNoData : MakeText(ClassifyByHighestCode(st.highest_code));

        r += "\r\n" + LeftAlign("Detected engine method B(for hotlaps, partly races):", kLabelWidth);
        if (third_to_fourth.Size(i) == 0 && fourth_to_fifth.Size(i) == 0) {
            r += kNoData;
        } else {
            int make = ClassifyByShiftCodes(third_to_fourth, fourth_to_fifth, i);
            if (make == 0 && car == kLotus) make = kLotus;
            r += MakeText(make);
        }

        r += "\r\n" + LeftAlign("Detected engine method C(mainly for races):", kLabelWidth);
        if (st.highest_peak == 0) {
            r += kNoData;
        } else if (st.highest_peak < 650) {
            r += kNotEnough;
        } else {
            int make = ClassifyByPeakCode(st.highest_peak);
            if (make == 0 && car == kLotus) make = kLotus;
            r += MakeText(make);
        }

        r += "\r\n" + LeftAlign("Detected engine method D(*only* for local driver):", kLabelWidth);
        if (d.slot[i] != local_id) {
            r += "This test only for local driver";
        } else if (highest_rpm == 0) {
            r += kNoData;
        } else if (highest_rpm - lowest_rpm < 2000) {
            r += kNotEnough;
        } else {
            int make = ClassifyByRevLimit(st.lowest_ratio);
            if (make == kFerrari) {
                const int by_peak = ClassifyByPeakCode(st.highest_peak);
                make = by_peak == kFerrari ? kFerrari : by_peak == kHonda ? kHonda : kHondaOrFerrari;
            }
            r += MakeText(make);
        }
        r += "\r\n";
        append(r);
    }
    return text;
}
