#pragma once
// The upload of a lap-times file to the ranking service: one HTTP/1.1 POST
// of a multipart form to "/php-reg/user.php?submitTimes", agent "Ostrevan",
// referrer "ZAVRO", Basic authentication, built here byte for byte so the
// client only moves bytes.
//
// The server is a setting: "QELRankScheme" ("http" or "https"),
// "QELRankHost" and "QELRankPort" (0: the scheme's port) under the current
// user's settings key; absent values take the defaults below.

#include <cstdint>
#include <string>

class RankingRequest {
public:
    static constexpr const char* kPath = "/php-reg/user.php?submitTimes";
    static constexpr const char* kBoundary = "---------------------------7d217c540366";
    static constexpr const char* kDefaultScheme = "http";
    static constexpr const char* kDefaultHost = "qelrank.example.org";

    struct Server {
        std::string scheme = kDefaultScheme;
        std::string host = kDefaultHost;
        uint16_t port = 0;
        // The port connected to: port, else 443 for https and 80 otherwise.
        uint16_t EffectivePort() const;
    };
    // The server of the settings store.
    static Server LoadServer();

    // The form body around the file's bytes (empty for an empty file).
    static std::string Body(const std::string& file_bytes);
    // Request line, headers and the body; credentials is the Base64 text.
    static std::string Request(const Server& server, const std::string& credentials, const std::string& body);
};
