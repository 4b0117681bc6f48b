#include "records/http_reply_parser.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

}  // namespace

bool HttpReplyParser::Feed(std::string_view bytes) {
    if (failed_) return false;
    pending_.append(bytes);
    if (!head_done_ && !ParseHead()) return !(failed_ = true);
    if (head_done_ && !ParseBody()) return !(failed_ = true);
    return true;
}

bool HttpReplyParser::Complete() const {
    if (!head_done_ || failed_) return false;
    return body_done_ || (!chunked_ && !has_length_ && ended_);
}

void HttpReplyParser::Keep(std::string_view bytes) {
    const size_t room = kMaxBody - body_.size();
    if (bytes.size() > room) truncated_ = true;
    body_.append(bytes.substr(0, std::min(room, bytes.size())));
}

bool HttpReplyParser::ParseHead() {
    const size_t end = pending_.find("\r\n\r\n");
    if (end == std::string::npos) return pending_.size() <= kMaxHead;
    head_bytes_ = end + 4;
    if (head_bytes_ > kMaxHead) return false;
    const std::string head = pending_.substr(0, end);
    pending_.erase(0, head_bytes_);
    size_t line_end = head.find("\r\n");
    const std::string_view status(head.data(), line_end == std::string::npos ? head.size() : line_end);
    if (status.substr(0, 5) != "HTTP/") return false;
    const size_t space = status.find(' ');
    if (space == std::string_view::npos) return false;
    const std::string_view rest = status.substr(space + 1);
    const size_t space2 = rest.find(' ');
    code_ = std::string(rest.substr(0, space2));
    if (space2 != std::string_view::npos) text_ = std::string(rest.substr(space2 + 1));
    while (line_end != std::string::npos) {
        const size_t start = line_end + 2;
        line_end = head.find("\r\n", start);
        const std::string_view line(head.data() + start,
                                    (line_end == std::string::npos ? head.size() : line_end) - start);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string name = Lower(Trim(line.substr(0, colon)));
        const std::string value = Lower(Trim(line.substr(colon + 1)));
        if (name == "transfer-encoding" && value.find("chunked") != std::string::npos) chunked_ = true;
        if (name == "content-length") {
            uint64_t n = 0;
            for (char c : value) {
                if (c < '0' || c > '9' || n > (UINT64_MAX - 9) / 10) return false;
                n = n * 10 + static_cast<uint64_t>(c - '0');
            }
            has_length_ = true;
            remaining_ = n;
        }
    }
    if (chunked_) has_length_ = false;
    // Replies that carry no body by their code.
    if (code_ == "204" || code_ == "304" || (!code_.empty() && code_[0] == '1')) body_done_ = true;
    if (has_length_ && remaining_ == 0) body_done_ = true;
    head_done_ = true;
    return true;
}

bool HttpReplyParser::ParseBody() {
    if (body_done_) {
        pending_.clear();
        return true;
    }
    if (!chunked_) {
        if (!has_length_) {
            Keep(pending_);
            pending_.clear();
            return true;
        }
        const size_t take = static_cast<size_t>(std::min<uint64_t>(remaining_, pending_.size()));
        Keep(std::string_view(pending_).substr(0, take));
        pending_.erase(0, take);
        remaining_ -= take;
        if (remaining_ == 0) body_done_ = true;
        return true;
    }
    for (;;) {
        if (in_chunk_) {
            const size_t take = static_cast<size_t>(std::min<uint64_t>(remaining_, pending_.size()));
            Keep(std::string_view(pending_).substr(0, take));
            pending_.erase(0, take);
            remaining_ -= take;
            if (remaining_ > 0) return true;
            if (pending_.size() < 2) return true;
            if (pending_.compare(0, 2, "\r\n") != 0) return false;
            pending_.erase(0, 2);
            in_chunk_ = false;
        }
        const size_t line_end = pending_.find("\r\n");
        if (line_end == std::string::npos) return pending_.size() <= kMaxHead;
        uint64_t size = 0;
        size_t digits = 0;
        for (; digits < line_end; ++digits) {
            const char c = pending_[digits];
            int v = -1;
            if (c >= '0' && c <= '9') v = c - '0';
            else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
            if (v < 0) break;
            if (size >> 60) return false;
            size = size * 16 + static_cast<uint64_t>(v);
        }
        if (digits == 0) return false;
        pending_.erase(0, line_end + 2);
        if (size == 0) {
            // Trailers are not looked at; the reply is whole.
            body_done_ = true;
            pending_.clear();
            return true;
        }
        remaining_ = size;
        in_chunk_ = true;
    }
}
