#include "tools/ui/traction_circle_help.h"

#include <QFile>
#include <QPushButton>

#include "controls/auto_rich_edit_ctrl.h"

TractionCircleHelp::TractionCircleHelp(QWidget* parent) : CResizingDialog(parent) {
    setWindowTitle("Traction Circle Explained");
    setModal(false);
    resize(650, 470);
    text_ = new CAutoRichEditCtrl(this);
    text_->setReadOnly(true);
    text_->setGeometry(8, 8, 634, 418);
    close_ = new QPushButton("Close", this);
    close_->setGeometry(285, 436, 80, 26);
    connect(close_, &QPushButton::clicked, this, &QWidget::hide);
    InitResizing();
    AddControl(text_, kStretch, kStretch, true);
    AddControl(close_, kProportional, kMove, true);
    QFile file(kTextResource);
    if (file.open(QIODevice::ReadOnly)) text_->SetRTF(file.readAll().toStdString());
}
