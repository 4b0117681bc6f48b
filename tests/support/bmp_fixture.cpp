#include "support/bmp_fixture.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace fixture {

namespace {

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8 & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::string BuildBmp(const BmpSpec& s) {
    const bool core = s.info_size == 12;
    const uint32_t entry = core ? 3 : 4;
    const uint32_t table = static_cast<uint32_t>(s.colours.size()) * entry;
    const uint32_t offset = s.pixel_offset.value_or(14 + s.info_size + table + s.gap);
    const int64_t w = s.width;
    const int64_t h = std::llabs(s.height);
    const uint64_t stride = (static_cast<uint64_t>(s.bits) * static_cast<uint64_t>(std::max<int64_t>(w, 0)) + 31) / 32 * 4;

    std::string rows;
    // Rows that the cut would drop are never made: a header may claim
    // more pixels than memory holds.
    const bool rows_cut = s.cut_to && *s.cut_to <= offset;
    if (!rows_cut && (s.bits == 1 || s.bits == 4 || s.bits == 8 || s.bits == 24)) {
        rows.assign(stride * static_cast<uint64_t>(h), '\0');
        for (int64_t stored = 0; stored < h; ++stored) {
            const int y = static_cast<int>(s.height < 0 ? stored : h - 1 - stored);
            char* row = rows.data() + stored * stride;
            for (int x = 0; x < w; ++x) {
                const uint32_t v = s.pixel(x, y);
                if (s.bits == 24) {
                    row[x * 3] = static_cast<char>(v & 0xFF);          // blue
                    row[x * 3 + 1] = static_cast<char>(v >> 8 & 0xFF);  // green
                    row[x * 3 + 2] = static_cast<char>(v >> 16 & 0xFF); // red
                } else {
                    const int per_byte = 8 / s.bits;
                    const int shift = 8 - s.bits * (x % per_byte + 1);
                    row[x / per_byte] = static_cast<char>(static_cast<uint8_t>(row[x / per_byte]) | (v << shift));
                }
            }
        }
    }

    std::string out(s.prefix, 'x');
    out += "BM";
    Put32(out, static_cast<uint32_t>(offset + (rows_cut ? stride * static_cast<uint64_t>(h) : rows.size())));
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, s.info_size);
    if (core) {
        Put16(out, static_cast<uint32_t>(s.width));
        Put16(out, static_cast<uint32_t>(s.height));
        Put16(out, 1);
        Put16(out, s.bits);
    } else {
        Put32(out, static_cast<uint32_t>(s.width));
        Put32(out, static_cast<uint32_t>(s.height));
        Put16(out, 1);
        Put16(out, s.bits);
        Put32(out, s.compression);
        Put32(out, static_cast<uint32_t>(rows.size()));
        Put32(out, 2835);
        Put32(out, 2835);
        Put32(out, static_cast<uint32_t>(s.colours.size()));
        Put32(out, 0);
        // The longer headers' masks, colour space and profile: zero.
        out.append(s.info_size > 40 ? s.info_size - 40 : 0, '\0');
    }
    for (uint32_t c : s.colours) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8 & 0xFF);
        out += static_cast<char>(c >> 16 & 0xFF);
        if (!core) out += '\0';
    }
    out.append(s.gap, '\x5A');
    out += rows;
    if (s.cut_to) out.resize(std::min(out.size(), s.prefix + *s.cut_to));
    return out;
}

void WriteBmp(const std::string& path, const BmpSpec& spec) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = BuildBmp(spec);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace fixture
