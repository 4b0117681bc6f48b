#pragma once
// What the "Graphs" page edits: property copies of the graph's curves (no
// points), in slot order, each holding the slot it came from, and which
// copy is selected. Colour, title and visibility change only the copies;
// Apply puts them back onto the curves when the sheet ends with OK, so a
// cancelled sheet leaves every curve as it was.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graph/graph_props.h"

class GraphModel;

class GraphicsPageModel {
public:
    // Copies of every present curve of `model` (null: no copies).
    explicit GraphicsPageModel(const GraphModel* model);

    int GetCount() const { return static_cast<int>(copies_.size()); }
    // entry in 0..count-1.
    const CGraphProps& GetCopy(int entry) const { return *copies_[static_cast<size_t>(entry)]; }
    // -1 when none is selected.
    int GetSelected() const { return selected_; }
    // An entry outside 0..count-1 changes nothing and returns false.
    bool Select(int entry);

    // "Hide" for a visible selected copy, "Show" for a hidden one; "Hide"
    // with no selection.
    std::string HideShowCaption() const;
    // Each does nothing (false) without a selection.
    bool SetColor(uint32_t colour);
    bool SetTitle(const std::string& title);
    bool ToggleVisible();
    // Every copy becomes visible.
    bool ShowAll();

    // Colour, title, visibility and pen setting of each copy onto the
    // curve in its slot (a slot emptied meanwhile is skipped).
    void Apply(GraphModel& model) const;

private:
    CGraphProps* Selected();

    std::vector<std::unique_ptr<CGraphProps>> copies_;
    int selected_ = -1;
};
