#pragma once
// The track map of the main window: the track's surfaces, the start/finish
// and split lines and the driving lines of the loaded laps on a zoomable,
// scrollable square map of kMapExtent logical units.
//
// Only the visible part of the map is ever rendered: the view draws it
// through the painter's transform into a canvas the size of the window,
// rebuilt when the document asks for a redraw, the zoom or the scroll
// position changes or the window is resized, and copied to the screen on
// every paint.

#include <QImage>
#include <functional>
#include <memory>

#include "app/playback_controller.h"
#include "app/playback_map.h"
#include "document/rpy_graph_doc.h"
#include "app/ui/zoom_view.h"
#include "track/ui/mfc_display.h"

class CDIBSectionLite;
class QMenu;
class QPainter;
class QPrinter;
class QTimer;

class CRpyGraphView : public CZoomView, public DocumentObserver, public PlaybackMap {
    Q_OBJECT
    // First of the members: the playback flags below refer to it.
    PlaybackController playback_;

public:
    static constexpr int64_t kMapExtent = 50000;
    static constexpr uint32_t kScreenMargin = 50;
    static constexpr uint32_t kPrintMargin = 100;
    static constexpr uint32_t kBitmapMargin = 5;
    // The printed page's title and lap captions: a size read on paper.
    static constexpr double kPrintTextPoints = 10.0;

    CRpyGraphView(CRpyGraphDoc& doc, QWidget* parent = nullptr);
    ~CRpyGraphView() override;

    // Whether the driving line of lap slot i is drawn (the plot settings
    // bar's check boxes). Every lap is drawn until a source is set.
    void SetLapShownSource(std::function<bool(int)> shown) { lap_shown_ = std::move(shown); }
    bool IsLapShown(int slot) const { return !lap_shown_ || lap_shown_(slot); }
    // Unticks every lap's box; run when the view first updates after the
    // track changed (a new document, the first lap's track).
    void SetUntickLaps(std::function<void()> untick) { untick_laps_ = std::move(untick); }
    // Captions of the shown laps for printing (driver and lap time).
    void SetLapCaptionSource(std::function<std::string(int)> caption) { lap_caption_ = std::move(caption); }

    // Paints `area` (logical units) white and draws the map into the
    // painter, whose transform maps logical units to its device.
    void DrawTrackMap(QPainter& painter, const QRect& area, MFCDisplay& display);
    // Prints the title, the shown laps' captions in their colours and,
    // below them, the map, as large as the page allows and centred, all
    // inside the printable area. False when nothing could be printed.
    bool Print(QPrinter& printer);
    // Renders the map with the ticked laps' driving lines, without the
    // start/finish and split lines, fitted into a square of the document's
    // bitmap size with margins of 5, and writes it as a 16-colour BMP file
    // (entry 0 white, then the first fifteen colours of the colour table).
    // False, with no file written and an old one left whole, when the
    // bitmap cannot be made or written.
    bool SaveTrackMapBitmap(const std::string& path);
    // The same bitmap into memory: bytes gets the BMP file's bytes.
    bool TrackMapBitmap(std::string& bytes);
    // The visible map as the window shows it.
    const QImage& Canvas() const { return canvas_; }

    // Lap and race playback: its commands, tick and flags. The map side of
    // it (timer, zoom, canvas) is this view's PlaybackMap.
    PlaybackController& Playback() { return playback_; }
    // The 55 ms timer whose timeouts tick the playback; owned by the view.
    QTimer* PlaybackTimer() const { return playback_timer_; }
    // The right-button menu (zoom tools and lap toggles); not owned.
    void SetContextMenu(QMenu* menu) { context_menu_ = menu; }

    // Modes that commands set; drawing reads them. The first three are the
    // playback's own flags.
    bool& race_mode;
    bool& playing;
    bool& paused;
    bool bitmap_export = false;

    // View > Fit To Track and the zoom tools.
    void OnZoomIn();
    void OnZoomOut();
    void OnFitToTrack();
    void OnPanningTool();
    // File > Save Trackmap as BMP-file...
    void OnSaveTrackMapBitmap();

    void OnDocumentChanged(CRpyGraphDoc& doc, Change change) override;

    // PlaybackMap.
    void StartTimer() override;
    void KillTimer() override;
    void SetZoomToolOff() override;
    void SetPanningToolOff() override;
    void ZoomToBox(int64_t left, int64_t top, int64_t right, int64_t bottom) override;
    void ZoomFull() override;
    void CenterOn(PixelPoint logical) override;
    void InvalidateMap() override;
    CoreDisplay& BeginCanvasDrawing() override;
    void EndCanvasDrawing() override;
    void EraseCarMarkers() override;

signals:
    // A status text for the status bar; empty restores the idle prompt.
    void StatusText(const QString& text);
    // A tick changed the playback's flags (a playback ended by itself).
    void PlaybackChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void NotifyZoom() override;

private:
    // The map at the bitmap size of the settings into dib, at 4 bits per
    // pixel with the map palette; false when it cannot be made.
    bool DrawTrackMapBitmap(CDIBSectionLite& dib);

    void OnInitialUpdate();
    void RebuildCanvas();
    void DrawStartScreen(QPainter& painter);

    CRpyGraphDoc& doc_;
    MFCDisplay display_{0x000000, 0xFFFFFF};
    QImage canvas_;
    bool canvas_stale_ = true;
    bool first_draw_done_ = false;
    std::function<bool(int)> lap_shown_;
    std::function<std::string(int)> lap_caption_;
    std::function<void()> untick_laps_;
    // Playback: the 55 ms timer, the clean map of race mode from which car
    // markers are erased, and the painter of a drawing pass on the canvas.
    void InitPlayback();
    void OnPlaybackTimer();
    QTimer* playback_timer_ = nullptr;
    QImage background_;
    std::unique_ptr<QPainter> canvas_painter_;
    FittedDisplay convert_only_;
    QMenu* context_menu_ = nullptr;
};
