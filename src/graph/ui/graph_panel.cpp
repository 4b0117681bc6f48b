#include "graph/ui/graph_panel.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "graph/graph_commands.h"
#include "graph/graph_cursor_listener.h"
#include "graph/graph_model.h"
#include "graph/ui/f_h_ruler.h"
#include "graph/ui/f_v_ruler.h"
#include "graph/ui/graph_frame.h"
#include "graph/ui/graph_property_page.h"
#include "graph/ui/property_sheet.h"
#include "graph/ui/graph_wnd.h"
#include "interaction/ui/text_codec.h"

namespace {

QColor ToQColor(uint32_t colorref) {
    return QColor(static_cast<int>(colorref & 0xFF), static_cast<int>((colorref >> 8) & 0xFF),
                  static_cast<int>((colorref >> 16) & 0xFF));
}

QPen CosmeticPen(const QColor& colour, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour, 0, style);
    pen.setCosmetic(true);
    return pen;
}

QRect ToQRect(const GraphPanelState::Rect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

}  // namespace

CGraphPanel::CGraphPanel(FVRuler* v_ruler, FHRuler* h_ruler, QWidget* parent)
    : QWidget(parent), v_ruler_(v_ruler), h_ruler_(h_ruler) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

CGraphPanel::~CGraphPanel() = default;

int CGraphPanel::SetFlags(int flags, bool redraw) {
    const int previous = state_.GetFlags();
    if (flags == previous) return previous;
    state_.SetFlags(flags);
    if (redraw) Render();
    return previous;
}

void CGraphPanel::SetRange(double x0, double x1, double y0, double y1, bool redraw) {
    if (!state_.SetRange(x0, x1, y0, y1)) return;
    RangeChanged(redraw);
}

void CGraphPanel::RangeChanged(bool redraw) {
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    state_.GetRange(x0, x1, y0, y1);
    v_ruler_->SetRange(y0, y1, false);
    h_ruler_->SetRange(x0, x1, false);
    if (!redraw) return;
    v_ruler_->update();
    h_ruler_->update();
    Render();
}

void CGraphPanel::Render() {
    canvas_stale_ = true;
    update();
}

void CGraphPanel::RenderCanvas() {
    if (canvas_.isNull()) return;
    QPainter painter(&canvas_);
    DrawGraph(painter, canvas_.rect());
    canvas_stale_ = false;
    ++render_count_;
}

int CGraphPanel::MarkSize(const QPaintDevice& device) { return device.logicalDpiY() / 35; }

void CGraphPanel::DrawGraph(QPainter& painter, const QRect& rect) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(rect.left() - 1, rect.top() - 1, rect.width() + 1, rect.height() + 1));
    DrawSeries(painter, rect);
    if ((state_.GetFlags() & GraphPanelState::kGrid) != 0) DrawGrid(painter, rect);
    painter.restore();
}

void CGraphPanel::DrawSeries(QPainter& painter, const QRect& rect) {
    CGraphWnd* graph = GetGraphWnd();
    if (!state_.HasScales() || graph == nullptr) return;
    painter.save();
    painter.setClipRect(rect);
    const int l = rect.left();
    const int t = rect.top();
    const AxisScale xs = state_.XScaleFor(l, l + rect.width());
    const AxisScale ys = state_.YScaleFor(t + rect.height(), t);
    const int flags = state_.GetFlags();
    const bool lines = (flags & GraphPanelState::kNoLines) == 0;
    const bool marks = (flags & GraphPanelState::kPointMarks) != 0;
    const int s = MarkSize(*painter.device());
    int position = -1;
    for (CGraphProps* curve = graph->GetFirstGraph(position); curve != nullptr;
         curve = graph->GetNextGraph(position)) {
        if (!curve->IsVisible() || curve->GetCount() == 0) continue;
        segments_.Build(*curve, xs, ys, lines, marks);
        const QColor colour = ToQColor(curve->GetColor());
        painter.setPen(CosmeticPen(colour));
        const auto& points = segments_.GetPoints();
        polygon_.resize(static_cast<int>(points.size()));
        for (size_t i = 0; i < points.size(); ++i) polygon_[static_cast<int>(i)] = QPoint(points[i].x, points[i].y);
        for (size_t run = 0; run < segments_.GetRunCount(); ++run) {
            const size_t start = segments_.RunStart(run);
            const size_t end = segments_.RunStart(run + 1);
            painter.drawPolyline(polygon_.constData() + start, static_cast<int>(end - start));
        }
        for (const SegmentList::Pixel& m : segments_.GetMarks())
            painter.fillRect(QRect(m.x - s, m.y - s, 2 * s + 1, 2 * s + 1), colour);
    }
    painter.restore();
}

