#include "reports/bmp_to_png.h"

#include <png.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <iostream>

#include "reports/bmp_image.h"
#include "reports/png_status_line.h"
#include "settings/atomic_file.h"

namespace bmp_to_png {

namespace {

std::string FileName(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// What libpng's handlers reach through the error pointer.
struct Sink {
    PngStatusLine* status;
    const std::string* png_path;
    std::string* bytes;
};

void OnError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<Sink*>(png_get_error_ptr(png));
    sink->status->PrintLine(std::string("ERROR(libpng): ") + message + " - " + *sink->png_path + "\n");
    png_longjmp(png, 1);
}

void OnWarning(png_structp png, png_const_charp message) {
    auto* sink = static_cast<Sink*>(png_get_error_ptr(png));
    sink->status->PrintLine(std::string("WARNING(libpng): ") + message + " - " + *sink->png_path + "\n");
}

void OnWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<Sink*>(png_get_error_ptr(png));
    sink->bytes->append(reinterpret_cast<const char*>(data), length);
}

void OnFlush(png_structp) {}

void OnRow(png_structp png, png_uint_32, int) {
    static_cast<Sink*>(png_get_error_ptr(png))->status->RowWritten();
}

// Only C objects live here: libpng's errors return through longjmp, which
// must not pass over a C++ destructor.
bool WriteImage(png_structp png, png_infop info, const BmpImage& image, Sink& sink) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &sink, OnWrite, OnFlush);
    png_set_compression_level(png, 6);
    int colour_type = PNG_COLOR_TYPE_PALETTE;
    if (image.bit_depth == 24) {
        png_set_compression_mem_level(png, 9);
        colour_type = PNG_COLOR_TYPE_RGB;
    } else {
        png_color entries[256];
        const uint32_t count = image.palette_count;
        for (uint32_t i = 0; i < count; ++i) {
            entries[i].red = image.palette[i * 3];
            entries[i].green = image.palette[i * 3 + 1];
            entries[i].blue = image.palette[i * 3 + 2];
        }
        png_set_PLTE(png, info, entries, static_cast<int>(count));
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height),
                 image.bit_depth == 24 ? 8 : image.bit_depth, colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // The bitmap stores each pixel as blue, green, red.
    if (image.bit_depth == 24) png_set_bgr(png);
    png_set_write_status_fn(png, OnRow);
    const int passes = png_set_interlace_handling(png);
    sink.status->BeginBar(image.width, image.height, static_cast<int64_t>(image.height) * passes);
    // libpng only reads the rows, but takes them without const.
    png_write_image(png, const_cast<png_bytepp>(image.rows.data()));
    png_write_end(png, info);
    return true;
}

}  // namespace

std::string PngPathFor(const std::string& bmp_path) {
    size_t name_start = bmp_path.find_last_of("/\\");
    name_start = name_start == std::string::npos ? 0 : name_start + 1;
    if (name_start == 0 && bmp_path.size() >= 2 && bmp_path[1] == ':') name_start = 2;
    const std::string name = bmp_path.substr(name_start);
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);

    // A short name without lower-case letters keeps to upper case.
    bool short_name = !stem.empty() && stem.size() <= 8 && stem.find('.') == std::string::npos;
    if (dot != std::string::npos) {
        const size_t ext = name.size() - dot - 1;
        short_name = short_name && ext >= 1 && ext <= 3;
    }
    for (char c : name)
        if (c >= 'a' && c <= 'z') short_name = false;
    return bmp_path.substr(0, name_start) + stem + (short_name ? ".PNG" : ".png");
}

std::string BackUpPng(const std::string& png_path) {
    if (!Exists(png_path)) return {};
    for (int n = -1; n <= 999; ++n) {
        char suffix[8];
        if (n < 0)
            std::snprintf(suffix, sizeof suffix, ".bak");
        else
            std::snprintf(suffix, sizeof suffix, ".%03d", n);
        const std::string backup = png_path + suffix;
        if (Exists(backup)) continue;
        // A link never replaces a file of that name, and leaves the PNG in
        // place until the new one is renamed over it.
        if (::link(png_path.c_str(), backup.c_str()) == 0) return backup;
        if (errno == EEXIST) continue;
        // File systems without links: a rename that refuses to replace.
        if (::renameat2(AT_FDCWD, png_path.c_str(), AT_FDCWD, backup.c_str(), RENAME_NOREPLACE) == 0) return backup;
    }
    return {};
}

bool EncodePng(const BmpImage& image, const std::string& png_path, PngStatusLine& status, std::string& bytes) {
    bytes.clear();
    status.Show(std::string("Writing ") + FileName(png_path));
    Sink sink{&status, &png_path, &bytes};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(png ? &png : nullptr, nullptr);
        status.PrintLine(std::string("SKIPPED: Out of memory - ") + png_path + "\n");
        return false;
    }
    const bool written = WriteImage(png, info, image, sink);
    png_destroy_write_struct(&png, &info);
    if (!written) bytes.clear();
    return written;
}

PngStatusLine& ProgramStatusLine() {
    static PngStatusLine status(std::cerr);
    return status;
}

int ConvertBmpToPng(const std::string& bmp_path) { return ConvertBmpToPng(bmp_path, ProgramStatusLine()); }

int ConvertBmpToPng(const std::string& bmp_path, PngStatusLine& status) {
    return ConvertBmpToPng(bmp_path, PngPathFor(bmp_path), status);
}

int ConvertBmpToPng(const std::string& bmp_path, const std::string& png_path, PngStatusLine& status) {
    BmpImage image;
    if (image.Read(bmp_path, &status) != BmpImage::Result::kRead) return -1;
    return WritePng(image, png_path, status);
}

int ConvertBmpBytesToPng(std::span<const uint8_t> bmp, const std::string& bmp_path, PngStatusLine& status,
                         AtomicFile::FolderSync folder_sync) {
    BmpImage image;
    if (image.Read(bmp, bmp_path, &status) != BmpImage::Result::kRead) return -1;
    return WritePng(image, PngPathFor(bmp_path), status, folder_sync);
}

int WritePng(BmpImage& image, const std::string& png_path, PngStatusLine& status, AtomicFile::FolderSync folder_sync) {
    AtomicFile out;
    if (!out.Begin(png_path, std::nullopt, atomic_file::Links::kReplace)) {
        status.PrintLine(std::string("SKIPPED: Cannot create - ") + png_path + "\n");
        return -1;
    }
    std::string bytes;
    if (!EncodePng(image, png_path, status, bytes)) return -1;
    image.Clear();
    if (!out.Append(bytes) || !out.Finish()) {
        status.PrintLine(std::string("SKIPPED: Cannot create - ") + png_path + "\n");
        return -1;
    }
    // The backup is made only once the new PNG is whole on disk.
    BackUpPng(png_path);
    if (!out.Commit(folder_sync)) {
        status.PrintLine(std::string("SKIPPED: Cannot create - ") + png_path + "\n");
        return -1;
    }
    status.Show(std::string("OK      ") + FileName(png_path));
    status.EndLine();
    return 0;
}

}  // namespace bmp_to_png
