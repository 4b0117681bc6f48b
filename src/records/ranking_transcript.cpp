#include "records/ranking_transcript.h"

RankingTranscript::RankingTranscript(std::string host) : host_(std::move(host)) {
    lines_.push_back("Beginning communication, please wait...");
}

void RankingTranscript::OnStatus(int status, int context, uint64_t count, bool handle_ok, bool result, long error) {
    if (!running_) return;
    std::string line;
    switch (status) {
    case kResolvingName: line = "Looking up IP of " + host_; break;
    case kNameResolved: line = "IP of " + host_ + " successfully found"; break;
    case kConnecting: line = "Connecting to " + host_; break;
    case kConnected: line = "Connected to " + host_; break;
    case kSending: line = "About to send information to " + host_; break;
    case kSent:
        line = count > 0 ? std::to_string(count) + " bytes sent to " + host_ : "Error sending information - Aborting";
        break;
    case kReceiving: line = "Waiting for response"; break;
    case kReceived:
        if (count > 0) line = std::to_string(count) + " bytes received from " + host_;
        break;
    case kClosing: line = "Closing connection"; break;
    case kClosed: line = "Connection closed"; break;
    case kHandleCreated:
        if (!handle_ok && (context == kConnectContext || context == kRequestContext))
            line = std::string("Error creating handle: ") + std::to_string(context) + " - Aborting";
        break;
    case kRequestComplete:
        if (context == kRequestContext && result) line = "Request complete...";
        else if (context == kRequestContext && error == 1)
            line = "Error: Could not login using given user and password - Aborting";
        else if (error == kErrorTimeout) line = "Error: Timeout - Aborting";
        else if (error == kErrorNameNotResolved)
            line = "Error: Could not look up QELRank - Aborting\r\nAre you connected to the internet?";
        else if (error == kErrorCannotConnect) line = "Error: Could not connect - Aborting";
        else if (error == kErrorConnectionReset) line = "Error: Connection reset - Aborting";
        else if (!result) line = "Error: Could not connect(2) - Aborting";
        break;
    case kRedirect: line = "Server tries to redirect..."; break;
    default: break;
    }
    if (!line.empty()) lines_.push_back(line);
}

RankingTranscript::Verdict RankingTranscript::OnReply(const std::string& code, const std::string& text) {
    running_ = false;
    lines_.push_back("\r\nServers response in short was: " + code + " " + text);
    if (code == "200") {
        lines_.push_back("Which means everything went fine!");
        return Verdict::kUploaded;
    }
    if (code == "401") {
        lines_.push_back("Which means you did not supply correct user and/or password");
        return Verdict::kWrongLogin;
    }
    lines_.push_back("Which means something went wrong, times not updated");
    return Verdict::kNotUploaded;
}

std::string RankingTranscript::Message(Verdict verdict) {
    switch (verdict) {
    case Verdict::kUploaded: return "Laptimes successfully uploaded!";
    case Verdict::kWrongLogin: return "Laptimes not uploaded!\r\nIncorrect username or password";
    case Verdict::kNotUploaded: break;
    }
    return "Laptimes not uploaded!\r\nSee transcript for details";
}

std::string RankingTranscript::Text() const {
    std::string text;
    for (const auto& line : lines_) text += line + "\r\n";
    return text;
}
