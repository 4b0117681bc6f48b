#include "controls/please_wait.h"

#include <QCloseEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "controls/gradient_progress_ctrl.h"

PleaseWait::PleaseWait(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      text_(new QLabel("Please wait while loading replay lap...", this)),
      bar_(new CGradientProgressCtrl(this)) {
    setModal(false);
    setWindowTitle("Ostrevan");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 16, 18, 16);
    layout->setSpacing(10);
    text_->setMinimumWidth(260);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    bar_->SetRange32(0, 100);
    bar_->ShowPercent(true);
    bar_->SetStartColor(QColor(0, 0, 255));
    bar_->SetEndColor(QColor(255, 255, 0));
    bar_->SetTextColor(QColor(255, 255, 255));
    bar_->SetBkColor(QColor(0x7F, 0x7F, 0x7F));
    bar_->setFixedHeight(18);
    QSizePolicy keep = bar_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    bar_->setSizePolicy(keep);
    bar_->hide();
    setFixedSize(sizeHint());
}

void PleaseWait::SetText(const QString& text) { text_->setText(text); }
QString PleaseWait::Text() const { return text_->text(); }
void PleaseWait::SetRange(int lower, int upper) { bar_->SetRange32(lower, upper); }
void PleaseWait::SetPos(int position) { bar_->SetPos(position); }
void PleaseWait::ShowProgress() { bar_->show(); }
void PleaseWait::HideProgress() { bar_->hide(); }

void PleaseWait::closeEvent(QCloseEvent* event) { event->ignore(); }
