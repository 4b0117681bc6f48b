#include "interaction/ui/printable_area.h"

#include <QPageLayout>
#include <QPrinter>
#include <cmath>

QRect PrintableArea(const QPrinter& printer) {
    const int dpi = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const QRect paint = layout.paintRectPixels(dpi);
    const QRect paper = layout.fullRectPixels(dpi);
    const int margin = static_cast<int>(std::ceil(kPaperMarginMm / 25.4 * dpi));
    QRect area = paint.intersected(paper.adjusted(margin, margin, -margin, -margin));
    if (area.isEmpty()) area = paint;
    // A painter on a printer that is not set to print on the whole paper
    // has its origin at the paint rectangle's corner.
    if (!printer.fullPage()) area.translate(-paint.topLeft());
    return area;
}
