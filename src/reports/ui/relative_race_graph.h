#pragma once
// The race history graph: for every driver of a race a line over the laps
// showing how many seconds he was behind (down) or ahead (up) of the
// winner's average pace at the end of each lap, a legend in finishing
// order, marks where the race's fastest lap was lowered and where drivers
// retired, and the winner's average lap time. The graph is drawn into an
// 8-bit bitmap of the drawing area's size with a fixed palette whenever the
// replay is handed over, the area changes size or a setting changes;
// "Export to BMP" and SaveBitmap write the latest drawing.
//
// The dialog resizes; the drawing area takes the room. The opener hands
// over the replay (SetReplay) and then shows the dialog (the view's
// command) or calls SaveBitmap without showing it (the report site).
// Everything handed over is borrowed and must outlive the dialog.

#include <QDialog>
#include <string>

#include "controls/dib_section_lite.h"

class CRpyGraphDoc;
class Drivers;
class Header;
class Interaction;
class QFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;
class RaceHistory;

class RelativeRaceGraph : public QDialog {
    Q_OBJECT
public:
    // COLORREFs of the graph besides the chart palette's line colours.
    static constexpr uint32_t kBackground = 0xFF0000;  // blue
    static constexpr uint32_t kGrid = 0x808080;        // "Result/Legend"
    static constexpr uint32_t kPlot = 0xCFCFCF;        // plot area and legend box
    static constexpr uint32_t kFrame = 0x0000FF;       // the red border
    // The drawing area's size until the dialog is laid out on screen.
    static constexpr int kDefaultWidth = 760;
    static constexpr int kDefaultHeight = 420;

    explicit RelativeRaceGraph(Interaction& ui, QWidget* parent = nullptr);
    ~RelativeRaceGraph() override;

    // Hands over the document (export folder and default name; may be
    // null), the driver table and the header (track name and scheduled
    // laps); fills the title and draws the graph.
    void SetReplay(const CRpyGraphDoc* doc, const Drivers* drivers, const Header* header);

    // Draws the graph at the drawing area's size. False when there is no
    // driver table or the area has no room.
    bool Redraw();
    // The latest drawing; empty before the first and after Close.
    const CDIBSectionLite& Image() const { return image_; }

    // Writes the latest drawing as a BMP file. False when there is none or
    // it could not be written (an old file then stays whole).
    bool SaveBitmap(const std::string& path);
    // The same into memory: bytes gets the BMP file's bytes.
    bool BitmapBytes(std::string& bytes);
    void OnExportToBmp();
    void OnClose();

    QLineEdit* title_edit() const { return title_; }
    QRadioButton* auto_scale() const { return auto_scale_; }
    QRadioButton* fixed_scale() const { return fixed_scale_; }
    QLineEdit* max_seconds() const { return max_seconds_; }
    QFrame* drawing_area() const { return area_; }
    QPushButton* export_button() const { return export_; }
    QPushButton* close_button() const { return close_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Draw(const RaceHistory& history, int width, int height);

    Interaction& ui_;
    const CRpyGraphDoc* doc_ = nullptr;
    const Drivers* drivers_ = nullptr;
    const Header* header_ = nullptr;
    CDIBSectionLite image_;
    QFrame* area_ = nullptr;
    QLineEdit* title_ = nullptr;
    QRadioButton* auto_scale_ = nullptr;
    QRadioButton* fixed_scale_ = nullptr;
    QLineEdit* max_seconds_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* close_ = nullptr;
};
