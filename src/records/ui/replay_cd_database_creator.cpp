#include "records/ui/replay_cd_database_creator.h"

#include <QApplication>
#include <QFile>

#include "records/ui/rpy_db_filename.h"
#include "ui_replay_cd_database_creator.h"

namespace {

// Drive roots and labels come from this system (mount points, udev
// labels), so they are file-name text, not the simulator's Windows-1252.
QString FromLocal(const std::string& text) { return QFile::decodeName(QByteArray::fromStdString(text)); }

}  // namespace

ReplayCDDatabaseCreator::ReplayCDDatabaseCreator(const std::string& simulator_folder, const MediaDrives& media,
                                                 Interaction& ui, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ReplayCDDatabaseCreator>()), model_(media, ui, simulator_folder) {
    ui_->setupUi(this);
    QString info = QString::fromLatin1(CatalogueCreator::kInformationText);
    info.replace("\r\n", "\n");
    ui_->information->setPlainText(info);
    connect(ui_->rescan, &QPushButton::clicked, this, &ReplayCDDatabaseCreator::OnRescanDrives);
    connect(ui_->create, &QPushButton::clicked, this, &ReplayCDDatabaseCreator::CreateDatabase);
    connect(ui_->close, &QPushButton::clicked, this, &QDialog::reject);
    OnRescanDrives();
}

ReplayCDDatabaseCreator::~ReplayCDDatabaseCreator() = default;

QComboBox* ReplayCDDatabaseCreator::DriveList() const { return ui_->drives; }
QPushButton* ReplayCDDatabaseCreator::CreateButton() const { return ui_->create; }
QProgressBar* ReplayCDDatabaseCreator::ProgressBar() const { return ui_->progress; }

void ReplayCDDatabaseCreator::OnRescanDrives() {
    const bool usable = model_.ScanDrives();
    ui_->drives->clear();
    for (const CatalogueCreator::DriveEntry& e : model_.Drives())
        ui_->drives->addItem(FromLocal(e.text), QByteArray::fromStdString(e.root));
    ui_->create->setEnabled(usable);
    ui_->drives->setCurrentIndex(0);
    update();
}

std::optional<std::string> ReplayCDDatabaseCreator::AskName(const std::string& proposal) {
    if (ask_name_) return ask_name_(proposal);
    RpyDBFilename box(this);
    box.name = proposal;
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return box.name;
}

void ReplayCDDatabaseCreator::CreateDatabase() {
    const std::string root = ui_->drives->currentData().toByteArray().toStdString();
    model_.CreateDatabase(
        root, [this](const std::string& proposal) { return AskName(proposal); },
        [this](int position, int maximum) {
            ui_->progress->setRange(0, maximum);
            ui_->progress->setValue(position);
            // The catalogue is written on this thread; let the bar repaint.
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
}
