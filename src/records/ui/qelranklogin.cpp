#include "records/ui/qelranklogin.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "controls/hyper_link.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "records/ranking_login.h"
#include "records/ui/qel_rank.h"
#include "settings/settings.h"

qelranklogin::qelranklogin(Interaction& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setWindowTitle("QELRank Login");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    user_edit_ = new QLineEdit;
    password_edit_ = new QLineEdit;
    password_edit_->setEchoMode(QLineEdit::Password);
    form->addRow("User ID:", user_edit_);
    form->addRow("Password:", password_edit_);
    layout->addLayout(form);
    remember_ = new QCheckBox("Save login info in registry (Note! Will be saved uncrypted)");
    layout->addWidget(remember_);
    auto* link = new CHyperLink(ui, "What is QELRank?");
    link->SetURL(QELRank::kSiteAddress);
    layout->addWidget(link);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &qelranklogin::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &qelranklogin::reject);

    std::string user, password;
    if (RankingLogin::Load(user, password)) {
        user_edit_->setText(FromWindows1252(user));
        password_edit_->setText(FromWindows1252(password));
        remember_->setChecked(true);
    }
}

qelranklogin::~qelranklogin() = default;

void qelranklogin::accept() {
    user_ = ToWindows1252(user_edit_->text());
    password_ = ToWindows1252(password_edit_->text());
    const bool remember = remember_->isChecked();
    long error = 0;
    if (!RankingLogin::Store(user_, password_, remember, error))
        ui_.ShowMessage(Settings::WriteFailureMessage(
                            remember ? "The login could not be saved." : "The saved login could not be removed.", error),
                        Interaction::Icon::Error);
    QDialog::accept();
}
