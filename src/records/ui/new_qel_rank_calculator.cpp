#include "records/ui/new_qel_rank_calculator.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include "controls/hyper_link.h"
#include "records/ui/qel_rank.h"
#include "ui_new_qel_rank_calculator.h"

namespace {

constexpr const char* kColumnLabels[] = {"Overall:", "Brabham:", "BRM:", "Cooper:",
                                         "Eagle:",   "Ferrari:", "Lotus:", "Honda:"};

}  // namespace

NewQELRankCalculator::NewQELRankCalculator(const HandicapRecords& records, Interaction& ui, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::NewQELRankCalculator>()) {
    ui_->setupUi(this);
    auto* link = new CHyperLink(ui, "Visit the QELRank site");
    link->SetURL(QELRank::kSiteAddress);
    auto* place = new QHBoxLayout(ui_->link_place);
    place->setContentsMargins(0, 0, 0, 0);
    place->addWidget(link);
    connect(ui_->close, &QPushButton::clicked, this, &QDialog::accept);

    const std::vector<NewQELRankModel::Group> groups = NewQELRankModel::Calculate(records);
    auto* layout = new QGridLayout(ui_->groups);
    for (size_t g = 0; g < groups.size(); ++g) {
        auto* box = new QGroupBox(QString::fromStdString(groups[g].caption));
        auto* grid = new QGridLayout(box);
        std::array<QLabel*, 9> fields{};
        for (int i = 0; i < 9; ++i) {
            const bool monster = i == 8;
            const char* caption = monster ? (g == 7 ? "MasterRank:" : "MonsterRank:") : kColumnLabels[i];
            const int row = monster ? 4 : i % 4;
            const int col = monster || i < 4 ? 0 : 2;
            grid->addWidget(new QLabel(caption), row, col);
            fields[static_cast<size_t>(i)] = new QLabel(QString::fromStdString(
                monster ? groups[g].monster : groups[g].columns[static_cast<size_t>(i)]));
            fields[static_cast<size_t>(i)]->setFrameShape(QFrame::StyledPanel);
            fields[static_cast<size_t>(i)]->setMinimumWidth(140);
            grid->addWidget(fields[static_cast<size_t>(i)], row, col + 1);
        }
        if (g == 7)
            grid->addWidget(new QLabel("(This Rank based on QELRank v1, ChallengeRank v1,\nHistoricRank v1 and "
                                       "MunchausenRank v1)"),
                            5, 0, 1, 4);
        fields_.push_back(fields);
        layout->addWidget(box, static_cast<int>(g / 2), static_cast<int>(g % 2));
    }
}

NewQELRankCalculator::~NewQELRankCalculator() = default;

QLabel* NewQELRankCalculator::Field(int group, int field) const {
    return fields_.at(static_cast<size_t>(group)).at(static_cast<size_t>(field));
}
