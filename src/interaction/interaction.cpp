#include "interaction/interaction.h"

#include <iostream>

#include "interaction/batch_interaction.h"

Interaction::~Interaction() = default;

void Interaction::SetProgress(int, int) {}

// Printers that write straight to their output have nothing left to do.
bool Interaction::EndPrinting(QPrinter*, bool printed) { return printed; }

BatchInteraction::BatchInteraction(std::ostream* err) : err_(err ? err : &std::cerr) {}

void BatchInteraction::ShowMessage(const std::string& text, Icon, const std::string&) {
    // Message texts use "\r\n" for the message box; a terminal wants "\n".
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    *err_ << out << '\n';
}

bool BatchInteraction::AskYesNo(const std::string& text) {
    ShowMessage(text, Icon::Question, {});
    return false;
}

Interaction::Answer BatchInteraction::AskYesNoCancel(const std::string& text) {
    ShowMessage(text, Icon::Question, {});
    return Answer::Cancel;
}
