#include "app/ui/merge_parameters.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "document/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "ui_merge_parameters.h"

MergeParameters::MergeParameters(const CRpyGraphDoc& doc, Interaction& ui, QWidget* parent)
    : QDialog(parent), form_(std::make_unique<Ui::MergeParameters>()), model_(doc), ui_(ui) {
    form_->setupUi(this);
    labels_ = {form_->lapLabel1, form_->lapLabel2, form_->lapLabel3, form_->lapLabel4, form_->lapLabel5};
    edits_ = {form_->startEdit1, form_->startEdit2, form_->startEdit3, form_->startEdit4, form_->startEdit5};
    max_texts_ = {form_->maxText1, form_->maxText2, form_->maxText3, form_->maxText4, form_->maxText5};
    for (int i = 0; i < MergeParametersModel::kRows; ++i) {
        const bool used = i < model_.LapCount();
        // Rows 1 and 2 always stand; the rows of laps not loaded are hidden.
        const bool shown = used || i < 2;
        labels_[i]->setVisible(shown);
        edits_[i]->setVisible(shown);
        max_texts_[i]->setVisible(shown);
        if (used) {
            labels_[i]->setText(FromWindows1252(model_.Label(i)));
            max_texts_[i]->setText(QString::fromStdString(model_.MaxAdvantageText(i)));
        }
        edits_[i]->installEventFilter(this);
    }
    connect(form_->startOfLap, &QRadioButton::clicked, this, [this] { OnStartOfLap(); });
    connect(form_->endOfLap, &QRadioButton::clicked, this, [this] { OnEndOfLap(); });
    connect(form_->sameDifference, &QRadioButton::clicked, this, [this] { OnSameDifference(); });
    connect(form_->manual, &QRadioButton::clicked, this, [this] { OnManual(); });
    connect(form_->buttons, &QDialogButtonBox::accepted, this, &MergeParameters::accept);
    connect(form_->buttons, &QDialogButtonBox::rejected, this, &MergeParameters::reject);
    form_->startOfLap->setChecked(true);
    OnStartOfLap();
}

MergeParameters::~MergeParameters() = default;

QLineEdit* MergeParameters::StartEdit(int row) const { return edits_.at(static_cast<size_t>(row)); }

void MergeParameters::SetOption(MergeParametersModel::Option option) {
    model_.SetOption(option);
    ShowModel();
}

void MergeParameters::ShowModel() {
    for (int i = 0; i < model_.LapCount(); ++i) {
        edits_[i]->setText(QString::fromStdString(model_.EditText(i)));
        edits_[i]->setEnabled(model_.EditsEnabled());
    }
    for (int i = model_.LapCount(); i < MergeParametersModel::kRows; ++i) edits_[i]->setEnabled(false);
}

bool MergeParameters::OnEditKillFocus(int row) {
    if (row >= model_.LapCount() || !model_.EditsEnabled()) return true;
    const bool fits = model_.CommitEdit(row, edits_[row]->text().toStdString());
    edits_[row]->setText(QString::fromStdString(model_.EditText(row)));
    if (fits || refusing_) return fits;
    // The message waits until the focus change has finished, so the box
    // does not open in the middle of it.
    refusing_ = true;
    QTimer::singleShot(0, this, [this, row] {
        ui_.ShowMessage(MergeParametersModel::kTooLarge);
        edits_[row]->setFocus();
        refusing_ = false;
    });
    return false;
}

bool MergeParameters::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut)
        for (int i = 0; i < MergeParametersModel::kRows; ++i)
            if (watched == edits_[i]) OnEditKillFocus(i);
    return QDialog::eventFilter(watched, event);
}

void MergeParameters::accept() {
    if (model_.EditsEnabled())
        for (int i = 0; i < model_.LapCount(); ++i)
            model_.CommitEdit(i, edits_[i]->text().toStdString());
    const int bad = model_.FirstTooLarge();
    if (bad >= 0) {
        ui_.ShowMessage(MergeParametersModel::kTooLarge);
        edits_[bad]->setFocus();
        return;
    }
    QDialog::accept();
}

std::optional<std::array<uint32_t, 5>> MergeParameters::Ask(CRpyGraphDoc& doc, QWidget* parent) {
    MergeParameters dialog(doc, doc.GetInteraction(), parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Model().StartAdvantages();
}
