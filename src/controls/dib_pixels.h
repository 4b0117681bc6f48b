#pragma once
// Turns plain 24-bit colours into the pixel rows of a bitmap file at the
// depth its header gives, the way the display drivers wrote into a DIB
// section: palette depths take the nearest colour-table entry (no
// dithering), 16 and 32 bits keep the top bits of each channel in the
// channel's place (5-5-5 for BI_RGB, else the masks).

#include <cstdint>
#include <span>
#include <vector>

#include "controls/bmp_file.h"

namespace dib_pixels {

// The RGBQUAD, read as a little-endian word (0x00RRGGBB), of a COLORREF
// (0x00BBGGRR).
uint32_t RgbQuadOf(uint32_t colorref);

// The index of the palette entry (0x00RRGGBB) nearest to rgb by the sum of
// squared channel differences; the first of equally near entries. The
// palette must not be empty.
uint32_t NearestEntry(std::span<const uint32_t> palette, uint32_t rgb);

// The pixel rows (bottom-up, padded, ImageBytes long) of an image whose
// colours are given top row first, left to right, width x height words of
// 0x??RRGGBB (the top byte is ignored). header and colours must pass
// bmp_file::Check, and rgb must hold width x height words; else the result
// is empty.
std::vector<uint8_t> PackRows(const bmp_file::BitmapInfoHeader& header, std::span<const uint32_t> colours,
                              std::span<const uint32_t> rgb);

}  // namespace dib_pixels
