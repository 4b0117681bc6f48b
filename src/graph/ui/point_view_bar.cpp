#include "graph/ui/point_view_bar.h"

#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "graph/graph_commands.h"
#include "graph/ui/3d_list_ctrl.h"
#include "graph/ui/graph_combo_box.h"
#include "graph/ui/graph_wnd.h"
#include "graph/ui/point_list_model.h"

CPointViewBar::CPointViewBar(QWidget* parent) : CSizingControlBar(parent), state_(*this) {
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    // Combo and list 5 pixels inside the bar and 5 apart.
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(5);
    combo_ = new CGraphComboBox(client);
    combo_->setObjectName(QStringLiteral("11005"));
    list_ = new C3DListCtrl(client);
    list_->setObjectName(QStringLiteral("11006"));
    model_ = new PointListModel(state_, [this] { return Graph(); }, this);
    list_->setModel(model_);
    layout->addWidget(combo_);
    layout->addWidget(list_, 1);
    setWidget(client);
    setContextMenuPolicy(Qt::PreventContextMenu);
    QObject::connect(combo_, &QComboBox::currentIndexChanged, this,
                     [this](int entry) { state_.SelectEntry(entry, Graph()); });
}

CPointViewBar::~CPointViewBar() {
    // The list and the combo read the state: they go before it.
    delete widget();
    delete model_;
}

const GraphModel* CPointViewBar::Graph() { return GetGraphWnd(); }

void CPointViewBar::OnGraphNotify(GraphNotifyCode code, const GraphNotice& notice) {
    const GraphModel* model = notice.sender != nullptr ? notice.sender : Graph();
    state_.OnGraphNotify(code, notice, model, isVisible());
}

void CPointViewBar::AppendMenuItems(QMenu* menu) {
    QAction* action = menu->addAction(QString::fromLatin1(graph_command::Text(graph_command::kProperties)));
    action->setData(graph_command::kProperties);
    QObject::connect(action, &QAction::triggered, this, [this] { SendCommandUp(this, graph_command::kProperties); });
}

void CPointViewBar::OnGraphCommand(int id) {
    if (id == graph_command::kProperties) RunPropertySheet(this);
}

QMenu* CPointViewBar::BuildPopupMenu() {
    auto* menu = new QMenu(this);
    AppendAncestorItems(this, menu);
    return menu;
}

int CPointViewBar::OpeningWidth() const {
    const QFontMetrics metrics(list_->font());
    const int column = metrics.horizontalAdvance(QStringLiteral("-1234.56 Meter")) + 2 * metrics.averageCharWidth();
    const int scroll_bar = list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_);
    // Two columns, the list's frame, the scroll bar and the 5-pixel
    // margins on both sides.
    return 2 * column + 2 * list_->frameWidth() + scroll_bar + 10;
}

void CPointViewBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        PopupCentred(BuildPopupMenu(), event->globalPosition().toPoint());
        event->accept();
        return;
    }
    CSizingControlBar::mouseReleaseEvent(event);
}

void CPointViewBar::BeginQuiet() {
    if (quiet_depth_++ == 0) setUpdatesEnabled(false);
}

void CPointViewBar::EndQuiet() {
    if (--quiet_depth_ == 0) setUpdatesEnabled(true);
}

void CPointViewBar::InsertRow(int row) { model_->InsertRow(row); }

void CPointViewBar::DeleteRow(int row) { model_->DeleteRow(row); }

void CPointViewBar::SetRowCount(int count) { model_->SetRowCount(count); }

void CPointViewBar::RepaintRows(int first, int last) { model_->RepaintRows(first, last); }

void CPointViewBar::RepaintCombo(bool now) {
    // The combo's entries follow the state's; the user's choice comes back
    // through currentIndexChanged, these changes must not.
    const QSignalBlocker block(combo_);
    const std::vector<int>& entries = state_.GetEntries();
    bool same = combo_->count() == static_cast<int>(entries.size());
    for (int i = 0; same && i < combo_->count(); ++i) same = combo_->itemData(i).toInt() == entries[static_cast<size_t>(i)];
    if (!same) {
        combo_->clear();
        for (int graph : entries) combo_->addItem(QString(), graph);
    }
    combo_->setCurrentIndex(state_.GetSelectedEntry());
    if (now)
        combo_->repaint();
    else
        combo_->update();
}
