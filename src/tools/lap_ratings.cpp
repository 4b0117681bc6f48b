#include "tools/lap_ratings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "replay/get_rpy_info.h"

const std::array<const char*, 5> kRatingHeadings = {"Driver/Laptime/Car", "Aggressiveness", "Smoothness", "Usage",
                                                     "Overall"};

namespace {

constexpr size_t kFirst = 14;   // samples before this one are never used
constexpr size_t kWindow = 18;  // half a second
constexpr int kBins = 350;

// A load relative to a peak of 0 counts as no load.
double Ratio(double value, double peak) { return peak == 0.0 ? 0.0 : value / peak; }

std::optional<double> Mean(double sum, size_t count) {
    if (count == 0) return std::nullopt;
    return sum / static_cast<double>(count);
}

int Bin(double speed) {
    const double b = std::trunc(speed + 0.5);
    return b >= 0.0 && b < kBins ? static_cast<int>(b) : 0;
}

}  // namespace

LapRating RateLap(const GetRpyInfo& lap) {
    LapRating rating;
    size_t n = lap.sample_count;
    for (size_t size : {lap.accel_long.size(), lap.accel_lat.size(), lap.speed.size()})
        n = size == 0 ? 0 : std::min(n, size - 1);
    if (n < kFirst + 2) return rating;
    const auto& lon = lap.accel_long;
    const auto& lat = lap.accel_lat;
    const auto& v = lap.speed;
    // A lap that never moves in the rated samples (no car data, or no
    // track to derive speeds and accelerations from) has only zeros,
    // which would rate as a lap that used none of the car.
    if (std::none_of(v.begin() + static_cast<std::ptrdiff_t>(kFirst), v.begin() + static_cast<std::ptrdiff_t>(n),
                     [](double speed) { return speed > 0.0; }))
        return rating;

    std::vector<double> tr(n + 2, 0.0);
    std::vector<double> tot(n + 2, 0.0);
    for (size_t i = 1; i + 1 < n; ++i) tr[i] = std::fabs(lat[i] - lat[i + 1]) * 36.0;
    for (size_t i = 1; i < n; ++i) tot[i] = std::sqrt(lon[i] * lon[i] + lat[i] * lat[i]);

    double max_tr = 0.0, min_lat = 3.0, max_lat = -3.0, min_lon = 0.0, max_tot_acc = 0.0, max_tot_brake = 0.0;
    std::array<double, kBins> bin_max{};
    // A peak counts only when the value is held (or exceeded) for 18 samples.
    const auto held_below = [n](const std::vector<double>& x, size_t j) {
        if (j + kWindow - 1 >= n) return false;
        for (size_t k = j; k < j + kWindow; ++k)
            if (x[j] < x[k]) return false;
        return true;
    };
    const auto held_above = [n](const std::vector<double>& x, size_t j) {
        if (j + kWindow - 1 >= n) return false;
        for (size_t k = j; k < j + kWindow; ++k)
            if (x[j] > x[k]) return false;
        return true;
    };
    for (size_t j = kFirst; j < n; ++j) {
        max_tr = std::max(max_tr, tr[j]);
        if (lat[j] < min_lat && held_below(lat, j)) min_lat = lat[j];
        if (lat[j] > max_lat && held_above(lat, j)) max_lat = lat[j];
        if (lon[j] < min_lon && held_below(lon, j)) min_lon = lon[j];
        if (lon[j] >= 0)
            max_tot_acc = std::max(max_tot_acc, tot[j]);
        else
            max_tot_brake = std::max(max_tot_brake, tot[j]);
        double& top = bin_max[static_cast<size_t>(Bin(v[j]))];
        top = std::max(top, lon[j]);
    }

    std::vector<double> norm_lat(n + 2, 0.0), norm_lon(n + 2, 0.0), norm_tot(n + 2, 0.0), norm_tr(n + 2, 0.0);
    for (size_t j = kFirst; j < n; ++j) {
        norm_lat[j] = Ratio(std::fabs(lat[j]), std::fabs(lat[j] > 0 ? max_lat : min_lat));
        if (lon[j] > 0) {
            norm_lon[j] = Ratio(lon[j], bin_max[static_cast<size_t>(Bin(v[j]))]);
            norm_tot[j] = Ratio(tot[j], max_tot_acc);
        } else {
            norm_lon[j] = Ratio(lon[j], min_lon);
            norm_tot[j] = Ratio(tot[j], max_tot_brake);
        }
        norm_tr[j] = Ratio(tr[j], max_tr);
    }

    double usage_sum = 0.0, aggr_sum = 0.0, smooth_sum = 0.0;
    size_t usage_count = 0, aggr_count = 0, smooth_count = 0;
    for (size_t j = kFirst; j + 1 < n; ++j) {
        usage_sum += std::max({norm_tot[j], norm_lon[j], norm_tr[j]});
        ++usage_count;
        if (norm_lat[j] < 0.5) {
            aggr_sum += std::fabs(norm_lon[j]);
            ++aggr_count;
        }
        // The window's last difference reads tot[j + 18], which must be a
        // computed sample (n - 1 at most).
        if ((norm_lat[j] > 0.8 || norm_tot[j] > 0.8) && j + kWindow < n) {
            double e = 0.0;
            for (size_t k = 0; k < kWindow; ++k) e = std::max(e, std::fabs(tot[j + k] - tot[j + k + 1]));
            smooth_sum += e * 360.0;
            ++smooth_count;
        }
    }
    rating.usage = Mean(usage_sum, usage_count);
    if (rating.usage && *rating.usage > 1.0) rating.usage = 0.9999;
    rating.aggressiveness = Mean(aggr_sum, aggr_count);
    if (rating.aggressiveness && *rating.aggressiveness > 1.0) rating.aggressiveness = 0.9999;
    if (const auto mean = Mean(smooth_sum, smooth_count)) rating.smoothness = 1.0 - *mean * 0.01;
    const double smooth_part = rating.smoothness ? static_cast<double>(smooth_count) * *rating.smoothness : 0.0;
    rating.overall = Mean(usage_sum + aggr_sum + smooth_part, usage_count + aggr_count + smooth_count);
    return rating;
}

std::string RatingText(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) return "-";
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.2f", std::fabs(*value * 100.0));
    // The digits start at the first one that counts: "0.50" reads ".50".
    const char* start = digits[0] == '0' && digits[1] == '.' ? digits + 1 : digits;
    std::string text;
    if (*value < 0 && std::string_view(start) != ".00") text += '-';
    text += start;
    return text;
}

RatingRow MakeRatingRow(const std::string& label, const LapRating& rating) {
    return {label,
            {RatingText(rating.aggressiveness), RatingText(rating.smoothness), RatingText(rating.usage),
             RatingText(rating.overall)}};
}

std::string RatingsTableText(const std::vector<RatingRow>& rows) {
    std::string text = kRatingHeadings[0];
    for (size_t k = 1; k < kRatingHeadings.size(); ++k) {
        text += '\t';
        text += kRatingHeadings[k];
    }
    for (size_t r = 0; r < 5; ++r) {
        text += "\r\n";
        if (r < rows.size()) text += rows[r].label;
        for (size_t k = 0; k < 4; ++k) {
            text += '\t';
            if (r < rows.size()) text += rows[r].values[k];
        }
    }
    text += "\r\n";
    return text;
}
