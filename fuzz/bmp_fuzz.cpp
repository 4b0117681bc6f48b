// Windows bitmap read for the PNG conversion: the bytes are a .bmp file,
// read as the converter reads it; a bitmap that reads is encoded as a PNG
// in memory, so every row pointer and palette entry is walked.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "reports/bmp_image.h"
#include "reports/bmp_to_png.h"
#include "reports/png_status_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteInput("input.bmp", data, size).string();
    std::ostringstream err;
    PngStatusLine status(err);
    BmpImage image;
    if (image.Read(path, &status) != BmpImage::Result::kRead) return 0;
    // The rows lie inside the file, so the image is no larger than it.
    if (image.image_size > size || image.rows.size() != static_cast<size_t>(image.height)) __builtin_trap();
    // Keep encoding cheap: libpng's time grows with the pixels.
    if (static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height) > (1u << 20)) return 0;
    std::string png;
    bmp_to_png::EncodePng(image, path + ".png", status, png);
    return 0;
}
