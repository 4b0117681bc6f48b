#include "app/ui/rpy_graph_view.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "controls/dib_pixels.h"
#include "controls/dib_section_lite.h"
#include "interaction/interaction.h"
#include "interaction/ui/printable_area.h"
#include "interaction/ui/text_codec.h"
#include "replay/get_rpy_info.h"
#include "settings/path_lookup.h"
#include "track/track.h"
#include "track/track_path_tracer.h"

CRpyGraphView::CRpyGraphView(CRpyGraphDoc& doc, QWidget* parent)
    : CZoomView(parent),
      playback_(doc),
      race_mode(playback_.race_mode),
      playing(playback_.playing),
      paused(playback_.paused),
      doc_(doc) {
    doc_.AddObserver(this);
    InitPlayback();
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    SetZoomSizes(kMapExtent, kMapExtent);
}

CRpyGraphView::~CRpyGraphView() { doc_.RemoveObserver(this); }

void CRpyGraphView::OnDocumentChanged(CRpyGraphDoc&, Change change) {
    if (change == Change::kCleared && race_mode) playback_.EndRaceReplay();
    if (change == Change::kTrack || change == Change::kCleared) OnInitialUpdate();
    doc_.redraw = true;
    viewport()->update();
}

void CRpyGraphView::OnInitialUpdate() {
    race_mode = false;
    if (doc_.IsPainterFitted()) return;
    if (untick_laps_) untick_laps_();
    SetZoomSizes(kMapExtent, kMapExtent);
    DoZoomFull();
    doc_.redraw = true;
    canvas_ = QImage();
}

void CRpyGraphView::showEvent(QShowEvent* event) {
    CZoomView::showEvent(event);
    // The first showing fits the whole map into the window.
    if (!first_draw_done_) {
        first_draw_done_ = true;
        SetZoomSizes(kMapExtent, kMapExtent);
        DoZoomFull();
    }
}

void CRpyGraphView::NotifyZoom() { canvas_stale_ = true; }

void CRpyGraphView::DrawTrackMap(QPainter& painter, const QRect& area, MFCDisplay& display) {
    painter.fillRect(area, Qt::white);
    const Track* track = doc_.GetTrack();
    if (!track) return;
    const auto& colours = doc_.GetColours();
    display.BeginDraw(painter, area, colours);
    track->DrawSurfaces(display);
    if (!race_mode && !bitmap_export) track->DrawSplitLines(display);
    if (playing || paused || race_mode || playback_.resume) return;
    for (int slot = 0; slot < CRpyGraphDoc::kCapacity; ++slot) {
        const LapSlot& lap = doc_.GetSlot(slot);
        if (!lap.used || !lap.telemetry || !lap.tracer || !IsLapShown(slot)) continue;
        const GetRpyInfo& info = *lap.telemetry;
        TrackPathTracer& tracer = *lap.tracer;
        tracer.Reset();
        for (uint32_t j = 2; j + 1 < info.sample_count; ++j) {
            if (info.distance[j] == 0.0 && info.lateral_offset[j] == 0.0) continue;
            tracer.MoveTo(display, info.distance[j], info.lateral_offset[j], false);
        }
    }
}

void CRpyGraphView::RebuildCanvas() {
    const QSize size = viewport()->size();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QImage image;
    if (!size.isEmpty()) image = QImage(size, QImage::Format_RGB32);
    if (!size.isEmpty() && image.isNull()) {
        QApplication::restoreOverrideCursor();
        doc_.GetInteraction().ShowMessage("Not enough memory to zoom more!\r\nPlease zoom out.");
        canvas_ = QImage();
        return;
    }
    if (!image.isNull()) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setTransform(LogicalToClient());
        // Only the map square: the strips beside it stay white.
        const QRect square(0, 0, static_cast<int>(kMapExtent), static_cast<int>(kMapExtent));
        painter.setClipRect(square);
        DrawTrackMap(painter, square, display_);
        // Race mode keeps a clean copy to erase car markers from; then what
        // the playback has drawn so far goes back on.
        background_ = race_mode ? image.copy() : QImage();
        if (doc_.GetTrack()) playback_.OnCanvasRebuilt(display_);
    } else {
        convert_only_ = display_;
        playback_.OnCanvasRebuilt(convert_only_);
    }
    canvas_ = image;
    canvas_stale_ = false;
    doc_.redraw = false;
    QApplication::restoreOverrideCursor();
}

