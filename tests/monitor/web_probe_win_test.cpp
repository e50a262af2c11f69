#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <shlobj.h>

#include <chrono>
#include <string>

#include "support/http_test_server_win.h"
#include "system/steady_clock_win.h"
#include "monitor/web_probe.h"
#include "system/steady_clock_win.h"

namespace tarvik {
namespace {

using testing::HttpTestServer;

// Each test has a loopback address of its own: the probe always uses port 80.

TEST(WebProbe, SendsTheRequestAsConfigured) {
    HttpTestServer server("127.0.0.2", HttpTestServer::Mode::Answer, HttpTestServer::Reply("200 OK", "hello"));
    EXPECT_EQ(WebProbe("http://127.0.0.2/dir/page.txt"), "hello");
    const std::string request = server.Request();
    EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /dir/page.txt HTTP/1.0");
    EXPECT_NE(request.find("\r\nUser-Agent: RQNV\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\nAccept: text/*\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\nHost: 127.0.0.2"), std::string::npos) << request;
}

TEST(WebProbe, LongBodyComesBackWhole) {
    std::string body;
    for (int i = 0; body.size() < 5000; ++i) body += "line " + std::to_string(i) + "\n";
    HttpTestServer server("127.0.0.3", HttpTestServer::Mode::Answer, HttpTestServer::Reply("200 OK", body));
    EXPECT_EQ(WebProbe("127.0.0.3/long"), body);
}

TEST(WebProbe, ZeroByteEndsEachChunksText) {
    std::string first = std::string("abc") + '\0' + "hidden";
    first.resize(1024, 'x');
    const std::string body = first + "ghi" + std::string(1, '\0') + "tail";
    HttpTestServer server("127.0.0.4", HttpTestServer::Mode::Answer, HttpTestServer::Reply("200 OK", body));
    EXPECT_EQ(WebProbe("127.0.0.4/zeros"), "abcghi");
}

TEST(WebProbe, ErrorPageWithBodySucceeds) {
    HttpTestServer server("127.0.0.5", HttpTestServer::Mode::Answer,
                          HttpTestServer::Reply("404 Not Found", "no such page"));
    EXPECT_EQ(WebProbe("127.0.0.5/missing"), "no such page");
}

TEST(WebProbe, EmptyBodyFails) {
    HttpTestServer server("127.0.0.6", HttpTestServer::Mode::Answer, HttpTestServer::Reply("200 OK", ""));
    EXPECT_EQ(WebProbe("127.0.0.6/"), "");
}

TEST(WebProbe, BodyOfOnlyZeroBytesFails) {
    HttpTestServer server("127.0.0.7", HttpTestServer::Mode::Answer,
                          HttpTestServer::Reply("200 OK", std::string(1500, '\0')));
    EXPECT_EQ(WebProbe("127.0.0.7/"), "");
}

TEST(WebProbe, RefusedConnectionFails) { EXPECT_EQ(WebProbe("127.0.0.8/nobody"), ""); }

TEST(WebProbe, ServerThatHangsUpFails) {
    HttpTestServer server("127.0.0.9", HttpTestServer::Mode::HangUp);
    EXPECT_EQ(WebProbe("127.0.0.9/"), "");
    EXPECT_NE(server.Request().find("GET / HTTP/1.0"), std::string::npos);
}

TEST(WebProbe, EmptyAddressFails) { EXPECT_EQ(WebProbe(""), ""); }

// A server that never stops sending must not hold the program forever.
TEST(WebProbe, EndlessBodyStopsAtTheBound) {
    HttpTestServer server("127.0.0.10", HttpTestServer::Mode::Endless);
    const Text body = WebProbe("127.0.0.10/stream");
    EXPECT_GE(body.size(), kWebProbeMaxBodyBytes);
    EXPECT_LT(body.size(), kWebProbeMaxBodyBytes + 1024);
    EXPECT_EQ(body.find_first_not_of('e'), Text::npos);
    server.Request();  // the server saw the connection end
    EXPECT_LT(server.BytesSent(), 64LL * 1024 * 1024);
}

using std::chrono::milliseconds;
using Clock = fw::SteadyClock;

// A server that accepts and then stalls must not hold the probe past its
// bound; one that is merely slow still counts.
struct BoundCase {
    const char* name;
    const char* address;
    HttpTestServer::Mode mode;
    const char* reply;
    milliseconds pace;
    bool succeeds;
};

class BoundTest : public ::testing::TestWithParam<BoundCase> {};

TEST_P(BoundTest, EndsWithinTheBound) {
    const BoundCase& c = GetParam();
    WebProbeLimits limits;
    limits.connect = limits.send = limits.receive = milliseconds(400);
    limits.reading = milliseconds(1500);
    HttpTestServer server(c.address, c.mode, c.reply, c.pace);
    const Clock::time_point start = Clock::now();
    const Text body = WebProbe(Text(c.address) + "/", limits);
    const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    // Loose: a busy machine runs late; without the bound it would be minutes.
    EXPECT_LT(took, limits.reading + milliseconds(8000)) << took.count() << " ms";
    EXPECT_EQ(!body.empty(), c.succeeds) << body;
}

const char kHeaders[] = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    WebProbe, BoundTest,
    ::testing::Values(
        BoundCase{"silent", "127.0.0.11", HttpTestServer::Mode::Silent, "", milliseconds(0), false},
        // a byte now and then, but less often than the probe waits for one
        BoundCase{"trickle_slower_than_a_wait", "127.0.0.12", HttpTestServer::Mode::Trickle, kHeaders,
                  milliseconds(3000), false},
        // bytes often enough for every wait: reading stops at the bound
        // with what came by then
        BoundCase{"trickle_within_every_wait", "127.0.0.13", HttpTestServer::Mode::Trickle, kHeaders,
                  milliseconds(50), true},
        BoundCase{"slow_answer", "127.0.0.14", HttpTestServer::Mode::Answer,
                  "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello", milliseconds(250), true}),
    [](const auto& info) { return std::string(info.param.name); });

// The reading bound counts from the sent request: a slow start (here the
// server's own answer) leaves the body all its time.
TEST(WebProbe, TheReadingBoundStartsOnceTheRequestIsSent) {
    WebProbeLimits limits;
    limits.connect = limits.send = limits.receive = milliseconds(5000);
    limits.reading = milliseconds(1000);
    HttpTestServer server("127.0.0.44", HttpTestServer::Mode::Answer, HttpTestServer::Reply("200 OK", "late"),
                          milliseconds(1500));
    EXPECT_EQ(WebProbe("127.0.0.44/", limits), "late");
}

int FilesUnder(const std::string& folder) {
    int count = 0;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FilesUnder(folder + "\\" + name) : 1;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

// A failing server's empty answers, one a check, must not pile up as files
// in the user's WinINet cache.
TEST(WebProbe, LeavesNothingInTheCache) {
    char cache[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_INTERNET_CACHE, nullptr, 0, cache), S_OK);
    const auto probe = [] {
        HttpTestServer server("127.0.0.43", HttpTestServer::Mode::Answer, HttpTestServer::Reply("200 OK", ""));
        EXPECT_EQ(WebProbe("127.0.0.43/empty"), "");
        server.Request();
    };
    probe();  // WinINet sets its cache up at its first request
    const int before = FilesUnder(cache);
    for (int i = 0; i < 3; ++i) probe();
    EXPECT_EQ(FilesUnder(cache), before) << cache;
}

// The probe the program runs gives a silent server WinINet's 10 s wait.
TEST(WebProbe, SilentServerFailsAfterTheDefaultWait) {
    HttpTestServer server("127.0.0.15", HttpTestServer::Mode::Silent);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(WebProbe("127.0.0.15/"), "");
    const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    EXPECT_GE(took, milliseconds(9000));
    EXPECT_LT(took, milliseconds(40000)) << "without the wait it would be minutes";
}

}  // namespace
}  // namespace tarvik
