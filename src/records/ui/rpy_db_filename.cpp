#include "records/ui/rpy_db_filename.h"

#include <QFile>
#include <QPushButton>

#include "ui_rpy_db_filename.h"

RpyDBFilename::RpyDBFilename(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::RpyDBFilename>()) {
    ui_->setupUi(this);
    connect(ui_->buttons, &QDialogButtonBox::accepted, this, &RpyDBFilename::OnOK);
}

RpyDBFilename::~RpyDBFilename() = default;

void RpyDBFilename::OnInitDialog() {
    // The name becomes a file name, so it is shown and read back in the
    // system's file-name encoding.
    ui_->name->setText(QFile::decodeName(QByteArray::fromStdString(name)));
    ui_->name->selectAll();
    ui_->name->setFocus();
}

int RpyDBFilename::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void RpyDBFilename::OnOK() {
    name = QFile::encodeName(ui_->name->text()).toStdString();
    accept();
}
