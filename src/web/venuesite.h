#pragma once
/// The venue page's router: which answer each request gets. The award board and its assets
/// are answered here; /team… and /desk… go to the parts that serve them. Called on the
/// server's workers, several at once; holds no state of its own beyond the parts given.

#include "web/httpexchange.h"

#include <functional>
#include <optional>
#include <string_view>

namespace tarvel::web {

class Board;

/// A part of the site (the team downloads, the desk's page): sees only requests under its
/// prefix whose target passed the checks every request passes (safePath). Answers, or none:
/// the part has no such page (404). Called on any worker thread, several at once.
using SitePart = std::function<std::optional<HttpResponse>(const HttpRequest&)>;

/// The path of a target, without its query; none when the target must reach nothing: ".."
/// as a segment or within, a backslash, a control character or NUL, '%' encoding a dot, a
/// slash, a backslash, NUL or another '%', or a path not beginning with a single '/'.
std::optional<std::string_view> safePath(std::string_view target);

class VenueSite {
public:
    /// `team` and `desk` may be empty (those pages answer 404); the board must outlive the
    /// site.
    VenueSite(const Board& board, SitePart team, SitePart desk);

    /// GET / (the board page), /board.json, /board/event/N.json, /assets/NAME; /team… and
    /// /desk… to their parts. 400 for a target that fails safePath, 404 for anything
    /// unknown, 405 for a known page asked with a method it does not take.
    HttpResponse handle(const HttpRequest& request) const;

private:
    const Board& board_;
    SitePart team_;
    SitePart desk_;
};

} // namespace tarvel::web