void CGraphPanel::DrawGrid(QPainter& painter, const QRect& rect) {
    if (!state_.HasScales()) return;
    const int l = rect.left();
    const int t = rect.top();
    const int r = l + rect.width();
    const int b = t + rect.height();
    const AxisScale xs = state_.XScaleFor(l, r);
    const AxisScale ys = state_.YScaleFor(b, t);
    painter.save();
    painter.setPen(CosmeticPen(Qt::black, Qt::DotLine));
    painter.setBackgroundMode(Qt::TransparentMode);
    const QPaintDevice& device = *painter.device();
    for (double p : xs.ComputeTicks(h_ruler_->MaxLabelCount(device, rect)).positions) {
        const int x = AxisScale::ToIntPixel(p);
        painter.drawLine(x, b, x, t);
    }
    for (double p : ys.ComputeTicks(v_ruler_->MaxLabelCount(device, rect)).positions) {
        const int y = AxisScale::ToIntPixel(p);
        painter.drawLine(r, y, l, y);
    }
    painter.restore();
}

void CGraphPanel::DrawTracker(QPainter& painter) const {
    const QRect r = ToQRect(state_.GetTracker().Normalized());
    painter.save();
    painter.setPen(CosmeticPen(Qt::black));
    painter.setBrush(QBrush(Qt::black, Qt::BDiagPattern));
    painter.drawRect(r);
    if (state_.IsZoomToolOn()) {
        const int h = GraphPanelState::kHandleSize;
        const int cx = (r.left() + r.right()) / 2;
        const int cy = (r.top() + r.bottom()) / 2;
        for (const QPoint& c : {QPoint(r.left(), r.top()), QPoint(r.right() - h + 1, r.top()),
                                QPoint(r.right() - h + 1, r.bottom() - h + 1), QPoint(r.left(), r.bottom() - h + 1),
                                QPoint(cx - h / 2, r.top()), QPoint(r.right() - h + 1, cy - h / 2),
                                QPoint(cx - h / 2, r.bottom() - h + 1), QPoint(r.left(), cy - h / 2)})
            painter.fillRect(QRect(c, QSize(h, h)), Qt::black);
    }
    painter.restore();
}

void CGraphPanel::paintEvent(QPaintEvent* event) {
    if (canvas_.isNull()) return;
    if (canvas_stale_) RenderCanvas();
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas_, event->rect());
    if (state_.IsZoomToolOn() || state_.IsBandActive()) DrawTracker(painter);
}

void CGraphPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CGraphPanel::LayOut() {
    if (state_.HasScales() && canvas_.size() == size()) return;
    state_.SetClientSize(width(), height());
    if (width() <= 0 || height() <= 0) {
        canvas_ = QImage();
        return;
    }
    canvas_ = QImage(size(), QImage::Format_RGB32);
    // The canvas measures marks and rulers as the screen does.
    canvas_.setDotsPerMeterX(static_cast<int>(logicalDpiX() / 0.0254 + 0.5));
    canvas_.setDotsPerMeterY(static_cast<int>(logicalDpiY() / 0.0254 + 0.5));
    canvas_.fill(Qt::white);
    canvas_stale_ = true;
}

