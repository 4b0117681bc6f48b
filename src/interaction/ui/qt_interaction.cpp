#include "interaction/ui/qt_interaction.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

#include "controls/please_wait.h"
#include "interaction/ui/text_codec.h"

namespace {

QString Filters(const std::vector<Interaction::FileFilter>& filters) {
    QStringList out;
    for (const auto& f : filters)
        out << FromWindows1252(f.label) + " (" + FromWindows1252(f.pattern).replace(';', ' ') + ")";
    return out.join(";;");
}

QString Caption() { return QApplication::applicationName().isEmpty() ? "Ostrevan" : QApplication::applicationName(); }

}  // namespace

QtInteraction::QtInteraction(QWidget* parent) : parent_(parent) {}

QtInteraction::~QtInteraction() { delete wait_.data(); }

PleaseWait* QtInteraction::progress_box() const { return wait_.data(); }

void QtInteraction::ShowMessage(const std::string& text, Icon icon) {
    const QString t = FromWindows1252(text).replace("\r\n", "\n");
    switch (icon) {
    case Icon::Information: QMessageBox::information(parent_, Caption(), t); break;
    case Icon::Error: QMessageBox::critical(parent_, Caption(), t); break;
    default: QMessageBox::warning(parent_, Caption(), t); break;
    }
}

bool QtInteraction::AskYesNo(const std::string& text) {
    return QMessageBox::question(parent_, Caption(), FromWindows1252(text).replace("\r\n", "\n"),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::string> QtInteraction::ChooseSaveFile(const std::string& title, const std::string& proposed,
                                                         const std::vector<FileFilter>& filters) {
    const QString path =
        QFileDialog::getSaveFileName(parent_, FromWindows1252(title), FromWindows1252(proposed), Filters(filters));
    if (path.isEmpty()) return std::nullopt;
    return ToWindows1252(path);
}

std::optional<std::string> QtInteraction::ChooseOpenFile(const std::string& title, const std::string& folder,
                                                         const std::vector<FileFilter>& filters) {
    const QString path =
        QFileDialog::getOpenFileName(parent_, FromWindows1252(title), FromWindows1252(folder), Filters(filters));
    if (path.isEmpty()) return std::nullopt;
    return ToWindows1252(path);
}

std::optional<std::string> QtInteraction::ChooseFolder(const std::string& title, const std::string& start) {
    const QString path = QFileDialog::getExistingDirectory(parent_, FromWindows1252(title), FromWindows1252(start));
    if (path.isEmpty()) return std::nullopt;
    return ToWindows1252(path);
}

void QtInteraction::BeginWait() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtInteraction::EndWait() { QApplication::restoreOverrideCursor(); }

void QtInteraction::ShowProgress(const std::string& status) {
    if (status.empty()) {
        if (wait_) wait_->hide();
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

bool QtInteraction::SetUpPrinter(QPrinter* printer) {
    QPrintDialog dialog(printer, parent_);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    return dialog.exec() == QDialog::Accepted;
}

bool QtInteraction::OpenWithProgram(const std::string& path_or_url) {
    const QString s = FromWindows1252(path_or_url);
    const QUrl url = s.contains("://") ? QUrl(s) : QUrl::fromLocalFile(s);
    return QDesktopServices::openUrl(url);
}

void QtInteraction::SetClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(FromWindows1252(text));
}

void QtInteraction::PlaySound(int) { QApplication::beep(); }
