#include "graph/ui/graph_props_combo_box.h"

#include "graph/graphics_page_model.h"

bool CGraphPropsComboBox::GetItemLook(int entry, uint32_t& colour, std::string& title) {
    if (copies_ == nullptr || entry < 0 || entry >= copies_->GetCount()) return false;
    colour = copies_->GetCopy(entry).GetColor();
    title = copies_->GetCopy(entry).GetTitle();
    return true;
}
