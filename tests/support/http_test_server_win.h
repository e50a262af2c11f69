// A one-connection HTTP server on 127.0.0.x:80 inside the test program,
// recording the request it receives and answering as the test says.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "support/function_thread_win.h"

namespace tarvik::testing {

class HttpTestServer {
public:
    enum class Mode {
        Answer,    // wait `pace`, send the reply bytes, then close
        Endless,   // send headers, then body bytes until the client goes
        HangUp,    // read the request, close without a word
        Silent,    // read the request, then say nothing until the client goes
        Trickle,   // send the reply bytes, then one body byte every `pace`
                   // until the client goes
    };

    HttpTestServer(const char* address, Mode mode, std::string reply = {},
                   std::chrono::milliseconds pace = std::chrono::milliseconds(0));
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    // The request's header block, once the connection has ended.
    std::string Request();
    long long BytesSent() const { return sent_; }

    static std::string Reply(const std::string& status, const std::string& body);

private:
    void Serve();
    // Waits up to `wait` for the client; false once it has gone or the
    // server is being stopped.
    bool ClientStays(SOCKET client, std::chrono::milliseconds wait);

    SOCKET listener_ = INVALID_SOCKET;
    Mode mode_;
    std::string reply_;
    std::chrono::milliseconds pace_;
    std::atomic<bool> stopping_{false};
    std::string request_;
    std::atomic<long long> sent_{0};
    std::unique_ptr<FunctionThread> thread_;
};

// A listener on 127.0.0.x:80 whose queue is full, so that the system leaves
// every further connection request unanswered, as a dropped port does.
// Answer empties the queue and from then on answers every connection.
class StalledListener {
public:
    explicit StalledListener(const char* address);
    ~StalledListener();
    StalledListener(const StalledListener&) = delete;
    StalledListener& operator=(const StalledListener&) = delete;

    void Answer(std::string reply);

private:
    void Serve();

    SOCKET listener_ = INVALID_SOCKET;
    SOCKET filler_ = INVALID_SOCKET;  // the one connection the queue holds
    std::string reply_;
    std::atomic<bool> stopping_{false};
    std::unique_ptr<FunctionThread> thread_;
};

}  // namespace tarvik::testing
