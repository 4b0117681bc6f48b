#pragma once
// The "Communication details" of a ranking upload: the lines the client's
// status reports give while the request runs, and the verdict the reply's
// status code gives. Status numbers are those of the HTTP library the
// service was first used through (10 resolving the name ... 110 redirect);
// errors of a completed request likewise (12002 timeout, 12007 name not
// found, 12029 cannot connect, 12031 connection reset).

#include <cstdint>
#include <string>
#include <vector>

class RankingTranscript {
public:
    enum Status {
        kResolvingName = 10, kNameResolved = 11, kConnecting = 20, kConnected = 21, kSending = 30, kSent = 31,
        kReceiving = 40, kReceived = 41, kClosing = 50, kClosed = 51, kHandleCreated = 60,
        kRequestComplete = 100, kRedirect = 110,
    };
    static constexpr long kErrorTimeout = 12002;
    static constexpr long kErrorNameNotResolved = 12007;
    static constexpr long kErrorCannotConnect = 12029;
    static constexpr long kErrorConnectionReset = 12031;
    static constexpr int kConnectContext = 1001;
    static constexpr int kRequestContext = 1002;

    enum class Verdict { kUploaded, kWrongLogin, kNotUploaded };

    // host names the server in the lines. Starts with the line
    // "Beginning communication, please wait...".
    explicit RankingTranscript(std::string host);

    // Status lines are taken from Begin until the reply is read.
    void Begin() { running_ = true; }
    bool Running() const { return running_; }
    // Adds the status's line while running (none for statuses without one).
    // count: bytes for kSent and kReceived; for kHandleCreated, handle_ok
    // says whether the handle was made; for kRequestComplete, result and
    // error.
    void OnStatus(int status, int context = kRequestContext, uint64_t count = 0, bool handle_ok = true,
                  bool result = true, long error = 0);
    // Ends the status lines, adds the server's short answer and its meaning,
    // and returns the verdict; code and text are empty when no reply came.
    Verdict OnReply(const std::string& code, const std::string& text);
    // The message box of a verdict.
    static std::string Message(Verdict verdict);

    void AddLine(const std::string& line) { lines_.push_back(line); }
    const std::vector<std::string>& Lines() const { return lines_; }
    // Every line followed by CR LF.
    std::string Text() const;

private:
    std::string host_;
    bool running_ = false;
    std::vector<std::string> lines_;
};
