#pragma once
// The folder chooser that the settings dialog and the replay-library
// features use: a chooser titled "Choose folder" whose accept button reads
// "Select", through the interaction seam.
//
// Use:
//     std::string folder;                       // the caller's result string
//     CFolderDialog dialog(ui, &folder);
//     if (dialog.DoModal() == CFolderDialog::IDOK) ... folder
//
// The result is the chosen folder without a trailing separator (except at
// the root); Cancel leaves the caller's string as it was.

#include <string>

class Interaction;

class CFolderDialog {
public:
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;
    static constexpr const char* kTitle = "Choose folder";

    // The seam and the result string are borrowed and must outlive the
    // dialog. start is the folder shown first (empty: the chooser's own).
    CFolderDialog(Interaction& ui, std::string* result, std::string start = {});
    virtual ~CFolderDialog();

    int DoModal();

private:
    Interaction& ui_;
    std::string* result_;
    std::string start_;
};