void CGraphPanel::OnGraphNotify(GraphNotifyCode code, const GraphNotice& notice) {
    switch (code) {
        case GraphNotifyCode::PointAdded:
            OnPointAdded(notice);
            break;
        case GraphNotifyCode::PointRemoved:
        case GraphNotifyCode::PointChanged:
        case GraphNotifyCode::GraphRemoved:
        case GraphNotifyCode::PointsCleared:
            if (notice.redraw) Render();
            break;
        case GraphNotifyCode::RangeSet:
            SetFlags(notice.flags, notice.redraw);
            SetRange(notice.x0, notice.x1, notice.y0, notice.y1, notice.redraw);
            break;
        case GraphNotifyCode::LabelChanged:
            OnAxisLabelChanged(notice.axis, notice.redraw);
            break;
        case GraphNotifyCode::Redraw:
            if ((notice.redraw_flags & 1) != 0) Render();
            if ((notice.redraw_flags & 4) != 0) {
                h_ruler_->update();
                v_ruler_->update();
            }
            break;
        case GraphNotifyCode::GraphAdded:
        case GraphNotifyCode::ListLive:
        case GraphNotifyCode::ListFrozen:
            break;
    }
}

void CGraphPanel::OnAxisLabelChanged(int axis, bool redraw) {
    CGraphWnd* graph = GetGraphWnd();
    if (graph == nullptr) return;
    const CGraphAxisLabel* label = graph->GetAxisLabel(axis != 0 ? 1 : 0);
    FRuler* ruler = axis != 0 ? static_cast<FRuler*>(h_ruler_) : static_cast<FRuler*>(v_ruler_);
    ruler->SetTexts(label->GetUnit(), label->GetCaption());
    if (redraw) ruler->update();
}

void CGraphPanel::OnPointAdded(const GraphNotice& notice) {
    if (notice.sender == nullptr) return;
    const CGraphProps* curve = notice.sender->GetGraph(notice.graph);
    if (curve == nullptr) return;
    double before[4];
    state_.GetRange(before[0], before[1], before[2], before[3]);
    const auto action = state_.OnPointAdded(*curve, notice.point, notice.redraw, !canvas_.isNull());
    double after[4];
    state_.GetRange(after[0], after[1], after[2], after[3]);
    if (!std::equal(before, before + 4, after)) RangeChanged(action == GraphPanelState::PointAdded::Render);
    if (action == GraphPanelState::PointAdded::Render) {
        Render();
        return;
    }
    // A render already waiting draws the point with everything else.
    if (action != GraphPanelState::PointAdded::Incremental || canvas_stale_) return;

    const int flags = state_.GetFlags();
    const int s = MarkSize(canvas_);
    const QColor colour = ToQColor(curve->GetColor());
    const GraphPoint p = curve->GetPoint(notice.point);
    const QPoint pp(state_.XScale().ValueToIntPixel(p.x), state_.YScale().ValueToIntPixel(p.y));
    QPainter painter(&canvas_);
    painter.setPen(CosmeticPen(colour));
    const auto mark = [&] { painter.fillRect(QRect(pp.x() - s, pp.y() - s, 2 * s + 1, 2 * s + 1), colour); };
    if (curve->GetCount() >= 2) {
        const GraphPoint n = curve->GetPoint(notice.point == 0 ? 1 : notice.point - 1);
        const QPoint q(state_.XScale().ValueToIntPixel(n.x), state_.YScale().ValueToIntPixel(n.y));
        if (pp == q) return;
        if ((flags & GraphPanelState::kNoLines) == 0) painter.drawLine(pp, q);
        if ((flags & GraphPanelState::kPointMarks) != 0) mark();
        update(QRect(pp, q).normalized().adjusted(-(s + 2), -(s + 2), s + 2, s + 2));
    } else if ((flags & GraphPanelState::kPointMarks) != 0) {
        mark();
        update(QRect(pp, pp).adjusted(-(s + 2), -(s + 2), s + 2, s + 2));
    }
}

