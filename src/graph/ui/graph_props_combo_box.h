#pragma once
// The curve combo of the "Graphs" page: entry i stands for the page's
// property copy i, drawn in the copy's colour with its title.

#include "graph/ui/graph_combo_box.h"

class GraphicsPageModel;

class CGraphPropsComboBox : public CGraphComboBox {
public:
    explicit CGraphPropsComboBox(QWidget* parent = nullptr) : CGraphComboBox(parent) {}

    // The copies the entries stand for (not owned; null draws nothing).
    void SetCopies(const GraphicsPageModel* copies) { copies_ = copies; }
    bool GetItemLook(int entry, uint32_t& colour, std::string& title) override;

private:
    const GraphicsPageModel* copies_ = nullptr;
};
