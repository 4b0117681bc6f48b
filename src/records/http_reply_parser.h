#pragma once
// Reads an HTTP/1.x reply from the bytes as they arrive: the status line,
// the headers, and a body sized by Content-Length, sent in chunks, or
// running to the end of the connection. The body is kept up to kMaxBody
// bytes; what comes beyond is read and dropped (Truncated() tells).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class HttpReplyParser {
public:
    static constexpr size_t kMaxBody = 4 * 1024 * 1024;
    static constexpr size_t kMaxHead = 64 * 1024;

    // Takes the next bytes. False once the reply cannot be read (a head
    // larger than kMaxHead, a status line that is not HTTP, a bad chunk).
    bool Feed(std::string_view bytes);
    // The connection has ended: a body running to the end is complete.
    void End() { ended_ = true; }

    bool HeadDone() const { return head_done_; }
    // Bytes of the status line and headers, blank line included.
    size_t HeadBytes() const { return head_bytes_; }
    // True when the whole reply is in.
    bool Complete() const;
    bool Failed() const { return failed_; }
    const std::string& StatusCode() const { return code_; }
    const std::string& StatusText() const { return text_; }
    const std::string& Body() const { return body_; }
    bool Truncated() const { return truncated_; }

private:
    bool ParseHead();
    bool ParseBody();
    void Keep(std::string_view bytes);

    std::string pending_;
    std::string code_, text_, body_;
    size_t head_bytes_ = 0;
    bool head_done_ = false;
    bool failed_ = false;
    bool ended_ = false;
    bool truncated_ = false;
    bool chunked_ = false;
    bool has_length_ = false;
    bool body_done_ = false;
    uint64_t remaining_ = 0;  // of the body or of the current chunk
    bool in_chunk_ = false;
};
