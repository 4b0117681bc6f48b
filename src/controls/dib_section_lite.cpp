#include "controls/dib_section_lite.h"

#include <QPainter>
#include <QString>
#include <algorithm>

#include "controls/dib_pixels.h"

CDIBSectionLite::CDIBSectionLite() = default;

CDIBSectionLite::~CDIBSectionLite() { DeleteObject(); }

void CDIBSectionLite::DeleteObject() {
    ReleaseMemoryDC();
    header_ = bmp_file::BitmapInfoHeader{};
    header_.biSize = 0;
    header_.biPlanes = 0;
    colours_.clear();
    image_ = QImage();
}

bool CDIBSectionLite::CreateFromBitmapInfo(const bmp_file::BitmapInfoHeader& header,
                                           std::span<const uint32_t> colours, const QImage* pixels) {
    DeleteObject();
    const uint32_t entries = bmp_file::ColourEntryCount(header);
    if (colours.size() < entries) return false;
    const std::span<const uint32_t> table = colours.first(entries);
    if (bmp_file::Check(header, table) != bmp_file::Result::kWritten) return false;
    if (pixels != nullptr) {
        // The pixels are taken whole or not at all: a picture of another
        // size than the header says would be cut or read past its end.
        if (pixels->isNull() || pixels->width() != header.biWidth || pixels->height() != header.biHeight) return false;
        image_ = pixels->convertToFormat(QImage::Format_RGB32);
    } else {
        image_ = QImage(header.biWidth, header.biHeight, QImage::Format_RGB32);
        if (!image_.isNull()) {
            const uint32_t start = header.biBitCount <= 8 ? table[0] : 0;
            image_.fill(QColor::fromRgb(static_cast<QRgb>(0xFF000000 | start)));
        }
    }
    if (image_.isNull()) {
        DeleteObject();
        return false;
    }
    header_ = header;
    header_.biSizeImage = static_cast<uint32_t>(bmp_file::ImageBytes(header_));
    colours_.assign(table.begin(), table.end());
    return true;
}

bool CDIBSectionLite::SetBitmap(const QImage& image, std::span<const uint32_t> palette) {
    DeleteObject();
    if (image.isNull()) return false;
    bmp_file::BitmapInfoHeader header;
    header.biWidth = image.width();
    header.biHeight = image.height();
    std::vector<uint32_t> colours;
    switch (image.format()) {
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB:
            header.biBitCount = 1;
            break;
        case QImage::Format_Indexed8:
            header.biBitCount = 8;
            break;
        case QImage::Format_RGB16:
        case QImage::Format_RGB555:
            header.biBitCount = 16;
            break;
        default:
            header.biBitCount = image.depth() == 24 ? 24 : 32;
            break;
    }
    if (header.biBitCount <= 8) {
        colours.assign(bmp_file::ColourEntryCount(header), 0);
        const QList<QRgb> table = image.colorTable();
        for (qsizetype i = 0; i < table.size() && i < static_cast<qsizetype>(colours.size()); ++i) {
            colours[static_cast<size_t>(i)] = table[i] & 0xFFFFFF;
        }
        if (header.biBitCount == 1 && table.isEmpty()) colours[1] = 0xFFFFFF;
        const size_t given = std::min(palette.size(), colours.size());
        std::copy_n(palette.begin(), given, colours.begin());
    }
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    return CreateFromBitmapInfo(header, colours, &pixels);
}

bool CDIBSectionLite::LoadFromResource(int resource_id) {
    return SetBitmap(QImage(QStringLiteral(":/bitmaps/%1.png").arg(resource_id)));
}

bool CDIBSectionLite::Draw(QPainter& painter, int left, int top, int width, int height) const {
    if (IsEmpty()) return false;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(left, top, width, height), image_);
    painter.restore();
    return true;
}

QPainter* CDIBSectionLite::SelectIntoMemoryDC() {
    ReleaseMemoryDC();
    if (IsEmpty()) return nullptr;
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&image_)) {
        painter_.reset();
        return nullptr;
    }
    return painter_.get();
}

void CDIBSectionLite::ReleaseMemoryDC() {
    if (painter_) painter_->end();
    painter_.reset();
}

bool CDIBSectionLite::SaveBmp(const std::filesystem::path& path) const {
    return SaveBmpResult(path) == bmp_file::Result::kWritten;
}

bool CDIBSectionLite::EncodeBmp(std::string& out) const {
    out.clear();
    if (IsEmpty()) return false;
    const std::span<const uint32_t> rgb(reinterpret_cast<const uint32_t*>(image_.constBits()),
                                        static_cast<size_t>(image_.width()) * static_cast<size_t>(image_.height()));
    const std::vector<uint8_t> rows = dib_pixels::PackRows(header_, colours_, rgb);
    return bmp_file::Encode(header_, colours_, rows, out) == bmp_file::Result::kWritten;
}

bmp_file::Result CDIBSectionLite::SaveBmpResult(const std::filesystem::path& path) const {
    // An empty object has nothing to save; writing its zeroed header would
    // leave a file no program can open and call it success.
    if (IsEmpty()) return bmp_file::Result::kEmptyImage;
    if (path.empty()) return bmp_file::Result::kWriteFailed;
    // Format_RGB32 rows are width words long with no padding.
    const std::span<const uint32_t> rgb(reinterpret_cast<const uint32_t*>(image_.constBits()),
                                        static_cast<size_t>(image_.width()) * static_cast<size_t>(image_.height()));
    const std::vector<uint8_t> rows = dib_pixels::PackRows(header_, colours_, rgb);
    return bmp_file::Write(path, header_, colours_, rows);
}
