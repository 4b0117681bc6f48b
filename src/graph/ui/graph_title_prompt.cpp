#include "graph/ui/graph_title_prompt.h"

#include "interaction/ui/text_codec.h"
#include "ui_graph_title_prompt.h"

CGraphTitlePrompt::CGraphTitlePrompt(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CGraphTitlePrompt>()) {
    ui_->setupUi(this);
}

CGraphTitlePrompt::~CGraphTitlePrompt() = default;

QLineEdit* CGraphTitlePrompt::GetEdit() const { return ui_->titleEdit; }

bool CGraphTitlePrompt::Ask() {
    ui_->titleEdit->setText(FromWindows1252(text));
    ui_->titleEdit->selectAll();
    if (exec() != QDialog::Accepted) return false;
    text = ToWindows1252(ui_->titleEdit->text());
    return true;
}
