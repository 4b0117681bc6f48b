#pragma once
// CDIBSectionLite: an owned bitmap with the header and colour table it is
// written with, drawn through a QPainter. The pixels live in a 32-bit
// QImage whatever the depth, so every QPainter operation works on it; the
// depth and colour table matter when the bitmap is saved, where each pixel
// is converted as a display driver wrote into a section of that depth
// (palette depths: nearest colour-table entry, no dithering; 16 bits: the
// top five bits of each channel, or the masks). A picture drawn only in
// colour-table colours is therefore saved exactly.
//
// An empty object has a zeroed header, no colour table and a null image.
// Every creating operation first empties the object and leaves it empty
// when it fails.

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "controls/bmp_file.h"

class QPainter;

class CDIBSectionLite {
public:
    CDIBSectionLite();
    ~CDIBSectionLite();
    CDIBSectionLite(const CDIBSectionLite&) = delete;
    CDIBSectionLite& operator=(const CDIBSectionLite&) = delete;

    // Ends any painter and empties the object.
    void DeleteObject();

    // A bitmap of the header's size, depth and colour table (RGBQUADs read
    // as little-endian words, 0x00RRGGBB, or the three BI_BITFIELDS masks;
    // entries past the header's colour-entry count are ignored). biSizeImage
    // 0 is filled in; any other value must be the size of the pixel rows.
    // Without pixels the image starts in colour-table entry 0 (black for
    // direct colours), as fresh section memory reads; with pixels, which
    // must be exactly the header's width and height, it starts as a copy of
    // them. False when the header, its colour table or the pixels' size is
    // refused (bmp_file::Check) or the image cannot be allocated.
    bool CreateFromBitmapInfo(const bmp_file::BitmapInfoHeader& header, std::span<const uint32_t> colours,
                              const QImage* pixels = nullptr);

    // A copy of image at the image's own depth: 1 bit (monochrome, with its
    // two colours), 8 bits (indexed, with its colour table padded with
    // black to 256), 16 bits (RGB 5-6-5 and 5-5-5 formats, saved 5-5-5), 24
    // bits (packed RGB formats) or else 32 bits. A palette (0x00RRGGBB)
    // replaces the first entries of a colour table. False for a null image.
    bool SetBitmap(const QImage& image, std::span<const uint32_t> palette = {});

    // The program's picture with this numeric id from the resources, at
    // ":/bitmaps/<id>.png", copied with SetBitmap. False when there is none.
    bool LoadFromResource(int resource_id);

    // Stretches the whole image into the rectangle (nearest pixel, no
    // smoothing). False when the object is empty.
    bool Draw(QPainter& painter, int left, int top, int width, int height) const;

    // A painter on the image, owned by the object and valid until
    // ReleaseMemoryDC, the next SelectIntoMemoryDC or DeleteObject; null when
    // the object is empty. Saving while it is held is allowed.
    QPainter* SelectIntoMemoryDC();
    // Ends the painter, if any.
    void ReleaseMemoryDC();

    // Writes the bitmap as a .bmp file at the object's depth and colour
    // table, replacing any file at path atomically. False, with no file
    // written and an old file left whole, when the object is empty, the
    // path is empty or the file cannot be written.
    bool SaveBmp(const std::filesystem::path& path) const;
    // The same, with the reason.
    bmp_file::Result SaveBmpResult(const std::filesystem::path& path) const;
    // The bytes such a file holds, into out (emptied first); false when the
    // object is empty or the image cannot be encoded.
    bool EncodeBmp(std::string& out) const;

    bool IsEmpty() const { return image_.isNull(); }
    // The header as it will be written (biSizeImage filled in).
    const bmp_file::BitmapInfoHeader& GetHeader() const { return header_; }
    const std::vector<uint32_t>& GetColourTable() const { return colours_; }
    // The drawing surface, Format_RGB32; null when empty.
    const QImage& GetImage() const { return image_; }

private:
    bmp_file::BitmapInfoHeader header_;
    std::vector<uint32_t> colours_;
    QImage image_;
    std::unique_ptr<QPainter> painter_;
};
