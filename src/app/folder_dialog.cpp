#include "app/folder_dialog.h"

#include "interaction/interaction.h"

CFolderDialog::CFolderDialog(Interaction& ui, std::string* result, std::string start)
    : ui_(ui), result_(result), start_(std::move(start)) {}

CFolderDialog::~CFolderDialog() = default;

int CFolderDialog::DoModal() {
    auto chosen = ui_.ChooseFolder(kTitle, start_);
    if (!chosen) return IDCANCEL;
    std::string folder = std::move(*chosen);
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    if (result_) *result_ = std::move(folder);
    return IDOK;
}