std::string CGraphPanel::FormatTipText(int x, int y) {
    CGraphWnd* graph = GetGraphWnd();
    if (!state_.HasScales() || graph == nullptr) return "";
    const double vx = state_.XValueAt(x);
    const double vy = state_.YValueAt(y);
    const std::string listener = cursor_listener_ != nullptr ? cursor_listener_->FormatCursorInfo(vx, vy) : "";
    return "x=" + graph->FormatAxisValue(vx, 1, 1) + ", y=" + graph->FormatAxisValue(vy, 0, 1) + listener;
}

void CGraphPanel::UpdateRect(const GraphPanelState::Rect& r) { update(ToQRect(r)); }

void CGraphPanel::UpdateCursor(int x, int y) {
    if (!state_.IsZoomToolOn()) {
        unsetCursor();
        return;
    }
    switch (state_.HitTest(x, y)) {
        case GraphPanelState::kTopLeft:
        case GraphPanelState::kBottomRight:
            setCursor(Qt::SizeFDiagCursor);
            break;
        case GraphPanelState::kTopRight:
        case GraphPanelState::kBottomLeft:
            setCursor(Qt::SizeBDiagCursor);
            break;
        case GraphPanelState::kTop:
        case GraphPanelState::kBottom:
            setCursor(Qt::SizeVerCursor);
            break;
        case GraphPanelState::kLeft:
        case GraphPanelState::kRight:
            setCursor(Qt::SizeHorCursor);
            break;
        case GraphPanelState::kMiddle:
            setCursor(Qt::SizeAllCursor);
            break;
        case GraphPanelState::kHitNothing:
            unsetCursor();
            break;
    }
}

void CGraphPanel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if ((state_.GetFlags() & GraphPanelState::kCoordinates) != 0)
        QToolTip::showText(event->globalPosition().toPoint(), FromWindows1252(FormatTipText(p.x(), p.y())), this);
    if (state_.IsPanning()) {
        if (state_.PanTo(p.x(), p.y())) RangeChanged(true);
    } else if (state_.IsBandActive()) {
        UpdateRect(state_.MoveBand(p.x(), p.y()));
    } else if (state_.IsTracking()) {
        UpdateRect(state_.TrackTo(p.x(), p.y()));
    }
    UpdateCursor(p.x(), p.y());
    QWidget::mouseMoveEvent(event);
}

void CGraphPanel::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if ((event->modifiers() & Qt::ShiftModifier) != 0)
            state_.BeginPan(p.x(), p.y());
        else if (!state_.IsZoomToolOn())
            state_.BeginBand(p.x(), p.y());
        else if (state_.BeginTrack(p.x(), p.y()))
            UpdateRect(state_.TrackerOuter().Grown(1));
    }
    QWidget::mousePressEvent(event);
}

void CGraphPanel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (state_.IsPanning()) {
            if (state_.EndPan(p.x(), p.y())) RangeChanged(true);
        } else if (state_.IsBandActive()) {
            UpdateRect(state_.EndBand(p.x(), p.y()));
        } else if (state_.IsTracking()) {
            state_.EndTrack();
        }
    } else if (event->button() == Qt::RightButton) {
        PopupCentred(BuildPopupMenu(), event->globalPosition().toPoint());
    }
    QWidget::mouseReleaseEvent(event);
}

void CGraphPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && state_.IsZoomToolOn()) OnGraphCommand(graph_command::kZoomApply);
    QWidget::mouseDoubleClickEvent(event);
}

QMenu* CGraphPanel::BuildPopupMenu() {
    auto* menu = new QMenu(this);
    AppendAncestorItems(this, menu);
    return menu;
}