void CRpyGraphView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    if (!doc_.IsTrackLoaded()) {
        DrawStartScreen(painter);
        return;
    }
    if (!doc_.IsPainterFitted()) {
        display_.FitToSurfaceBounds(kScreenMargin, kScreenMargin, kMapExtent, kMapExtent);
        doc_.SetPainterFitted(true);
        canvas_stale_ = true;
    }
    if (doc_.redraw || canvas_stale_ || canvas_.size() != viewport()->size()) RebuildCanvas();
    if (canvas_.isNull()) {
        painter.fillRect(event->rect(), Qt::white);
        return;
    }
    painter.drawImage(event->rect(), canvas_, event->rect());
}

void CRpyGraphView::DrawStartScreen(QPainter& painter) {
    const QRect r = viewport()->rect();
    painter.fillRect(r, QColor(250, 250, 250));
    QFont title = font();
    title.setPointSizeF(title.pointSizeF() * 2.2);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(QColor(60, 60, 70));
    const QRect upper(r.left(), r.top(), r.width(), r.height() / 2);
    painter.drawText(upper, Qt::AlignHCenter | Qt::AlignBottom, "Ostrevan");
    painter.setFont(font());
    painter.setPen(QColor(110, 110, 120));
    const QRect lower(r.left(), r.top() + r.height() / 2 + 8, r.width(), r.height() / 2 - 8);
    painter.drawText(lower, Qt::AlignHCenter | Qt::AlignTop,
                     "No lap selected.\nChoose File > Add replay lap... to load a lap from a replay.");
}

bool CRpyGraphView::Print(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect area = PrintableArea(printer);
    const int dpi = painter.device()->logicalDpiY();
    // The title, then a caption per shown lap in its colour, then the map
    // square below them, as large as the rest of the area allows.
    QFont font("Sans Serif");
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(kPrintTextPoints * dpi / 72.0))));
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const auto line = [&](int y, const QString& text) {
        painter.drawText(QPoint(area.left(), y + metrics.ascent()),
                         metrics.elidedText(text, Qt::ElideRight, area.width()));
    };
    int y = area.top();
    painter.setPen(Qt::black);
    line(y, "     Ostrevan - " + FromWindows1252(doc_.GetTitle()));
    y += 2 * metrics.lineSpacing();
    for (int slot = 0; slot < CRpyGraphDoc::kCapacity; ++slot) {
        if (!doc_.GetSlot(slot).used || !IsLapShown(slot) || !lap_caption_) continue;
        painter.setPen(MFCDisplay::ToQColor(doc_.GetColours()[static_cast<size_t>(slot)]));
        line(y, FromWindows1252(lap_caption_(slot)));
        y += metrics.lineSpacing();
    }
    y += metrics.lineSpacing();
    const int side = std::min(area.width(), area.bottom() + 1 - y);
    if (doc_.IsTrackLoaded() && side > 0) {
        const double scale = static_cast<double>(side) / static_cast<double>(kMapExtent);
        painter.setTransform(
            QTransform::fromTranslate(area.left() + (area.width() - side) / 2, y).scale(scale, scale));
        // A painter of its own: the screen's fit stays as it is.
        MFCDisplay print_display(0x000000, 0xFFFFFF);
        print_display.FitToSurfaceBounds(kPrintMargin, kPrintMargin, kMapExtent, kMapExtent);
        const QRect square(0, 0, static_cast<int>(kMapExtent), static_cast<int>(kMapExtent));
        painter.setClipRect(square);
        DrawTrackMap(painter, square, print_display);
    }
    return painter.end();
}

