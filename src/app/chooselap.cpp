#include "app/chooselap.h"

#include <QPushButton>
#include <QTreeWidgetItemIterator>

#include "app/car_picture.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "ui_chooselap.h"

namespace {

// Where a tree entry keeps what it stands for.
constexpr int kDriverRole = Qt::UserRole;
constexpr int kSessionRole = Qt::UserRole + 1;
constexpr int kLapRole = Qt::UserRole + 2;
constexpr int kBoldRole = Qt::UserRole + 3;

ChooselapEntry EntryOf(const QTreeWidgetItem* item) {
    ChooselapEntry e;
    e.driver = item->data(0, kDriverRole).toInt();
    e.session = item->data(0, kSessionRole).toInt();
    e.lap = item->data(0, kLapRole).toInt();
    e.bold = item->data(0, kBoldRole).toBool();
    return e;
}

QTreeWidgetItem* MakeItem(const ChooselapEntry& e) {
    auto* item = new QTreeWidgetItem(QStringList(FromWindows1252(e.text)));
    item->setData(0, kDriverRole, e.driver);
    item->setData(0, kSessionRole, e.session);
    item->setData(0, kLapRole, e.lap);
    item->setData(0, kBoldRole, e.bold);
    if (e.bold) {
        QFont f = item->font(0);
        f.setBold(true);
        item->setFont(0, f);
    }
    for (const auto& child : e.children) item->addChild(MakeItem(child));
    return item;
}

}  // namespace

Chooselap::Chooselap(ChooselapModel& model, Interaction& ui, QWidget* parent)
    : QDialog(parent), model_(model), seam_(ui), ui_(std::make_unique<Ui::Chooselap>()) {
    ui_->setupUi(this);
    setWindowTitle(FromWindows1252(model_.Title()));
    QLabel* const texts[ChooselapModel::kReplayTextCount] = {
        ui_->savedBy, ui_->carset, ui_->length, ui_->track, ui_->aiCars, ui_->noOfCars, ui_->practice,
        ui_->race, ui_->qelVersion, ui_->gameMode, ui_->damage, ui_->raceLaps, ui_->sessions};
    for (int i = 0; i < ChooselapModel::kReplayTextCount; ++i)
        texts[i]->setText(FromWindows1252(model_.replay_texts[i]));
    ui_->carPicture->setFixedSize(240, 200);
    // Detail texts grow their column rather than being cut.
    for (QLabel* l : {ui_->laptime, ui_->incidents, ui_->session, ui_->selectableLap, ui_->driverName, ui_->country,
                      ui_->carClass, ui_->type})
        l->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    model_.ClearSelection();
    BuildTree();

    connect(ui_->tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { OnTreeSelChanged(current); });
    connect(ui_->tree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { OnTreeDoubleClick(item); });
    connect(ui_->onlySelectable, &QCheckBox::toggled, this, [this](bool only) { OnOnlySelectable(only); });
    connect(ui_->qualityAnalyse, &QPushButton::clicked, this, [this] { OnQualityAnalyse(); });
    connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &Chooselap::accept);
    connect(ui_->buttonBox, &QDialogButtonBox::rejected, this, &Chooselap::reject);
}

Chooselap::~Chooselap() = default;

void Chooselap::BuildTree() {
    const QSignalBlocker block(ui_->tree);
    ui_->tree->clear();
    for (const auto& driver : model_.BuildTree(false)) ui_->tree->addTopLevelItem(MakeItem(driver));
}

QTreeWidgetItem* Chooselap::FindLap(int driver, int session, int lap) const {
    for (QTreeWidgetItemIterator it(ui_->tree); *it; ++it) {
        const ChooselapEntry e = EntryOf(*it);
        if (e.driver == driver && e.session == session && e.lap == lap) return *it;
    }
    return nullptr;
}

