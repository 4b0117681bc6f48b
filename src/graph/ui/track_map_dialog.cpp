#include "graph/ui/track_map_dialog.h"

#include <QPainter>
#include <QResizeEvent>

#include "document/rpy_graph_doc.h"
#include "interaction/ui/text_codec.h"
#include "track/exception.h"
#include "track/track.h"

class TrackMapDialog::MapControl : public QWidget {
public:
    MapControl(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (image_.isNull()) return;
        QPainter painter(this);
        painter.drawImage(0, 0, image_);
    }

private:
    const QImage& image_;
};

TrackMapDialog::TrackMapDialog(const CRpyGraphDoc& doc, QWidget* owner) : CResizingDialog(owner), doc_(doc) {
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    if (owner != nullptr) setWindowIcon(owner->window()->windowIcon());
    // 123 x 108 dialog units.
    resize(185, 175);
    map_ = new MapControl(image_, this);
    map_->setObjectName("map");
    map_->setProperty("controlId", kMapId);
    map_->setGeometry(rect());
    QString caption = FromWindows1252(doc_.GetTitle());
    if (doc_.GetTrack() != nullptr)
        caption += QString(" (%1 meters)").arg(static_cast<long long>(doc_.GetTrack()->GetStatedLength()));
    setWindowTitle(caption);
    InitResizing();
    AddControl(map_, kStretch, kStretch, false);
}

TrackMapDialog::~TrackMapDialog() { Release(); }

QWidget* TrackMapDialog::GetMapControl() const { return map_; }

void TrackMapDialog::Release() {
    image_ = QImage();
    if (doc_.GetTrack() != nullptr) doc_.GetTrack()->ClearHighlight();
}

void TrackMapDialog::Open() {
    if (doc_.GetTrack() == nullptr || !doc_.IsTrackLoaded()) return;
    QWidget* owner = parentWidget();
    if (!open_) {
        if (owner != nullptr) {
            // Right edge on the owner's right edge, top on its top.
            const QRect o = owner->frameGeometry();
            const QRect f = frameGeometry();
            move(o.right() + 1 - f.width(), o.top());
        }
        open_ = true;
        RenderMap();
    }
    show();
    raise();
    if (owner != nullptr) owner->activateWindow();
}

void TrackMapDialog::reject() {
    // Closing the window and Escape both end here.
    open_ = false;
    Release();
    CResizingDialog::reject();
}

void TrackMapDialog::ShowDistanceWindow(double distance, unsigned percent) {
    Track* track = doc_.GetTrack();
    if (track == nullptr) return;
    try {
        track->HighlightAround(distance, percent);
    } catch (const Exception&) {
        // A distance the track cannot place (the very end of the lap, a
        // cursor beyond it): nothing is highlighted rather than an error.
        track->ClearHighlight();
    }
    if (!image_.isNull()) {
        RenderMap();
        map_->update();
    }
}

void TrackMapDialog::Redraw() {
    if (!open_) return;
    RenderMap();
    map_->update();
}

void TrackMapDialog::resizeEvent(QResizeEvent* event) {
    CResizingDialog::resizeEvent(event);
    if (open_) {
        RenderMap();
        map_->update();
    }
}

void TrackMapDialog::RenderMap() {
    const int w = map_->width();
    const int h = map_->height();
    // A minimised or collapsed window has no map area: nothing to draw.
    if (w <= 0 || h <= 0 || doc_.GetTrack() == nullptr) {
        image_ = QImage();
        return;
    }
    image_ = QImage(w, h, QImage::Format_RGB32);
    image_.fill(MFCDisplay::ToQColor(kBackground));
    QPainter painter(&image_);
    painter_.BeginDraw(painter, QRect(-10000, -10000, 20000, 20000), doc_.GetColours());
    painter_.FitToTrackBounds(5, 5, static_cast<uint32_t>(w), static_cast<uint32_t>(h));
    painter_.SetDC(painter);
    doc_.GetTrack()->DrawSections(painter_);
    ++render_count_;
}
