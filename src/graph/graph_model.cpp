#include "graph/graph_model.h"

#include <algorithm>

#include "graph/graph_frame_link.h"

GraphModel::GraphModel(int capacity) : slots_(static_cast<size_t>(std::max(0, capacity))) {}

GraphModel::~GraphModel() = default;

void GraphModel::Send(GraphNotifyCode code, GraphNotice notice) {
    if (frame_ == nullptr) return;
    notice.sender = this;
    frame_->SendGraphCommand(code, notice);
}

int GraphModel::AddGraph(uint32_t colour, const std::string& title, bool redraw, bool sorted,
                         bool allow_duplicates) {
    const auto free = std::find(slots_.begin(), slots_.end(), nullptr);
    if (free == slots_.end()) return -1;
    *free = std::make_unique<CGraphProps>(colour, title, true, true, -1, sorted, allow_duplicates);
    ++graph_count_;
    const int index = static_cast<int>(free - slots_.begin());
    Send(GraphNotifyCode::GraphAdded, {.graph = index, .redraw = redraw});
    return index;
}

int GraphModel::RemoveGraph(int index, bool redraw) {
    if (GetGraph(index) == nullptr) return -1;
    slots_[static_cast<size_t>(index)].reset();
    --graph_count_;
    Send(GraphNotifyCode::GraphRemoved, {.graph = index, .redraw = redraw});
    return index;
}

CGraphProps* GraphModel::GetGraph(int index) const {
    if (index < 0 || index >= GetCapacity()) return nullptr;
    return slots_[static_cast<size_t>(index)].get();
}

CGraphProps* GraphModel::GetFirstGraph(int& position) const {
    position = -1;
    return GetNextGraph(position);
}

CGraphProps* GraphModel::GetNextGraph(int& position) const {
    for (int i = std::max(position + 1, 0); i < GetCapacity(); ++i) {
        if (slots_[static_cast<size_t>(i)] != nullptr) {
            position = i;
            return slots_[static_cast<size_t>(i)].get();
        }
    }
    position = -1;
    return nullptr;
}

int GraphModel::AddPoint(int graph, double x, double y, bool redraw, int index) {
    CGraphProps* curve = GetGraph(graph);
    if (curve == nullptr) return -1;
    const int landed = index == -1 ? curve->AddPoint(x, y, true) : curve->InsertPoint(index, {x, y}, true);
    Send(GraphNotifyCode::PointAdded, {.graph = graph, .point = landed, .redraw = redraw});
    return index;
}

int GraphModel::SetPoint(int graph, int index, double x, double y, bool redraw) {
    CGraphProps* curve = GetGraph(graph);
    if (curve == nullptr) return -1;
    const int result = curve->ReplacePoint(index, {x, y}, true);
    Send(GraphNotifyCode::PointChanged, {.graph = graph, .point = index, .redraw = redraw});
    return result;
}

int GraphModel::RemovePoint(int graph, int index, bool redraw) {
    CGraphProps* curve = GetGraph(graph);
    if (curve == nullptr) return -1;
    curve->RemovePoint(index, true);
    Send(GraphNotifyCode::PointRemoved, {.graph = graph, .point = index, .redraw = redraw});
    return index;
}

void GraphModel::ClearPoints(int graph, bool redraw) {
    if (graph == -1) {
        for (auto& slot : slots_)
            if (slot != nullptr) slot->Clear();
    } else {
        CGraphProps* curve = GetGraph(graph);
        if (curve == nullptr) return;
        curve->Clear();
    }
    Send(GraphNotifyCode::PointsCleared, {.graph = graph, .redraw = redraw});
}

int GraphModel::SetPanelFlags(int flags, bool redraw) {
    if (frame_ == nullptr) return 0;
    GraphNotice notice{.redraw = redraw, .flags = flags};
    GetRange(notice.x0, notice.x1, notice.y0, notice.y1);
    Send(GraphNotifyCode::RangeSet, notice);
    return 1;
}

int GraphModel::SetRange(double x0, double x1, double y0, double y1, bool redraw) {
    if (frame_ == nullptr) return 0;
    Send(GraphNotifyCode::RangeSet,
         {.redraw = redraw, .x0 = x0, .x1 = x1, .y0 = y0, .y1 = y1, .flags = GetPanelFlags()});
    return 1;
}

int GraphModel::GetPanelFlags() const { return frame_ != nullptr ? frame_->GetPanelMode() : 0; }

void GraphModel::GetRange(double& x0, double& x1, double& y0, double& y1) const {
    if (frame_ != nullptr && frame_->GetAxisRange(x0, x1, y0, y1)) return;
    x0 = 0.0;
    x1 = 10.0;
    y0 = 0.0;
    y1 = 10.0;
}

bool GraphModel::GetDataBounds(double& x_min, double& x_max, double& y_min, double& y_max) const {
    bool found = false;
    GraphPoint lo;
    GraphPoint hi;
    for (const auto& curve : slots_) {
        if (curve == nullptr || !curve->IsVisible() || curve->GetCount() == 0) continue;
        if (!found) {
            lo = curve->GetMin();
            hi = curve->GetMax();
            found = true;
            continue;
        }
        lo.x = std::min(lo.x, curve->GetMin().x);
        lo.y = std::min(lo.y, curve->GetMin().y);
        hi.x = std::max(hi.x, curve->GetMax().x);
        hi.y = std::max(hi.y, curve->GetMax().y);
    }
    if (!found) return false;
    x_min = lo.x;
    x_max = hi.x;
    y_min = lo.y;
    y_max = hi.y;
    return true;
}

void GraphModel::SetAxisLabel(const std::string& title, const std::string& unit, int decimals, int axis,
                              bool redraw) {
    CGraphAxisLabel& label = axis != 0 ? x_label_ : y_label_;
    label.SetTitle(title);
    label.SetUnit(unit);
    label.SetDecimals(decimals);
    Send(GraphNotifyCode::LabelChanged, {.redraw = redraw, .axis = axis});
}

std::string GraphModel::FormatAxisValue(double value, int axis, int style) const {
    return (axis != 0 ? x_label_ : y_label_).FormatValue(value, style);
}

void GraphModel::Redraw(int flags) { Send(GraphNotifyCode::Redraw, {.redraw_flags = flags}); }

void GraphModel::ShowPointsBar(int flags) {
    if (frame_ != nullptr) frame_->ShowPointsBar(flags);
}
