#include "app/ui/groove.h"

#include <QRegularExpressionValidator>

#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "ui_groove.h"

groove::groove(Interaction& ui, QWidget* parent) : QDialog(parent), form_(std::make_unique<Ui::groove>()), ui_(ui) {
    form_->setupUi(this);
    // The factor fields take digits only.
    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);
    form_->acceleration->setValidator(digits);
    form_->roll->setValidator(digits);
    form_->resolution->setCurrentIndex(4);
    form_->acceleration->setText("100");
    form_->roll->setText("100");
    form_->width->setText("3.0");
    form_->newWay->setChecked(true);
    connect(form_->newWay, &QRadioButton::clicked, this, &groove::OnNewWay);
    connect(form_->oldWay, &QRadioButton::clicked, this, &groove::OnOldWay);
    connect(form_->buttons, &QDialogButtonBox::accepted, this, &groove::accept);
    connect(form_->buttons, &QDialogButtonBox::rejected, this, &groove::reject);
    OnNewWay();
}

groove::~groove() = default;

void groove::OnNewWay() {
    for (QWidget* w : {static_cast<QWidget*>(form_->accelerationLabel), static_cast<QWidget*>(form_->rollLabel),
                       static_cast<QWidget*>(form_->acceleration), static_cast<QWidget*>(form_->roll)})
        w->setEnabled(false);
    model_.parameters.darkness_method = 1;
}

void groove::OnOldWay() {
    for (QWidget* w : {static_cast<QWidget*>(form_->accelerationLabel), static_cast<QWidget*>(form_->rollLabel),
                       static_cast<QWidget*>(form_->acceleration), static_cast<QWidget*>(form_->roll)})
        w->setEnabled(true);
    model_.parameters.darkness_method = 0;
}

void groove::accept() {
    const auto refusal = model_.Accept(form_->acceleration->text().toStdString(), form_->roll->text().toStdString(),
                                       ToWindows1252(form_->width->text()));
    if (refusal) {
        ui_.ShowMessage(refusal->message);
        QLineEdit* fields[] = {form_->acceleration, form_->roll, form_->width};
        fields[refusal->field]->setFocus();
        fields[refusal->field]->selectAll();
        return;
    }
    model_.parameters.resolution_index = form_->resolution->currentIndex();
    QDialog::accept();
}
