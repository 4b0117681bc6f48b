#include "reports/png_status_line.h"

#include <algorithm>
#include <ostream>

PngStatusLine::PngStatusLine(std::ostream& out) : out_(out) {}

void PngStatusLine::Flush() { out_.flush(); }

void PngStatusLine::Show(std::string_view message) {
    status_.assign(message.substr(0, kMessageWidth));
    std::string field = status_;
    field.resize(kMessageWidth, ' ');
    out_ << '\r' << field << ' ';
    column_ = 0;
    Flush();
}

int PngStatusLine::BarLength(int64_t width, int64_t height) {
    if (width < 1 || height < 1) return 1;
    if (static_cast<int64_t>(kFullBarPixels) / width < height) return kBarColumns;
    // Below the full size width x height x 56 stays far inside 64 bits.
    const int64_t length = (width * height * kBarColumns + static_cast<int64_t>(kFullBarPixels) - 1) /
                           static_cast<int64_t>(kFullBarPixels);
    return static_cast<int>(std::clamp<int64_t>(length, 1, kBarColumns));
}

void PngStatusLine::BeginBar(int64_t width, int64_t height, int64_t rows) {
    bar_length_ = BarLength(width, height);
    rows_to_reach_ = std::max<int64_t>(rows, 1);
    rows_done_ = 0;
    out_ << std::string(static_cast<size_t>(bar_length_), '.');
    // Showing the status again brings the cursor back to the bar's start.
    const std::string status = status_;
    Show(status);
}

void PngStatusLine::RowWritten() {
    if (column_ < 0) return;
    if (rows_done_ < rows_to_reach_) ++rows_done_;
    const int64_t target = std::min<int64_t>(rows_done_ * bar_length_ / rows_to_reach_, kBarColumns);
    if (target <= column_) return;
    out_ << std::string(static_cast<size_t>(target - column_), 'o');
    column_ = static_cast<int>(target);
    Flush();
}

void PngStatusLine::EndLine() {
    out_ << '\n';
    column_ = -1;
    Flush();
}

void PngStatusLine::PrintLine(std::string_view line) {
    out_ << '\r' << std::string(79, ' ') << '\r' << line;
    column_ = -1;
    Flush();
}
