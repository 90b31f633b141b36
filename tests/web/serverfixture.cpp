#include "serverfixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace tarvel::testing {

void Gate::pass()
{
    std::unique_lock lock(mutex_);
    ++inside_;
    changed_.notify_all();
    changed_.wait_for(lock, 30s, [this] { return open_; });
}

void Gate::open()
{
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
}

bool Gate::waitInside(int count, std::chrono::milliseconds within)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, within, [&] { return inside_ >= count; });
}

web::HttpLimits testLimits()
{
    web::HttpLimits limits;
    limits.connections = 32;
    limits.requestTime = 400ms;
    limits.idleTime = 600ms;
    limits.keepAliveTime = 10s;
    return limits;
}

ServerFixture::ServerFixture(web::HttpLimits limits)
{
    folder_ = std::filesystem::temp_directory_path()
              / ("tarvel-web-test-" + std::to_string(::getpid()) + "-"
                 + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(folder_);
    // Big enough to be written in many pieces, every byte telling where it belongs.
    for (int i = 0; fileBytes_.size() < 300 * 1024; ++i)
        fileBytes_ += std::to_string(i) + ',';
    std::ofstream(folder_ / "file.bin", std::ios::binary) << fileBytes_;

    server_ = std::make_unique<web::HttpServer>(
        [this](const web::HttpRequest& request) { return handle(request); }, "/events", limits);
    const auto failure = server_->listen("127.0.0.1", 0);
    if (failure)
        ADD_FAILURE() << "listen: " << *failure;
}

ServerFixture::~ServerFixture()
{
    gate_.open();
    server_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

web::HttpResponse ServerFixture::handle(const web::HttpRequest& request)
{
    ++handled_;
    const std::string path = request.target.substr(0, request.target.find('?'));
    if (path == "/")
        return web::HttpResponse::plain(200, "hello");
    if (path == "/echo") {
        return web::HttpResponse::plain(
            200, request.method + ' ' + request.target + '\n' + request.remoteAddress + '\n'
                     + std::string(request.header("x-test").value_or("")) + '\n' + request.body);
    }
    if (path == "/throw")
        throw std::runtime_error("secret insides at /etc/tarvel");
    if (path == "/file" || path == "/nofile" || path == "/folder") {
        web::HttpResponse response;
        response.contentType = "application/octet-stream";
        response.filePath =
            path == "/folder" ? folder_.string()
                              : (folder_ / (path == "/file" ? "file.bin" : "missing.bin")).string();
        return response;
    }
    if (path.starts_with("/status/"))
        return web::HttpResponse::plain(std::atoi(path.c_str() + 8), "body");
    if (path == "/fields") {
        web::HttpResponse response = web::HttpResponse::plain(200, "fields");
        response.headers = {{"Set-Cookie", "s=1; HttpOnly"},
                            {"X-Broken", "a\r\nInjected: yes"},
                            {"Bad Name: x\r\nInjected", "yes"},
                            {"Content-Security-Policy", "default-src *"},
                            {"Content-Length", "999"}};
        return response;
    }
    if (path == "/block") {
        gate_.pass();
        return web::HttpResponse::plain(200, "unblocked");
    }
    return web::HttpResponse::plain(404, "Not Found");
}

std::string getRequest(const std::string& target, const std::string& method)
{
    return method + ' ' + target + " HTTP/1.1\r\nHost: test\r\n\r\n";
}

} // namespace tarvel::testing
