#include "records/ranking_request.h"

#include "settings/registry.h"
#include "settings/settings.h"

uint16_t RankingRequest::Server::EffectivePort() const {
    if (port != 0) return port;
    return scheme == "https" ? 443 : 80;
}

RankingRequest::Server RankingRequest::LoadServer() {
    Server server;
    CRegistry registry(RegistryHive::kCurrentUser);
    if (!registry.Open(RegistryHive::kCurrentUser, Settings::kSettingsKey)) return server;
    std::string text;
    if (registry.ReadString("QELRankScheme", text) && (text == "http" || text == "https")) server.scheme = text;
    if (registry.ReadString("QELRankHost", text) && !text.empty()) server.host = text;
    uint32_t port = 0;
    if (registry.ReadDword("QELRankPort", port) && port <= 0xFFFF) server.port = static_cast<uint16_t>(port);
    return server;
}

std::string RankingRequest::Body(const std::string& file_bytes) {
    const std::string delimiter = std::string("--") + kBoundary;
    std::string body;
    body += delimiter + "\r\n";
    body += "Content-Disposition: form-data; name=\"MAX_FILE_SIZE\"\r\n";
    body += "\r\n";
    body += "65535\r\n";
    body += delimiter + "\r\n";
    body += "Content-Disposition: form-data; name=\"submitfile\"; filename=\"Uploaded_via_ZAVRO\"\r\n";
    body += "Content-Type: application/octet-stream\r\n";
    body += "\r\n";
    body += file_bytes;
    body += "\r\n";
    body += delimiter + "--\r\n";
    return body;
}

std::string RankingRequest::Request(const Server& server, const std::string& credentials, const std::string& body) {
    std::string host = server.host;
    if (server.port != 0 && server.port != (server.scheme == "https" ? 443 : 80)) {
        host += ':';
        host += std::to_string(server.port);
    }
    std::string head = std::string("POST ") + kPath + " HTTP/1.1\r\n";
    head += "Referer: ZAVRO\r\n";
    head += std::string("Content-Type: multipart/form-data; boundary=") + kBoundary + "\r\n";
    head += "Authorization: Basic " + credentials + "\r\n";
    head += "User-Agent: Ostrevan\r\n";
    head += "Host: " + host + "\r\n";
    head += "Content-Length: ";
    head += std::to_string(body.size());
    head += "\r\n";
    head += "Cache-Control: no-cache\r\n";
    head += "Connection: close\r\n";
    head += "\r\n";
    return head + body;
}
