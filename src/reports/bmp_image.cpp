#include "reports/bmp_image.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#include "replay/byte_reader.h"
#include "replay/input_file.h"
#include "reports/png_status_line.h"

namespace {

std::string FileName(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// A bitmap held in memory, read as a file is.
class MemorySource {
public:
    explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t size() const { return bytes_.size(); }
    bool ReadAt(uint64_t offset, void* dst, size_t count) const {
        if (count > 0) std::memcpy(dst, bytes_.data() + offset, count);
        return true;
    }

private:
    std::span<const uint8_t> bytes_;
};

// Reads on from a position; a short read tells whether the file ended or
// the read itself failed.
template <class Source>
class Cursor {
public:
    explicit Cursor(const Source& file) : file_(file) {}
    BmpImage::Result Read(void* dst, uint64_t count) {
        if (count > file_.size() || pos_ > file_.size() - count) return BmpImage::Result::kPrematureEnd;
        if (!file_.ReadAt(pos_, dst, static_cast<size_t>(count))) return BmpImage::Result::kReadFailed;
        pos_ += count;
        return BmpImage::Result::kRead;
    }
    bool Fits(uint64_t count) const { return count <= file_.size() && pos_ <= file_.size() - count; }
    void Skip(uint64_t count) { pos_ += count; }
    uint64_t pos() const { return pos_; }

private:
    const Source& file_;
    uint64_t pos_ = 0;
};

// True when every pixel of every row names an entry of the table. Only
// the width's pixels count: the padding at a row's end is not a pixel.
bool IndicesInsideTable(const BmpImage& image) {
    const uint32_t entries = image.palette_count;
    if (entries >= (1u << image.bit_depth)) return true;
    const int depth = image.bit_depth;
    const int per_byte = 8 / depth;
    const uint8_t mask = static_cast<uint8_t>((1u << depth) - 1);
    for (const uint8_t* row : image.rows) {
        for (int32_t x = 0; x < image.width; ++x) {
            const uint8_t byte = row[x / per_byte];
            const int shift = 8 - depth * (x % per_byte + 1);
            if (((byte >> shift) & mask) >= entries) return false;
        }
    }
    return true;
}

}  // namespace

void BmpImage::Clear() { *this = BmpImage(); }

std::string BmpImage::Message(Result result, const std::string& path) {
    const char* text = "";
    switch (result) {
        case Result::kRead: return {};
        case Result::kNoSuchFile: text = "SKIPPED: No such file or directory - "; break;
        case Result::kNotBmp: text = "SKIPPED: Not a BMP file - "; break;
        case Result::kInvalidHeaderSize: text = "SKIPPED: Invalid header size in BMP file - "; break;
        case Result::kWidthBelowOne: text = "SKIPPED: Invalid image size (width is less than one) - "; break;
        case Result::kHeightBelowOne: text = "SKIPPED: Invalid image size (height is less than one) - "; break;
        case Result::kCompressed: text = "SKIPPED: Compressed or bitfield BMP - "; break;
        case Result::kSixteenOrThirtyTwoBits: text = "SKIPPED: 16 or 32 bits/pixel BMP - "; break;
        case Result::kInvalidBitDepth: text = "SKIPPED: Invalid bit depth in BMP file - "; break;
        case Result::kOutOfMemory: text = "SKIPPED: Out of memory - "; break;
        case Result::kReadFailed: text = "SKIPPED: Read operation failed - "; break;
        case Result::kPrematureEnd: text = "SKIPPED: Premature end of BMP file - "; break;
        case Result::kColourIndexOutsideTable: text = "SKIPPED: Colour index outside the colour table - "; break;
    }
    return std::string(text) + path + "\n";
}

BmpImage::Result BmpImage::Read(const std::string& path, PngStatusLine* status) {
    Clear();
    InputFile file;
    if (file.Open(path) != InputFile::Status::kOpened) {
        if (status) status->PrintLine(Message(Result::kNoSuchFile, path));
        return Result::kNoSuchFile;
    }
    return ReadFrom(file, path, status);
}

BmpImage::Result BmpImage::Read(std::span<const uint8_t> bytes, const std::string& path, PngStatusLine* status) {
    Clear();
    return ReadFrom(MemorySource(bytes), path, status);
}

template <class Source>
BmpImage::Result BmpImage::ReadFrom(const Source& file, const std::string& path, PngStatusLine* status) {
    const auto fail = [&](Result r) {
        Clear();
        if (status) status->PrintLine(Message(r, path));
        return r;
    };
    if (status) status->Show(std::string("Reading ") + FileName(path));

    Cursor<Source> in(file);
    std::array<uint8_t, 14 + 124> head{};
    if (Result r = in.Read(head.data(), 18); r != Result::kRead) return fail(r);
    if (head[0] != 'B' || head[1] != 'M') {
        // One retry past a 128-byte prefix.
        if (Result r = in.Read(head.data() + 18, 110); r != Result::kRead) return fail(r);
        if (Result r = in.Read(head.data(), 18); r != Result::kRead) return fail(r);
        if (head[0] != 'B' || head[1] != 'M') return fail(Result::kNotBmp);
    }
    const uint64_t base = in.pos() - 18;
    const ByteReader fields(head.data(), head.size());
    const uint32_t offset = fields.U32At(10);
    const uint32_t info_size = fields.U32At(14);
    if (info_size < 12 || info_size > 124 || offset < static_cast<uint64_t>(info_size) + 14)
        return fail(Result::kInvalidHeaderSize);
    uint64_t gap = offset - info_size - 14;
    if (Result r = in.Read(head.data() + 18, info_size - 4); r != Result::kRead) return fail(r);
    // Fields past a short header read as 0, not as bytes of a prefix.
    std::fill(head.begin() + 14 + info_size, head.end(), uint8_t{0});

    int64_t w = 0, h = 0;
    uint32_t compression = 0, entry_size = 4;
    if (info_size == 12) {
        w = fields.U16At(18);
        h = fields.U16At(20);
        bit_depth = fields.U16At(24);
        entry_size = 3;
    } else {
        w = static_cast<int32_t>(fields.U32At(18));
        h = static_cast<int32_t>(fields.U32At(22));
        bit_depth = fields.U16At(28);
        compression = fields.U32At(30);
    }
    if (h < 0) {
        top_down = true;
        h = -h;
    }
    if (w < 1) return fail(Result::kWidthBelowOne);
    if (h < 1) return fail(Result::kHeightBelowOne);
    if (compression != 0) return fail(Result::kCompressed);

    uint64_t entries = 0;
    if (bit_depth == 1 || bit_depth == 4 || bit_depth == 8) {
        entries = gap / entry_size;
    } else if (bit_depth == 16 || bit_depth == 32) {
        return fail(Result::kSixteenOrThirtyTwoBits);
    } else if (bit_depth != 24) {
        return fail(Result::kInvalidBitDepth);
    }
    // A table longer than the depth can index holds nothing a pixel can
    // name; the rest of it is passed over with the gap.
    const uint64_t used_entries = std::min<uint64_t>(entries, bit_depth <= 8 ? (1u << bit_depth) : 0);
    const uint64_t skip = gap - used_entries * entry_size;

    // Sizes in 64 bits, and the rows checked against the file before
    // anything is allocated: a header may claim any size.
    const uint64_t stride = (static_cast<uint64_t>(bit_depth) * static_cast<uint64_t>(w) + 31) / 32 * 4;
    const uint64_t size = stride * static_cast<uint64_t>(h);
    const uint64_t pixel_start = base + offset;
    if (pixel_start > file.size() || size > file.size() - pixel_start) return fail(Result::kPrematureEnd);

    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
    palette_count = static_cast<uint32_t>(used_entries);
    row_stride = stride;
    image_size = size;
    try {
        palette.resize(used_entries * 3);
        rows.resize(static_cast<size_t>(h));
        pixels.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return fail(Result::kOutOfMemory);
    }

    std::vector<uint8_t> table(static_cast<size_t>(used_entries * entry_size));
    if (Result r = in.Read(table.data(), table.size()); r != Result::kRead) return fail(r);
    for (uint64_t i = 0; i < used_entries; ++i) {
        const uint8_t* e = &table[i * entry_size];
        palette[i * 3] = e[2];
        palette[i * 3 + 1] = e[1];
        palette[i * 3 + 2] = e[0];
    }
    if (!in.Fits(skip)) return fail(Result::kPrematureEnd);
    in.Skip(skip);
    if (Result r = in.Read(pixels.data(), pixels.size()); r != Result::kRead) return fail(r);

    for (int64_t y = 0; y < h; ++y) {
        const int64_t stored = top_down ? y : h - 1 - y;
        rows[static_cast<size_t>(y)] = pixels.data() + static_cast<uint64_t>(stored) * stride;
    }
    if (bit_depth <= 8 && !IndicesInsideTable(*this)) return fail(Result::kColourIndexOutsideTable);
    if (status) status->Show(std::string("Read OK ") + FileName(path));
    return Result::kRead;
}
