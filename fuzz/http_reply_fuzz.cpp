// Replies of the ranking server: HttpReplyParser fed the bytes in two
// pieces split where the first byte says, then the connection's end. The
// body never grows past its bound.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "records/http_reply_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const size_t split = bytes.empty() ? 0 : data[0] % (bytes.size() + 1);
    HttpReplyParser parser;
    parser.Feed(bytes.substr(0, split));
    parser.Feed(bytes.substr(split));
    parser.End();
    (void)parser.Complete();
    if (parser.Body().size() > HttpReplyParser::kMaxBody) __builtin_trap();
    if (parser.HeadDone() && parser.HeadBytes() > HttpReplyParser::kMaxHead) __builtin_trap();
    return 0;
}
