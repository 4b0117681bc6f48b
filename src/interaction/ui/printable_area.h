#pragma once
// Where a printed page may put ink: the printer's paint rectangle, kept at
// least kPaperMargin from the paper's edges. A printer reports the margins
// it cannot print on, but a PDF file reports almost none (Qt's default is
// 10 points), and a real printer clips such a page when the file is
// printed; 10 mm is clear of the unprintable band of any printer.

#include <QRect>

class QPrinter;

constexpr double kPaperMarginMm = 10.0;

// In the printer's device pixels, in the coordinates a painter on the
// printer starts with (origin at the paint rectangle's top-left corner).
QRect PrintableArea(const QPrinter& printer);
