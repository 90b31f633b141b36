#pragma once
/// What a request carries besides its path: the query, an URL-encoded form body and the
/// cookies, taken apart without trusting any of it. Pure functions; any thread.

#include "web/httpexchange.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvel::web {

/// Name and value pairs in the order sent, names and values decoded.
using FormFields = std::vector<std::pair<std::string, std::string>>;

/// "%E5%B1%B1+x" → "山 x"; a '%' without two hex digits is kept as it is.
std::string percentDecode(std::string_view text);
/// Every byte but unreserved ones as %XX (for names in links and in filename*=UTF-8'').
std::string percentEncode(std::string_view text);
/// "a=1&b=2" as decoded pairs; a pair without '=' has an empty value.
FormFields parseUrlEncoded(std::string_view text);
/// The first value of `name`.
std::optional<std::string> fieldValue(const FormFields& fields, std::string_view name);
/// Every value of `name`, in order.
std::vector<std::string> fieldValues(const FormFields& fields, std::string_view name);

/// The request's path (up to '?'), as sent, and its query decoded.
std::string_view targetPath(const HttpRequest& request);
FormFields queryOf(const HttpRequest& request);
/// The body as a form when it is sent as one (application/x-www-form-urlencoded); empty
/// otherwise.
FormFields formOf(const HttpRequest& request);
/// The value of the cookie `name`, if sent.
std::optional<std::string> cookieValue(const HttpRequest& request, std::string_view name);

/// A whole decimal number of at most 18 digits, nothing else ("12"; not "+1", "1e3", "").
std::optional<long long> wholeNumber(std::string_view text);

} // namespace tarvel::web
