#include "graph/ui/graph_wnd.h"

#include "graph/ui/graph_container.h"
#include "graph/ui/axis_property_page.h"
#include "graph/ui/graph_frame.h"
#include "graph/ui/graphics_property_page.h"
#include "graph/ui/property_sheet.h"

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

void CGraphWnd::AddPropertyPages(CPropertySheet* sheet) {
    axis_page_ = new CAxisPropertyPage;
    const CGraphAxisLabel* x = GetAxisLabel(1);
    const CGraphAxisLabel* y = GetAxisLabel(0);
    axis_page_->x_decimals = x->GetDecimals();
    axis_page_->x_title = x->GetTitle();
    axis_page_->x_unit = x->GetUnit();
    axis_page_->y_decimals = y->GetDecimals();
    axis_page_->y_title = y->GetTitle();
    axis_page_->y_unit = y->GetUnit();
    graphs_page_ = new CGraphicsPropertyPage(this);
    sheet->AddPage(axis_page_, QStringLiteral("Axis"));
    sheet->AddPage(graphs_page_, QStringLiteral("Graphs"));
}

void CGraphWnd::ApplyPropertyPages(int result) {
    if (result == 1 && axis_page_ != nullptr && graphs_page_ != nullptr) {
        SetAxisLabel(axis_page_->x_title, axis_page_->x_unit, axis_page_->x_decimals, 1, false);
        SetAxisLabel(axis_page_->y_title, axis_page_->y_unit, axis_page_->y_decimals, 0, false);
        graphs_page_->GetCopies().Apply(*this);
    }
    // The sheet owns the pages and deletes them.
    axis_page_ = nullptr;
    graphs_page_ = nullptr;
}
