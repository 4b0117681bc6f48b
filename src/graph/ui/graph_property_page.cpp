#include "graph/ui/graph_property_page.h"

#include "graph/data_exchange.h"
#include "interaction/interaction.h"
#include "ui_graph_property_page.h"

namespace dx = data_exchange;

CGraphPropertyPage::CGraphPropertyPage(QWidget* parent)
    : CPropertyPage(parent), ui_(std::make_unique<Ui::CGraphPropertyPage>()) {
    ui_->setupUi(this);
}

CGraphPropertyPage::~CGraphPropertyPage() = default;

void CGraphPropertyPage::LoadData() {
    ui_->x1Edit->setText(QString::fromStdString(dx::FormatDouble(x1)));
    ui_->x2Edit->setText(QString::fromStdString(dx::FormatDouble(x2)));
    ui_->y1Edit->setText(QString::fromStdString(dx::FormatDouble(y1)));
    ui_->y2Edit->setText(QString::fromStdString(dx::FormatDouble(y2)));
    ui_->pointMarksCheck->setChecked(point_marks);
    ui_->mouseCoordinatesCheck->setChecked(mouse_coordinates);
    ui_->axisCheck->setChecked(axis_grid);
}

bool CGraphPropertyPage::SaveData(Interaction& interaction) {
    QLineEdit* const edits[] = {ui_->x1Edit, ui_->x2Edit, ui_->y1Edit, ui_->y2Edit};
    double values[4] = {};
    for (int i = 0; i < 4; ++i) {
        const auto value = dx::ParseDouble(edits[i]->text().toStdString());
        if (!value) {
            interaction.ShowMessage(dx::kEnterNumber, Interaction::Icon::Warning);
            edits[i]->setFocus();
            edits[i]->selectAll();
            return false;
        }
        values[i] = *value;
    }
    x1 = values[0];
    x2 = values[1];
    y1 = values[2];
    y2 = values[3];
    point_marks = ui_->pointMarksCheck->isChecked();
    mouse_coordinates = ui_->mouseCoordinatesCheck->isChecked();
    axis_grid = ui_->axisCheck->isChecked();
    return true;
}
