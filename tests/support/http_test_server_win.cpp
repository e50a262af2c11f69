#include "support/http_test_server_win.h"

#include <gtest/gtest.h>

#include "support/loopback_listener_win.h"
#include "system/steady_clock_win.h"

namespace tarvik::testing {

namespace {
// A socket listening on `address`:80 with a queue of `backlog`, or none
// (the test has failed then).
SOCKET Listen(const char* address, int backlog, sockaddr_in& where) {
    const SOCKET listener = ListenOnPort80(address, backlog, where);
    if (listener == INVALID_SOCKET)
        ADD_FAILURE() << "cannot listen on " << address << ":80, error " << WSAGetLastError();
    return listener;
}
}  // namespace

HttpTestServer::HttpTestServer(const char* address, Mode mode, std::string reply, std::chrono::milliseconds pace)
    : mode_(mode), reply_(std::move(reply)), pace_(pace) {
    sockaddr_in where;
    listener_ = Listen(address, 4, where);
    if (listener_ == INVALID_SOCKET) return;
    thread_ = std::make_unique<FunctionThread>([this] { Serve(); });
}

HttpTestServer::~HttpTestServer() {
    stopping_ = true;
    closesocket(listener_);
    thread_.reset();
}

std::string HttpTestServer::Request() {
    if (thread_) thread_->Join();
    return request_;
}

std::string HttpTestServer::Reply(const std::string& status, const std::string& body) {
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

bool HttpTestServer::ClientStays(SOCKET client, std::chrono::milliseconds wait) {
    const auto until = fw::SteadyClock::now() + wait;
    do {
        if (stopping_) return false;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(client, &readable);
        timeval step{0, 20 * 1000};
        if (select(0, &readable, nullptr, nullptr, &step) > 0) {
            char byte;
            if (recv(client, &byte, 1, 0) <= 0) return false;  // gone
        }
    } while (fw::SteadyClock::now() < until);
    return true;
}

void HttpTestServer::Serve() {
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    char buffer[4096];
    while (request_.find("\r\n\r\n") == std::string::npos) {
        const int got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request_.append(buffer, got);
    }
    auto sendAll = [&](const std::string& bytes) {
        for (std::size_t at = 0; at < bytes.size();) {
            const int put = send(client, bytes.data() + at, static_cast<int>(bytes.size() - at), 0);
            if (put <= 0) return false;
            at += put;
            sent_ += put;
        }
        return true;
    };
    switch (mode_) {
    case Mode::Answer:
        if (ClientStays(client, pace_)) sendAll(reply_);
        break;
    case Mode::Endless: {
        const std::string chunk(64 * 1024, 'e');
        if (sendAll("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n"))
            while (sendAll(chunk) && sent_ < 64LL * 1024 * 1024) {
            }
        break;
    }
    case Mode::HangUp:
        break;
    case Mode::Silent:
        while (ClientStays(client, std::chrono::milliseconds(100))) {
        }
        break;
    case Mode::Trickle:
        if (sendAll(reply_))
            while (ClientStays(client, pace_) && sendAll("t")) {
            }
        break;
    }
    shutdown(client, SD_BOTH);
    closesocket(client);
}

StalledListener::StalledListener(const char* address) {
    // A queue of one (Wine hands the 0 on to the system), filled at once.
    sockaddr_in where;
    listener_ = Listen(address, 0, where);
    if (listener_ == INVALID_SOCKET) return;
    filler_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connect(filler_, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0)
        ADD_FAILURE() << "cannot fill the queue, error " << WSAGetLastError();
}

StalledListener::~StalledListener() {
    stopping_ = true;
    thread_.reset();
    closesocket(filler_);
    closesocket(listener_);
}

void StalledListener::Answer(std::string reply) {
    reply_ = std::move(reply);
    closesocket(filler_);  // its connection ends as soon as it is taken
    filler_ = INVALID_SOCKET;
    thread_ = std::make_unique<FunctionThread>([this] { Serve(); });
}

void StalledListener::Serve() {
    // Waits for a socket to be readable, a while at a time, until stopped.
    const auto readable = [this](SOCKET socket) {
        while (!stopping_) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(socket, &set);
            timeval step{0, 20 * 1000};
            if (select(0, &set, nullptr, nullptr, &step) > 0) return true;
        }
        return false;
    };
    while (readable(listener_)) {
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) continue;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && readable(client)) {
            const int got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            request.append(buffer, got);
        }
        if (request.find("\r\n\r\n") != std::string::npos)
            send(client, reply_.data(), static_cast<int>(reply_.size()), 0);
        shutdown(client, SD_BOTH);
        closesocket(client);
    }
}

}  // namespace tarvik::testing
