#include "rawclient.h"

#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarvel::testing {

namespace http = boost::beast::http;

std::string RawAnswer::field(const std::string& lowerName) const
{
    const auto found = fields.find(lowerName);
    return found == fields.end() ? std::string() : found->second;
}

RawClient::RawClient(std::uint16_t port)
{
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        close();
}

RawClient::~RawClient()
{
    close();
}

void RawClient::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool RawClient::send(const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += std::size_t(n);
    }
    return true;
}

long RawClient::readSome(TestClock::time_point deadline)
{
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TestClock::now());
        if (left.count() <= 0)
            return -1;
        pollfd ready{fd_, POLLIN, 0};
        const int polled = ::poll(&ready, 1, int(left.count()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            continue; // the deadline is checked above
        char chunk[16384];
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return 0; // closed, or reset
        received_.append(chunk, std::size_t(n));
        return n;
    }
}

namespace {

using Parser = http::response_parser<http::string_body>;

RawAnswer answerOf(const Parser& parser)
{
    RawAnswer answer;
    const auto& message = parser.get();
    answer.status = int(message.result_int());
    for (const auto& field : message) {
        std::string name(field.name_string().data(), field.name_string().size());
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        answer.fields[name] = std::string(field.value().data(), field.value().size());
    }
    answer.body = message.body();
    return answer;
}

} // namespace

std::optional<RawAnswer> RawClient::readAnswer(std::chrono::milliseconds within, bool head)
{
    return read(within, head ? Part::HeadOfHead : Part::Whole);
}

std::optional<RawAnswer> RawClient::readHead(std::chrono::milliseconds within)
{
    return read(within, Part::Head);
}

std::optional<RawAnswer> RawClient::read(std::chrono::milliseconds within, Part part)
{
    const auto deadline = TestClock::now() + within;
    Parser parser;
    parser.eager(part == Part::Whole);
    parser.skip(part == Part::HeadOfHead);
    parser.body_limit(64 * 1024 * 1024);
    const auto done = [&] {
        return part == Part::Head ? parser.is_header_done() : parser.is_done();
    };
    boost::system::error_code error;
    std::size_t used = 0;
    for (;;) {
        while (used < received_.size() && !done()) {
            const std::size_t n = parser.put(
                boost::asio::buffer(received_.data() + used, received_.size() - used), error);
            if (error == http::error::need_more) {
                error = {};
                break;
            }
            if (error)
                return std::nullopt;
            used += n;
            if (n == 0)
                break;
        }
        if (done())
            break;
        const long got = readSome(deadline);
        if (got == 0) {
            if (!parser.got_some())
                return std::nullopt;
            parser.put_eof(error); // an answer delimited by the close
            if (error || !parser.is_done())
                return std::nullopt;
            break;
        }
        if (got < 0)
            return std::nullopt;
    }
    received_.erase(0, used);
    return answerOf(parser);
}

Ending RawClient::readUntilClosed(std::chrono::milliseconds within)
{
    const auto deadline = TestClock::now() + within;
    for (;;) {
        const long got = readSome(deadline);
        if (got == 0)
            return Ending::Closed;
        if (got < 0)
            return Ending::TimedOut;
    }
}

bool RawClient::readUntil(const std::string& text, std::chrono::milliseconds within)
{
    const auto deadline = TestClock::now() + within;
    while (received_.find(text) == std::string::npos)
        if (readSome(deadline) <= 0)
            return false;
    return true;
}

long raiseOpenFileLimit(long wanted)
{
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < rlim_t(wanted)) {
        limit.rlim_cur = std::min<rlim_t>(rlim_t(wanted), limit.rlim_max);
        ::setrlimit(RLIMIT_NOFILE, &limit);
        ::getrlimit(RLIMIT_NOFILE, &limit);
    }
    return long(limit.rlim_cur);
}

} // namespace tarvel::testing
