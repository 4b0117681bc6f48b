#include "records/ui/qel_rank_upload_progress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "records/ui/ranking_http_client.h"
#include "records/unique_temp_file.h"
#include "settings/atomic_file.h"

namespace {

// Lap-times files are a few kilobytes; anything near this is not one.
constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

}  // namespace

QELRankUploadProgress::QELRankUploadProgress(std::string file_path, std::string credentials,
                                             RankingRequest::Server server, Interaction& ui, QWidget* parent)
    : QDialog(parent),
      file_path_(std::move(file_path)),
      credentials_(std::move(credentials)),
      server_(std::move(server)),
      interaction_(ui),
      transcript_(server_.host) {
    setWindowTitle("QELRank Upload Progress");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Communication details:"));
    edit_ = new QPlainTextEdit;
    edit_->setReadOnly(true);
    edit_->setMinimumSize(420, 220);
    layout->addWidget(edit_);
    auto* buttons = new QHBoxLayout;
    close_ = new QPushButton("Close");
    abort_ = new QPushButton("Abort");
    view_ = new QPushButton("View QELRanks reply");
    close_->setDefault(true);
    close_->setEnabled(false);
    view_->setEnabled(false);
    buttons->addWidget(close_);
    buttons->addWidget(abort_);
    buttons->addStretch();
    buttons->addWidget(view_);
    layout->addLayout(buttons);
    connect(close_, &QPushButton::clicked, this, &QELRankUploadProgress::accept);
    connect(abort_, &QPushButton::clicked, this, &QELRankUploadProgress::OnAbort);
    connect(view_, &QPushButton::clicked, this, &QELRankUploadProgress::OnViewReply);
    ShowTranscript();
}

QELRankUploadProgress::~QELRankUploadProgress() {
    if (client_) client_->on_finished = nullptr;
    if (waiting_) interaction_.EndWait();
}

bool QELRankUploadProgress::Running() const { return client_ && client_->Busy(); }

std::string QELRankUploadProgress::ReplyFile() const { return reply_file_ ? reply_file_->Path() : std::string(); }

void QELRankUploadProgress::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Started after the window is up, from the event loop, never from a
    // paint: the transfer then runs while the window stays live.
    if (!started_) QTimer::singleShot(0, this, &QELRankUploadProgress::Connect);
}

void QELRankUploadProgress::AddTranscriptLine(const std::string& line) {
    transcript_.AddLine(line);
    ShowTranscript();
}

void QELRankUploadProgress::ShowTranscript() {
    edit_->setPlainText(FromWindows1252(transcript_.Text()));
    edit_->verticalScrollBar()->setValue(edit_->verticalScrollBar()->maximum());
}

void QELRankUploadProgress::Connect() {
    if (started_) return;
    started_ = true;
    interaction_.BeginWait();
    waiting_ = true;
    transcript_.Begin();
    std::string file;
    if (atomic_file::Read(file_path_, kMaxFileBytes, file) != atomic_file::ReadResult::kRead) {
        // Nothing is sent without the file: an empty form would pass for
        // an upload of no times.
        AddTranscriptLine("\nFailed to open a local temporary file " + file_path_ + ".");
        Finished();
        return;
    }
    client_ = std::make_unique<RankingHttpClient>(server_);
    client_->on_status = [this](const RankingHttpClient::StatusReport& r) {
        transcript_.OnStatus(r.status, r.context, r.count, r.handle_ok, r.result, r.error);
        ShowTranscript();
    };
    client_->on_finished = [this] { Finished(); };
    client_->Start(RankingRequest::Request(server_, credentials_, RankingRequest::Body(file)));
}

void QELRankUploadProgress::Finished() {
    std::string code, text;
    if (client_) {
        reply_body_ = client_->Reply().Body();
        code = client_->Reply().StatusCode();
        text = client_->Reply().StatusText();
    }
    const RankingTranscript::Verdict verdict = transcript_.OnReply(code, text);
    ShowTranscript();
    close_->setEnabled(true);
    abort_->setEnabled(false);
    view_->setEnabled(!reply_body_.empty());
    if (waiting_) {
        waiting_ = false;
        interaction_.EndWait();
    }
    interaction_.ShowMessage(RankingTranscript::Message(verdict), Interaction::Icon::Information);
}

void QELRankUploadProgress::OnAbort() {
    if (client_ && client_->Busy()) client_->Abort();
}

void QELRankUploadProgress::OnViewReply() {
    if (reply_body_.empty()) return;
    auto file = std::make_unique<UniqueTempFile>("ZAVRO_QELRank_tempfile", ".html");
    if (!file->Ok()) return;
    std::string text;
    text.reserve(reply_body_.size() + reply_body_.size() / 16);
    for (char c : reply_body_) {
        if (c == '\n') text += '\r';
        text += c;
    }
    if (!atomic_file::Write(file->Path(), text)) return;
    reply_file_ = std::move(file);
    interaction_.OpenWithProgram(reply_file_->Path());
}

void QELRankUploadProgress::accept() {
    reply_file_.reset();
    QDialog::accept();
}

void QELRankUploadProgress::reject() {
    OnAbort();
    reply_file_.reset();
    QDialog::reject();
}
