#include "app/choose_lap_for_report.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"

ChooseLapForReport::ChooseLapForReport(Interaction& ui, QWidget* parent)
    : ChooseLapForReport("Feature only based on one file - choose which to use", ui, parent) {}

ChooseLapForReport::ChooseLapForReport(const QString& title, Interaction& ui, QWidget* parent)
    : QDialog(parent), seam_(ui) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox("Loaded Files", this);
    auto* radios = new QVBoxLayout(box);
    group_ = new QButtonGroup(this);
    for (int i = 0; i < kMaxCaptions; ++i) {
        radios_[i] = new QRadioButton(box);
        radios->addWidget(radios_[i]);
        group_->addButton(radios_[i], i);
    }
    layout->addWidget(box);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChooseLapForReport::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChooseLapForReport::reject);
    connect(group_, &QButtonGroup::idClicked, this, [this](int id) { chosen_ = id; });
    setMinimumWidth(420);
    SetCaptions({});
}

void ChooseLapForReport::SetCaptions(const std::vector<std::string>& captions) {
    for (int i = 0; i < kMaxCaptions; ++i) {
        const bool has = i < static_cast<int>(captions.size()) && !captions[i].empty();
        radios_[i]->setText(has ? FromWindows1252(captions[i]) : QString());
        const bool shown = has || i < 2;
        radios_[i]->setVisible(shown);
        radios_[i]->setEnabled(shown);
    }
    group_->setExclusive(false);
    for (QRadioButton* r : radios_) r->setChecked(false);
    group_->setExclusive(true);
    chosen_ = -1;
}

void ChooseLapForReport::accept() {
    if (chosen_ < 0) {
        seam_.ShowMessage("Choose file to base the report on!", Interaction::Icon::Warning);
        return;
    }
    QDialog::accept();
}

void ChooseLapForReport::reject() {
    // Cancel gives no lap, whatever radio was ticked before.
    chosen_ = -1;
    QDialog::reject();
}

int ChooseLapForReport::Run() { return exec() == QDialog::Accepted ? chosen_ : -1; }
