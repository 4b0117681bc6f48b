#include "graph/ui/3d_list_ctrl.h"

#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>

C3DListCtrl::C3DListCtrl(QWidget* parent) : QTableView(parent) {
    setFrameShadow(QFrame::Sunken);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    // Rows of one height: a list of many thousand points costs one count.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionsClickable(false);
    // Right clicks reach mouseReleaseEvent instead of the frame's own menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

C3DListCtrl::~C3DListCtrl() = default;

QMenu* C3DListCtrl::BuildPopupMenu() {
    auto* menu = new QMenu(this);
    AppendAncestorItems(this, menu);
    return menu;
}

void C3DListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        PopupCentred(BuildPopupMenu(), event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}
