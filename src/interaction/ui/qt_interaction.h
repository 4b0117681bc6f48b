#pragma once
// The interactive program's answers: Qt message boxes, file dialogs, the
// print dialog, the wait cursor, desktop services and the clipboard.

#include "interaction/interaction.h"

class QWidget;

class QtInteraction : public Interaction {
public:
    // Dialogs are owned by parent (the main window; may be null).
    explicit QtInteraction(QWidget* parent = nullptr) : parent_(parent) {}
    // The window that owns the dialogs from now on (the main window once
    // it exists).
    void SetParent(QWidget* parent) { parent_ = parent; }

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
    bool SetUpPrinter(QPrinter* printer) override;
    bool OpenWithProgram(const std::string& path_or_url) override;
    void SetClipboardText(const std::string& text) override;
    void PlaySound(int resource) override;

private:
    QWidget* parent_;
};
