#include "graph/ui/graph_base_class.h"

#include <QMenu>
#include <QWidget>
#include <memory>

#include "graph/ui/graph_wnd.h"
#include "graph/ui/property_sheet.h"
#include "interaction/ui/qt_interaction.h"

CGraphBaseClass::~CGraphBaseClass() = default;

void CGraphBaseClass::AppendMenuItems(QMenu*) {}

void CGraphBaseClass::OnGraphCommand(int) {}

void CGraphBaseClass::AddPropertyPages(CPropertySheet*) {}

void CGraphBaseClass::ApplyPropertyPages(int) {}

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

void CGraphBaseClass::PopupCentred(QMenu* menu, const QPoint& at) {
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(QPoint(at.x() - menu->sizeHint().width() / 2, at.y()));
}

void CGraphBaseClass::SendCommandUp(QWidget* start, int id) {
    NotifyAncestors(start, [id](CGraphBaseClass& b) {
        b.OnGraphCommand(id);
        return false;
    });
}

int CGraphBaseClass::RunPropertySheet(QWidget* start) {
    CGraphWnd* graph = nullptr;
    NotifyAncestors(start, [&graph](CGraphBaseClass& b) {
        graph = b.GetGraphWnd();
        return true;
    });
    Interaction* interaction = graph != nullptr ? graph->GetInteraction() : nullptr;
    // Without the program's seam the sheet still tells the user why a
    // value is refused, in a plain message box.
    std::unique_ptr<QtInteraction> own;
    if (interaction == nullptr) {
        own = std::make_unique<QtInteraction>(start);
        interaction = own.get();
    }
    CPropertySheet sheet(*interaction, start);
    NotifyAncestors(start, [&sheet](CGraphBaseClass& b) {
        b.AddPropertyPages(&sheet);
        return false;
    });
    const int result = sheet.exec() == QDialog::Accepted ? 1 : 0;
    NotifyAncestors(start, [result](CGraphBaseClass& b) {
        b.ApplyPropertyPages(result);
        return false;
    });
    if (result == 1 && graph != nullptr) graph->Redraw(-1);
    return result;
}
