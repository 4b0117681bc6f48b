#include "graph/ui/graph_wnd.h"

#include "graph/ui/graph_container.h"
#include "graph/ui/graph_frame.h"

CGraphWnd::CGraphWnd(int capacity, int frame_flags, QWidget* parent) : QWidget(parent), GraphModel(capacity) {
    frame_ = new CGraphFrame(frame_flags, this);
    frame_->setGeometry(rect());
    frame_->show();
    SetFrameLink(frame_);
}

CGraphWnd::~CGraphWnd() {
    // The frame and its panel read the curves: they go first.
    SetFrameLink(nullptr);
    delete frame_;
    frame_ = nullptr;
}

CGraphPanel* CGraphWnd::GetPanel() const { return frame_->GetContainer()->GetPanel(); }

void CGraphWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void CGraphWnd::LayOut() {
    frame_->setGeometry(0, 0, width(), height());
    frame_->LayOut();
}

void CGraphWnd::DrawToDC(QPainter& painter, const QRect& rect) {
    LayOut();
    frame_->DrawGraph(painter, rect);
}
