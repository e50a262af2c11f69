#include <gtest/gtest.h>

#include <string>

#include "http_test_server_win.h"
#include "monitor/web_probe.h"

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

}  // namespace
}  // namespace tarvik
