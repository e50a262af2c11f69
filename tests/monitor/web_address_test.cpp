#include <gtest/gtest.h>

#include "monitor/web_address.h"

namespace tarvik {
namespace {

struct AddressCase {
    const char* url;
    const char* host;
    const char* object;
};

class WebAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(WebAddressTest, SplitsHostAndObject) {
    const AddressCase& c = GetParam();
    const Text host = ExtractHost(c.url);
    EXPECT_EQ(host, c.host);
    EXPECT_EQ(ObjectName(c.url, host), c.object);
}

INSTANTIATE_TEST_SUITE_P(
    Monitor, WebAddressTest,
    ::testing::Values(AddressCase{"site.example", "site.example", ""},
                      AddressCase{"site.example/a/b", "site.example", "a/b"},
                      AddressCase{"http://site.example/x/y", "site.example", "x/y"},
                      AddressCase{"http://site.example", "site.example", ""},
                      AddressCase{"http://site.example/", "site.example", ""},
                      // no text before the first "/": the whole text is the host
                      AddressCase{"/abc", "/abc", ""},
                      // the prefix is case-sensitive
                      AddressCase{"HTTP://host/", "HTTP:", "/host/"},
                      // "http://" anywhere drops the first seven characters
                      AddressCase{"xhttp://a/b", "/a/b", ""},
                      AddressCase{"", "", ""},
                      // the first occurrence of the host decides where the object starts,
                      // even inside the "http://" prefix
                      AddressCase{"http://ab/ab/c", "ab", "ab/c"},
                      AddressCase{"http://p/http/q", "p", "//p/http/q"}));

}  // namespace
}  // namespace tarvik
