#include "graph/ui/graph_frame.h"

#include <QAction>
#include <QDockWidget>
#include <QLayout>
#include <QTimer>

#include "graph/graph_commands.h"
#include "graph/ui/graph_container.h"
#include "graph/ui/point_view_bar.h"

CGraphFrame::CGraphFrame(int timer_flag, QWidget* parent) : QMainWindow(parent) {
    // A main window always starts as a window of its own; this one lives
    // inside the graph window.
    setWindowFlags(Qt::Widget);
    container_ = new CGraphContainer(this);
    setCentralWidget(container_);

    points_bar_ = new CPointViewBar(this);
    points_bar_->Create(QStringLiteral("Points"), this, QSize(150, 200), true, kBarId);
    addDockWidget(Qt::RightDockWidgetArea, points_bar_);
    resizeDocks({points_bar_}, {150}, Qt::Horizontal);
    points_bar_->toggleViewAction()->setData(kBarId);
    // The bar is laid out while the frame is still small and hidden; each
    // time it is shown docked it opens at least wide enough for its
    // columns (the user may narrow it again).
    QObject::connect(points_bar_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (!visible || points_bar_->isFloating()) return;
        QTimer::singleShot(0, this, [this] {
            const int wanted = points_bar_->OpeningWidth();
            if (points_bar_->isVisible() && !points_bar_->isFloating() && points_bar_->width() < wanted)
                resizeDocks({points_bar_}, {wanted}, Qt::Horizontal);
        });
    });

    if (timer_flag != 0) {
        timer_ = new QTimer(this);
        QObject::connect(timer_, &QTimer::timeout, this, [this] { OnTimer(); });
        timer_->start(kTimerPeriodMs);
    }
}

CGraphFrame::~CGraphFrame() = default;

void CGraphFrame::SendGraphCommand(GraphNotifyCode code, const GraphNotice& notice) {
    if (code != GraphNotifyCode::ListLive && code != GraphNotifyCode::ListFrozen)
        container_->SendGraphCommand(code, notice);
    points_bar_->OnGraphNotify(code, notice);
}

void CGraphFrame::SendGraphCommand10(int flags) { SendGraphCommand(GraphNotifyCode::Redraw, {.redraw_flags = flags}); }

int CGraphFrame::GetPanelMode() const { return container_->GetPanelMode(); }

bool CGraphFrame::GetAxisRange(double& x0, double& x1, double& y0, double& y1) const {
    return container_->GetAxisRange(x0, x1, y0, y1);
}

QDockWidget* CGraphFrame::GetPointsBar() const { return points_bar_; }

bool CGraphFrame::IsPointsBarShown() const { return !points_bar_->isHidden(); }

void CGraphFrame::ShowPointsBar(int flags) {
    if ((flags & 1) != 0) points_bar_->show();
    if ((flags & 2) != 0) points_bar_->hide();
    if ((flags & 4) != 0) SendGraphCommand(GraphNotifyCode::ListFrozen, {});
    if ((flags & 8) != 0) SendGraphCommand(GraphNotifyCode::ListLive, {});
}

void CGraphFrame::OnGraphCommand(int id) {
    if (id == graph_command::kPointsBar) ShowPointsBar(IsPointsBarShown() ? 2 : 1 + 8);
}

void CGraphFrame::LayOut() {
    if (layout() != nullptr) {
        layout()->invalidate();
        layout()->activate();
    }
    container_->LayOut();
}

void CGraphFrame::DrawGraph(QPainter& painter, const QRect& rect) { container_->DrawGraph(painter, rect); }

void CGraphFrame::OnTimer() {
    // The bar's show/hide command stays checked while the bar is shown,
    // however it was closed or floated.
    points_bar_->toggleViewAction()->setChecked(IsPointsBarShown());
}
