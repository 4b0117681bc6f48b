#include "graph/ui/axis_property_page.h"

#include <optional>

#include "graph/data_exchange.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "ui_axis_property_page.h"

namespace dx = data_exchange;

namespace {

// The decimals in `edit`, or nullopt after telling the user why not.
std::optional<int> ReadDecimals(QLineEdit* edit, Interaction& interaction) {
    const auto value = dx::ParseInt(edit->text().toStdString());
    std::string refusal;
    if (!value)
        refusal = dx::kEnterInteger;
    else if (*value < CAxisPropertyPage::kMinDecimals || *value > CAxisPropertyPage::kMaxDecimals)
        refusal = dx::IntegerRangeMessage(CAxisPropertyPage::kMinDecimals, CAxisPropertyPage::kMaxDecimals);
    if (refusal.empty()) return value;
    interaction.ShowMessage(refusal, Interaction::Icon::Warning);
    edit->setFocus();
    edit->selectAll();
    return std::nullopt;
}

}  // namespace

CAxisPropertyPage::CAxisPropertyPage(QWidget* parent)
    : CPropertyPage(parent), ui_(std::make_unique<Ui::CAxisPropertyPage>()) {
    ui_->setupUi(this);
}

CAxisPropertyPage::~CAxisPropertyPage() = default;

void CAxisPropertyPage::LoadData() {
    ui_->xPrecisionEdit->setText(QString::fromStdString(dx::FormatInt(x_decimals)));
    ui_->xTitleEdit->setText(FromWindows1252(x_title));
    ui_->xUnitEdit->setText(FromWindows1252(x_unit));
    ui_->yPrecisionEdit->setText(QString::fromStdString(dx::FormatInt(y_decimals)));
    ui_->yTitleEdit->setText(FromWindows1252(y_title));
    ui_->yUnitEdit->setText(FromWindows1252(y_unit));
}

bool CAxisPropertyPage::SaveData(Interaction& interaction) {
    const auto x = ReadDecimals(ui_->xPrecisionEdit, interaction);
    if (!x) return false;
    const auto y = ReadDecimals(ui_->yPrecisionEdit, interaction);
    if (!y) return false;
    x_decimals = *x;
    x_title = ToWindows1252(ui_->xTitleEdit->text());
    x_unit = ToWindows1252(ui_->xUnitEdit->text());
    y_decimals = *y;
    y_title = ToWindows1252(ui_->yTitleEdit->text());
    y_unit = ToWindows1252(ui_->yUnitEdit->text());
    return true;
}
