#include "graph/ui/property_sheet.h"

#include "graph/ui/property_page.h"
#include "ui_property_sheet.h"

CPropertySheet::CPropertySheet(Interaction& interaction, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CPropertySheet>()), interaction_(interaction) {
    ui_->setupUi(this);
    QObject::connect(ui_->pages, &QTabWidget::currentChanged, this, [this](int index) { OnTabChanged(index); });
}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* page, const QString& title) {
    page->LoadData();
    ui_->pages->addTab(page, title);
    if (active_ == -1) active_ = ui_->pages->currentIndex();
}

int CPropertySheet::GetPageCount() const { return ui_->pages->count(); }

CPropertyPage* CPropertySheet::GetPage(int index) const {
    return static_cast<CPropertyPage*>(ui_->pages->widget(index));
}

int CPropertySheet::GetActiveIndex() const { return ui_->pages->currentIndex(); }

bool CPropertySheet::SetActivePage(int index) {
    ui_->pages->setCurrentIndex(index);
    return ui_->pages->currentIndex() == index;
}

void CPropertySheet::OnTabChanged(int index) {
    if (switching_) return;
    // The page being left must read back first; if it does not, it stays.
    if (active_ >= 0 && active_ < GetPageCount() && active_ != index && !GetPage(active_)->SaveData(interaction_)) {
        switching_ = true;
        ui_->pages->setCurrentIndex(active_);
        switching_ = false;
        return;
    }
    active_ = index;
}

void CPropertySheet::accept() {
    const int shown = GetActiveIndex();
    if (shown >= 0 && !GetPage(shown)->SaveData(interaction_)) return;
    for (int i = 0; i < GetPageCount(); ++i) {
        if (i != shown && !GetPage(i)->SaveData(interaction_)) {
            SetActivePage(i);
            return;
        }
    }
    QDialog::accept();
}
