#include "web/venuesite.h"

#include "web/board.h"

#include <QFile>

#include <array>
#include <charconv>

namespace tarvel::web {

namespace {

/// What the page is made of, compiled in: a name is looked up exactly, never taken as a path.
struct Asset {
    std::string_view name;
    const char* resource;
    const char* contentType;
};

constexpr std::array kAssets{
    Asset{"board.css", ":/web/board.css", "text/css; charset=utf-8"},
    Asset{"board.js", ":/web/board.js", "text/javascript; charset=utf-8"},
    Asset{"icon.svg", ":/web/icon.svg", "image/svg+xml"},
};

constexpr std::string_view kIndex = ":/web/board.html";

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

/// Whether `path` is `prefix` or lies beneath it ("/team", "/team/…").
bool isUnder(std::string_view path, std::string_view prefix)
{
    return path == prefix || (startsWith(path, prefix) && path[prefix.size()] == '/');
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

/// '%' followed by what decodes to '.', '/', '\', NUL or '%' (the way to a second decoding).
bool isForbiddenEscape(std::string_view rest)
{
    if (rest.size() < 2)
        return true; // a broken escape
    const std::string_view hex[] = {"2e", "2f", "5c", "00", "25"};
    const char pair[] = {lower(rest[0]), lower(rest[1])};
    for (std::string_view code : hex)
        if (pair[0] == code[0] && pair[1] == code[1])
            return true;
    return false;
}

HttpResponse fromResource(const char* resource, const char* contentType)
{
    QFile file(QString::fromLatin1(resource));
    if (!file.open(QIODevice::ReadOnly))
        return HttpResponse::plain(404, "見つかりません");
    HttpResponse response;
    response.contentType = contentType;
    const QByteArray bytes = file.readAll();
    response.body.assign(bytes.constData(), std::size_t(bytes.size()));
    response.headers.emplace_back("Cache-Control", "no-cache");
    return response;
}

HttpResponse json(const QByteArray& bytes)
{
    HttpResponse response;
    response.contentType = "application/json";
    response.body.assign(bytes.constData(), std::size_t(bytes.size()));
    response.headers.emplace_back("Cache-Control", "no-store");
    return response;
}

HttpResponse notFound()
{
    return HttpResponse::plain(404, "見つかりません");
}

HttpResponse wrongMethod()
{
    HttpResponse response = HttpResponse::plain(405, "この方法では使えません");
    response.headers.emplace_back("Allow", "GET");
    return response;
}

/// N of "/board/event/N.json"; none for anything else.
std::optional<int> eventOf(std::string_view path)
{
    constexpr std::string_view prefix = "/board/event/";
    constexpr std::string_view suffix = ".json";
    if (!startsWith(path, prefix) || path.size() <= prefix.size() + suffix.size()
        || path.substr(path.size() - suffix.size()) != suffix)
        return std::nullopt;
    const std::string_view digits =
        path.substr(prefix.size(), path.size() - prefix.size() - suffix.size());
    int race = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), race);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.size() > 4)
        return std::nullopt;
    return race;
}

} // namespace

std::optional<std::string_view> safePath(std::string_view target)
{
    const std::string_view path = target.substr(0, target.find('?'));
    if (path.empty() || path[0] != '/' || startsWith(path, "//"))
        return std::nullopt;
    if (path.find("..") != std::string_view::npos)
        return std::nullopt;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (c < 0x20 || c == 0x7f || c == '\\')
            return std::nullopt;
        if (c == '%' && isForbiddenEscape(path.substr(i + 1)))
            return std::nullopt;
    }
    return path;
}

VenueSite::VenueSite(const Board& board, SitePart team, SitePart desk)
    : board_(board)
    , team_(std::move(team))
    , desk_(std::move(desk))
{
}

HttpResponse VenueSite::handle(const HttpRequest& request) const
{
    // NUL or control characters anywhere in the target, the query included, reach nothing.
    const std::optional<std::string_view> found = safePath(request.target);
    if (!found || request.target.find('\0') != std::string::npos)
        return HttpResponse::plain(400, "不正な要求です");
    const std::string_view path = *found;
    for (const auto& [prefix, part] : {std::pair{std::string_view("/team"), &team_},
                                       std::pair{std::string_view("/desk"), &desk_}}) {
        if (!isUnder(path, prefix))
            continue;
        if (!*part)
            return notFound();
        return (*part)(request).value_or(notFound());
    }

    const bool get = request.method == "GET";
    if (path == "/") {
        if (!get)
            return wrongMethod();
        HttpResponse page = fromResource(kIndex.data(), "text/html; charset=utf-8");
        return page;
    }
    if (path == "/board.json" || path == "/events") {
        if (!get)
            return wrongMethod();
        return path == "/events" ? notFound() : json(board_.json());
    }
    if (const std::optional<int> race = eventOf(path)) {
        if (!get)
            return wrongMethod();
        const std::optional<QByteArray> lines = board_.eventJson(*race);
        return lines ? json(*lines) : notFound();
    }
    if (startsWith(path, "/assets/")) {
        const std::string_view name = path.substr(std::string_view("/assets/").size());
        for (const Asset& asset : kAssets) {
            if (asset.name != name)
                continue;
            if (!get)
                return wrongMethod();
            return fromResource(asset.resource, asset.contentType);
        }
    }
    return notFound();
}

} // namespace tarvel::web