void CRpyGraphView::OnZoomIn() {
    if (GetPanMode() == 1) SetPanMode(0);
    if (GetZoomMode() == kZoomIn) {
        SetZoomMode(kZoomOff);
        emit StatusText({});
    } else {
        SetZoomMode(kZoomIn);
        emit StatusText("Click to zoom in on point or drag a zoom box.");
    }
}

void CRpyGraphView::OnZoomOut() {
    if (GetPanMode() == 1) SetPanMode(0);
    if (GetZoomMode() == kZoomOut) {
        SetZoomMode(kZoomOff);
        emit StatusText({});
    } else {
        SetZoomMode(kZoomOut);
        emit StatusText("Click to zoom out on point.");
    }
}

void CRpyGraphView::OnFitToTrack() {
    if (GetPanMode() == 1) SetPanMode(0);
    DoZoomFull();
    doc_.redraw = true;
    viewport()->update();
}

void CRpyGraphView::OnPanningTool() {
    SetZoomMode(kZoomOff);
    if (GetPanMode() == 1) {
        SetPanMode(0);
        emit StatusText({});
    } else {
        SetPanMode(1);
        emit StatusText("Use the panning tool to move the trackmap around.");
    }
}

bool CRpyGraphView::SaveTrackMapBitmap(const std::string& path) {
    CDIBSectionLite dib;
    return DrawTrackMapBitmap(dib) && dib.SaveBmp(path);
}

bool CRpyGraphView::TrackMapBitmap(std::string& bytes) {
    CDIBSectionLite dib;
    return DrawTrackMapBitmap(dib) && dib.EncodeBmp(bytes);
}

bool CRpyGraphView::DrawTrackMapBitmap(CDIBSectionLite& dib) {
    const int s = doc_.GetBMPSizeInPixel();
    if (s <= 0) return false;
    QImage canvas(s, s, QImage::Format_RGB32);
    if (canvas.isNull()) {
        doc_.GetInteraction().ShowMessage("Not enough memory to zoom more!\r\nPlease zoom out.");
        return false;
    }
    // A painter of its own, so the screen keeps its fit.
    MFCDisplay display(0x000000, 0xFFFFFF);
    display.FitToSurfaceBounds(kBitmapMargin, kBitmapMargin, static_cast<uint32_t>(s), static_cast<uint32_t>(s));
    {
        QPainter painter(&canvas);
        bitmap_export = true;
        DrawTrackMap(painter, QRect(0, 0, s, s), display);
        bitmap_export = false;
    }
    bmp_file::BitmapInfoHeader header;
    header.biWidth = s;
    header.biHeight = s;
    header.biBitCount = 4;
    std::vector<uint32_t> palette{0xFFFFFF};
    for (size_t i = 0; i < 15; ++i) palette.push_back(dib_pixels::RgbQuadOf(doc_.GetColours()[i]));
    return dib.CreateFromBitmapInfo(header, palette, &canvas);
}

void CRpyGraphView::OnSaveTrackMapBitmap() {
    Interaction& ui = doc_.GetInteraction();
    if (!doc_.IsTrackLoaded()) {
        ui.ShowMessage("No track loaded!");
        return;
    }
    const auto replay = doc_.GetReplayFolder();
    const std::string folder = replay ? replay->string() + "/" : std::string();
    const auto chosen = ui.ChooseSaveFile("Save Trackmap as BMP-file", folder + doc_.GetTitle() + ".bmp",
                                          {{"Bitmap files", "*.bmp"}, {"All Files", "*.*"}});
    // The bitmap size may have changed in the settings meanwhile.
    doc_.LoadSettings();
    if (!chosen) return;
    std::string path = *chosen;
    if (!path_lookup::EqualsNoCase(path.size() >= 4 ? path.substr(path.size() - 4) : path, ".bmp")) path += ".bmp";
    if (!SaveTrackMapBitmap(path)) ui.ShowMessage("The track map could not be written to\n" + path, Interaction::Icon::Error);
}
