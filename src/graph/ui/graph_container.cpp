#include "graph/ui/graph_container.h"

#include <QPainter>

#include "graph/ui/graph_panel.h"

CGraphContainer::CGraphContainer(QWidget* parent) : QWidget(parent), v_ruler_(this), h_ruler_(this) {
    v_ruler_.setGeometry(0, 0, 100, 100);
    h_ruler_.setGeometry(0, 0, 100, 100);
    v_ruler_.SetRange(0.0, 10.0, true);
    h_ruler_.SetRange(0.0, 10.0, true);
    panel_ = new CGraphPanel(&v_ruler_, &h_ruler_, this);
    panel_->setGeometry(0, 0, 100, 100);
}

CGraphContainer::~CGraphContainer() {
    delete panel_;
    panel_ = nullptr;
}

void CGraphContainer::SendGraphCommand(GraphNotifyCode code, const GraphNotice& notice) {
    if (panel_ != nullptr) panel_->OnGraphNotify(code, notice);
}

void CGraphContainer::SendGraphCommand10(int flags) {
    SendGraphCommand(GraphNotifyCode::Redraw, {.redraw_flags = flags});
}

int CGraphContainer::GetPanelMode() const { return panel_ != nullptr ? panel_->GetFlags() : 0; }

bool CGraphContainer::GetAxisRange(double& x0, double& x1, double& y0, double& y1) const {
    if (panel_ == nullptr) return false;
    panel_->GetRange(x0, x1, y0, y1);
    return true;
}

void CGraphContainer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CGraphContainer::LayOut() {
    const int w = v_ruler_.isVisibleTo(this) ? v_ruler_.Thickness(*this) : 0;
    const int h = h_ruler_.isVisibleTo(this) ? h_ruler_.Thickness(*this) : 0;
    v_ruler_.setGeometry(0, 0, w, height());
    h_ruler_.setGeometry(0, 0, width(), h);
    if (panel_ == nullptr) return;
    panel_->setGeometry(w, h, width() - w, height() - h);
    panel_->LayOut();
}

void CGraphContainer::DrawGraph(QPainter& painter, const QRect& rect) {
    if (panel_ == nullptr) return;
    const QPaintDevice& device = *painter.device();
    const int h = h_ruler_.Thickness(device);
    const int w = v_ruler_.Thickness(device);
    const int l = rect.left();
    const int t = rect.top();
    const int r = l + rect.width();
    const int b = t + rect.height();
    panel_->DrawGraph(painter, QRect(l + w, t + h, r - l - w, b - t - h));
    v_ruler_.Draw(painter, QRect(l, t, w, b - t));
    h_ruler_.Draw(painter, QRect(l, t, r - l, h));
}
