#include "document/telemetry_text.h"

#include <charconv>
#include <cinttypes>
#include <cstdio>

#include "document/lap_file_names.h"
#include "document/rpy_graph_doc.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"

namespace telemetry_text {

namespace {

// "%f": six decimals in fixed notation, always with a point.
void Fixed(std::string& out, double v) {
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
    out.append(buf, r.ec == std::errc{} ? r.ptr : buf);
}

void Int(std::string& out, int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

}  // namespace

std::string Build(const LapSlot& slot) {
    const GetRpyInfo* t = slot.telemetry.get();
    const uint32_t n = t ? t->sample_count : 0;
    std::string out;
    out.reserve(64 + size_t{n} * 160);
    Int(out, n > 0 ? int64_t{n} - 1 : 0);
    out += ", ";
    Int(out, Drivers::LapMs(lap_file_names::StoredLapWord(slot)));
    out += "\r\n";
    out += kHeaderLine;
    out += "\r\n";
    for (uint32_t i = 1; t && i < n; ++i) {
        Fixed(out, t->distance[i]);
        out += ", ";
        Fixed(out, t->lateral_offset[i]);
        out += ", ";
        Int(out, t->gear[i]);
        out += ", ";
        Fixed(out, t->revs[i]);
        out += ", ";
        Int(out, t->orientation[i]);
        out += ", ";
        Int(out, t->roll[i]);
        out += ", ";
        Int(out, t->pitch[i]);
        out += ", ";
        Int(out, t->steering[i]);
        out += ", ";
        Fixed(out, t->speed[i]);
        out += ", ";
        Fixed(out, t->accel_long[i]);
        out += ", ";
        Fixed(out, t->accel_lat[i]);
        out += ", ";
        Fixed(out, t->slip_angle[i]);
        out += "\r\n";
    }
    return out;
}

}  // namespace telemetry_text
