#include "graph/ui/graph_print.h"

#include <QCheckBox>

#include "interaction/interaction.h"
#include "ui_graph_print.h"

GraphPrint::GraphPrint(Interaction& ui, const std::string& caption, int primary_position, QWidget* parent)
    : QDialog(parent), form_(std::make_unique<Ui::GraphPrint>()), ui_(ui) {
    form_->setupUi(this);
    form_->caption->setText(QString::fromStdString(caption));
    for (int p = 1; p <= 21; ++p) {
        QCheckBox* box = findChild<QCheckBox*>(QString("position%1").arg(p));
        boxes_[static_cast<size_t>(p - 1)] = box;
        if (p == primary_position && box != nullptr) box->setEnabled(false);
    }
    connect(form_->buttons, &QDialogButtonBox::accepted, this, &GraphPrint::accept);
    connect(form_->buttons, &QDialogButtonBox::rejected, this, &GraphPrint::reject);
}

GraphPrint::~GraphPrint() = default;

QCheckBox* GraphPrint::Box(int position) const {
    return position >= 1 && position <= 21 ? boxes_[static_cast<size_t>(position - 1)] : nullptr;
}

void GraphPrint::accept() {
    std::vector<int> ticked;
    for (int p = 1; p <= 21; ++p) {
        const QCheckBox* box = Box(p);
        if (box != nullptr && box->isEnabled() && box->isChecked()) ticked.push_back(p);
    }
    if (ticked.size() > kMaxSecondaries) {
        ui_.ShowMessage("Max three secondary graphs can be selected");
        return;
    }
    secondaries_ = std::move(ticked);
    QDialog::accept();
}
