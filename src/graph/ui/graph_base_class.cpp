#include "graph/ui/graph_base_class.h"

#include <QWidget>

#include "graph/ui/graph_wnd.h"

CGraphBaseClass::~CGraphBaseClass() = default;

void CGraphBaseClass::AppendMenuItems(QMenu*) {}

void CGraphBaseClass::OnGraphCommand(int) {}

CGraphWnd* CGraphBaseClass::GetGraphWnd() {
    for (QWidget* w = GraphWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* graph = dynamic_cast<CGraphWnd*>(w)) return graph;
    }
    return nullptr;
}

void CGraphBaseClass::NotifyAncestors(QWidget* start, const std::function<bool(CGraphBaseClass&)>& hook) {
    for (QWidget* w = start; w != nullptr; w = w->parentWidget()) {
        if (auto* base = dynamic_cast<CGraphBaseClass*>(w)) {
            if (hook(*base)) return;
        }
    }
}

void CGraphBaseClass::AppendAncestorItems(QWidget* start, QMenu* menu) {
    NotifyAncestors(start, [menu](CGraphBaseClass& b) {
        b.AppendMenuItems(menu);
        return false;
    });
}

void CGraphBaseClass::SendCommandUp(QWidget* start, int id) {
    NotifyAncestors(start, [id](CGraphBaseClass& b) {
        b.OnGraphCommand(id);
        return false;
    });
}
