#pragma once
// The interactive program's answers: Qt message boxes, file dialogs, the
// print dialog, the wait cursor, the "Please wait" box, desktop services,
// the clipboard and the program's sounds (Qt Multimedia).

#include <QPointer>
#include <QString>
#include <map>
#include <memory>

#include "interaction/interaction.h"

class AtomicFile;
class PleaseWait;
class QSoundEffect;
class QWidget;

class QtInteraction : public Interaction {
public:
    // Dialogs are owned by parent (the main window; may be null).
    explicit QtInteraction(QWidget* parent = nullptr);
    // Deletes the "Please wait" box with its owner.
    ~QtInteraction() override;
    QtInteraction(const QtInteraction&) = delete;
    QtInteraction& operator=(const QtInteraction&) = delete;
    // The window that owns the dialogs from now on (the main window once
    // it exists).
    void SetParent(QWidget* parent) { parent_ = parent; }
    // The file dialog's filter text: each label with its patterns in
    // parentheses ("Text files (*.txt)"), unless the label ends with them.
    static QString FilterText(const std::vector<FileFilter>& filters);

    void ShowMessage(const std::string& text, Icon icon, const std::string& title) override;
    bool AskYesNo(const std::string& text) override;
    Answer AskYesNoCancel(const std::string& text) override;
    std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& proposed,
                                              const std::vector<FileFilter>& filters) override;
    std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& folder,
                                              const std::vector<FileFilter>& filters) override;
    std::optional<std::string> ChooseFolder(const std::string& title, const std::string& start) override;
    void BeginWait() override;
    void EndWait() override;
    void ShowProgress(const std::string& status) override;
    void SetProgress(int position, int range) override;
    bool SetUpPrinter(QPrinter* printer) override;
    bool EndPrinting(QPrinter* printer, bool printed) override;
    bool OpenWithProgram(const std::string& path_or_url) override;
    void SetClipboardText(const std::string& text) override;
    void PlaySound(int resource) override;

    // The "Please wait" box, null until ShowProgress first shows one.
    PleaseWait* progress_box() const;

private:
    QWidget* parent_;
    // Owned here; parented to the main window so it stays over it. The
    // guard clears when the main window takes it down first.
    QPointer<PleaseWait> wait_;
    // Prints to PDF files under way: the path each printer's user chose and
    // the file it writes into in its place, until EndPrinting.
    struct PdfFile {
        QString chosen;
        std::unique_ptr<AtomicFile> file;
    };
    std::map<QPrinter*, PdfFile> pdf_files_;
    // The program's sounds, made on first use.
    std::map<int, std::unique_ptr<QSoundEffect>> sounds_;
};
