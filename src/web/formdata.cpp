#include "web/formdata.h"

#include <cctype>

namespace tarvel::web {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string percentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
            continue;
        }
        if (c == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += char(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string percentEncode(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
            continue;
        }
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    }
    return out;
}

FormFields parseUrlEncoded(std::string_view text)
{
    FormFields fields;
    while (!text.empty()) {
        const std::size_t end = text.find('&');
        const std::string_view pair = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (pair.empty())
            continue;
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos)
            fields.emplace_back(percentDecode(pair), std::string());
        else
            fields.emplace_back(percentDecode(pair.substr(0, equals)),
                                percentDecode(pair.substr(equals + 1)));
    }
    return fields;
}

std::optional<std::string> fieldValue(const FormFields& fields, std::string_view name)
{
    for (const auto& [key, value] : fields)
        if (key == name)
            return value;
    return std::nullopt;
}

std::vector<std::string> fieldValues(const FormFields& fields, std::string_view name)
{
    std::vector<std::string> values;
    for (const auto& [key, value] : fields)
        if (key == name)
            values.push_back(value);
    return values;
}

std::string_view targetPath(const HttpRequest& request)
{
    const std::string_view target = request.target;
    return target.substr(0, target.find('?'));
}

FormFields queryOf(const HttpRequest& request)
{
    const std::size_t mark = request.target.find('?');
    if (mark == std::string::npos)
        return {};
    return parseUrlEncoded(std::string_view(request.target).substr(mark + 1));
}

FormFields formOf(const HttpRequest& request)
{
    const std::optional<std::string_view> type = request.header("content-type");
    if (!type)
        return {};
    const std::string_view mediaType = trimmed(type->substr(0, type->find(';')));
    std::string lower;
    for (const char c : mediaType)
        lower += char(std::tolower(static_cast<unsigned char>(c)));
    if (lower != "application/x-www-form-urlencoded")
        return {};
    return parseUrlEncoded(request.body);
}

std::optional<std::string> cookieValue(const HttpRequest& request, std::string_view name)
{
    for (const auto& [header, value] : request.headers) {
        if (header != "cookie")
            continue;
        std::string_view rest = value;
        while (!rest.empty()) {
            const std::size_t end = rest.find(';');
            const std::string_view pair = trimmed(rest.substr(0, end));
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
            const std::size_t equals = pair.find('=');
            if (equals != std::string_view::npos && trimmed(pair.substr(0, equals)) == name)
                return std::string(trimmed(pair.substr(equals + 1)));
        }
    }
    return std::nullopt;
}

std::optional<long long> wholeNumber(std::string_view text)
{
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace tarvel::web
