#pragma once
// Sends one prepared HTTP request to the ranking server over QtNetwork and
// reads the reply, without blocking the window: the socket's progress is
// reported as the status numbers of RankingTranscript (name lookup,
// connecting, sent, waiting, received, a redirect, request complete or its
// error, a connection that could not be made, closing and closed), and
// `finished` runs once when the reply is whole, the connection failed or
// ended, Abort was pressed, or nothing moved for the timeout. A redirect is
// reported, never followed: the reply is the 3xx answer itself.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "records/http_reply_parser.h"
#include "records/ranking_request.h"

class QTcpSocket;

class RankingHttpClient : public QObject {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 60000;

    explicit RankingHttpClient(RankingRequest::Server server, QObject* parent = nullptr);
    ~RankingHttpClient() override;

    // One status report, as RankingTranscript::OnStatus takes it.
    struct StatusReport {
        int status = 0;
        int context = 0;       // RankingTranscript::kConnectContext or kRequestContext
        uint64_t count = 0;    // bytes, for sent and received
        bool handle_ok = true; // false: the connection could not be made
        bool result = true;    // of a completed request
        long error = 0;        // of a completed request
    };
    std::function<void(const StatusReport&)> on_status;
    std::function<void()> on_finished;

    // Connects and sends the bytes. Only once per object.
    void Start(std::string request);
    // Stops the transfer at once; finished follows.
    void Abort();
    bool Busy() const { return busy_; }
    const HttpReplyParser& Reply() const { return reply_; }
    bool Aborted() const { return aborted_; }

private:
    void Status(int status, uint64_t count = 0, bool result = true, long error = 0);
    void HandleFailed();
    void OnConnected();
    void OnBytesWritten(qint64 bytes);
    void OnReadyRead();
    void OnDisconnected();
    void OnError();
    void Finish();

    RankingRequest::Server server_;
    std::unique_ptr<QTcpSocket> socket_;
    QTimer timeout_;
    std::string request_;
    uint64_t written_ = 0;
    HttpReplyParser reply_;
    bool busy_ = false;
    bool sent_ = false;
    bool head_reported_ = false;
    bool connected_ = false;
    bool aborted_ = false;
    bool finished_ = false;
};
