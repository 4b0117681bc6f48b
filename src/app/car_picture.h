#pragma once
// The lap-choice dialog's seven car pictures, drawn here: side views of
// 1960s Grand Prix cars, one per engine index modulo 7, each in its own
// cell size.

#include <QPixmap>
#include <QSize>

namespace car_picture {

inline constexpr int kCount = 7;

// Cell size of picture `index` (0 to 6; others are taken modulo 7).
QSize CellSize(int index);
// The picture on a transparent background, CellSize(index) large.
QPixmap Draw(int index);

}  // namespace car_picture
