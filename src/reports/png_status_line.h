#pragma once
// The bitmap converter's one line of status on a text stream (standard
// error in the program): a carriage return, the status message in a field
// of 22 characters and a blank, then a progress bar of "o" characters over
// a line of dots while rows are written. Failure and warning lines clear the
// status line first and stand on a line of their own. The stream is
// flushed after every change, so a redirected stream shows progress as it
// happens.
//
// One object keeps the display state (status text, bar column, bar length,
// rows written) from one conversion to the next.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

class PngStatusLine {
public:
    static constexpr int kMessageWidth = 22;
    static constexpr int kBarColumns = 56;
    // Images of this many pixels or more get the full bar.
    static constexpr uint64_t kFullBarPixels = 786432;

    // The stream is borrowed and must outlive the object.
    explicit PngStatusLine(std::ostream& out);

    // Shows a status message; the bar starts again at its first column.
    void Show(std::string_view message);
    // Draws the empty bar for an image of width x height pixels (both at
    // least 1) and starts counting rows towards `rows`.
    void BeginBar(int64_t width, int64_t height, int64_t rows);
    // One more row written: the bar grows in proportion, never past its
    // length and never back.
    void RowWritten();
    // Ends the status line with a line feed.
    void EndLine();
    // Clears the status line and prints the line (which carries its own
    // line feed).
    void PrintLine(std::string_view line);

    // The bar's length in columns for an image of that size: 1 to 56.
    static int BarLength(int64_t width, int64_t height);

    int column() const { return column_; }
    int bar_length() const { return bar_length_; }

private:
    void Flush();

    std::ostream& out_;
    std::string status_;
    int column_ = -1;  // -1: no status line open
    int bar_length_ = 0;
    int64_t rows_to_reach_ = 0;
    int64_t rows_done_ = 0;
};
