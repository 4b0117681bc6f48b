#pragma once
// "Telemetry Graph": the window in which the laps loaded in the document
// are compared in one of twenty-one kinds of telemetry graph over the
// distance along the lap. The left column holds a box per lap slot, a
// radio button per kind, the wheel boxes of the by-wheel kinds, the
// "Time difference" box and the "Close", "Print" and "Map" buttons; the
// rest of the window is the graph. It owns the track-map window ("Map")
// and the time-difference window.
//
// Every click goes to TelemetryGraphModel, which holds what is shown; the
// window then shows the model's state. The document is borrowed and must
// not change while the window is open (the main window runs it modally).

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graph/graph_cursor_listener.h"

class CGraphWnd;
class CRpyGraphDoc;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QPainter;
class QPrinter;
class QPushButton;
class QRadioButton;
class QScrollArea;
class TelemetryGraphModel;
class TimeDiffForGraph;
class TrackMapDialog;

namespace Ui {
class NewGraph;
}

class NewGraph : public QDialog, public GraphCursorListener {
public:
    static constexpr int kGraphCapacity = 32;
    static constexpr int kGraphId = 11000;
    // Below this height the left column scrolls.
    static constexpr int kMinimumHeight = 240;

    // Chooses the secondary graphs of a printed page (print positions):
    // nullopt cancels the print. The caption names the primary graph.
    using SecondaryChooser =
        std::function<std::optional<std::vector<int>>(const std::string& caption, int primary_position)>;

    explicit NewGraph(const CRpyGraphDoc& doc, QWidget* parent = nullptr);
    ~NewGraph() override;

    // The clicks, as the controls send them (lap and wheel boxes give
    // their new state).
    void OnLapCheck(int slot, bool checked);
    void SelectKind(int kind);
    void SelectKindByPrintIndex(int position);
    void OnWheelCheck(int wheel, bool checked);
    void OnTimeDiffCheck(bool checked);
    // "Map": opens the track-map window (nothing without a track).
    void OnMap();
    // "Print": the secondary graphs, then the printer, then the page.
    void OnPrint();
    // The page on a printer that is set up, inside its printable area: the
    // title, the shown kind large, the lap table, the track map and the
    // secondary kinds. The shown kind and its zoom are as before
    // afterwards. False when the printer cannot be painted on.
    bool PrintPage(QPrinter& printer, const std::vector<int>& secondaries);
    // The same page into any painter whose page is `page` device pixels.
    void PaintPage(QPainter& painter, QSize page, const std::vector<int>& secondaries);
    // Replaces the "Select graphs to print" dialog (tests).
    void SetSecondaryChooser(SecondaryChooser chooser) { chooser_ = std::move(chooser); }

    // The graph cursor: highlights the track under it in the map window
    // and reads the time difference there.
    std::string FormatCursorInfo(double x, double y) override;

    CGraphWnd& Graph() const { return *graph_; }
    TelemetryGraphModel& Model() const { return *model_; }
    TrackMapDialog& Map() const { return *map_; }
    // Null until the time difference was first shown.
    TimeDiffForGraph* TimeDiffWindow() const { return time_diff_; }
    QCheckBox* LapBox(int slot) const;
    QCheckBox* WheelBox(int wheel) const;
    QCheckBox* TimeDiffBox() const;
    QRadioButton* KindRadio(int kind) const;
    QPushButton* MapButton() const;
    QPushButton* PrintButton() const;
    QPushButton* CloseButton() const;
    // The left column's scroll area.
    QScrollArea* ColumnArea() const { return column_area_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LabelLapChecks();
    void LayOutGraph();
    // The controls and the time-difference window from the model.
    void ShowState();
    void DrawPageGraph(QPainter& painter, const QRect& area, int kind, int caption_font);

    const CRpyGraphDoc& doc_;
    std::unique_ptr<Ui::NewGraph> form_;
    CGraphWnd* graph_ = nullptr;
    std::unique_ptr<TelemetryGraphModel> model_;
    TrackMapDialog* map_ = nullptr;
    TimeDiffForGraph* time_diff_ = nullptr;
    QScrollArea* column_area_ = nullptr;
    QButtonGroup* kinds_ = nullptr;
    int graph_left_ = 0;
    SecondaryChooser chooser_;
};
