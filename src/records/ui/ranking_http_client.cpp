#include "records/ui/ranking_http_client.h"

#include <QSslSocket>
#include <QTcpSocket>

#include "records/ranking_transcript.h"

RankingHttpClient::RankingHttpClient(RankingRequest::Server server, QObject* parent)
    : QObject(parent), server_(std::move(server)) {
    timeout_.setSingleShot(true);
    timeout_.setInterval(kTimeoutMs);
    connect(&timeout_, &QTimer::timeout, this, [this] {
        Status(RankingTranscript::kRequestComplete, 0, false, RankingTranscript::kErrorTimeout);
        Finish();
    });
}

RankingHttpClient::~RankingHttpClient() {
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
    }
}

void RankingHttpClient::Status(int status, uint64_t count, bool result, long error) {
    if (on_status) on_status({status, RankingTranscript::kRequestContext, count, true, result, error});
}

void RankingHttpClient::HandleFailed() {
    if (on_status) on_status({RankingTranscript::kHandleCreated, RankingTranscript::kConnectContext, 0, false, false, 0});
}

void RankingHttpClient::Start(std::string request) {
    if (busy_ || finished_) return;
    busy_ = true;
    request_ = std::move(request);
    const bool secure = server_.scheme == "https";
    if (secure && !QSslSocket::supportsSsl()) {
        // No TLS library to make the connection with.
        HandleFailed();
        Finish();
        return;
    }
    if (secure) socket_ = std::make_unique<QSslSocket>();
    else socket_ = std::make_unique<QTcpSocket>();
    connect(socket_.get(), &QAbstractSocket::stateChanged, this, [this](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::ConnectingState) {
            Status(RankingTranscript::kNameResolved);
            Status(RankingTranscript::kConnecting);
        } else if (state == QAbstractSocket::ConnectedState) {
            connected_ = true;
        }
    });
    connect(socket_.get(), &QIODevice::bytesWritten, this, &RankingHttpClient::OnBytesWritten);
    connect(socket_.get(), &QIODevice::readyRead, this, &RankingHttpClient::OnReadyRead);
    connect(socket_.get(), &QAbstractSocket::disconnected, this, &RankingHttpClient::OnDisconnected);
    connect(socket_.get(), &QAbstractSocket::errorOccurred, this, &RankingHttpClient::OnError);
    timeout_.start();
    Status(RankingTranscript::kResolvingName);
    const QString host = QString::fromStdString(server_.host);
    if (secure) {
        auto* ssl = static_cast<QSslSocket*>(socket_.get());
        connect(ssl, &QSslSocket::encrypted, this, &RankingHttpClient::OnConnected);
        ssl->connectToHostEncrypted(host, server_.EffectivePort());
    } else {
        connect(socket_.get(), &QAbstractSocket::connected, this, &RankingHttpClient::OnConnected);
        socket_->connectToHost(host, server_.EffectivePort());
    }
}

void RankingHttpClient::OnConnected() {
    timeout_.start();
    Status(RankingTranscript::kConnected);
    Status(RankingTranscript::kSending);
    socket_->write(request_.data(), static_cast<qint64>(request_.size()));
}

void RankingHttpClient::OnBytesWritten(qint64 bytes) {
    timeout_.start();
    written_ += static_cast<uint64_t>(bytes);
    if (!sent_ && written_ >= request_.size()) {
        sent_ = true;
        Status(RankingTranscript::kSent, written_);
        Status(RankingTranscript::kReceiving);
    }
}

void RankingHttpClient::OnReadyRead() {
    timeout_.start();
    const QByteArray bytes = socket_->readAll();
    reply_.Feed(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (reply_.HeadDone() && !head_reported_) {
        head_reported_ = true;
        Status(RankingTranscript::kReceived, reply_.HeadBytes());
        if (reply_.StatusCode().size() == 3 && reply_.StatusCode()[0] == '3') Status(RankingTranscript::kRedirect);
        Status(RankingTranscript::kRequestComplete, 0, true, 0);
    }
    if (reply_.Complete() || reply_.Failed()) Finish();
}

void RankingHttpClient::OnDisconnected() {
    if (finished_) return;
    if (socket_->bytesAvailable() > 0) OnReadyRead();
    if (finished_) return;
    reply_.End();
    if (!reply_.HeadDone())
        Status(RankingTranscript::kRequestComplete, 0, false, RankingTranscript::kErrorConnectionReset);
    Finish();
}

void RankingHttpClient::OnError() {
    if (finished_) return;
    switch (socket_->error()) {
    case QAbstractSocket::RemoteHostClosedError: OnDisconnected(); return;
    case QAbstractSocket::HostNotFoundError:
        Status(RankingTranscript::kRequestComplete, 0, false, RankingTranscript::kErrorNameNotResolved);
        break;
    case QAbstractSocket::ConnectionRefusedError:
        Status(RankingTranscript::kRequestComplete, 0, false, RankingTranscript::kErrorCannotConnect);
        break;
    case QAbstractSocket::SocketTimeoutError:
        Status(RankingTranscript::kRequestComplete, 0, false, RankingTranscript::kErrorTimeout);
        break;
    case QAbstractSocket::SocketResourceError:
    case QAbstractSocket::UnsupportedSocketOperationError:
        // The socket itself could not be made (no descriptor left, a
        // proxy that cannot carry it).
        if (!connected_) {
            HandleFailed();
            break;
        }
        [[fallthrough]];
    default: Status(RankingTranscript::kRequestComplete, 0, false, 0); break;
    }
    Finish();
}

void RankingHttpClient::Abort() {
    if (!busy_ || finished_) return;
    aborted_ = true;
    Finish();
}

void RankingHttpClient::Finish() {
    if (finished_) return;
    finished_ = true;
    busy_ = false;
    timeout_.stop();
    if (socket_) {
        socket_->disconnect(this);
        // Reported while the transcript still takes lines: the verdict
        // follows in on_finished.
        if (connected_) Status(RankingTranscript::kClosing);
        socket_->abort();
        if (connected_) Status(RankingTranscript::kClosed);
    }
    if (on_finished) on_finished();
}
