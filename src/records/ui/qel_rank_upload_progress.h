#pragma once
// "QELRank Upload Progress": sends the lap-times file to the ranking server
// (RankingHttpClient) once the window has been shown, writes every step into
// "Communication details:" (RankingTranscript) and tells the verdict in a
// message box. "Abort" stops the transfer; "Close" becomes usable when the
// upload has ended, and "View QELRanks reply" when the server sent a page,
// which is then written to a temporary file of its own and opened in the
// browser; Close removes that file.

#include <QDialog>
#include <memory>
#include <string>

#include "records/ranking_request.h"
#include "records/ranking_transcript.h"

class Interaction;
class QPlainTextEdit;
class QPushButton;
class RankingHttpClient;
class UniqueTempFile;

class QELRankUploadProgress : public QDialog {
    Q_OBJECT
public:
    // file_path: the lap-times file; credentials: the Base64 login text.
    // ui is borrowed for the dialog's life.
    QELRankUploadProgress(std::string file_path, std::string credentials, RankingRequest::Server server,
                          Interaction& ui, QWidget* parent = nullptr);
    ~QELRankUploadProgress() override;

    // Runs the upload; the first showing calls it. Only once.
    void Connect();
    void OnAbort();
    void OnViewReply();
    // Close: removes the reply's file.
    void accept() override;
    // The window's close box: stops a running upload first.
    void reject() override;

    bool Running() const;
    const RankingTranscript& Transcript() const { return transcript_; }
    // The reply's page, whole up to the reader's bound.
    const std::string& ReplyBody() const { return reply_body_; }
    std::string ReplyFile() const;
    QPushButton* CloseButton() const { return close_; }
    QPushButton* AbortButton() const { return abort_; }
    QPushButton* ViewButton() const { return view_; }
    QPlainTextEdit* TranscriptEdit() const { return edit_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AddTranscriptLine(const std::string& line);
    void ShowTranscript();
    void Finished();

    std::string file_path_;
    std::string credentials_;
    RankingRequest::Server server_;
    Interaction& interaction_;
    RankingTranscript transcript_;
    std::unique_ptr<RankingHttpClient> client_;
    std::unique_ptr<UniqueTempFile> reply_file_;
    std::string reply_body_;
    bool started_ = false;
    bool waiting_ = false;
    QPlainTextEdit* edit_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* abort_ = nullptr;
    QPushButton* view_ = nullptr;
};
