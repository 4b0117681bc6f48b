#include "graph/graphics_page_model.h"

#include "graph/graph_model.h"

GraphicsPageModel::GraphicsPageModel(const GraphModel* model) {
    if (model == nullptr) return;
    int position = -1;
    for (const CGraphProps* curve = model->GetFirstGraph(position); curve != nullptr;
         curve = model->GetNextGraph(position)) {
        auto copy = std::make_unique<CGraphProps>(*curve);
        copy->SetId(position);
        copies_.push_back(std::move(copy));
    }
}

bool GraphicsPageModel::Select(int entry) {
    if (entry < 0 || entry >= GetCount()) return false;
    selected_ = entry;
    return true;
}

CGraphProps* GraphicsPageModel::Selected() {
    return selected_ >= 0 && selected_ < GetCount() ? copies_[static_cast<size_t>(selected_)].get() : nullptr;
}

std::string GraphicsPageModel::HideShowCaption() const {
    if (selected_ < 0 || selected_ >= GetCount()) return "Hide";
    return GetCopy(selected_).IsVisible() ? "Hide" : "Show";
}

bool GraphicsPageModel::SetColor(uint32_t colour) {
    CGraphProps* copy = Selected();
    if (copy == nullptr) return false;
    copy->SetColor(colour);
    return true;
}

bool GraphicsPageModel::SetTitle(const std::string& title) {
    CGraphProps* copy = Selected();
    if (copy == nullptr) return false;
    copy->SetTitle(title);
    return true;
}

bool GraphicsPageModel::ToggleVisible() {
    CGraphProps* copy = Selected();
    if (copy == nullptr) return false;
    copy->SetVisible(!copy->IsVisible());
    return true;
}

bool GraphicsPageModel::ShowAll() {
    if (Selected() == nullptr) return false;
    for (auto& copy : copies_) copy->SetVisible(true);
    return true;
}

void GraphicsPageModel::Apply(GraphModel& model) const {
    for (const auto& copy : copies_) {
        if (CGraphProps* curve = model.GetGraph(copy->GetId()); curve != nullptr) curve->CopyProperties(*copy);
    }
}
