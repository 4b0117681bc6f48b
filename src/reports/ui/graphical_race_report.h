#pragma once
// The graphical race report: a chart of a whole race with one row per
// position and one column per lap, a thick line in each driver's colour
// from his starting position through his position at the end of every
// lap, lapped drivers' cells shaded, the names at the left in starting
// order. The chart is an 8-bit bitmap with a fixed palette, (L + 1) x 18 +
// 218 by N x 18 + 50 pixels for L laps and N drivers, built once and then
// shown (scrolled horizontally), exported or saved.
//
// The opener hands over the replay (SetReplay) before showing the dialog
// (the view's command) or calls SaveBitmap without showing it (the report
// site). Everything handed over is borrowed and must outlive the dialog.

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "controls/dib_section_lite.h"

class CRpyGraphDoc;
class Drivers;
class Header;
class Interaction;
class QPushButton;
class QScrollBar;

class GraphicalRaceReport : public QDialog {
    Q_OBJECT
public:
    // COLORREFs (0x00BBGGRR) of the chart.
    static constexpr uint32_t kBackground = 0xFF0000;  // blue
    static constexpr uint32_t kGrid = 0x808080;
    static constexpr uint32_t kLapped = 0xCFCFCF;
    static constexpr uint32_t kFrame = 0x0000FF;       // red
    static constexpr uint32_t kYellow = 0x00FFFF;
    // Line colour of each driver index; also the race history graph's
    // colours by finishing position.
    static const std::array<uint32_t, 20>& DriverColours();
    // The chart's 256 colour-table entries (0x00RRGGBB): white, background,
    // frame, yellow, the 20 driver colours, lapped, grid, then white.
    static std::array<uint32_t, 256> ColourTable();

    explicit GraphicalRaceReport(Interaction& ui, QWidget* parent = nullptr);
    ~GraphicalRaceReport() override;

    // The document (export folder and default name; may be null), the
    // replay's driver table and header.
    void SetReplay(const CRpyGraphDoc* doc, const Drivers* drivers, const Header* header);

    // Builds the chart when it is empty. False without a driver table.
    bool BuildChart();
    // The chart; empty until built and after Close.
    const CDIBSectionLite& Chart() const { return chart_; }

    // Builds the chart, writes it as a BMP file at path and closes as OK
    // does. False when nothing could be written; an old file stays whole.
    bool SaveBitmap(const std::string& path);
    // The same into memory: bytes gets the BMP file's bytes.
    bool BitmapBytes(std::string& bytes);

    // "Export to BMP": asks for a file and writes the chart there; a failed
    // write is reported.
    void OnExportToBmp();
    // "Close": releases the chart and ends the dialog.
    void OnClose();

    // 0 to 100: how far the chart is scrolled to the left.
    int scroll_position() const { return scroll_position_; }
    void SetScrollPosition(int position);
    // Left edge of the chart in the dialog at the current scroll position.
    int ChartLeft() const;

    QPushButton* close_button() const { return close_; }
    QPushButton* export_button() const { return export_; }
    QScrollBar* scroll_bar() const { return scroll_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawChart(const class GraphicalRaceLayout& layout);
    std::string DefaultName() const;

    Interaction& ui_;
    const CRpyGraphDoc* doc_ = nullptr;
    const Drivers* drivers_ = nullptr;
    const Header* header_ = nullptr;
    int scroll_position_ = 0;
    CDIBSectionLite chart_;
    QScrollBar* scroll_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* close_ = nullptr;
};
