#pragma once
// The command-line modes' answers: messages go to standard error, questions
// are answered No (or Cancel where the question offers it, so nothing is
// given up without a person), choosers are cancelled, nothing is shown.

#include <iosfwd>

#include "interaction/interaction.h"

class BatchInteraction : public Interaction {
public:
    // Messages go to err (standard error when not given).
    explicit BatchInteraction(std::ostream* err = nullptr);

    void ShowMessage(const std::string& text, Icon icon, const std::string& title) override;
    bool AskYesNo(const std::string& text) override;
    Answer AskYesNoCancel(const std::string& text) override;
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&,
                                              const std::vector<FileFilter>&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&,
                                              const std::vector<FileFilter>&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override { return std::nullopt; }
    void BeginWait() override {}
    void EndWait() override {}
    void ShowProgress(const std::string&) override {}
    bool SetUpPrinter(QPrinter*) override { return false; }
    bool OpenWithProgram(const std::string&) override { return false; }
    void SetClipboardText(const std::string&) override {}
    void PlaySound(int) override {}

private:
    std::ostream* err_;
};
