#include "interaction/ui/qt_interaction.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSoundEffect>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "controls/please_wait.h"
#include "settings/atomic_file.h"
#include "interaction/ui/text_codec.h"

QString QtInteraction::FilterText(const std::vector<FileFilter>& filters) {
    QStringList out;
    for (const auto& f : filters) {
        const QString label = FromWindows1252(f.label);
        const QString patterns = FromWindows1252(f.pattern).replace(';', ' ');
        // The file dialog reads its patterns from the parentheses at the
        // label's end; a label that already shows them keeps its text.
        if (QString(label).remove(' ').endsWith("(" + QString(patterns).remove(' ') + ")", Qt::CaseInsensitive))
            out << label;
        else
            out << label + " (" + patterns + ")";
    }
    return out.join(";;");
}

namespace {

QString Caption() { return QApplication::applicationName().isEmpty() ? "Ostrevan" : QApplication::applicationName(); }

QString Caption(const std::string& title) { return title.empty() ? Caption() : FromWindows1252(title); }

// Paths are the file system's bytes, not Windows-1252 text: a name that is
// not Latin-1 must still lead back to its file.
QString FromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::optional<std::string> ToPath(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

// Qt's PDF writer does not report a failed write (a full disk): a file cut
// short lacks the end-of-file marker that is written last.
bool EndsLikeAPdf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    if (size <= 0) return false;
    const std::streamoff tail = std::min<std::streamoff>(size, 64);
    std::string end(static_cast<size_t>(tail), '\0');
    in.seekg(size - tail);
    in.read(end.data(), tail);
    return in && end.find("%%EOF") != std::string::npos;
}

}  // namespace

QtInteraction::QtInteraction(QWidget* parent) : parent_(parent) {}

QtInteraction::~QtInteraction() { delete wait_.data(); }

PleaseWait* QtInteraction::progress_box() const { return wait_.data(); }

void QtInteraction::ShowMessage(const std::string& text, Icon icon, const std::string& title) {
    const QString t = FromWindows1252(text).replace("\r\n", "\n");
    switch (icon) {
    case Icon::Information: QMessageBox::information(parent_, Caption(title), t); break;
    case Icon::Error: QMessageBox::critical(parent_, Caption(title), t); break;
    default: QMessageBox::warning(parent_, Caption(title), t); break;
    }
}

bool QtInteraction::AskYesNo(const std::string& text) {
    return QMessageBox::question(parent_, Caption(), FromWindows1252(text).replace("\r\n", "\n"),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

Interaction::Answer QtInteraction::AskYesNoCancel(const std::string& text) {
    switch (QMessageBox::question(parent_, Caption(), FromWindows1252(text).replace("\r\n", "\n"),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

std::optional<std::string> QtInteraction::ChooseSaveFile(const std::string& title, const std::string& proposed,
                                                         const std::vector<FileFilter>& filters) {
    return ToPath(QFileDialog::getSaveFileName(parent_, FromWindows1252(title), FromPath(proposed), FilterText(filters)));
}

std::optional<std::string> QtInteraction::ChooseOpenFile(const std::string& title, const std::string& folder,
                                                         const std::vector<FileFilter>& filters) {
    return ToPath(QFileDialog::getOpenFileName(parent_, FromWindows1252(title), FromPath(folder), FilterText(filters)));
}

std::optional<std::string> QtInteraction::ChooseFolder(const std::string& title, const std::string& start) {
    QFileDialog dialog(parent_, FromWindows1252(title), FromPath(start));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, "Select");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return ToPath(dialog.selectedFiles().constFirst());
}

void QtInteraction::BeginWait() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtInteraction::EndWait() { QApplication::restoreOverrideCursor(); }

void QtInteraction::ShowProgress(const std::string& status) {
    if (status.empty()) {
        if (wait_) {
            // The next box starts with its text alone.
            wait_->HideProgress();
            wait_->hide();
        }
        return;
    }
    if (!wait_) {
        wait_ = new PleaseWait(parent_);
        wait_->setWindowTitle(Caption());
    }
    wait_->SetText(FromWindows1252(status));
    wait_->show();
    wait_->raise();
    // Painted now: the work that follows keeps the event loop from running.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtInteraction::SetProgress(int position, int range) {
    if (!wait_ || !wait_->isVisible()) return;
    wait_->SetRange(0, range);
    wait_->SetPos(position);
    wait_->ShowProgress();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool QtInteraction::SetUpPrinter(QPrinter* printer) {
    pdf_files_.erase(printer);
    QPrintDialog dialog(printer, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    // Most machines have no printer at all: a PDF file is what they print to.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (printer->outputFormat() != QPrinter::PdfFormat || printer->outputFileName().isEmpty()) return true;

    // The printer writes into a temporary file beside the chosen one, which
    // EndPrinting renames into place: a print that fails half way never
    // leaves a broken PDF where an earlier one stood.
    const QString chosen = printer->outputFileName();
    auto file = std::make_unique<AtomicFile>();
    if (!file->Begin(std::filesystem::path(QFile::encodeName(chosen).toStdString()))) {
        QMessageBox::critical(parent_, Caption(), "The PDF file could not be written to\n" + chosen);
        return false;
    }
    printer->setOutputFileName(FromPath(file->temp_path().string()));
    pdf_files_[printer] = PdfFile{chosen, std::move(file)};
    return true;
}

bool QtInteraction::EndPrinting(QPrinter* printer, bool printed) {
    const auto it = pdf_files_.find(printer);
    if (it == pdf_files_.end()) return printed;
    const std::unique_ptr<AtomicFile> file = std::move(it->second.file);
    // The next print dialog proposes the file the user chose, not ours.
    printer->setOutputFileName(it->second.chosen);
    pdf_files_.erase(it);
    if (!printed || !EndsLikeAPdf(file->temp_path())) {
        file->Discard();
        return false;
    }
    return file->Commit();
}

bool QtInteraction::OpenWithProgram(const std::string& path_or_url) {
    const bool is_url = path_or_url.find("://") != std::string::npos;
    const QUrl url = is_url ? QUrl(FromWindows1252(path_or_url)) : QUrl::fromLocalFile(FromPath(path_or_url));
    return QDesktopServices::openUrl(url);
}

void QtInteraction::SetClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(FromWindows1252(text));
}

void QtInteraction::PlaySound(int resource) {
    // A sound that is still playing is not cut off: the new one is dropped.
    for (const auto& [id, effect] : sounds_)
        if (effect->isPlaying()) return;
    std::unique_ptr<QSoundEffect>& effect = sounds_[resource];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl(QString("qrc:/sounds/%1.wav").arg(resource)));
    }
    effect->play();
}
