#include "app/options.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <climits>
#include <filesystem>

#include "app/folder_dialog.h"
#include "document/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "settings/path_lookup.h"
#include "settings/settings.h"
#include "ui_options.h"

namespace {

// Folders are file-system bytes, not Windows-1252 text.
QString FromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string ToPath(const QString& text) { return QFile::encodeName(text).toStdString(); }

// Where a chooser starts for a stored folder: that folder on this machine,
// when it exists.
std::string StartFolder(const std::string& stored) {
    const auto local = path_lookup::ToLocalPath(stored);
    std::error_code ec;
    return local && std::filesystem::is_directory(*local, ec) ? local->string() : std::string();
}

}  // namespace

Options::Options(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent)
    : QDialog(parent), doc_(doc), seam_(ui), ui_(std::make_unique<Ui::Options>()) {
    ui_->setupUi(this);
    // A folder's text is never cut by the edit.
    for (QLineEdit* edit : {ui_->qelPath, ui_->altPath, ui_->exportPath}) {
        edit->setMaxLength(INT_MAX);
        edit->setMinimumWidth(300);
    }
    connect(ui_->buttons, &QDialogButtonBox::accepted, this, &Options::accept);
    connect(ui_->buttons, &QDialogButtonBox::rejected, this, &Options::reject);
    connect(ui_->qelBrowse, &QPushButton::clicked, this, &Options::OnBrowseSimulator);
    connect(ui_->altBrowse, &QPushButton::clicked, this, [this] { OnBrowseFolder(ui_->altPath); });
    connect(ui_->exportBrowse, &QPushButton::clicked, this, [this] { OnBrowseFolder(ui_->exportPath); });
    // The document relies on holding the stored settings once the dialog
    // exists, whatever the user then does.
    doc_.ApplySettings();
    OnInitDialog();
}

Options::~Options() = default;

void Options::OnInitDialog() {
    const Settings& s = doc_.GetSettings();
    ui_->mph->setChecked(s.GetUseMPH() != 0);
    ui_->kph->setChecked(s.GetUseMPH() == 0);
    ui_->qualityReport->setChecked(s.GetDontShowQualReport() == 0);
    ui_->qelPath->setText(FromPath(s.GetQELDirectory()));
    ui_->altPath->setText(FromPath(s.GetAltRpyPath()));
    ui_->exportPath->setText(FromPath(s.GetRecordsPath()));
    ui_->retireReason->setChecked(s.GetRetireInRaceReport() != 0);
    ui_->offTrack->setChecked(s.GetOffTheTrackInRaceReport() != 0);
    ui_->bmpSize->setText(QString::number(s.GetBMPSizeInPixel()));
    ui_->warbleyeMsg->setChecked(s.GetWarbleyeMsg() != 0);
    ui_->kph->setFocus();
}

int Options::ParseBitmapSize(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Read with saturation, so a long run of digits cannot overflow.
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), kMaxBitmapSize + 1LL);
    if (negative) value = -value;
    if (value == 0) return kDefaultBitmapSize;
    return static_cast<int>(std::clamp<long long>(value, kMinBitmapSize, kMaxBitmapSize));
}

std::string Options::ProgramFolder(const std::string& file) {
    const size_t cut = file.find_last_of("\\/");
    if (cut == std::string::npos) return {};
    return cut == 0 ? file.substr(0, 1) : file.substr(0, cut);
}

bool Options::ChooseSimulatorProgram(std::string* folder) {
    const auto chosen = seam_.ChooseOpenFile("Locate QEL.EXE", StartFolder(*folder),
                                             {{"QEL.exe File", "qel.exe"}, {"All Files(*.*)", "*.*"}});
    if (!chosen) return false;
    *folder = ProgramFolder(*chosen);
    return true;
}

void Options::OnBrowseSimulator() {
    std::string folder = ToPath(ui_->qelPath->text());
    if (ChooseSimulatorProgram(&folder)) ui_->qelPath->setText(FromPath(folder));
}

void Options::OnBrowseFolder(QLineEdit* edit) {
    std::string folder;
    CFolderDialog dialog(seam_, &folder, StartFolder(ToPath(edit->text())));
    if (dialog.DoModal() == CFolderDialog::IDOK) edit->setText(FromPath(folder));
}

void Options::accept() {
    // Until the folder holds the simulator's program, OK asks for it; a
    // cancelled chooser returns to the dialog with nothing written, so the
    // user can correct the text or cancel the dialog.
    std::string folder = ToPath(ui_->qelPath->text());
    if (folder.empty()) {
        if (!ChooseSimulatorProgram(&folder)) return;
        ui_->qelPath->setText(FromPath(folder));
    }
    while (!path_lookup::IsSimulatorFolder(folder)) {
        seam_.ShowMessage(
            "Unable to find the file qel.exe in the specified directory.\nPlease choose a valid Varnholm directory.",
            Interaction::Icon::Warning);
        if (!ChooseSimulatorProgram(&folder)) return;
        ui_->qelPath->setText(FromPath(folder));
    }

    Settings& s = doc_.GetSettings();
    s.SetQELDirectory(folder);
    s.SetAltRpyPath(ToPath(ui_->altPath->text()));
    s.SetRecordsPath(ToPath(ui_->exportPath->text()));
    s.SetUseMPH(ui_->mph->isChecked() ? 1 : 0);
    s.SetDontShowQualReport(ui_->qualityReport->isChecked() ? 0 : 1);
    s.SetRetireInRaceReport(ui_->retireReason->isChecked() ? 1 : 0);
    s.SetWarbleyeMsg(ui_->warbleyeMsg->isChecked() ? 1 : 0);
    s.SetOffTheTrackInRaceReport(ui_->offTrack->isChecked() ? 1 : 0);
    s.SetBMPSizeInPixel(ParseBitmapSize(ui_->bmpSize->text().toStdString()));
    // The values hold for this run even when they cannot be stored; the
    // user is told, and the document tries again when it closes.
    if (!s.Save()) seam_.ShowMessage(s.SaveFailureMessage(), Interaction::Icon::Error);
    doc_.ApplySettings();
    QDialog::accept();
}
