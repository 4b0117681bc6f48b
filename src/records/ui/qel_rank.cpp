#include "records/ui/qel_rank.h"

#include <QHBoxLayout>

#include "document/rpy_graph_doc.h"
#include "controls/hyper_link.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "ui_qel_rank.h"

QELRank::QELRank(CRpyGraphDoc& doc, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::QELRank>()), doc_(doc), model_(doc.GetQELDirectory()) {
    ui_->setupUi(this);
    auto* link = new CHyperLink(doc.GetInteraction(), kSiteAddress);
    link->SetURL(kSiteAddress);
    auto* place = new QHBoxLayout(ui_->link_place);
    place->setContentsMargins(0, 0, 0, 0);
    place->addWidget(link);
    for (const std::string& entry : model_.FillDriverList()) ui_->drivers->addItem(FromWindows1252(entry));
    ui_->drivers->setCurrentIndex(doc.default_player_index < ui_->drivers->count() ? doc.default_player_index : -1);
    connect(ui_->calculate, &QPushButton::clicked, this, &QELRank::Calculate);
    connect(ui_->close, &QPushButton::clicked, this, &QDialog::reject);
}

QELRank::~QELRank() = default;

QComboBox* QELRank::DriverList() const { return ui_->drivers; }

QLabel* QELRank::Field(int index) const {
    QLabel* fields[] = {ui_->overall, ui_->brabham, ui_->brm,   ui_->cooper, ui_->eagle,
                        ui_->ferrari, ui_->lotus,   ui_->honda, ui_->monster};
    return fields[index];
}

void QELRank::Calculate() {
    Interaction& ui = doc_.GetInteraction();
    const int driver = ui_->drivers->currentIndex();
    if (driver < 0) {
        ui.ShowMessage("No driver selected!", Interaction::Icon::Warning, {});
        return;
    }
    ui.BeginWait();
    doc_.default_player_index = driver;
    const QELRankModel::Result result = model_.Calculate(driver);
    for (int i = 0; i < 8; ++i) Field(i)->setText(QString::fromStdString(result.columns[static_cast<size_t>(i)]));
    Field(8)->setText(QString::fromStdString(result.monster));
    ui.EndWait();
}
