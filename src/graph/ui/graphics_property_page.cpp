#include "graph/ui/graphics_property_page.h"

#include <QColorDialog>

#include "graph/ui/graph_props_combo_box.h"
#include "graph/ui/graph_title_prompt.h"
#include "interaction/ui/text_codec.h"
#include "ui_graphics_property_page.h"

namespace {

std::optional<uint32_t> AskColour(uint32_t colour) {
    const QColor initial(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                         static_cast<int>((colour >> 16) & 0xFF));
    const QColor chosen = QColorDialog::getColor(initial);
    if (!chosen.isValid()) return std::nullopt;
    return static_cast<uint32_t>(chosen.red()) | (static_cast<uint32_t>(chosen.green()) << 8) |
           (static_cast<uint32_t>(chosen.blue()) << 16);
}

std::optional<std::string> AskTitle(const std::string& title) {
    CGraphTitlePrompt prompt;
    prompt.text = title;
    if (!prompt.Ask()) return std::nullopt;
    return prompt.text;
}

}  // namespace

CGraphicsPropertyPage::CGraphicsPropertyPage(const GraphModel* graph, QWidget* parent)
    : CPropertyPage(parent),
      ui_(std::make_unique<Ui::CGraphicsPropertyPage>()),
      copies_(graph),
      choose_colour_(AskColour),
      choose_title_(AskTitle) {
    ui_->setupUi(this);
    ui_->graphCombo->SetCopies(&copies_);
    QObject::connect(ui_->graphCombo, &QComboBox::activated, this, [this](int entry) { SelectGraph(entry); });
    QObject::connect(ui_->hideButton, &QPushButton::clicked, this, [this] { OnHideShow(); });
    QObject::connect(ui_->titleButton, &QPushButton::clicked, this, [this] { OnTitle(); });
    QObject::connect(ui_->colorButton, &QPushButton::clicked, this, [this] { OnColor(); });
    QObject::connect(ui_->showAllButton, &QPushButton::clicked, this, [this] { OnShowAll(); });
}

CGraphicsPropertyPage::~CGraphicsPropertyPage() = default;

CGraphPropsComboBox* CGraphicsPropertyPage::GetCombo() const { return ui_->graphCombo; }
QPushButton* CGraphicsPropertyPage::GetHideButton() const { return ui_->hideButton; }
QString CGraphicsPropertyPage::GetTitleField() const { return ui_->titleEdit->text(); }

void CGraphicsPropertyPage::LoadData() {
    const QSignalBlocker block(ui_->graphCombo);
    ui_->graphCombo->clear();
    for (int i = 0; i < copies_.GetCount(); ++i) ui_->graphCombo->addItem(QString());
    if (copies_.Select(0)) ui_->graphCombo->setCurrentIndex(0);
}

bool CGraphicsPropertyPage::SaveData(Interaction&) { return true; }

void CGraphicsPropertyPage::SelectGraph(int entry) {
    if (!copies_.Select(entry)) return;
    const QSignalBlocker block(ui_->graphCombo);
    ui_->graphCombo->setCurrentIndex(entry);
    UpdateHideShowCaption();
    ui_->titleEdit->setText(FromWindows1252(copies_.GetCopy(entry).GetTitle()));
}

void CGraphicsPropertyPage::UpdateHideShowCaption() {
    ui_->hideButton->setText(QString::fromLatin1(copies_.HideShowCaption()));
}

void CGraphicsPropertyPage::OnColor() {
    const int entry = copies_.GetSelected();
    if (entry < 0) return;
    const auto colour = choose_colour_(copies_.GetCopy(entry).GetColor());
    if (!colour) return;
    copies_.SetColor(*colour);
    ui_->graphCombo->repaint();
}

void CGraphicsPropertyPage::OnTitle() {
    const int entry = copies_.GetSelected();
    if (entry < 0) return;
    const auto title = choose_title_(copies_.GetCopy(entry).GetTitle());
    if (!title) return;
    copies_.SetTitle(*title);
    ui_->graphCombo->repaint();
    ui_->titleEdit->setText(FromWindows1252(*title));
}

void CGraphicsPropertyPage::OnHideShow() {
    if (copies_.ToggleVisible()) UpdateHideShowCaption();
}

void CGraphicsPropertyPage::OnShowAll() {
    if (copies_.ShowAll()) UpdateHideShowCaption();
}