void Chooselap::OnTreeSelChanged(QTreeWidgetItem* current) {
    ChooselapEntry entry;
    if (current) entry = EntryOf(current);
    const auto update = model_.Select(current ? &entry : nullptr);
    ui_->laptime->setText(FromWindows1252(update.lap.laptime));
    ui_->incidents->setText(FromWindows1252(update.lap.incidents));
    ui_->session->setText(FromWindows1252(update.lap.session));
    ui_->selectableLap->setText(FromWindows1252(update.lap.selectable));
    ui_->qualityAnalyse->setEnabled(update.lap.quality_enabled);
    if (update.driver) ShowDriver(&*update.driver);
}

void Chooselap::ShowDriver(const ChooselapModel::DriverDetails* d) {
    QPalette pal = ui_->helmet->palette();
    if (!d) {
        for (QLabel* l : {ui_->driverName, ui_->country, ui_->carClass, ui_->type}) l->clear();
        pal.setColor(QPalette::Window, palette().color(QPalette::Window));
        ui_->helmet->setPalette(pal);
        ui_->carPicture->clear();
        return;
    }
    ui_->driverName->setText(FromWindows1252(d->name));
    ui_->country->setText(FromWindows1252(d->country));
    ui_->carClass->setText(FromWindows1252(d->car_class));
    ui_->type->setText(FromWindows1252(d->type));
    pal.setColor(QPalette::Window, QColor::fromRgb(d->helmet_rgb));
    ui_->helmet->setPalette(pal);
    ui_->carPicture->setPixmap(car_picture::Draw(d->picture));
    if (d->sound) seam_.PlaySound(d->sound);
}

void Chooselap::ClearDetails() {
    for (QLabel* l : {ui_->laptime, ui_->incidents, ui_->session, ui_->selectableLap}) l->clear();
    ShowDriver(nullptr);
    ui_->qualityAnalyse->setEnabled(false);
}

bool Chooselap::TryOk(QTreeWidgetItem* item) {
    ChooselapEntry entry;
    if (item) entry = EntryOf(item);
    const auto verdict = model_.Ok(item ? &entry : nullptr);
    if (!verdict.choice) {
        seam_.ShowMessage(verdict.message, Interaction::Icon::Error, verdict.title);
        return false;
    }
    choice_ = verdict.choice;
    QDialog::accept();
    return true;
}

void Chooselap::accept() {
    QTreeWidgetItem* item = ui_->tree->currentItem();
    // An entry with children is a driver or a session heading.
    if (item && item->childCount() > 0) item = nullptr;
    TryOk(item);
}

void Chooselap::OnTreeDoubleClick(QTreeWidgetItem* item) {
    if (item && item->childCount() == 0) TryOk(item);
}

void Chooselap::OnOnlySelectable(bool only) {
    if (only) {
        std::vector<QTreeWidgetItem*> drop;
        for (QTreeWidgetItemIterator it(ui_->tree); *it; ++it) {
            const ChooselapEntry e = EntryOf(*it);
            if (e.IsLap() && !e.bold) drop.push_back(*it);
        }
        for (QTreeWidgetItem* item : drop) delete item;
        return;
    }
    model_.ClearSelection();
    BuildTree();
    ClearDetails();
}

void Chooselap::OnQualityAnalyse() {
    QTreeWidgetItem* item = ui_->tree->currentItem();
    if (!item) return;
    const ChooselapEntry e = EntryOf(item);
    if (!e.IsLap() || !e.bold) return;
    Interaction& ui = seam_;
    ui.ShowProgress("Please wait while loading replay lap...");
    ui.BeginWait();
    const std::string text = model_.QualityReport(LapChoice{e.driver, e.session, e.lap});
    ui.ShowProgress("");
    ui.EndWait();
    ui.ShowMessage(text, Interaction::Icon::Information, "Quality report");
}

std::optional<LapChoice> RunChooselap(ChooselapModel& model, Interaction& ui, QWidget* parent) {
    Chooselap dialog(model, ui, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}
