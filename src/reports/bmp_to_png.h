#pragma once
// Turns a Windows bitmap into a PNG image beside it, for the report site:
// ConvertBmpToPng reads an uncompressed BMP of 1, 4, 8 or 24 bits per pixel
// and writes a palette PNG of the same depth and colours, or an RGB PNG
// for 24 bits, through libpng (compression level 6, no interlacing).
//
// Progress and every failure go to a status line (standard error in the
// program, see PngStatusLine); nothing is shown in a window. The BMP is
// never changed. The PNG is written to a temporary file and renamed into
// place only when it is whole, so a failed conversion leaves any earlier
// PNG as it was; a symbolic link at the PNG's name is replaced, never
// written through. An earlier PNG is kept as a backup, under the PNG's name
// with ".bak" appended, else ".000" to ".999"; an existing backup is never
// overwritten, and when every name is taken the earlier PNG is replaced.

#include <cstdint>
#include <span>
#include <string>

#include "settings/atomic_file.h"

class BmpImage;
class PngStatusLine;

namespace bmp_to_png {

// 0 when the PNG was written, -1 on any failure (its line was printed).
// The first form prints on standard error and keeps one display state for
// the whole program.
int ConvertBmpToPng(const std::string& bmp_path);
int ConvertBmpToPng(const std::string& bmp_path, PngStatusLine& status);
// The same with the PNG's path given (the report site draws its bitmaps
// elsewhere than its pictures go).
int ConvertBmpToPng(const std::string& bmp_path, const std::string& png_path, PngStatusLine& status);

// The program's one status line on standard error, which the first form
// above prints on.
PngStatusLine& ProgramStatusLine();

// The same for the bytes of a bitmap file drawn into memory: the PNG (and
// every line of the status line) is what converting that file at bmp_path
// would give, without the bitmap touching the disk.
int ConvertBmpBytesToPng(std::span<const uint8_t> bmp, const std::string& bmp_path, PngStatusLine& status,
                         AtomicFile::FolderSync folder_sync = AtomicFile::FolderSync::kNow);

// Writes the image read as a PNG at png_path, keeping an earlier PNG as a
// backup (see above); the image is cleared once encoded. 0 or -1. With
// kLater the caller makes the rename durable (atomic_file::SyncFolder).
int WritePng(BmpImage& image, const std::string& png_path, PngStatusLine& status,
             AtomicFile::FolderSync folder_sync = AtomicFile::FolderSync::kNow);

// The PNG's path: the BMP's path with the extension of its file name (from
// the last dot after the last "\" or "/" and any drive letter) replaced by
// ".png", or ".png" appended to a name without a dot; ".PNG" when the file
// name is an upper-case short name (1 to 8 characters, optionally a dot and
// 1 to 3 more, no lower-case letter, no second dot).
std::string PngPathFor(const std::string& bmp_path);

// Keeps an existing file at png_path under its first free backup name
// (".bak", then ".000" to ".999"): as a hard link, so the file stays in
// place until the new one replaces it, or where the file system has no
// links by a rename that never replaces a file. The backup's path, or
// empty when there was no file or no name could be had.
std::string BackUpPng(const std::string& png_path);

// Encodes the image as a PNG into bytes (emptied first). False on a libpng
// error, whose line was printed with png_path.
bool EncodePng(const BmpImage& image, const std::string& png_path, PngStatusLine& status, std::string& bytes);

}  // namespace bmp_to_png
