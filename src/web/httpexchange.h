#pragma once
/// One HTTP request and its answer as the venue site sees them: plain values, no sockets,
/// so that the site is tested without a network and the server knows nothing of the site.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvel::web {

/// A request as it arrived, within the server's limits (header 8 KB, body 64 KB).
struct HttpRequest {
    std::string method; ///< "GET", "POST", …
    /// The request target exactly as sent ("/team/file/12?x=1"), never decoded: the site
    /// decides what it names. Always begins with '/' (the server refuses anything else).
    std::string target;
    /// Header fields in the order sent; names in lower case.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    /// Who asked: the peer's address ("192.168.1.20"), as the ledger records it.
    std::string remoteAddress;

    /// The first field named `lowerName`, if any.
    std::optional<std::string_view> header(std::string_view lowerName) const
    {
        for (const auto& [name, value] : headers)
            if (name == lowerName)
                return std::string_view(value);
        return std::nullopt;
    }
};

/// The answer. The server adds the headers every answer carries (Content-Security-Policy,
/// X-Content-Type-Options, X-Frame-Options, Content-Length) itself.
struct HttpResponse {
    int status = 200;
    std::string contentType = "text/plain; charset=utf-8";
    /// Further header fields (Set-Cookie, Cache-Control, Location, Content-Disposition).
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    /// When not empty, the answer's body is this file, streamed from disk as it is (an
    /// e-certificate or a ZIP); the site has checked that it lies where it may.
    std::string filePath;

    /// A plain answer: the status and a short text, nothing of the program's insides.
    static HttpResponse plain(int status, std::string text)
    {
        HttpResponse response;
        response.status = status;
        response.body = std::move(text);
        return response;
    }
};

} // namespace tarvel::web
