#include "graph/ui/time_diff_for_graph.h"

#include "interaction/ui/text_codec.h"
#include "ui_time_diff_for_graph.h"

TimeDiffForGraph::TimeDiffForGraph(QWidget* owner) : QDialog(owner), ui_(std::make_unique<Ui::TimeDiffForGraph>()) {
    ui_->setupUi(this);
}

TimeDiffForGraph::~TimeDiffForGraph() = default;

void TimeDiffForGraph::PlaceAtOwner() {
    const QWidget* owner = parentWidget();
    if (owner == nullptr) return;
    const QRect o = owner->frameGeometry();
    const QRect f = frameGeometry();
    move(o.right() + 1 - f.width(), o.bottom() + 1 - f.height());
}

void TimeDiffForGraph::SetTexts(const TelemetryGraphModel::TimeDiffTexts& texts) {
    ui_->group->setTitle(FromWindows1252(texts.caption));
    ui_->finish->setText(QString::fromStdString(texts.finish));
    ui_->maxAhead->setText(QString::fromStdString(texts.max_ahead));
    ui_->maxBehind->setText(QString::fromStdString(texts.max_behind));
    ui_->spread->setText(QString::fromStdString(texts.spread));
    ui_->current->setText(QString::fromStdString(texts.current));
}

QString TimeDiffForGraph::Caption() const { return ui_->group->title(); }
QString TimeDiffForGraph::Finish() const { return ui_->finish->text(); }
QString TimeDiffForGraph::MaxAhead() const { return ui_->maxAhead->text(); }
QString TimeDiffForGraph::MaxBehind() const { return ui_->maxBehind->text(); }
QString TimeDiffForGraph::Spread() const { return ui_->spread->text(); }
QString TimeDiffForGraph::Current() const { return ui_->current->text(); }