void CGraphPanel::AppendMenuItems(QMenu* menu) {
    namespace gc = graph_command;
    const int flags = state_.GetFlags();
    const auto add = [this](QMenu* to, int id, bool checked, bool enabled = true) {
        QAction* action = to->addAction(QString::fromLatin1(gc::Text(id)));
        action->setData(id);
        action->setCheckable(checked);
        action->setChecked(checked);
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, this, [this, id] { SendCommandUp(this, id); });
    };
    add(menu, gc::kPointMarks, (flags & GraphPanelState::kPointMarks) != 0);
    add(menu, gc::kCoordinates, (flags & GraphPanelState::kCoordinates) != 0);
    add(menu, gc::kAxisGrid, (flags & GraphPanelState::kGrid) != 0);
    menu->addSeparator();
    QMenu* zoom = menu->addMenu(QStringLiteral("Zoom"));
    add(zoom, gc::kZoomTool, state_.IsZoomToolOn());
    add(zoom, gc::kZoomApply, false, state_.IsZoomToolOn());
    QMenu* fit = menu->addMenu(QStringLiteral("Fit..."));
    add(fit, gc::kFitWidth, false);
    add(fit, gc::kFitHeight, false);
    add(fit, gc::kFitPage, false);
    // The graph window may start with the "Points" bar hidden and nothing
    // else would bring it back: the plot's own menu shows it and opens the
    // sheet that the bar offers.
    menu->addSeparator();
    const CGraphWnd* graph = GetGraphWnd();
    add(menu, gc::kPointsBar, graph != nullptr && graph->GetFrame()->IsPointsBarShown());
    add(menu, gc::kProperties, false);
}

void CGraphPanel::OnGraphCommand(int id) {
    namespace gc = graph_command;
    const int flags = state_.GetFlags();
    switch (id) {
        case gc::kPointMarks:
            SetFlags(GraphPanelState::ToggledFlags(flags, GraphPanelState::kPointMarks), true);
            break;
        case gc::kNoLines:
            SetFlags(GraphPanelState::ToggledFlags(flags, GraphPanelState::kNoLines), true);
            break;
        case gc::kCoordinates:
            SetFlags(GraphPanelState::ToggledFlags(flags, GraphPanelState::kCoordinates), false);
            break;
        case gc::kAxisGrid:
            SetFlags(GraphPanelState::ToggledFlags(flags, GraphPanelState::kGrid), true);
            break;
        case gc::kZoomTool:
            UpdateRect(state_.ToggleZoomTool().Grown(1));
            update();
            break;
        case gc::kZoomApply:
            if (state_.ApplyZoom()) RangeChanged(true);
            update();
            break;
        case gc::kFitWidth:
        case gc::kFitHeight:
        case gc::kFitPage:
            if (CGraphWnd* graph = GetGraphWnd(); graph != nullptr && state_.FitToData(id, *graph))
                RangeChanged(true);
            break;
        case gc::kProperties:
            RunPropertySheet(this);
            break;
        default:
            // The frame handles 4106.
            break;
    }
}

void CGraphPanel::AddPropertyPages(CPropertySheet* sheet) {
    general_page_ = new CGraphPropertyPage;
    state_.GetRange(general_page_->x1, general_page_->x2, general_page_->y1, general_page_->y2);
    const int flags = state_.GetFlags();
    general_page_->point_marks = (flags & GraphPanelState::kPointMarks) != 0;
    general_page_->mouse_coordinates = (flags & GraphPanelState::kCoordinates) != 0;
    general_page_->axis_grid = (flags & GraphPanelState::kGrid) != 0;
    sheet->AddPage(general_page_, QStringLiteral("General"));
}

void CGraphPanel::ApplyPropertyPages(int result) {
    if (result == 1 && general_page_ != nullptr) {
        SetRange(general_page_->x1, general_page_->x2, general_page_->y1, general_page_->y2, false);
        constexpr int kPageFlags = GraphPanelState::kPointMarks | GraphPanelState::kCoordinates | GraphPanelState::kGrid;
        int flags = state_.GetFlags() & ~kPageFlags;
        if (general_page_->point_marks) flags |= GraphPanelState::kPointMarks;
        if (general_page_->mouse_coordinates) flags |= GraphPanelState::kCoordinates;
        if (general_page_->axis_grid) flags |= GraphPanelState::kGrid;
        SetFlags(flags, false);
    }
    // The sheet owns the page and deletes it.
    general_page_ = nullptr;
}
