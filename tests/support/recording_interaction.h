#pragma once
// An Interaction for tests: records every message and question, answers
// questions and choosers from scripted queues, and sets printers up to
// write PDF files.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "interaction/interaction.h"

namespace fixture {

class RecordingInteraction : public Interaction {
public:
    void ShowMessage(const std::string& text, Icon, const std::string& title) override {
        messages.push_back(text);
        titles.push_back(title);
    }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    Answer AskYesNoCancel(const std::string& text) override {
        questions.push_back(text);
        if (three_way_answers.empty()) return Answer::Cancel;
        const Answer a = three_way_answers.front();
        three_way_answers.pop_front();
        return a;
    }
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::string& proposed,
                                              const std::vector<FileFilter>&) override {
        proposed_names.push_back(proposed);
        return NextPath();
    }
    std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&,
                                              const std::vector<FileFilter>&) override {
        return NextPath();
    }
    std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override { return NextPath(); }
    void BeginWait() override { ++waits; }
    void EndWait() override { --waits; }
    void ShowProgress(const std::string& status) override { progress.push_back(status); }
    void SetProgress(int position, int range) override { progress_steps.emplace_back(position, range); }
    // Sends the print job to pdf_path; no path means the user cancels.
    bool SetUpPrinter(QPrinter* printer) override;
    bool OpenWithProgram(const std::string& target) override {
        opened.push_back(target);
        return true;
    }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    void PlaySound(int resource) override { sounds.push_back(resource); }

    std::vector<std::string> messages, titles, questions, proposed_names, progress, opened;
    std::deque<bool> answers;
    std::deque<Answer> three_way_answers;
    // Answers of the choosers in order; nullopt cancels.
    std::deque<std::optional<std::string>> paths;
    std::string pdf_path;
    std::string clipboard;
    std::vector<int> sounds;
    std::vector<std::pair<int, int>> progress_steps;
    int waits = 0;

private:
    std::optional<std::string> NextPath() {
        if (paths.empty()) return std::nullopt;
        auto p = paths.front();
        paths.pop_front();
        return p;
    }
};

}  // namespace fixture
